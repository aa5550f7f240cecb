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
// This is the one thread the library starts besides the log writer: file-system events must
// be read without the user-interface thread. Both callbacks run on it.
class AttachWatcher
{
public:
    using EventSink = std::function<void(const QString &path, quint32 action)>;
    using OverflowSink = std::function<void()>;

    AttachWatcher(const QString &root, std::chrono::milliseconds quietPeriod, EventSink onEvent,
                  OverflowSink onOverflow);
    ~AttachWatcher();
    AttachWatcher(const AttachWatcher &) = delete;
    AttachWatcher &operator=(const AttachWatcher &) = delete;

    // Sets the watches up and starts the thread. False with `error` set when the root cannot
    // be watched.
    bool start(QString &error);
    // Wakes the thread, lets it finish the callback in progress and joins it.
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
    std::thread m_thread;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
