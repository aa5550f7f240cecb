// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/containerwnd.h"

#include <QResizeEvent>

namespace TAVRIKCORE::RICHEDITOR {

ContainerWnd::ContainerWnd() = default;

ContainerWnd::~ContainerWnd() = default;

int ContainerWnd::Create(QWidget *parent, const QRect &rect, int id, int style)
{
    if (!parent || m_created)
        return 0;
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    m_created = true;
    if (style & StyleVisible)
        show();
    return 1;
}

void ContainerWnd::AdjustLayout(const QRect &clientRect)
{
    Q_UNUSED(clientRect);
}

void ContainerWnd::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    AdjustLayout(QRect(QPoint(0, 0), event->size()));
}

} // namespace TAVRIKCORE::RICHEDITOR
