// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/czvsplitterbar.h"

#include "skin/izvsplitterbarnotify.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

CZvSplitterbar::CZvSplitterbar()
{
    setMouseTracking(true);
}

CZvSplitterbar::~CZvSplitterbar() = default;

int CZvSplitterbar::CreateSplitterBar(QWidget *parent, int id, bool horizontal)
{
    if (!parent || m_created)
        return 0;
    setParent(parent);
    m_id = id;
    m_horizontal = horizontal;
    m_created = true;
    setCursor(horizontal ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    show();
    return 1;
}

void CZvSplitterbar::SetSplitterWnd(QWidget *first, QWidget *second)
{
    m_first = first;
    m_second = second;
}

void CZvSplitterbar::SetThickness(int thickness)
{
    if (thickness >= 1)
        m_thickness = thickness;
}

void CZvSplitterbar::SetBerthPos(int side)
{
    if (side >= Left && side <= Bottom)
        m_berthPos = side;
}

void CZvSplitterbar::SetFirstWndWH(int extent)
{
    m_firstExtent = std::max(extent, 0);
}

QRect CZvSplitterbar::parentClientRect() const
{
    return parentWidget() ? parentWidget()->rect() : QRect();
}

void CZvSplitterbar::AdjustLayout()
{
    const QRect client = parentClientRect();
    if (client.isEmpty())
        return;
    const int length = m_horizontal ? client.height() : client.width();
    const int room = std::max(length - m_thickness, 0);
    int extent = std::min(m_firstExtent, room);
    if (m_folded) {
        const bool towardsFirst = m_horizontal ? m_berthPos == Top : m_berthPos == Left;
        extent = towardsFirst ? 0 : room;
    }
    const int rest = room - extent;
    if (m_horizontal) {
        if (m_first)
            m_first->setGeometry(client.left(), client.top(), client.width(), extent);
        setGeometry(client.left(), client.top() + extent, client.width(), m_thickness);
        if (m_second)
            m_second->setGeometry(client.left(), client.top() + extent + m_thickness,
                                  client.width(), rest);
    } else {
        if (m_first)
            m_first->setGeometry(client.left(), client.top(), extent, client.height());
        setGeometry(client.left() + extent, client.top(), m_thickness, client.height());
        if (m_second)
            m_second->setGeometry(client.left() + extent + m_thickness, client.top(), rest,
                                  client.height());
    }
    raise();
}

void CZvSplitterbar::DoLButtonDown(const QPoint &pos)
{
    if (m_folded || (m_notify && !m_notify->OnSplitterDragAllowed()))
        return;
    m_dragging = true;
    m_dragOffset = m_horizontal ? pos.y() : pos.x();
}

void CZvSplitterbar::DrawBackground(QPainter &painter, const QRect &rect, bool overGrip)
{
    painter.fillRect(rect, palette().button());
    DrawGrip(painter, rect, overGrip);
}

void CZvSplitterbar::FoldBar(int fold)
{
    Q_UNUSED(fold);
}

void CZvSplitterbar::DrawGrip(QPainter &painter, const QRect &rect, bool overGrip)
{
    Q_UNUSED(painter);
    Q_UNUSED(overGrip);
    m_gripRect = rect;
}

void CZvSplitterbar::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    DrawBackground(painter, rect(), m_overGrip);
}

void CZvSplitterbar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    DoLButtonDown(event->position().toPoint());
    update();
}

void CZvSplitterbar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_dragging) {
        updateOverGrip(pos);
        return;
    }
    const QRect client = parentClientRect();
    const QPoint inParent = mapToParent(pos);
    const int along = m_horizontal ? inParent.y() - client.top() : inParent.x() - client.left();
    const int length = m_horizontal ? client.height() : client.width();
    SetFirstWndWH(std::clamp(along - m_dragOffset, 0, std::max(length - m_thickness, 0)));
    AdjustLayout();
}

void CZvSplitterbar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool dragged = m_dragging;
    m_pressed = false;
    m_dragging = false;
    updateOverGrip(event->position().toPoint());
    update();
    if (dragged && m_notify)
        m_notify->OnSplitterChildWindowSizeChanged();
}

void CZvSplitterbar::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_overGrip) {
        m_overGrip = false;
        update();
    }
}

void CZvSplitterbar::updateOverGrip(const QPoint &pos)
{
    const bool over = m_gripRect.contains(pos);
    if (over != m_overGrip) {
        m_overGrip = over;
        update();
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
