// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/containerwnd.h"

#include <QResizeEvent>

namespace TAVRIKCORE::RICHEDITOR {

class ContainerWnd::Private
{
public:
    int id = 0;
    bool created = false;
};

ContainerWnd::ContainerWnd() : d(std::make_unique<Private>()) { }

ContainerWnd::~ContainerWnd() = default;

int ContainerWnd::Create(QWidget *parent, const QRect &rect, int id, int style)
{
    if (!parent || d->created)
        return 0;
    setParent(parent);
    setGeometry(rect);
    d->id = id;
    d->created = true;
    if (style & StyleVisible)
        show();
    return 1;
}

int ContainerWnd::id() const
{
    return d->id;
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
