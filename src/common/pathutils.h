// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Creates a folder and its missing parents. 1 when the folder exists afterwards, else 0.
TAVRIK_EXPORT int MakeDirectories(const QString &path);

// Non-zero when a file or folder exists at the path.
TAVRIK_EXPORT int IsFileExist(const QString &path);

// Text after the last separator ('/' or '\'); the whole input when there is none.
TAVRIK_EXPORT QString GetFileNameFromPath(const QString &path);
// Name of the folder at `path`: the text after the last separator once trailing separators
// are dropped; the whole input when there is no separator.
TAVRIK_EXPORT QString GetFolderName(const QString &path);

// True when `name` can be used as one file name inside a folder: not empty, not "." or
// "..", and without '/', '\' or NUL, so it never leads out of that folder.
TAVRIK_EXPORT bool IsSafeFileName(const QString &name);

// Text after the last '.'; the whole input when there is none.
TAVRIK_EXPORT QString GetFileExt(const QString &name);
// Text before the last '.'; the whole input when there is none.
TAVRIK_EXPORT QString RemoveFileExt(const QString &name);

} // namespace TAVRIKCORE::RICHEDITOR
