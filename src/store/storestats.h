// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"
#include "tavrik_export.h"

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Counts of the attachment store below the application folder. Reads names and sizes only.
struct TAVRIK_EXPORT StoreStats
{
    qint64 files = 0; // every file below the attachment root
    qint64 bytes = 0;
    qint64 noteFiles = 0; // <md5>.html in the root
    qint64 noteFileBytes = 0;
    qint64 liveNoteFiles = 0; // of those, the live ones
    qint64 rootFiles = 0; // other content-named files in the root: stored files, pictures, cards
    qint64 rootFileBytes = 0;
    qint64 keptCopies = 0; // files in the notes' folders
    qint64 keptCopyBytes = 0;
    qint64 noteFolders = 0;
    qint64 sharedFiles = 0; // root files that more than one live note references
    qint64 reclaimableFiles = 0; // what a clean-up would remove now (folders included)
    qint64 reclaimableBytes = 0;
    qint64 heldBack = 0; // unreferenced, but younger than the clean-up's grace period

    static StoreStats Collect(const std::vector<LiveNote> &live);
};

} // namespace TAVRIKCORE::RICHEDITOR
