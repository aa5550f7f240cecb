// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/cmytracker_p.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <cstdlib>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// Diagonal hatching: an 8 x 8 pattern of rows 0x11, 0x22, 0x44, 0x88, repeated.
QBrush hatchBrush(const QColor &color)
{
    static const uchar rows[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
    return QBrush(color, QBitmap::fromData(QSize(8, 8), rows, QImage::Format_Mono));
}

} // namespace

CMyTracker::CMyTracker()
    : m_minSize(2 * BorderWidth(), 2 * BorderWidth()), m_handleSize(BorderWidth())
{
    m_cursors
        = {QCursor(Qt::SizeFDiagCursor), QCursor(Qt::SizeBDiagCursor), QCursor(Qt::SizeFDiagCursor),
           QCursor(Qt::SizeBDiagCursor), QCursor(Qt::SizeVerCursor),   QCursor(Qt::SizeHorCursor),
           QCursor(Qt::SizeVerCursor),   QCursor(Qt::SizeHorCursor),   QCursor(Qt::SizeAllCursor),
           QCursor(Qt::SizeAllCursor)};
}

CMyTracker::~CMyTracker()
{
    endTracking();
}

int CMyTracker::BorderWidth()
{
    return 4;
}

void CMyTracker::Draw(QPainter &painter) const
{
    painter.save();
    const TrackRect rect = m_rect.normalized();
    DrawSelectedArea(painter, rect);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_style & (SolidLine | DottedLine)) {
        painter.setPen(QPen(m_color, 0, (m_style & SolidLine) ? Qt::SolidLine : Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(rect.left - 1, rect.top - 1, rect.width() + 1, rect.height() + 1));
    }
    if (m_style & (HatchInside | HatchedBorder)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(hatchBrush(m_color));
        if (m_style & HatchInside)
            painter.drawRect(rect.toQRect());
        if (m_style & HatchedBorder) {
            const int size = GetHandleSize() - 1;
            painter.setClipRegion(QRegion(rect.inflated(size, size).toQRect())
                                  - QRegion(rect.toQRect()));
            painter.drawRect(rect.inflated(size, size).toQRect());
            painter.setClipping(false);
        }
    }
    if (m_style & (ResizeInside | ResizeOutside)) {
        const unsigned mask = GetHandleMask();
        for (int handle = 0; handle < 8; ++handle) {
            if (mask & (1u << handle))
                painter.fillRect(GetHandleRect(handle).toQRect(), m_color);
        }
    }
    painter.restore();
}

void CMyTracker::DrawSelectedArea(QPainter &, const TrackRect &) const { }

void CMyTracker::DrawTrackerRect(const TrackRect &, QWidget *window)
{
    if (window)
        window->update();
}

int *CMyTracker::movingX(int handle, TrackRect &rect) const
{
    switch (handle) {
    case HitTopLeft:
    case HitBottomLeft:
    case HitLeft:
    case HitMiddle:
        return &rect.left;
    case HitTopRight:
    case HitBottomRight:
    case HitRight:
        return &rect.right;
    default:
        return nullptr;
    }
}

int *CMyTracker::movingY(int handle, TrackRect &rect) const
{
    switch (handle) {
    case HitTopLeft:
    case HitTopRight:
    case HitTop:
    case HitMiddle:
        return &rect.top;
    case HitBottomRight:
    case HitBottomLeft:
    case HitBottom:
        return &rect.bottom;
    default:
        return nullptr;
    }
}

void CMyTracker::AdjustRect(int handle, TrackRect &rect) const
{
    if (handle < HitTopLeft || handle >= HitMiddle)
        return;
    // Below the minimum the moving edge is put the minimum away from the fixed one; an
    // invertible rectangle keeps the direction it has.
    if (int *x = movingX(handle, rect)) {
        const int width = rect.width();
        if ((m_allowInvert ? std::abs(width) : width) < m_minSize.width()) {
            const int span = (m_allowInvert && width < 0 ? -1 : 1) * m_minSize.width();
            *x = x == &rect.left ? rect.right - span : rect.left + span;
        }
    }
    if (int *y = movingY(handle, rect)) {
        const int height = rect.height();
        if ((m_allowInvert ? std::abs(height) : height) < m_minSize.height()) {
            const int span = (m_allowInvert && height < 0 ? -1 : 1) * m_minSize.height();
            *y = y == &rect.top ? rect.bottom - span : rect.top + span;
        }
    }
}

void CMyTracker::OnChangedRect(const TrackRect &) { }

unsigned CMyTracker::GetHandleMask() const
{
    unsigned mask = 0x0F;
    const int sides = 3 * m_handleSize;
    if (std::abs(m_rect.width()) - sides >= 5)
        mask |= 0x50;
    if (std::abs(m_rect.height()) - sides >= 5)
        mask |= 0xA0;
    return mask;
}

int CMyTracker::GetHandleSize(const TrackRect *rect) const
{
    if (m_style & ResizeOutside)
        return m_handleSize;
    const TrackRect &r = rect ? *rect : m_rect;
    return std::min(std::min(std::abs(r.width()), std::abs(r.height())) / 2, m_handleSize);
}

int CMyTracker::MirrorHandle(int handle) const
{
    // Mirrors across the vertical axis, then the horizontal one.
    static constexpr int acrossX[9] = {1, 0, 3, 2, 4, 7, 6, 5, 8};
    static constexpr int acrossY[9] = {3, 2, 1, 0, 6, 5, 4, 7, 8};
    if (handle < HitTopLeft || handle > HitMiddle)
        return handle;
    if (m_rect.width() < 0)
        handle = acrossX[handle];
    if (m_rect.height() < 0)
        handle = acrossY[handle];
    return handle;
}

