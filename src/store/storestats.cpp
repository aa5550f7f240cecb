// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/storestats.h"

#include "store/storecleanup.h"
#include "store/storesurvey_p.h"

namespace TAVRIKCORE::RICHEDITOR {

StoreStats StoreStats::Collect(const std::vector<LiveNote> &live)
{
    const Internal::StoreSurvey survey = Internal::StoreSurvey::take(live);
    StoreStats stats;
    for (const Internal::FolderEntry &file : survey.files) {
        const auto ref = survey.rootRefs.find(file.name);
        if (file.name.endsWith(QStringLiteral(".html"))) {
            ++stats.noteFiles;
            stats.noteFileBytes += file.size;
            if (ref != survey.rootRefs.end() && !survey.attachmentNames.count(file.name))
                ++stats.liveNoteFiles;
        } else {
            ++stats.rootFiles;
            stats.rootFileBytes += file.size;
        }
        if (ref != survey.rootRefs.end() && ref->second.notes.size() > 1)
            ++stats.sharedFiles;
    }
    for (const Internal::StoreSurvey::Folder &folder : survey.folders) {
        ++stats.noteFolders;
        for (const Internal::FolderEntry &file : folder.files) {
            ++stats.keptCopies;
            stats.keptCopyBytes += file.size;
        }
    }
    stats.files = stats.noteFiles + stats.rootFiles + stats.keptCopies;
    stats.bytes = stats.noteFileBytes + stats.rootFileBytes + stats.keptCopyBytes;
    // The clean-up's own listing, so the two never disagree.
    const StoreCleanup::Result cleanup = StoreCleanup::List(live);
    stats.reclaimableFiles = qint64(cleanup.items.size());
    stats.reclaimableBytes = cleanup.bytes;
    stats.heldBack = cleanup.heldBack;
    return stats;
}

} // namespace TAVRIKCORE::RICHEDITOR
