// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Folder of the running executable, ending with '/'. SetAppDirectory (or the environment
// variable TAVRIK_APP_DIR, read once) points it elsewhere for the whole process; an empty
// text restores the default (TAVRIK_APP_DIR when set, else the executable's folder).
TAVRIK_EXPORT QString GetAppDirectory();
TAVRIK_EXPORT void SetAppDirectory(const QString &folder);

// The system's temporary folder, ending with '/'.
TAVRIK_EXPORT QString GetTempDirectory();

// <app folder>userdata/attachment (no trailing separator), created when missing.
TAVRIK_EXPORT QString GetAttachRootDir();

// With a kept name: <root>/<noteId>/<keptName>, creating the note's folder. Without one:
// <root>/<storeName>, creating nothing.
TAVRIK_EXPORT QString GetAttachFilePath(const QString &noteId, const QString &storeName,
                                        const QString &keptName);

} // namespace TAVRIKCORE::RICHEDITOR
