// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "common/log4c.h"
#include "common/singleton.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <fcntl.h>
#include <future>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr qint64 cap = 10485760;

CLog4C *logger()
{
    return CLog4C::GetInstance();
}

// Messages of the whole file at `path`, without their prefixes.
Lines messagesIn(const QString &path)
{
    Lines messages;
    for (const QByteArray &line : readBytes(path).split('\n')) {
        if (!line.isEmpty())
            messages.push_back(LogCapture::messageOf(QString::fromUtf8(line)));
    }
    return messages;
}

qint64 logSize()
{
    logger()->Flush();
    return QFileInfo(logger()->FilePath()).size();
}

QByteArray tidHex()
{
    return QByteArray::number(qulonglong(::gettid()), 16);
}

const QRegularExpression
    linePattern(uR"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3}) TID:0x([0-9a-f]+) (.*)$)"_s);

} // namespace

TEST(Log4C, LineCarriesTimeThreadAndUtf8MessageWithItsControlCharactersEscaped)
{
    const qint64 before = logSize();
    const QDateTime earliest = QDateTime::currentDateTime().addMSecs(-1);
    logger()->WriteLog(u"[ERROR] 附件 wörld"_s);
    const QDateTime latest = QDateTime::currentDateTime().addMSecs(1);

    logger()->Flush();
    const QByteArray bytes = readBytes(logger()->FilePath()).mid(before);
    ASSERT_EQ(bytes.count('\n'), 1) << bytes.constData();
    ASSERT_TRUE(bytes.endsWith("\n"));
    const QRegularExpressionMatch match = linePattern.match(QString::fromUtf8(bytes.chopped(1)));
    ASSERT_TRUE(match.hasMatch()) << bytes.constData();
    const QDateTime stamp = QDateTime::fromString(match.captured(1), u"yyyy-MM-dd HH:mm:ss:zzz"_s);
    EXPECT_LE(earliest, stamp);
    EXPECT_GE(latest, stamp);
    EXPECT_EQ(match.captured(2).toLatin1(), tidHex());
    EXPECT_EQ(match.captured(3).toUtf8(), "[ERROR] \xE9\x99\x84\xE4\xBB\xB6 w\xC3\xB6rld");

    // Control characters, separators and the backslash are escaped, so no line can be forged.
    const QString cases[][2] = {
        {QString(), QString()}, // an empty message adds no line
        {u"a\r\nb"_s, u"a\\r\\nb"_s},
        {u"col\tcol\x1b[31mred del\x7f"_s, u"col\\tcol\\x1b[31mred del\\x7f"_s},
        {u"nul\0end\x01\x1f "_s, u"nul\\x00end\\x01\\x1f "_s},
        // A typed backslash-n reads back apart from an escaped line break.
        {u"userdata\\attachment\\new.png"_s, u"userdata\\\\attachment\\\\new.png"_s},
        {u"C1 \u0080 nel\u0085csi\u009b[2J \u009f, not \u00a0\u00ff"_s,
         u"C1 \\u0080 nel\\u0085csi\\u009b[2J \\u009f, not \u00a0\u00ff"_s},
        {u"\u2027 a\u2028b\u2029c \u202a"_s, u"\u2027 a\\u2028b\\u2029c \u202a"_s},
        {u"ok\n2026-01-01 00:00:00:000 TID:0x1 [ERROR] forged"_s,
         u"ok\\n2026-01-01 00:00:00:000 TID:0x1 [ERROR] forged"_s},
    };
    for (const auto &[message, written] : cases) {
        const qint64 start = logSize();
        logger()->WriteLog(message);
        logger()->WriteLog(u"next"_s);
        logger()->Flush();
        const QList<QByteArray> lines = readBytes(logger()->FilePath()).mid(start).split('\n');
        Lines messages;
        for (const QByteArray &line : lines)
            messages.push_back(LogCapture::messageOf(QString::fromUtf8(line)));
        EXPECT_EQ(messages,
                  (written.isEmpty() ? Lines{u"next"_s, {}} : Lines{written, u"next"_s, {}}))
            << "for " << message.toStdString();
        // Read back through the escapes, the message is what was written.
        LogCapture log;
        logger()->WriteLog(message);
        EXPECT_EQ(log.lines(), message.isEmpty() ? Lines{} : Lines{message});
    }
}

