// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachwatcher_p.h"
#include "common/syncenginefiles_p.h"

#include "common/writelog_p.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include <algorithm>

#include <dirent.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

using Clock = std::chrono::steady_clock;

// The root only tells us about note folders coming and going, and about its own end.
constexpr uint32_t RootMask
    = IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_MOVE_SELF | IN_ONLYDIR;
// The root's parent, while the root is missing: the root coming back.
constexpr uint32_t ParentMask = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;
// A note folder: finished writes, renames in and out, files made and removed (to know which
// names existed before an edit began).
constexpr uint32_t FolderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE
    | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A folder itself, not a symbolic link to one.
bool isRealFolder(const QByteArray &path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Calls `visit` with the name and type of every entry of a folder but "." and "..".
template<typename Visit> void forEachEntry(const QByteArray &folder, Visit visit)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            visit(name, entry->d_type);
    }
    ::closedir(dir);
}

} // namespace

class AttachWatcher::Loop
{
public:
    Loop(int fd, const QByteArray &root, std::chrono::milliseconds quietPeriod)
        : m_fd(fd), m_root(root), m_quietPeriod(quietPeriod)
    {
        const qsizetype slash = m_root.lastIndexOf('/');
        m_parent = slash > 0 ? m_root.left(slash) : QByteArray("/");
        m_rootName = m_root.mid(slash + 1);
    }
    ~Loop() { ::close(m_fd); }

    bool watchRoot(QString &error)
    {
        m_rootWd = ::inotify_add_watch(m_fd, m_root.constData(), RootMask);
        if (m_rootWd < 0) {
            error = systemError(errno);
            return false;
        }
        watchAllFolders();
        return true;
    }

    void run(int wakeFd, const EventSink &onEvent, const OverflowSink &onOverflow,
             const std::function<bool()> &stopRequested)
    {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        for (;;) {
            if (Clock::now() >= m_nextRetry)
                retryWatches();
            const int polled = ::poll(fds, 2, timeoutMs());
            if (polled < 0 && errno != EINTR) {
                writeLog(QStringLiteral("[ERROR] AttachFileMonitor stopped watching: ")
                         + systemError(errno));
                return;
            }
            if (polled > 0 && (fds[1].revents & POLLIN))
                return;
            if (polled > 0 && (fds[0].revents & POLLIN))
                readEvents();
            if (m_overflow) {
                m_overflow = false;
                if (m_rootWd >= 0)
                    watchAllFolders();
                m_rescan = true;
            }
            if (m_rescan) {
                m_rescan = false;
                onOverflow(stopRequested);
            }
            reportQuietFiles(onEvent);
        }
    }

private:
    struct Folder
    {
        QByteArray path;
        std::set<QByteArray> names; // entries as last seen, to tell edits from new files
    };
    struct Pending
    {
        Clock::time_point due;
        quint32 action = 0;
        bool existed = false; // the file existed when its events began
    };

    // Watches every note folder in the root (again, after an overflow: the names are re-read).
    void watchAllFolders()
    {
        forEachEntry(m_root, [this](const QByteArray &name, unsigned char type) {
            if (type == DT_DIR || type == DT_UNKNOWN)
                watchFolder(name);
        });
    }

    void watchFolder(const QByteArray &name)
    {
        const QByteArray path = m_root + '/' + name;
        if (!isRealFolder(path))
            return;
        const int wd = ::inotify_add_watch(m_fd, path.constData(), FolderMask);
        if (wd < 0) {
            if (!m_reportedWatchFailure)
                writeLog(QStringLiteral("[ERROR] AttachFileMonitor cannot watch ")
                         + QFile::decodeName(path) + QStringLiteral(": ") + systemError(errno));
            m_reportedWatchFailure = true;
            retryLater();
            return;
        }
        Folder &folder = m_folders[wd];
        folder.path = path;
        folder.names.clear();
        forEachEntry(path, [&folder](const QByteArray &entry, unsigned char) {
            folder.names.insert(entry);
        });
    }

