// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QDBusConnection>
#include <QImage>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The desktop portal's screenshot (org.freedesktop.portal.Screenshot), the way to a picture
// of the screen on Wayland.
class TAVRIK_AUTOTEST_EXPORT ScreenshotPortal
{
public:
    // How long the portal may take, the user's permission included.
    static constexpr int DefaultTimeoutMs = 60000;

    // Asks the portal on `bus` for a non-interactive screenshot and waits (in a local event
    // loop, at most `timeoutMs`) for its answer. The picture, or a null image with `error`
    // set to the reason for the user: no portal, refused or cancelled, no answer, no
    // readable picture.
    static QImage Take(const QDBusConnection &bus, QString *error,
                       int timeoutMs = DefaultTimeoutMs);
};

} // namespace TAVRIKCORE::RICHEDITOR
