// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QtGlobal>

#include <optional>
#include <set>

class QKeyEvent;

// The keys the editor's key hook tests, other than Control: by their live state where the
// window system tells it, else by the key of the event itself and the keys pressed since the
// keyboard focus last moved between windows. Tracked keys are forgotten when the focus moves
// (the editor's window losing it, a modal message box opening), since their releases go
// elsewhere.
namespace TAVRIKCORE::RICHEDITOR::Internal {

// Whether `qtKey` (a letter or F5) is down at this moment, asked of the window system; no
// answer where no live key state can be read (the offscreen platform, Wayland).
TAVRIK_AUTOTEST_EXPORT std::optional<bool> liveKeyDown(int qtKey);

// The keys pressed and not released as the hook saw them, with the count of focus moves
// they were tracked under.
struct TrackedKeys
{
    std::set<int> keys;
    quint64 focusMoves = 0;

    // Follows one key event the hook saw, first forgetting the keys tracked before the
    // focus last moved.
    void track(const QKeyEvent &event);
    // Whether `qtKey` counts as down while `event` is handled.
    bool isDown(int qtKey, const QKeyEvent &event) const;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