    void forgetFolder(const QByteArray &path)
    {
        for (auto it = m_folders.begin(); it != m_folders.end(); ++it) {
            if (it->second.path == path) {
                ::inotify_rm_watch(m_fd, it->first);
                m_folders.erase(it);
                return;
            }
        }
    }

    // The root was removed or moved away: every watch goes, the parent is watched for the
    // root's return, and the watches are tried again every RescanInterval meanwhile.
    void loseRoot()
    {
        ::inotify_rm_watch(m_fd, m_rootWd); // still there when the root was moved
        m_rootWd = -1;
        for (const auto &[wd, folder] : m_folders)
            ::inotify_rm_watch(m_fd, wd);
        m_folders.clear();
        m_pending.clear();
        writeLog(QStringLiteral("[ERROR] AttachFileMonitor lost the store folder ")
                 + QFile::decodeName(m_root) + QStringLiteral("; watching for it to come back"));
        m_reportedRootRefusal = false;
        m_parentWd = ::inotify_add_watch(m_fd, m_parent.constData(), ParentMask);
        retryLater();
    }

    void retryLater() { m_nextRetry = Clock::now() + RescanInterval; }

    // Watches the root again when a real folder is back at its path, and the note folders
    // that could not be watched; the caller's rescan follows while watches are missing.
    void retryWatches()
    {
        m_nextRetry = Clock::time_point::max();
        if (m_rootWd < 0 && !rewatchRoot()) {
            retryLater();
            return;
        }
        watchAllFolders();
        if (m_nextRetry == Clock::time_point::max())
            m_reportedWatchFailure = false; // every folder is watched: a new failure is news
        m_rescan = true;
    }

    bool rewatchRoot()
    {
        struct stat info;
        if (::lstat(m_root.constData(), &info) != 0)
            return false;
        if (!S_ISDIR(info.st_mode)) {
            if (!m_reportedRootRefusal)
                writeLog(QStringLiteral("[ERROR] AttachFileMonitor cannot watch ")
                         + QFile::decodeName(m_root)
                         + QStringLiteral(": not a folder (symbolic links are never followed)"));
            m_reportedRootRefusal = true;
            return false;
        }
        m_rootWd = ::inotify_add_watch(m_fd, m_root.constData(), RootMask | IN_DONT_FOLLOW);
        if (m_rootWd < 0)
            return false;
        if (m_parentWd >= 0)
            ::inotify_rm_watch(m_fd, m_parentWd);
        m_parentWd = -1;
        writeLog(QStringLiteral("[INFO] AttachFileMonitor watches ") + QFile::decodeName(m_root)
                 + QStringLiteral(" again"));
        return true;
    }

    void readEvents()
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                return; // EAGAIN: read everything there was
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                handle(*event);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    void handle(const inotify_event &event)
    {
        if (event.mask & IN_Q_OVERFLOW) {
            m_overflow = true;
            return;
        }
        const QByteArray name = event.len ? QByteArray(event.name) : QByteArray();
        if (event.wd == m_parentWd) {
            if (name == m_rootName && (event.mask & (IN_CREATE | IN_MOVED_TO)))
                retryWatches();
            else if (event.mask & IN_IGNORED)
                m_parentWd = -1; // the parent went too: the retries look for the root
            return;
        }
        if (event.wd == m_rootWd && (event.mask & (IN_IGNORED | IN_MOVE_SELF))) {
            loseRoot();
            return;
        }
        if (event.wd == m_rootWd) {
            if (!(event.mask & IN_ISDIR) || name.isEmpty())
                return;
            if (event.mask & (IN_CREATE | IN_MOVED_TO))
                watchFolder(name);
            else if (event.mask & IN_MOVED_FROM)
                forgetFolder(m_root + '/' + name); // its watch would follow it elsewhere
            return;
        }
        const auto found = m_folders.find(event.wd);
        if (found == m_folders.end())
            return;
        if (event.mask & IN_IGNORED) {
            m_folders.erase(found);
            return;
        }
        // A sync engine's files in the making are never the store's: their final name comes
        // as a move.
        if ((event.mask & IN_ISDIR) || name.isEmpty() || isSyncEngineFile(QString::fromUtf8(name)))
            return;

        Folder &folder = found->second;
        const auto [entry, first] = m_pending.try_emplace(folder.path + '/' + name);
        Pending &pending = entry->second;
        if (first)
            pending.existed = folder.names.count(name) != 0;
        if (event.mask & (IN_CREATE | IN_MOVED_TO))
            folder.names.insert(name);
        if (event.mask & (IN_DELETE | IN_MOVED_FROM))
            folder.names.erase(name);
        if (event.mask & IN_CLOSE_WRITE)
            pending.action = 3;
        if (event.mask & IN_MOVED_TO)
            pending.action = 5;
        pending.due = Clock::now() + m_quietPeriod;
    }

