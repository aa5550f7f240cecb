// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The time autosaves are measured in: a monotonic clock and one wake-up. The editor runs on
// real time (a single-shot QTimer); tests put in a clock they move on themselves.
class TAVRIK_AUTOTEST_EXPORT AutosaveClock
{
public:
    virtual ~AutosaveClock() = default;
    // Milliseconds on a monotonic clock.
    virtual qint64 now() const = 0;
    // Calls `wake` once, `ms` milliseconds from now, in place of a wake-up still waiting.
    virtual void wakeAfter(qint64 ms, std::function<void()> wake) = 0;
    virtual void cancel() = 0;
};

// When an open note saves itself: IdleMs after the last change or key press, and at the latest
// MaxIntervalMs after the first change not yet saved, so a long run of typing is saved too.
// Nothing is due while nothing changed since the content was last read for a save.
class TAVRIK_AUTOTEST_EXPORT Autosave
{
public:
    static constexpr qint64 IdleMs = 2000;
    static constexpr qint64 MaxIntervalMs = 30000;

    // `save` starts the save when one falls due; it runs from the clock's wake-up.
    explicit Autosave(std::function<void()> save);
    ~Autosave();

    void setClock(std::unique_ptr<AutosaveClock> clock);
    AutosaveClock &clock() { return *m_clock; }

    // The page reported a change of the note.
    void contentChanged();
    // The user pressed a key in the page: a change waiting to be saved waits IdleMs more.
    void userActivity();
    // A save read the content (or new content was shown): what changed before is taken care of.
    void reset();
    // A change not yet read for a save.
    bool pending() const { return m_firstChange.has_value(); }

private:
    void schedule();

    std::function<void()> m_save;
    std::unique_ptr<AutosaveClock> m_clock;
    std::optional<qint64> m_firstChange;
    qint64 m_lastActivity = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
