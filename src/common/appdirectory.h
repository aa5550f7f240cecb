// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Folder of the running executable, ending with '/'. SetAppDirectory (or the environment
// variable TAVRIK_APP_DIR, read once) points it elsewhere for the whole process; an empty
// text restores the default (TAVRIK_APP_DIR when set, else the executable's folder).
TAVRIK_EXPORT QString GetAppDirectory();
TAVRIK_EXPORT void SetAppDirectory(const QString &folder);

// The folders the program's own files are looked for in (the editor page zveditor/, the icons
// res/), each ending with '/', in order: the folder SetProgramDirectory named, if any; the
// executable's folder; the installed data folder share/TavrikEditor/ of the executable's and of
// the library's installation prefix. User data never lives there: it is in GetAppDirectory().
TAVRIK_EXPORT std::vector<QString> GetProgramFileFolders();
// Puts `folder` first among the program's folders for the whole process (a host with its own
// layout, tests); an empty text takes it away again.
TAVRIK_EXPORT void SetProgramDirectory(const QString &folder);
// <folder><relativePath> for the first program folder holding that file or folder; empty when
// none does.
TAVRIK_EXPORT QString FindProgramFile(const QString &relativePath);

// The system's temporary folder, ending with '/'.
TAVRIK_EXPORT QString GetTempDirectory();

// <app folder>userdata/attachment (no trailing separator), created when missing.
TAVRIK_EXPORT QString GetAttachRootDir();

// With a kept name: <root>/<noteId>/<keptName>, creating the note's folder. Without one:
// <root>/<storeName>, creating nothing.
TAVRIK_EXPORT QString GetAttachFilePath(const QString &noteId, const QString &storeName,
                                        const QString &keptName);

} // namespace TAVRIKCORE::RICHEDITOR
