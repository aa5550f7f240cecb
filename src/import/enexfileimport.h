// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "import/importrecords.h"
#include "tavrik_export.h"

#include <functional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Reads an Evernote export (.enex) into notes of this editor, one note at a time in constant
// memory whatever the file's size. Each note gets a new id; its resources are stored in the
// attachment store as files added to it are, under the MD5 of their bytes, which is also how
// its <en-media hash> names them; pictures show as pictures, other files as cards. Titles and
// the created and updated times are kept, to-do boxes become checklists (see enmlToNoteHtml).
// Left out, each listed in `skipped` with a log line: a resource whose bytes match none of the
// note's hashes, one past the note's attachment limit (10 MiB together), one whose name leads
// out of its folder, and everything after the place where the XML breaks off.
class TAVRIK_EXPORT EnexFileImport
{
public:
    // Hands each note read to `deliver`, which saves it; `progress`, when given, hears the bytes
    // read so far out of the file's size. False when the file cannot be read or its XML breaks
    // off (the notes before are delivered).
    static bool Import(const QString &path, const std::function<void(ImportedNote &)> &deliver,
                       std::vector<ImportSkip> &skipped,
                       const std::function<void(qint64 done, qint64 total)> &progress = {});
};

} // namespace TAVRIKCORE::RICHEDITOR
