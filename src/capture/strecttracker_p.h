// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "capture/cmytracker_p.h"

namespace TAVRIKCORE::RICHEDITOR {

class ScreenCaptureDlgBase;

// The capture's selection: the selected area is painted from the undimmed snapshot, and the
// capture window repaints and follows the changes during a drag.
class TAVRIK_AUTOTEST_EXPORT STRectTracker : public CMyTracker
{
public:
    // The capture's look: style 81 (solid frame, handles outside and centred on the frame),
    // colour red 10, green 100, blue 130.
    static constexpr unsigned CaptureStyle = SolidLine | ResizeOutside | CentredHandles;
    static constexpr QRgb CaptureColor = 0x0A6482;

    explicit STRectTracker(ScreenCaptureDlgBase *owner);

    void DrawSelectedArea(QPainter &painter, const TrackRect &rect) const override;
    void DrawTrackerRect(const TrackRect &rect, QWidget *window) override;
    void OnChangedRect(const TrackRect &previous) override;

private:
    ScreenCaptureDlgBase *m_owner;
};

} // namespace TAVRIKCORE::RICHEDITOR
