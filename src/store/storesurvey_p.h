// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storefolder_p.h"
#include "store/storerecords.h"
#include "tavrik_autotest_export_p.h"

#include <map>
#include <set>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// One walk of the attachment store and of the live notes, shared by the check, the clean-up
// and the statistics. Reads names, sizes, times and the live notes; writes nothing.
//
// The root holds content-named files (<32 lower-case hex digits>.<extension>: attached files,
// picture copies, thumbnail cards, note files, files in the making "<guid>.tmp") and one
// folder per note holding its kept copies. Anything else is a stray name.
struct TAVRIK_AUTOTEST_EXPORT StoreSurvey
{
    struct Folder
    {
        FolderEntry entry;
        std::vector<FolderEntry> files;
    };
    // A file a live note references, and the first live note file that does.
    struct Reference
    {
        std::set<QString> notes; // the notes referencing it: ids, or note files without one
        QString firstNote;
        // Referenced by a version this device holds, not only by versions saved elsewhere
        // that may still be on their way.
        bool local = false;
    };

    QString root; // the attachment root, no trailing separator
    bool rootExists = false;
    std::vector<FolderEntry> files; // content-named files of the root, by name
    std::vector<Folder> folders; // note folders, by name
    std::vector<StoreFinding> findings; // stray names, links, unreadable folders, live notes

    std::map<QString, Reference> rootRefs; // root names the live notes reference
    std::set<QString> attachmentNames; // root names referenced as attached files
    std::map<QString, std::map<QString, Reference>> keptRefs; // note id -> kept name
    std::map<QString, Reference> keptAnywhere; // kept names of live notes without an id
    std::set<QString> liveIds; // ids of the live notes that have one
    bool liveComplete = true; // every live note was read and parsed
    // Note files only other devices' heads name as current: saved elsewhere.
    std::set<QString> remoteVersions;

    // Walks the store below the application folder's attachment root. Besides `live`, every
    // note version a device's head of the notebook ("heads" in the root) names as current, or
    // as replaced less than the clean-up's grace period ago, is live: a sync engine may carry
    // it to a device that still needs it. Sync engines' own files are left out.
    static StoreSurvey take(const std::vector<LiveNote> &live);

    QString pathOf(const FolderEntry &file) const { return root + u'/' + file.name; }
    QString pathOf(const Folder &folder, const FolderEntry &file) const
    {
        return root + u'/' + folder.entry.name + u'/' + file.name;
    }
    // Whether the kept copy `name` in the folder of the note `noteId` is referenced by a live
    // note (of that note, or of a note whose id is unknown).
    bool keptReferenced(const QString &noteId, const QString &name) const;
};

// True for a content-derived name: 32 lower-case hex digits, a '.' and an extension.
bool isContentName(const QString &name);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
