// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

namespace TAVRIKCORE::RICHEDITOR {

// What a splitter bar tells the window that owns its panes.
class IZvSplitterbarNotify
{
public:
    virtual ~IZvSplitterbarNotify() = default;

    // Asked when the user presses the bar outside its grip, before a drag starts: non-zero lets
    // the drag start, 0 keeps the bar where it is.
    virtual int OnSplitterDragAllowed() = 0;

    // Called after the user moved the bar (the drag ended); the panes have their new sizes.
    virtual void OnSplitterChildWindowSizeChanged() = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
