// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <memory>

// Two Syncthing instances on 127.0.0.1 only, sharing one folder between two application
// folders ("<app>/userdata/attachment" each): their own homes, ports and API keys, no
// discovery, relays, NAT or usage reports, each device knowing the other at its fixed address.
// Driven through the REST API.
class SyncthingPair
{
public:
    // The program, or empty when Syncthing is not installed.
    static QString program();

    // The second instance receives at most `receiveLimitKiBs` KiB a second (0: no limit).
    explicit SyncthingPair(int receiveLimitKiBs = 0);
    ~SyncthingPair();

    // Generates the keys, writes both configurations and starts both instances. False, with
    // error() set, when an instance cannot be made or does not answer.
    bool start();
    QString error() const { return m_error; }

    // The application folder of instance `i` (0 or 1), ending with '/'.
    QString appFolder(int i) const;
    QString sharedFolder(int i) const
    {
        return appFolder(i) + QStringLiteral("userdata/attachment");
    }

    // Rescans instance `i`'s folder now (the call returns once the scan is done).
    bool scan(int i);
    // Waits until each instance holds everything the other has; false after `timeoutMs`.
    bool waitInSync(int timeoutMs = 60000);
    // Waits until the two are connected, or (`connected` false) apart.
    bool waitConnected(bool connected, int timeoutMs = 30000);
    // Pauses or resumes instance `i`'s link to the other.
    bool pauseLink(int i, bool paused);
    // Both instances stopped and started again from their configuration with no device paused,
    // as after a reboot; true once they are connected again.
    bool restart();
    // Kills instance `i` at once, as a crash would; startInstance(i) brings it back.
    void kill(int i);
    bool startInstance(int i);

    // One REST call on instance `i`; an empty object when it fails.
    QJsonObject rest(int i, const QByteArray &method, const QString &path);

private:
    struct Instance
    {
        QString home;
        QString deviceId;
        quint16 guiPort = 0;
        quint16 listenPort = 0;
        std::unique_ptr<QProcess> process;
    };
    bool writeConfig(int i);

    QTemporaryDir m_dir;
    QString m_apiKey;
    int m_receiveLimitKiBs = 0;
    std::array<Instance, 2> m_instances;
    QNetworkAccessManager m_network;
    QString m_error;
};
