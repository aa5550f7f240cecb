// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QImage>
#include <QRect>
#include <QString>

class QScreen;

namespace TAVRIKCORE::RICHEDITOR {

// A frozen picture of one screen: what the capture shows and cuts its pictures from.
class TAVRIK_AUTOTEST_EXPORT ScreenSnapshot
{
public:
    // Where the picture comes from.
    enum class Source {
        Screen, // read from the screen (X11 and the other platforms that allow it)
        Portal, // asked of the desktop portal (Wayland, where applications cannot read it)
    };

    // The screen's pixels (its device pixel ratio set), null when there is no picture.
    QImage image;
    // The screen's place on the desktop, in device-independent pixels.
    QRect geometry;
    // Why there is no picture, for the user.
    QString error;

    bool isNull() const { return image.isNull(); }

    // The screen under the cursor (the primary one when none is), from the source the
    // platform allows.
    static ScreenSnapshot Take();
    // The source for the Qt platform plugin `platformName` in a desktop session of
    // `sessionType` (XDG_SESSION_TYPE): the portal on Wayland, also for a program that runs
    // through XWayland, which sees only its own windows.
    static Source SourceFor(const QString &platformName, const QString &sessionType);
    // Reads `screen` itself.
    static ScreenSnapshot FromScreen(QScreen *screen);
    // Fits a picture of the whole desktop, or of `screen` alone, to `screen`: the screen's
    // part is cut from a desktop picture, and the picture's pixels per screen pixel become
    // its device pixel ratio. An empty picture gives a null snapshot with `error`.
    static ScreenSnapshot FromPicture(const QImage &picture, QScreen *screen,
                                      const QString &error = QString());
};

} // namespace TAVRIKCORE::RICHEDITOR