TrackRect CMyTracker::GetHandleRect(int handle) const
{
    TrackRect r = m_rect.normalized();
    if (m_style & (SolidLine | DottedLine))
        r = r.inflated(1, 1);
    const int size = GetHandleSize();
    if (m_style & ResizeOutside) {
        const int grow = (m_style & CentredMask) ? size - size / 2 - 1 : size - 1;
        r = r.inflated(grow, grow);
    }
    const int centreX = r.left + (r.width() - size) / 2;
    const int centreY = r.top + (r.height() - size) / 2;
    QPoint at;
    switch (MirrorHandle(handle)) {
    case HitTopLeft:
        at = QPoint(r.left, r.top);
        break;
    case HitTopRight:
        at = QPoint(r.right - size, r.top);
        break;
    case HitBottomRight:
        at = QPoint(r.right - size, r.bottom - size);
        break;
    case HitBottomLeft:
        at = QPoint(r.left, r.bottom - size);
        break;
    case HitTop:
        at = QPoint(centreX, r.top);
        break;
    case HitRight:
        at = QPoint(r.right - size, centreY);
        break;
    case HitBottom:
        at = QPoint(centreX, r.bottom - size);
        break;
    case HitLeft:
        at = QPoint(r.left, centreY);
        break;
    default:
        return {};
    }
    return {at.x(), at.y(), at.x() + size, at.y() + size};
}

int CMyTracker::HitTest(const QPoint &point) const
{
    int grow = 0;
    if (m_style & (ResizeOutside | HatchedBorder))
        grow += GetHandleSize() - 1;
    if (m_style & (SolidLine | DottedLine))
        grow += 1;
    if (!m_rect.normalized().inflated(grow, grow).contains(point))
        return HitNothing;
    if (!(m_style & (ResizeInside | ResizeOutside)))
        return HitMiddle;
    return HitTestHandles(point);
}

int CMyTracker::HitTestHandles(const QPoint &point) const
{
    const unsigned mask = GetHandleMask();
    for (int handle = 0; handle < 8; ++handle) {
        if ((mask & (1u << handle)) && GetHandleRect(handle).contains(point))
            return handle;
    }
    if (m_style & HatchedBorder)
        return HitMiddle;
    return m_rect.normalized().inflated(1, 1).contains(point) ? HitMiddle : HitNothing;
}

bool CMyTracker::SetCursor(QWidget *window, const QPoint &point) const
{
    const int hit = HitTestHandles(point);
    if (hit == HitNothing)
        return false;
    int index = MirrorHandle(hit);
    if (hit == HitMiddle && (m_style & HatchedBorder) && !m_rect.normalized().contains(point))
        index = FourWayCursor;
    if (window)
        window->setCursor(m_cursors.at(index));
    return true;
}

bool CMyTracker::TrackHandle(int handle, QWidget *window, const QPoint &point)
{
    if (handle < HitTopLeft || handle > HitMiddle || IsTracking())
        return false;
    if (window) {
        if (QWidget *grabber = QWidget::mouseGrabber(); grabber && grabber != window)
            return false;
        window->grabMouse();
        window->update();
    }
    m_trackHandle = handle;
    m_trackWindow = window;
    m_savedRect = m_rect;
    m_moved = false;
    TrackRect probe = m_rect;
    const int *x = movingX(handle, probe);
    const int *y = movingY(handle, probe);
    m_offset = QPoint(x ? point.x() - *x : 0, y ? point.y() - *y : 0);
    return true;
}

void CMyTracker::TrackMove(const QPoint &point)
{
    trackTo(point, false);
}

bool CMyTracker::TrackRelease(const QPoint &point)
{
    if (!IsTracking())
        return false;
    trackTo(point, true);
    return !(m_rect == m_savedRect);
}

void CMyTracker::TrackCancel()
{
    if (!IsTracking())
        return;
    m_rect = m_savedRect;
    if (m_moved)
        DrawTrackerRect(m_rect, m_trackWindow);
    endTracking();
}

void CMyTracker::trackTo(const QPoint &point, bool finish)
{
    if (!IsTracking())
        return;
    const TrackRect old = m_rect;
    if (int *x = movingX(m_trackHandle, m_rect))
        *x = point.x() - m_offset.x();
    if (int *y = movingY(m_trackHandle, m_rect))
        *y = point.y() - m_offset.y();
    if (m_trackHandle == HitMiddle) {
        m_rect.right = m_rect.left + m_savedRect.width();
        m_rect.bottom = m_rect.top + m_savedRect.height();
    }
    AdjustRect(m_trackHandle, m_rect);
    const bool changed = !(old == m_rect);
    if (changed || finish) {
        if (m_moved)
            DrawTrackerRect(old, m_trackWindow);
        OnChangedRect(old);
        if (!finish)
            m_moved = true;
    }
    if (finish)
        endTracking();
    else if (changed)
        DrawTrackerRect(m_rect, m_trackWindow);
}

void CMyTracker::endTracking()
{
    if (m_trackWindow && QWidget::mouseGrabber() == m_trackWindow)
        m_trackWindow->releaseMouse();
    m_trackHandle = HitNothing;
    m_trackWindow = nullptr;
    m_moved = false;
}

} // namespace TAVRIKCORE::RICHEDITOR