TEST(Log4C, LinesFromSeveralThreadsKeepTheirOrderAndTheirThreadId)
{
    constexpr int threads = 4;
    constexpr int perThread = 400;
    const qint64 before = logSize();
    std::vector<QByteArray> tids(threads);
    std::atomic<int> ready{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t, &tids, &ready] {
            tids[size_t(t)] = tidHex();
            ++ready;
            while (ready.load() < threads)
                std::this_thread::yield();
            for (int i = 0; i < perThread; ++i)
                logger()->WriteLog(
                    u"worker %1 line %2 ---------------------------------"_s.arg(t).arg(i));
        });
    }
    for (std::thread &worker : workers)
        worker.join();

    logger()->Flush();
    const QList<QByteArray> lines
        = readBytes(logger()->FilePath()).mid(before).trimmed().split('\n');
    ASSERT_EQ(lines.size(), threads * perThread);
    std::map<int, int> next;
    const QRegularExpression message(u"^worker (\\d) line (\\d+) -{33}$"_s);
    for (const QByteArray &line : lines) {
        const QRegularExpressionMatch whole = linePattern.match(QString::fromUtf8(line));
        ASSERT_TRUE(whole.hasMatch()) << line.constData();
        const QRegularExpressionMatch parts = message.match(whole.captured(3));
        ASSERT_TRUE(parts.hasMatch()) << line.constData();
        const int t = parts.captured(1).toInt();
        EXPECT_EQ(parts.captured(2).toInt(), next[t]++) << line.constData();
        EXPECT_EQ(whole.captured(2).toLatin1(), tids[size_t(t)]) << line.constData();
    }
}

TEST(Log4C, FileAtTheCapIsAppendedToPastItStartedAfreshAndInTheWayWaitedFor)
{
    const QString path = logger()->FilePath();
    logger()->Flush();

    ASSERT_TRUE(writeBytes(path, QByteArray(cap, '\0')));
    logger()->WriteLog(u"at cap"_s);
    logger()->Flush();
    QByteArray bytes = readBytes(path);
    ASSERT_GT(bytes.size(), cap);
    EXPECT_EQ(bytes.left(cap), QByteArray(cap, '\0'));
    EXPECT_EQ(LogCapture::messageOf(QString::fromUtf8(bytes.mid(cap).chopped(1))), u"at cap"_s);

    // Now above the cap: the next pass deletes it and writes only its own lines.
    logger()->WriteLog(u"fresh 1"_s);
    logger()->WriteLog(u"fresh 2"_s);
    logger()->Flush();
    EXPECT_EQ(messagesIn(path), (Lines{u"fresh 1"_s, u"fresh 2"_s}));

    ASSERT_TRUE(writeBytes(path, QByteArray(cap + 1, '\0')));
    logger()->WriteLog(u"past cap"_s);
    logger()->Flush();
    EXPECT_EQ(messagesIn(path), Lines{u"past cap"_s});

    // With nothing queued a pass still creates a missing file, empty.
    ASSERT_TRUE(QFile::remove(path));
    logger()->Flush();
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(QFileInfo(path).size(), 0);

    // The log file's place is taken by a folder: it cannot be opened for appending and, once its
    // size passes the cap, cannot be deleted either. Lines wait until it is gone.
    for (const bool overCap : {false, true}) {
        logger()->Flush();
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QDir().mkdir(path));
        if (overCap) {
            // Grow the folder past the cap with hard links to one file.
            const QString seed = path + u"/seed"_s;
            ASSERT_TRUE(writeBytes(seed, "x"));
            const QByteArray longName(200, 'n');
            struct stat info;
            for (int i = 0;
                 ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_size <= cap;
                 ++i) {
                const QByteArray name
                    = QFile::encodeName(path) + '/' + QByteArray::number(i) + longName;
                if (i == 2000000
                    || ::link(QFile::encodeName(seed).constData(), name.constData()) != 0) {
                    QDir(path).removeRecursively();
                    GTEST_SKIP() << "this file system does not let a folder grow past the cap";
                }
            }
        }
        logger()->WriteLog(u"kept 1"_s);
        logger()->Flush();
        logger()->WriteLog(u"kept 2"_s);
        logger()->Flush();
        EXPECT_TRUE(QFileInfo(path).isDir()) << "over cap: " << overCap;

        ASSERT_TRUE(QDir(path).removeRecursively());
        logger()->Flush();
        EXPECT_EQ(messagesIn(path), (Lines{u"kept 1"_s, u"kept 2"_s})) << "over cap: " << overCap;
    }
}

