// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Folder of the running executable, ending with '/'; "./" when the system cannot tell
// (appdirectory_linux.cpp).
QString executableFolder();

// The folder of the file holding the library (its .so), ending with '/'; empty when the system
// cannot tell (appdirectory_linux.cpp).
QString libraryFolder();

// <app folder>userdata/attachment (no trailing separator), without creating it.
QString attachRootPath();

// Where a file of the attachment store lies below `root` (no trailing separator): with a kept
// name <root>/<noteId>/<keptName>, without one <root>/<storeName>. Pure text: nothing is
// created or looked up.
QString attachFilePathIn(const QString &root, const QString &noteId, const QString &storeName,
                         const QString &keptName);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