    // Milliseconds until the next file falls quiet; -1 (wait for events only) when none waits.
    int timeoutMs() const
    {
        Clock::time_point next = m_nextRetry;
        if (next == Clock::time_point::max() && m_pending.empty())
            return -1;
        for (const auto &[path, pending] : m_pending)
            next = std::min(next, pending.due);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
        return int(std::max<qint64>(0, left.count()));
    }

    void reportQuietFiles(const EventSink &onEvent)
    {
        const Clock::time_point now = Clock::now();
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it->second.due > now) {
                ++it;
                continue;
            }
            const Pending pending = it->second;
            const QString path = QFile::decodeName(it->first);
            it = m_pending.erase(it);
            if (pending.action && pending.existed)
                onEvent(path, pending.action);
        }
    }

    int m_fd;
    int m_rootWd = -1;
    int m_parentWd = -1; // while the root is missing
    QByteArray m_root;
    QByteArray m_parent;
    QByteArray m_rootName;
    Clock::time_point m_nextRetry = Clock::time_point::max();
    std::chrono::milliseconds m_quietPeriod;
    std::map<int, Folder> m_folders;
    std::map<QByteArray, Pending> m_pending;
    bool m_overflow = false;
    bool m_rescan = false; // the caller compares the kept copies: events may have been missed
    bool m_reportedWatchFailure = false;
    bool m_reportedRootRefusal = false;
};

AttachWatcher::AttachWatcher(const QString &root, std::chrono::milliseconds quietPeriod,
                             EventSink onEvent, OverflowSink onOverflow)
    : m_root(root), m_quietPeriod(quietPeriod), m_onEvent(std::move(onEvent)),
      m_onOverflow(std::move(onOverflow))
{ }

AttachWatcher::~AttachWatcher()
{
    stop();
}

bool AttachWatcher::start(QString &error)
{
    if (isRunning())
        return true;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        error = systemError(errno);
        return false;
    }
    auto loop = std::make_unique<Loop>(fd, QFile::encodeName(m_root), m_quietPeriod);
    if (!loop->watchRoot(error))
        return false;
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        error = systemError(errno);
        return false;
    }
    m_stopping = false;
    m_thread = std::thread([this, loop = std::move(loop)] {
        loop->run(m_wakeFd, m_onEvent, m_onOverflow, [this] { return m_stopping.load(); });
    });
    return true;
}

void AttachWatcher::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    m_thread.join();
    ::close(m_wakeFd);
    m_wakeFd = -1;
}

std::chrono::nanoseconds AttachWatcher::cpuTime() const
{
    if (!m_thread.joinable())
        return {};
    clockid_t clock;
    timespec spent{};
    if (::pthread_getcpuclockid(const_cast<std::thread &>(m_thread).native_handle(), &clock) != 0
        || ::clock_gettime(clock, &spent) != 0)
        return {};
    return std::chrono::seconds(spent.tv_sec) + std::chrono::nanoseconds(spent.tv_nsec);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
