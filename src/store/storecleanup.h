// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"
#include "tavrik_export.h"

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Finds and removes what no live note references in the attachment store below the
// application folder: stored files, picture copies and thumbnail cards in the root, note files
// that are not live, kept copies the notes no longer hold, the folders of notes that are gone,
// and files in the making left over from interrupted writes. Nothing younger than
// GracePeriodSeconds is touched: a file being added right now is not referenced yet.
class TAVRIK_EXPORT StoreCleanup
{
public:
    static constexpr int GracePeriodSeconds = 3600;

    struct Result
    {
        // What no live note references and is old enough, oldest first (folders last); after
        // Remove, what was removed.
        std::vector<StoreItem> items;
        qint64 bytes = 0; // the items' sizes together
        std::vector<StoreItem> failed; // what Remove could not remove (each logged)
        qint64 heldBack = 0; // unreferenced files and folders kept for being younger
        qint64 heldBackBytes = 0;
        std::vector<StoreFinding> problems; // live notes that could not be read
        // Why nothing was removed (another clean-up running, a live note unreadable); empty
        // when the run went ahead.
        QString error;
    };

    // Lists what a clean-up would remove; changes nothing.
    static Result List(const std::vector<LiveNote> &live);

    // Removes what List gives, oldest first, each removal written to the log. Refuses (with
    // Result::error, nothing removed) while another clean-up of the same store runs, and when a
    // live note cannot be read, since what it references is then unknown. Each file is looked
    // at again just before it goes: one changed since the listing stays. `progress`, when
    // given, is told the items done out of all.
    static Result Remove(const std::vector<LiveNote> &live, const StoreProgress &progress = {});

    // The lock file a removing clean-up holds: "userdata/attachment.cleanup.lock" in the
    // application folder.
    static QString LockFilePath();
};

} // namespace TAVRIKCORE::RICHEDITOR
