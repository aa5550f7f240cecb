// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/screenshotportal_p.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Waits for the Response signal of one portal request.
class PortalResponse : public QObject
{
    Q_OBJECT
public:
    bool answered = false;
    uint response = 2;
    QVariantMap results;
    QEventLoop loop;

public Q_SLOTS:
    void onResponse(uint code, const QVariantMap &values)
    {
        answered = true;
        response = code;
        results = values;
        loop.quit();
    }
};

bool listen(QDBusConnection &bus, const QString &path, PortalResponse *receiver)
{
    return bus.connect(QString(), path, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), receiver, SLOT(onResponse(uint, QVariantMap)));
}

} // namespace

QImage ScreenshotPortal::Take(const QDBusConnection &connection, QString *error, int timeoutMs)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QImage();
    };
    QDBusConnection bus(connection);
    if (!bus.isConnected())
        return fail(QCoreApplication::translate(
            "ScreenCapture", "The desktop portal cannot be reached: there is no session bus."));

    // The request's object path is known beforehand, so its answer cannot be missed.
    const QString token = QStringLiteral("tavrik%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    QString requestPath = PortalPath + QStringLiteral("/request/") + sender + u'/' + token;
    PortalResponse response;
    listen(bus, requestPath, &response);

    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false},
                        {QStringLiteral("modal"), true}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return fail(
            QCoreApplication::translate("ScreenCapture",
                                        "The desktop portal cannot take a screenshot: %1")
                .arg(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()));
    // Older portals choose the path themselves.
    const QString handle = qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
    if (!handle.isEmpty() && handle != requestPath) {
        listen(bus, handle, &response);
        requestPath = handle;
    }
    if (!response.answered) {
        QTimer::singleShot(timeoutMs, &response.loop, &QEventLoop::quit);
        response.loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!response.answered)
        return fail(
            QCoreApplication::translate("ScreenCapture", "The desktop portal did not answer."));
    if (response.response != 0)
        return fail(QCoreApplication::translate("ScreenCapture",
                                                "The desktop portal refused the screenshot."));
    const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
    const QImage picture(uri.toLocalFile());
    if (picture.isNull())
        return fail(QCoreApplication::translate("ScreenCapture",
                                                "The desktop portal's picture cannot be read: %1")
                        .arg(uri.toDisplayString()));
    // The portal leaves its picture among the user's files; the capture keeps it in memory.
    QFile::remove(uri.toLocalFile());
    return picture;
}

} // namespace TAVRIKCORE::RICHEDITOR

#include "screenshotportal_linux.moc"
