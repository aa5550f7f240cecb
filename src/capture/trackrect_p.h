// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QPoint>
#include <QRect>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

// A rectangle given by its four edges, right and bottom lying just outside it. Unlike QRect it
// stays inverted (right < left or bottom < top) while the user drags one edge across the
// other, so a drag can be followed edge by edge.
struct TrackRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    // No area: an inverted rectangle is empty too.
    bool isEmpty() const { return right <= left || bottom <= top; }
    // The same rectangle with left <= right and top <= bottom.
    TrackRect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
    }
    // Grown by `dx` on the left and right and by `dy` on the top and bottom.
    TrackRect inflated(int dx, int dy) const
    {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    bool contains(const QPoint &point) const
    {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }
    // The normalised rectangle as a QRect.
    QRect toQRect() const
    {
        const TrackRect n = normalized();
        return QRect(n.left, n.top, n.width(), n.height());
    }
    static TrackRect fromQRect(const QRect &rect)
    {
        return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    }
    bool operator==(const TrackRect &other) const = default;
};

} // namespace TAVRIKCORE::RICHEDITOR
