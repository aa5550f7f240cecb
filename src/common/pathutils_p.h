// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

// File-system queries behind the path utilities (pathutils_linux.cpp).
namespace TAVRIKCORE::RICHEDITOR::Internal {

// True when a folder exists at `path`.
bool isFolder(const QString &path);

// True when a file or folder exists at `path`.
bool pathExists(const QString &path);

// Creates one folder whose parent exists. True when it exists afterwards, also when someone
// else created it in the meantime.
bool makeFolder(const QString &path);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