// Runs in a child process only: logs and exits at once, long before the writer thread wakes.
TEST(Log4C, DISABLED_ChildLogsAndExits)
{
    while (!QFileInfo::exists(logger()->FilePath()))
        QThread::msleep(5);
    logger()->WriteLog(u"last 1"_s);
    logger()->WriteLog(u"last 2"_s);
}

TEST(Log4C, QueuedLinesAreWrittenWhenTheProcessExits)
{
    QTemporaryDir dir;
    // posix_spawn rather than QProcess: the thread sanitizer does not follow QProcess's fork.
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    char alsoDisabled[] = "--gtest_also_run_disabled_tests";
    char filter[] = "--gtest_filter=Log4C.DISABLED_ChildLogsAndExits";
    char *arguments[] = {const_cast<char *>(program.constData()), alsoDisabled, filter, nullptr};
    const QByteArray ownAppDir = qgetenv("TAVRIK_APP_DIR");
    qputenv("TAVRIK_APP_DIR", QFile::encodeName(dir.path()));
    pid_t child = 0;
    const int spawned
        = ::posix_spawn(&child, program.constData(), nullptr, nullptr, arguments, environ);
    qputenv("TAVRIK_APP_DIR", ownAppDir);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    EXPECT_EQ(messagesIn(dir.filePath(u"ZorvaEditor.log"_s)), (Lines{u"last 1"_s, u"last 2"_s}));
}

TEST(Log4C, DestructionWritesQueuedLinesLeavesTheRegistryAndWaitsAtMostThreeSeconds)
{
    logger()->Flush();
    const int registered = SingletonRegistryCount();
    QTemporaryDir dir;
    SetAppDirectory(dir.path());
    delete CLog4C::GetInstance();
    EXPECT_EQ(SingletonRegistryCount(), registered - 1);

    // Many threads racing for the first instance all get the same one.
    std::vector<CLog4C *> seen(8);
    std::vector<std::thread> racers;
    for (size_t i = 0; i < seen.size(); ++i)
        racers.emplace_back([i, &seen] { seen[i] = CLog4C::GetInstance(); });
    for (std::thread &racer : racers)
        racer.join();
    for (CLog4C *instance : seen)
        EXPECT_EQ(instance, seen.front());
    EXPECT_EQ(SingletonRegistryCount(), registered);

    CLog4C *fresh = CLog4C::GetInstance();
    const QString path = dir.filePath(u"ZorvaEditor.log"_s);
    EXPECT_EQ(fresh->FilePath(), path);
    while (!QFileInfo::exists(path))
        QThread::msleep(5);
    fresh->WriteLog(u"before destruction"_s);
    delete fresh;
    EXPECT_EQ(SingletonRegistryCount(), registered - 1);
    EXPECT_EQ(messagesIn(path), Lines{u"before destruction"_s});

    SetAppDirectory(QString());
    EXPECT_EQ(CLog4C::GetInstance()->FilePath(), GetAppDirectory() + u"ZorvaEditor.log"_s);
    EXPECT_EQ(SingletonRegistryCount(), registered);

    // The log file is a pipe nobody reads, so the writer's pass blocks opening it. Destruction
    // waits at most 3000 ms; the writer then writes the queued lines once the pipe is read.
    logger()->Flush();
    QTemporaryDir fifoDir;
    const QByteArray pipe = QFile::encodeName(fifoDir.filePath(u"ZorvaEditor.log"_s));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    SetAppDirectory(fifoDir.path());
    delete CLog4C::GetInstance();
    CLog4C *stuck = CLog4C::GetInstance();
    stuck->WriteLog(u"queued while stuck"_s);

    auto destroyed = std::make_shared<std::promise<void>>();
    std::future<void> done = destroyed->get_future();
    std::thread([stuck, destroyed] {
        delete stuck;
        destroyed->set_value();
    }).detach();
    const bool returned = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    SetAppDirectory(QString());
    // Read end and a write end of our own: the writer's opens no longer block, reads never end.
    const int reader = ::open(pipe.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    QByteArray written;
    for (int i = 0; i < 1000 && !written.contains('\n'); ++i) {
        char chunk[256];
        const ssize_t got = ::read(reader, chunk, sizeof chunk);
        if (got > 0)
            written.append(chunk, got);
        else
            QThread::msleep(10);
    }
    EXPECT_TRUE(returned) << "the destructor waited for the writer without a limit";
    done.wait();
    EXPECT_EQ(LogCapture::messageOf(QString::fromUtf8(written.trimmed())), u"queued while stuck"_s);
    // `reader` stays open: the writer's last pass may still open the pipe after this test.
}
