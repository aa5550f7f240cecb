// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "import/importrecords.h"
#include "tavrik_export.h"

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Reads an HTML file with its pictures into a note of this editor, with a new id. The title is
// the page's <title>, else the file's name. Each picture the page shows from its own folder
// (a relative src, percent-encoded or not) is stored as a picture added to the note is; remote
// pictures and data: pictures stay as they are. A folder written by NoteFolderExport comes back
// as the note it was: its pictures and cards keep their markup, the files they link to are
// stored again, and the note's HTML is the same text. Left out, each listed in `skipped` with
// a log line: pictures whose path leads out of the page's folder (".." or absolute), pictures
// that are not there, and files past the note's attachment limit.
class TAVRIK_EXPORT HtmlFileImport
{
public:
    // The note; nullopt (with `skipped` saying why) when the file cannot be read.
    static std::optional<ImportedNote> Import(const QString &path,
                                              std::vector<ImportSkip> &skipped);
};

} // namespace TAVRIKCORE::RICHEDITOR
