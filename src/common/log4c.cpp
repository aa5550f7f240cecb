// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/log4c.h"

#include "common/appdirectory.h"
#include "common/log4c_p.h"
#include "common/singleton_p.h"
#include "common/textutils_p.h"

#include <QFile>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A file above this size is started afresh by the next pass.
constexpr qint64 maxLogSize = 0xA00000;
constexpr std::chrono::milliseconds writerPeriod(2000);
// How long destruction and the process-exit flush wait for a writer stuck in a pass (a
// hung network file system, a full pipe).
constexpr std::chrono::milliseconds stopTimeout(3000);

// A message is written on one line that reads back unambiguously: the backslash, the C0
// controls and DEL, the C1 controls (U+0080..U+009F, among them NEL U+0085 and CSI U+009B)
// and the line and paragraph separators (U+2028, U+2029) are written as escapes, so a
// message can never end its line early, forge another one or pass for an escape.
void appendEscaped(std::string &out, const QByteArray &utf8)
{
    const char *bytes = utf8.constData();
    const qsizetype size = utf8.size();
    const auto appendCode = [&out](const char *format, unsigned code) {
        char escape[8];
        std::snprintf(escape, sizeof escape, format, code);
        out += escape;
    };
    const auto next = [bytes, size](qsizetype at) {
        return at < size ? unsigned(static_cast<unsigned char>(bytes[at])) : 0u;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            out += char(byte);
            continue;
        }
        if (byte == 0xc2 && next(i + 1) >= 0x80 && next(i + 1) <= 0x9f) {
            appendCode("\\u%04x", next(i + 1));
            i += 1;
            continue;
        }
        if (byte == 0xe2 && next(i + 1) == 0x80 && (next(i + 2) == 0xa8 || next(i + 2) == 0xa9)) {
            appendCode("\\u%04x", 0x2000u + next(i + 2) - 0x80u);
            i += 2;
            continue;
        }
        switch (byte) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte >= 0x80)
                out += char(byte); // the rest of a UTF-8 sequence
            else
                appendCode("\\x%02x", byte);
        }
    }
}

// The flush of the live log that runs when the process exits; cleared when that log is
// destroyed.
struct ExitFlush
{
    std::mutex mutex;
    const CLog4C *live = nullptr;
    std::function<void()> flush;
};

ExitFlush &exitFlush()
{
    static ExitFlush *state = new ExitFlush;
    return *state;
}

void flushAtExit()
{
    ExitFlush &state = exitFlush();
    std::lock_guard lock(state.mutex);
    if (state.flush)
        state.flush();
}

} // namespace

// Shared by the log and its writer thread: a writer that outlives the destructor's wait
// keeps it until its last pass is done.
struct CLog4C::Private
{
    QString filePath;
    QByteArray nativePath;

    CSLock queueLock;
    std::vector<std::string> pending; // formatted lines, guarded by queueLock

    std::mutex passMutex; // one flush pass at a time
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool stop = false; // guarded by wakeMutex
    bool finished = false; // guarded by wakeMutex: the writer's last pass is done
    std::thread writer;

    // One pass; gives up (the lines stay queued) when another pass holds the file longer
    // than `wait`.
    void flushPass(std::chrono::milliseconds wait = std::chrono::milliseconds::max());
    void run();
};

void CLog4C::Private::flushPass(std::chrono::milliseconds wait)
{
    std::unique_lock pass(passMutex, std::defer_lock);
    if (wait == std::chrono::milliseconds::max()) {
        pass.lock();
    } else {
        // Polled rather than a timed lock: only the exit and destruction paths wait here,
        // and a timed lock is invisible to the thread sanitizer.
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!pass.try_lock()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    const int fd = Internal::openLogFile(nativePath, maxLogSize);
    if (fd < 0)
        return;

    std::vector<std::string> lines;
    {
        CSAutoLock lock(&queueLock);
        lines.swap(pending);
    }
    std::string bytes;
    size_t total = 0;
    for (const std::string &line : lines)
        total += line.size();
    bytes.reserve(total);
    for (const std::string &line : lines)
        bytes += line;
    Internal::writeLogFile(fd, bytes);
}

void CLog4C::Private::run()
{
    std::unique_lock lock(wakeMutex);
    while (!stop) {
        lock.unlock();
        flushPass();
        lock.lock();
        wake.wait_for(lock, writerPeriod, [this] { return stop; });
    }
    // The lines queued before destruction are written by this last pass.
    lock.unlock();
    flushPass();
    lock.lock();
    finished = true;
    wake.notify_all();
}

CLog4C::CLog4C() : d(std::make_shared<Private>())
{
    d->filePath = GetAppDirectory() + QStringLiteral("ZorvaEditor.log");
    d->nativePath = QFile::encodeName(d->filePath);

    {
        ExitFlush &state = exitFlush();
        std::lock_guard lock(state.mutex);
        state.live = this;
        state.flush = [p = d] {
            p->flushPass(stopTimeout);
        };
    }
    static const bool exitFlushRegistered = std::atexit(flushAtExit) == 0;
    Q_UNUSED(exitFlushRegistered);

    try {
        d->writer = std::thread([p = d] { p->run(); });
    } catch (const std::system_error &) {
        // Without a writer thread lines are still written by Flush() and at exit.
    }
}

CLog4C::~CLog4C()
{
    {
        ExitFlush &state = exitFlush();
        std::lock_guard lock(state.mutex);
        if (state.live == this) {
            state.live = nullptr;
            state.flush = nullptr;
        }
    }
    if (!d->writer.joinable()) {
        d->flushPass(stopTimeout);
        return;
    }
    std::unique_lock lock(d->wakeMutex);
    d->stop = true;
    d->wake.notify_all();
    // A writer stuck in a pass is left to finish it (and its last pass) on its own.
    const bool finished = d->wake.wait_for(lock, stopTimeout, [this] { return d->finished; });
    lock.unlock();
    if (finished)
        d->writer.join();
    else
        d->writer.detach();
}

void CLog4C::WriteLog(const QString &message)
{
    if (message.isEmpty())
        return;
    timespec now;
    std::timespec_get(&now, TIME_UTC);
    // localtime_r takes a process-wide lock; a thread converts each second only once.
    thread_local time_t convertedSecond = -1;
    thread_local tm local;
    if (now.tv_sec != convertedSecond) {
        Internal::localTime(qint64(now.tv_sec), local);
        convertedSecond = now.tv_sec;
    }
    // A thread's id never changes, and asking the kernel costs more than the rest of the call.
    thread_local const unsigned threadId = Internal::currentThreadId();
    char prefix[80];
    const int prefixLength
        = std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d %02d:%02d:%02d:%03d TID:0x%x ",
                        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, int(now.tv_nsec / 1000000), threadId);
    // The file holds UTF-8.
    const QByteArray text = message.toUtf8();
    std::string line;
    line.reserve(size_t(prefixLength) + size_t(text.size()) + 16);
    line.append(prefix, size_t(prefixLength));
    appendEscaped(line, text);
    line += '\n';

    CSAutoLock lock(&d->queueLock);
    d->pending.push_back(std::move(line));
}

void CLog4C::Flush()
{
    d->flushPass();
}

QString CLog4C::FilePath() const
{
    return d->filePath;
}

template class SingletonTemplate<CLog4C>;

} // namespace TAVRIKCORE::RICHEDITOR
