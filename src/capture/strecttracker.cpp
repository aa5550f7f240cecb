// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/strecttracker_p.h"

#include "capture/screencapturedlgbase_p.h"

#include <QPainter>

namespace TAVRIKCORE::RICHEDITOR {

STRectTracker::STRectTracker(ScreenCaptureDlgBase *owner) : m_owner(owner)
{
    setStyle(CaptureStyle);
    setColor(QColor::fromRgb(CaptureColor));
}

void STRectTracker::DrawSelectedArea(QPainter &painter, const TrackRect &rect) const
{
    const QImage &snapshot = m_owner->snapshot();
    const qreal ratio = snapshot.devicePixelRatio();
    const QRect area
        = rect.toQRect().intersected(QRect(QPoint(), snapshot.deviceIndependentSize().toSize()));
    if (area.isEmpty())
        return;
    painter.drawImage(
        QRectF(area), snapshot,
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

void STRectTracker::DrawTrackerRect(const TrackRect &, QWidget *)
{
    m_owner->UpdateCaptureRegion();
}

void STRectTracker::OnChangedRect(const TrackRect &previous)
{
    m_owner->OnTrackerRectChanged(rect(), previous);
}

} // namespace TAVRIKCORE::RICHEDITOR
