// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/autosave_p.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

class TimerClock : public AutosaveClock
{
public:
    TimerClock()
    {
        m_elapsed.start();
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::CoarseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (m_wake)
                std::exchange(m_wake, nullptr)();
        });
    }
    qint64 now() const override { return m_elapsed.elapsed(); }
    void wakeAfter(qint64 ms, std::function<void()> wake) override
    {
        m_wake = std::move(wake);
        m_timer.start(int(std::max<qint64>(ms, 0)));
    }
    void cancel() override
    {
        m_timer.stop();
        m_wake = nullptr;
    }

private:
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    std::function<void()> m_wake;
};

} // namespace

Autosave::Autosave(std::function<void()> save)
    : m_save(std::move(save)), m_clock(std::make_unique<TimerClock>())
{ }

Autosave::~Autosave() = default;

void Autosave::setClock(std::unique_ptr<AutosaveClock> clock)
{
    m_clock->cancel();
    m_clock = std::move(clock);
    schedule();
}

void Autosave::contentChanged()
{
    const qint64 now = m_clock->now();
    if (!m_firstChange)
        m_firstChange = now;
    m_lastActivity = now;
    schedule();
}

void Autosave::userActivity()
{
    if (!m_firstChange)
        return;
    m_lastActivity = m_clock->now();
    schedule();
}

void Autosave::reset()
{
    m_firstChange.reset();
    m_clock->cancel();
}

void Autosave::schedule()
{
    if (!m_firstChange) {
        m_clock->cancel();
        return;
    }
    const qint64 due = std::min(m_lastActivity + IdleMs, *m_firstChange + MaxIntervalMs);
    m_clock->wakeAfter(due - m_clock->now(), [this] {
        reset();
        m_save();
    });
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
