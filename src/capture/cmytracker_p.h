// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "capture/trackrect_p.h"
#include "tavrik_autotest_export_p.h"

#include <QColor>
#include <QCursor>
#include <QPointer>
#include <QSize>

#include <array>

class QPainter;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

// A rectangle the user moves and resizes with the mouse: it draws the rectangle with a frame
// and eight sizing handles, tells which handle (or the inside) a point hits, picks the cursor
// for it, and follows a drag while keeping a minimum size.
//
// The drag is driven by the window's own mouse events: TrackHandle takes Qt's mouse grab for
// the window and starts it, the window hands on its moves and the release (TrackMove,
// TrackRelease), and the Escape key or a right press cancel it (TrackCancel), putting the
// rectangle back where it was.
class TAVRIK_AUTOTEST_EXPORT CMyTracker
{
public:
    // Style flags; any bit of CentredMask puts the handles across the frame.
    enum Style : unsigned {
        SolidLine = 1,
        DottedLine = 2,
        HatchedBorder = 4,
        ResizeInside = 8,
        ResizeOutside = 16,
        HatchInside = 32,
        CentredHandles = 64,
    };
    static constexpr unsigned CentredMask = 0xF4240;

    // Hit results: the handles, the inside, nothing.
    enum Hit {
        HitNothing = -1,
        HitTopLeft = 0,
        HitTopRight = 1,
        HitBottomRight = 2,
        HitBottomLeft = 3,
        HitTop = 4,
        HitRight = 5,
        HitBottom = 6,
        HitLeft = 7,
        HitMiddle = 8,
    };
    // The cursor table: one per hit result, then the four-way cursor of a hatched border.
    static constexpr int CursorCount = 10;
    static constexpr int FourWayCursor = 9;

    // Style 0, an empty rectangle, handles of the border width (4), a minimum of twice that
    // in each direction, colour black, no inverting, Qt's sizing cursors.
    CMyTracker();
    virtual ~CMyTracker();
    CMyTracker(const CMyTracker &) = delete;
    CMyTracker &operator=(const CMyTracker &) = delete;

    // The width of the frame handles are measured against (4).
    static int BorderWidth();

    unsigned style() const { return m_style; }
    void setStyle(unsigned style) { m_style = style; }
    const TrackRect &rect() const { return m_rect; }
    void setRect(const TrackRect &rect) { m_rect = rect; }
    QSize minSize() const { return m_minSize; }
    void setMinSize(const QSize &size) { m_minSize = size; }
    int handleSize() const { return m_handleSize; }
    void setHandleSize(int size) { m_handleSize = size; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    bool allowInvert() const { return m_allowInvert; }
    void setAllowInvert(bool allow) { m_allowInvert = allow; }
    const QCursor &handleCursor(int index) const { return m_cursors.at(index); }
    void setHandleCursor(int index, const QCursor &cursor) { m_cursors.at(index) = cursor; }

    // Draws the selected area, the frame one pixel outside the normalised rectangle, the
    // hatching of the hatched styles and the handles in the tracker's colour.
    virtual void Draw(QPainter &painter) const;
    // Paints the inside of `rect` (the normalised rectangle); nothing here.
    virtual void DrawSelectedArea(QPainter &painter, const TrackRect &rect) const;
    // Shows the rectangle `rect` during a drag; here the window repaints.
    virtual void DrawTrackerRect(const TrackRect &rect, QWidget *window);
    // Keeps the edges `handle` moves at least the minimum size apart.
    virtual void AdjustRect(int handle, TrackRect &rect) const;
    // The rectangle changed during a drag; `previous` is the one before. Nothing here.
    virtual void OnChangedRect(const TrackRect &previous);
    // Bits of the handles shown: the corners always, top and bottom (0x50) when the rectangle
    // is wide enough, left and right (0xA0) when it is high enough.
    virtual unsigned GetHandleMask() const;
    // The side of a handle square for `rect` (the tracker's own rectangle when null).
    virtual int GetHandleSize(const TrackRect *rect = nullptr) const;

    // The handle or the inside at `point`, HitNothing outside.
    int HitTest(const QPoint &point) const;
    // The first shown handle whose square holds `point`, else the inside or nothing.
    int HitTestHandles(const QPoint &point) const;
    // Sets the cursor of the handle at `point` (window coordinates) on `window`; false when
    // nothing is hit there.
    bool SetCursor(QWidget *window, const QPoint &point) const;
    // The square of `handle`; for an inverted rectangle, at the place of its mirror.
    TrackRect GetHandleRect(int handle) const;
    // The handle that sits where `handle` is drawn when the rectangle is inverted (left and
    // right swapped when the width is negative, top and bottom when the height is).
    int MirrorHandle(int handle) const;

    // Starts dragging `handle` from `point`, grabbing the mouse for `window` (which may be
    // null, for a drag fed by hand). False when another window holds the mouse grab.
    bool TrackHandle(int handle, QWidget *window, const QPoint &point);
    bool IsTracking() const { return m_trackHandle != HitNothing; }
    // The cursor moved to `point` during a drag.
    void TrackMove(const QPoint &point);
    // The button was released at `point`: the drag ends. True when the rectangle differs from
    // the one the drag began with.
    bool TrackRelease(const QPoint &point);
    // Ends the drag with the rectangle it began with.
    void TrackCancel();

private:
    // Follows the cursor to `point`; `finish` on the release.
    void trackTo(const QPoint &point, bool finish);
    void endTracking();
    // The edges `handle` moves (null for none).
    int *movingX(int handle, TrackRect &rect) const;
    int *movingY(int handle, TrackRect &rect) const;

    unsigned m_style = 0;
    TrackRect m_rect;
    QSize m_minSize;
    int m_handleSize = 0;
    QColor m_color = Qt::black;
    bool m_allowInvert = false;
    std::array<QCursor, CursorCount> m_cursors;

    // The drag in progress.
    int m_trackHandle = HitNothing;
    QPointer<QWidget> m_trackWindow;
    TrackRect m_savedRect; // where the drag began
    QPoint m_offset; // from the moving edges to the cursor
    bool m_moved = false; // changed at least once
};

} // namespace TAVRIKCORE::RICHEDITOR
