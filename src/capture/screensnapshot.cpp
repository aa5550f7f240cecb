// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/screensnapshot_p.h"

#include "capture/screenshotportal_p.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cmath>

namespace TAVRIKCORE::RICHEDITOR {

namespace { } // namespace

ScreenSnapshot ScreenSnapshot::Take()
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (SourceFor(QGuiApplication::platformName(), qEnvironmentVariable("XDG_SESSION_TYPE"))
        == Source::Portal) {
        QString error;
        const QImage picture = ScreenshotPortal::Take(QDBusConnection::sessionBus(), &error);
        return FromPicture(picture, screen, error);
    }
    return FromScreen(screen);
}

ScreenSnapshot::Source ScreenSnapshot::SourceFor(const QString &platformName,
                                                 const QString &sessionType)
{
    return platformName.startsWith(u"wayland") || sessionType == u"wayland" ? Source::Portal
                                                                            : Source::Screen;
}

ScreenSnapshot ScreenSnapshot::FromScreen(QScreen *screen)
{
    // The screen's own place on the desktop: X11 reads it from the whole desktop.
    const QRect area = screen ? screen->geometry() : QRect();
    const QImage picture = screen
        ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage()
        : QImage();
    return FromPicture(picture, screen,
                       QCoreApplication::translate("ScreenCapture", "The screen gave no picture."));
}

ScreenSnapshot ScreenSnapshot::FromPicture(const QImage &picture, QScreen *screen,
                                           const QString &error)
{
    ScreenSnapshot snapshot;
    if (!screen) {
        snapshot.error
            = QCoreApplication::translate("ScreenCapture", "There is no screen to capture.");
        return snapshot;
    }
    snapshot.geometry = screen->geometry();
    if (picture.isNull() || snapshot.geometry.isEmpty()) {
        snapshot.error = error.isEmpty()
            ? QCoreApplication::translate("ScreenCapture", "The screen gave no picture.")
            : error;
        return snapshot;
    }
    QImage image = picture;
    // A picture of several screens side by side: cut out this one.
    const QRect desktop = screen->virtualGeometry();
    if (desktop != snapshot.geometry) {
        const qreal ratio = qreal(image.width()) / desktop.width();
        if (std::abs(image.height() - desktop.height() * ratio) <= 1.0) {
            const QPoint at = snapshot.geometry.topLeft() - desktop.topLeft();
            image = image.copy(qRound(at.x() * ratio), qRound(at.y() * ratio),
                               qRound(snapshot.geometry.width() * ratio),
                               qRound(snapshot.geometry.height() * ratio));
        }
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(qreal(image.width()) / snapshot.geometry.width());
    snapshot.image = image;
    return snapshot;
}

} // namespace TAVRIKCORE::RICHEDITOR
