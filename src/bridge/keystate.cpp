// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/keystate_p.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <atomic>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// How often the keyboard focus moved from one window to another since the first key.
quint64 focusMovesSoFar()
{
    static std::atomic<quint64> moves{0};
    static const bool counting = qGuiApp
        && QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qGuiApp,
                            [] { ++moves; });
    Q_UNUSED(counting);
    return moves;
}

} // namespace

void TrackedKeys::track(const QKeyEvent &event)
{
    const quint64 moves = focusMovesSoFar();
    if (moves != focusMoves) {
        keys.clear();
        focusMoves = moves;
    }
    if (event.type() == QEvent::KeyPress) {
        keys.insert(event.key());
    } else if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat()) {
        // Releasing Control forgets letters whose release went elsewhere.
        if (event.key() == Qt::Key_Control)
            keys.clear();
        else
            keys.erase(event.key());
    }
}

bool TrackedKeys::isDown(int qtKey, const QKeyEvent &event) const
{
    if (event.type() == QEvent::KeyPress && event.key() == qtKey)
        return true;
    if (const std::optional<bool> live = liveKeyDown(qtKey))
        return *live;
    return keys.count(qtKey) != 0;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
