// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "editor/notesplitterbar.h"

namespace TAVRIKCORE::RICHEDITOR {

// The editor's bar with its own mouse-down handling: the folding bar's (a click on the grip
// folds or unfolds, elsewhere a drag starts).
class TAVRIK_EXPORT ZvSplitterbarState : public NoteSplitterbar
{
    Q_OBJECT

public:
    ZvSplitterbarState();
    ~ZvSplitterbarState() override;

    void DoLButtonDown(const QPoint &pos) override;
};

} // namespace TAVRIKCORE::RICHEDITOR
