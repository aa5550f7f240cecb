// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Watches the attachment store's root and every note folder in it (one level deep) on a
// thread of its own, and reports finished writes (action 3) and renames into a note folder
// (action 5) of existing files, each file once its events have been quiet for `quietPeriod`.
// A file that did not exist when its events began (a new kept copy the store just placed) is
// not reported: it is not an edit. Note folders made later are watched as they appear;
// symbolic links are never followed. When the kernel's queue overflows, the watches are
// renewed and `onOverflow` runs so the caller can compare the kept copies.
//
// When the root goes (removed, moved away or replaced by a symbolic link) the loss is logged
// ("[ERROR] AttachFileMonitor lost the store folder <root>; watching for it to come back"),
// the root's parent folder is watched, and the root is watched again once a real folder is
// there ("[INFO] AttachFileMonitor watches <root> again"), followed by `onOverflow`. While the
// root is missing or a note folder cannot be watched (the kernel's watch limit), the watches
// are tried again and `onOverflow` runs every RescanInterval.
//
// This is the one thread the library starts besides the log writer: file-system events must
// be read without the user-interface thread. Both callbacks run on it.
class AttachWatcher
{
public:
    using EventSink = std::function<void(const QString &path, quint32 action)>;
    // Runs a comparison of the kept copies; it should end early once `stopRequested` says so.
    using OverflowSink = std::function<void(const std::function<bool()> &stopRequested)>;

    // How often the watches are tried again, with a rescan, while some are missing.
    static constexpr std::chrono::seconds RescanInterval{5};

    AttachWatcher(const QString &root, std::chrono::milliseconds quietPeriod, EventSink onEvent,
                  OverflowSink onOverflow);
    ~AttachWatcher();
    AttachWatcher(const AttachWatcher &) = delete;
    AttachWatcher &operator=(const AttachWatcher &) = delete;

    // Sets the watches up and starts the thread. False with `error` set when the root cannot
    // be watched.
    bool start(QString &error);
    // Wakes the thread, asks a rescan in progress to stop, and joins the thread.
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    // CPU time the thread has used.
    std::chrono::nanoseconds cpuTime() const;

private:
    class Loop;
    QString m_root;
    std::chrono::milliseconds m_quietPeriod;
    EventSink m_onEvent;
    OverflowSink m_onOverflow;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
