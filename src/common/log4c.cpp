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
#include <string>
#include <thread>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A file above this size is started afresh by the next pass.
constexpr qint64 maxLogSize = 0xA00000;
constexpr std::chrono::milliseconds writerPeriod(2000);

// Control characters inside a message are written as escapes, so a message can never end
// its line early or forge another one.
void appendEscaped(std::string &out, const QByteArray &utf8)
{
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            out += c;
            continue;
        }
        switch (byte) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", unsigned(byte));
            out += escape;
        }
        }
    }
}

// The log that the process-exit flush writes out; cleared when that log is destroyed.
struct ExitFlush
{
    std::mutex mutex;
    CLog4C *live = nullptr;
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
    if (state.live)
        state.live->Flush();
}

} // namespace

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
    std::thread writer;

    void flushPass();
    void run();
};

void CLog4C::Private::flushPass()
{
    std::lock_guard pass(passMutex);
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
}

CLog4C::CLog4C() : d(new Private)
{
    d->filePath = GetAppDirectory() + QStringLiteral("ZorvaEditor.log");
    d->nativePath = QFile::encodeName(d->filePath);

    {
        ExitFlush &state = exitFlush();
        std::lock_guard lock(state.mutex);
        state.live = this;
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
        if (state.live == this)
            state.live = nullptr;
    }
    {
        std::lock_guard lock(d->wakeMutex);
        d->stop = true;
    }
    d->wake.notify_all();
    if (d->writer.joinable())
        d->writer.join();
    d->flushPass();
    delete d;
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
