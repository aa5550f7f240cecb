// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A stand-in for the desktop portal's screenshot on the session bus, for the capture tests.
// Each Screenshot call takes the next answer from the command line: "picture:<path>" answers
// with that file, "refuse" refuses, "silent" never answers. Prints "ready" once it serves.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <cstdio>

class ScreenshotPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    QStringList answers;

public Q_SLOTS:
    QDBusObjectPath Screenshot(const QString &, const QVariantMap &options,
                               const QDBusMessage &call)
    {
        QString sender = call.service().mid(1);
        sender.replace(u'.', u'_');
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender
            + u'/' + options.value(QStringLiteral("handle_token")).toString();
        const QString answer = answers.isEmpty() ? QStringLiteral("refuse") : answers.takeFirst();
        if (answer != u"silent") {
            QTimer::singleShot(10, this, [path, answer] {
                QDBusMessage response = QDBusMessage::createSignal(
                    path, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"));
                const bool picture = answer.startsWith(u"picture:");
                response << uint(picture ? 0 : 1)
                         << QVariantMap{{QStringLiteral("uri"),
                                         picture ? QUrl::fromLocalFile(answer.mid(8)).toString()
                                                 : QString()}};
                QDBusConnection::sessionBus().send(response);
            });
        }
        return QDBusObjectPath(path);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ScreenshotPortal portal;
    portal.answers = app.arguments().mid(1);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                            QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "portalstandin: cannot serve\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "portalstandin.moc"
