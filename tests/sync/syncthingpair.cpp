// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "syncthingpair.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <QUuid>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto FolderId = "notebook";

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// Polls `done` every 100 ms until it holds or `timeoutMs` pass.
template<typename Done> bool waitFor(Done done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

} // namespace

QString SyncthingPair::program()
{
    return QStandardPaths::findExecutable(u"syncthing"_s);
}

SyncthingPair::SyncthingPair(int receiveLimitKiBs)
    : m_apiKey(QUuid::createUuid().toString(QUuid::Id128)), m_receiveLimitKiBs(receiveLimitKiBs)
{ }

SyncthingPair::~SyncthingPair()
{
    for (int i = 0; i < 2; ++i)
        kill(i);
}

QString SyncthingPair::appFolder(int i) const
{
    return m_dir.path() + (i == 0 ? u"/a/"_s : u"/b/"_s);
}

bool SyncthingPair::start()
{
    for (int i = 0; i < 2; ++i) {
        Instance &instance = m_instances[size_t(i)];
        instance.home = appFolder(i) + u"syncthing-home"_s;
        QDir().mkpath(sharedFolder(i) + u"/.stfolder"_s);
        QProcess generate;
        generate.start(program(),
                       {u"generate"_s, u"--home="_s + instance.home, u"--no-default-folder"_s,
                        u"--skip-port-probing"_s});
        QProcess id;
        if (generate.waitForFinished(60000) && generate.exitCode() == 0) {
            id.start(program(), {u"--home="_s + instance.home, u"--device-id"_s});
            id.waitForFinished(60000);
        }
        instance.deviceId = QString::fromLatin1(id.readAllStandardOutput()).trimmed();
        if (instance.deviceId.size() != 63) {
            m_error = u"syncthing generate failed: "_s
                + QString::fromLocal8Bit(generate.readAllStandardError());
            return false;
        }
        instance.guiPort = freePort();
        instance.listenPort = freePort();
    }
    return restart();
}

bool SyncthingPair::restart()
{
    for (int i = 0; i < 2; ++i)
        kill(i);
    for (int i = 0; i < 2; ++i) {
        if (!writeConfig(i) || !startInstance(i))
            return false;
    }
    return waitConnected(true);
}

bool SyncthingPair::writeConfig(int i)
{
    const Instance &self = m_instances[size_t(i)];
    QString devices;
    QString folderDevices;
    for (const Instance &device : m_instances) {
        devices += uR"(<device id="%1" name="%2" compression="metadata" introducer="false">
        <address>tcp://127.0.0.1:%3</address><paused>false</paused>
        <autoAcceptFolders>false</autoAcceptFolders></device>
)"_s.arg(device.deviceId, device.deviceId.left(7))
                       .arg(device.listenPort);
        folderDevices += uR"(<device id="%1"></device>)"_s.arg(device.deviceId);
    }
    const QString config = uR"(<configuration version="36">
    <folder id="%1" label="notebook" path="%2" type="sendreceive" rescanIntervalS="3600"
            fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
        %3
        <minDiskFree unit="">0</minDiskFree>
        <markerName>.stfolder</markerName>
    </folder>
    %4
    <gui enabled="true" tls="false" debugging="false">
        <address>127.0.0.1:%5</address>
        <apikey>%6</apikey>
        <theme>default</theme>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:%7</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <urSeen>3</urSeen>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <startBrowser>false</startBrowser>
        <crashReportingEnabled>false</crashReportingEnabled>
        <setLowPriority>false</setLowPriority>
        <minHomeDiskFree unit="">0</minHomeDiskFree>
        <maxRecvKbps>%8</maxRecvKbps>
        <limitBandwidthInLan>true</limitBandwidthInLan>
        <reconnectionIntervalS>1</reconnectionIntervalS>
    </options>
</configuration>
)"_s.arg(QString::fromLatin1(FolderId), sharedFolder(i), folderDevices, devices)
                               .arg(self.guiPort)
                               .arg(m_apiKey)
                               .arg(self.listenPort)
                               .arg(i == 1 ? m_receiveLimitKiBs : 0);
    QFile file(self.home + u"/config.xml"_s);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config.toUtf8()) < 0) {
        m_error = u"cannot write "_s + file.fileName();
        return false;
    }
    return true;
}

