// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/zvsplitterbarstate.h"

namespace TAVRIKCORE::RICHEDITOR {

ZvSplitterbarState::ZvSplitterbarState() = default;

ZvSplitterbarState::~ZvSplitterbarState() = default;

void ZvSplitterbarState::DoLButtonDown(const QPoint &pos)
{
    CZvSplitterbarEx::DoLButtonDown(pos);
}

} // namespace TAVRIKCORE::RICHEDITOR
