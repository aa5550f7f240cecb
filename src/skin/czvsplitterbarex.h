// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "skin/czvsplitterbar.h"

namespace TAVRIKCORE::RICHEDITOR {

// A splitter bar that folds: a click on its grip folds the pane on the berth side away (the
// bar moves to that side) and a second click brings it back at its former extent. Presses
// outside the grip drag the bar as the base does; a folded bar does not drag.
class TAVRIK_EXPORT CZvSplitterbarEx : public CZvSplitterbar
{
    Q_OBJECT

public:
    CZvSplitterbarEx();
    ~CZvSplitterbarEx() override;

    void DoLButtonDown(const QPoint &pos) override;
    // Sets the folded state, lays the panes out and shows or hides the pane on the berth side.
    void FoldBar(int fold) override;
};

} // namespace TAVRIKCORE::RICHEDITOR