bool SyncthingPair::startInstance(int i)
{
    Instance &instance = m_instances[size_t(i)];
    instance.process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"STNOUPGRADE"_s, u"1"_s);
    environment.insert(u"STNODEFAULTFOLDER"_s, u"1"_s);
    instance.process->setProcessEnvironment(environment);
    instance.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    instance.process->setStandardOutputFile(instance.home + u"/output.log"_s, QIODevice::Append);
    // The engine runs as two processes even with --no-restart: a group of their own lets
    // kill() end both, as a crash of the machine's engine would.
    instance.process->setChildProcessModifier([] { ::setsid(); });
    const auto launch = [&] {
        instance.process->start(
            program(),
            {u"serve"_s, u"--home="_s + instance.home, u"--no-browser"_s, u"--no-restart"_s});
        return instance.process->waitForStarted(30000);
    };
    if (!launch()) {
        m_error = u"syncthing does not start: "_s + instance.process->errorString();
        return false;
    }
    const bool answers = waitFor(
        [&] {
            // A killed instance's processes may hold its database a moment longer; the new
            // one then stops at once and is started again.
            if (instance.process->state() == QProcess::NotRunning)
                launch();
            return !rest(i, "GET", u"/rest/system/status"_s).value(u"myID"_s).isUndefined();
        },
        60000);
    if (!answers)
        m_error = u"syncthing %1 does not answer on 127.0.0.1:%2"_s.arg(i).arg(instance.guiPort);
    return answers;
}

void SyncthingPair::kill(int i)
{
    Instance &instance = m_instances[size_t(i)];
    if (!instance.process)
        return;
    if (const qint64 group = instance.process->processId(); group > 0)
        ::kill(-pid_t(group), SIGKILL);
    instance.process->kill();
    instance.process->waitForFinished(30000);
    instance.process.reset();
    // A kept connection to the killed instance would fail the next call to its new one.
    m_network.clearConnectionCache();
}

QJsonObject SyncthingPair::rest(int i, const QByteArray &method, const QString &path)
{
    QNetworkRequest request(
        QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_instances[size_t(i)].guiPort).arg(path)));
    request.setRawHeader("X-API-Key", m_apiKey.toLatin1());
    request.setTransferTimeout(60000);
    // Every call the tests make may be repeated; a busy engine now and then drops one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0)
            QThread::msleep(300);
        std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, method));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        if (reply->error() != QNetworkReply::NoError)
            continue;
        const QJsonDocument answer = QJsonDocument::fromJson(reply->readAll());
        return answer.isObject() ? answer.object() : QJsonObject{{u"ok"_s, true}};
    }
    return {};
}

bool SyncthingPair::scan(int i)
{
    return !rest(i, "POST", u"/rest/db/scan?folder=%1"_s.arg(QString::fromLatin1(FolderId)))
                .isEmpty();
}

bool SyncthingPair::waitConnected(bool connected, int timeoutMs)
{
    return waitFor(
        [&] {
            const QJsonObject connections
                = rest(0, "GET", u"/rest/system/connections"_s).value(u"connections"_s).toObject();
            return connections.value(m_instances[1].deviceId)
                       .toObject()
                       .value(u"connected"_s)
                       .toBool()
                == connected;
        },
        timeoutMs);
}

bool SyncthingPair::waitInSync(int timeoutMs)
{
    // Each side's view of the other: the other holds the newest of every file.
    auto complete = [&](int i) {
        const QJsonObject completion
            = rest(i, "GET",
                   u"/rest/db/completion?folder=%1&device=%2"_s.arg(
                       QString::fromLatin1(FolderId), m_instances[size_t(1 - i)].deviceId));
        const QJsonObject status
            = rest(1 - i, "GET", u"/rest/db/status?folder=%1"_s.arg(QString::fromLatin1(FolderId)));
        return completion.value(u"completion"_s).toDouble() >= 100
            && completion.value(u"needItems"_s).toInt(-1) == 0
            && completion.value(u"needDeletes"_s).toInt(-1) == 0
            && status.value(u"needTotalItems"_s).toInt(-1) == 0
            && status.value(u"state"_s).toString() == u"idle";
    };
    return waitFor([&] { return complete(0) && complete(1); }, timeoutMs);
}

bool SyncthingPair::pauseLink(int i, bool paused)
{
    const QString path
        = (paused ? u"/rest/system/pause?device=%1"_s : u"/rest/system/resume?device=%1"_s)
              .arg(m_instances[size_t(1 - i)].deviceId);
    return !rest(i, "POST", path).isEmpty();
}
