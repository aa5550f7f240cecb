// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/czvsplitterbar.h"

#include "skin/izvsplitterbarnotify.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

class CZvSplitterbar::Private
{
public:
    QPointer<QWidget> first;
    QPointer<QWidget> second;
    IZvSplitterbarNotify *notify = nullptr;
    int id = 0;
    bool created = false;
    bool horizontal = true;
    bool pressed = false;
    bool dragging = false;
    bool folded = false;
    bool overGrip = false;
    int berthPos = Bottom;
    int thickness = 6;
    int firstExtent = 0;
    int dragOffset = 0;
    QRect gripRect;
};

CZvSplitterbar::CZvSplitterbar() : d(std::make_unique<Private>())
{
    setMouseTracking(true);
}

CZvSplitterbar::~CZvSplitterbar() = default;

int CZvSplitterbar::CreateSplitterBar(QWidget *parent, int id, bool horizontal)
{
    if (!parent || d->created)
        return 0;
    setParent(parent);
    d->id = id;
    d->horizontal = horizontal;
    d->created = true;
    setCursor(horizontal ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    show();
    return 1;
}

void CZvSplitterbar::SetSplitterWnd(QWidget *first, QWidget *second)
{
    d->first = first;
    d->second = second;
}

QWidget *CZvSplitterbar::firstPane() const
{
    return d->first;
}

QWidget *CZvSplitterbar::secondPane() const
{
    return d->second;
}

void CZvSplitterbar::SetNotify(IZvSplitterbarNotify *notify)
{
    d->notify = notify;
}

IZvSplitterbarNotify *CZvSplitterbar::notify() const
{
    return d->notify;
}

void CZvSplitterbar::SetThickness(int thickness)
{
    if (thickness >= 1)
        d->thickness = thickness;
}

int CZvSplitterbar::thickness() const
{
    return d->thickness;
}

void CZvSplitterbar::SetBerthPos(int side)
{
    if (side >= Left && side <= Bottom)
        d->berthPos = side;
}

int CZvSplitterbar::berthPos() const
{
    return d->berthPos;
}

void CZvSplitterbar::SetFirstWndWH(int extent)
{
    d->firstExtent = std::max(extent, 0);
}

int CZvSplitterbar::GetFirstWndWH() const
{
    return d->firstExtent;
}

bool CZvSplitterbar::isHorizontal() const
{
    return d->horizontal;
}

bool CZvSplitterbar::isPressed() const
{
    return d->pressed;
}

bool CZvSplitterbar::isFolded() const
{
    return d->folded;
}

void CZvSplitterbar::setFolded(bool folded)
{
    d->folded = folded;
}

int CZvSplitterbar::id() const
{
    return d->id;
}

QRect CZvSplitterbar::gripRect() const
{
    return d->gripRect;
}

void CZvSplitterbar::setGripRect(const QRect &rect)
{
    d->gripRect = rect;
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
    const int length = d->horizontal ? client.height() : client.width();
    const int room = std::max(length - d->thickness, 0);
    int extent = std::min(d->firstExtent, room);
    if (d->folded) {
        const bool towardsFirst = d->horizontal ? d->berthPos == Top : d->berthPos == Left;
        extent = towardsFirst ? 0 : room;
    }
    const int rest = room - extent;
    if (d->horizontal) {
        if (d->first)
            d->first->setGeometry(client.left(), client.top(), client.width(), extent);
        setGeometry(client.left(), client.top() + extent, client.width(), d->thickness);
        if (d->second)
            d->second->setGeometry(client.left(), client.top() + extent + d->thickness,
                                   client.width(), rest);
    } else {
        if (d->first)
            d->first->setGeometry(client.left(), client.top(), extent, client.height());
        setGeometry(client.left() + extent, client.top(), d->thickness, client.height());
        if (d->second)
            d->second->setGeometry(client.left() + extent + d->thickness, client.top(), rest,
                                   client.height());
    }
    raise();
}

void CZvSplitterbar::DoLButtonDown(const QPoint &pos)
{
    if (d->folded || (d->notify && !d->notify->OnSplitterDragAllowed()))
        return;
    d->dragging = true;
    d->dragOffset = d->horizontal ? pos.y() : pos.x();
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
    d->gripRect = rect;
}

void CZvSplitterbar::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    DrawBackground(painter, rect(), d->overGrip);
}

void CZvSplitterbar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    d->pressed = true;
    DoLButtonDown(event->position().toPoint());
    update();
}

void CZvSplitterbar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!d->dragging) {
        updateOverGrip(pos);
        return;
    }
    const QRect client = parentClientRect();
    const QPoint inParent = mapToParent(pos);
    const int along = d->horizontal ? inParent.y() - client.top() : inParent.x() - client.left();
    const int length = d->horizontal ? client.height() : client.width();
    SetFirstWndWH(std::clamp(along - d->dragOffset, 0, std::max(length - d->thickness, 0)));
    AdjustLayout();
}

void CZvSplitterbar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool dragged = d->dragging;
    d->pressed = false;
    d->dragging = false;
    updateOverGrip(event->position().toPoint());
    update();
    if (dragged && d->notify)
        d->notify->OnSplitterChildWindowSizeChanged();
}

void CZvSplitterbar::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (d->overGrip) {
        d->overGrip = false;
        update();
    }
}

void CZvSplitterbar::updateOverGrip(const QPoint &pos)
{
    const bool over = d->gripRect.contains(pos);
    if (over != d->overGrip) {
        d->overGrip = over;
        update();
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
