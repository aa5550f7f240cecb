// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <vector>

// Listing and removing entries of the attachment store (storefolder_linux.cpp).
namespace TAVRIKCORE::RICHEDITOR::Internal {

enum class EntryType { File, Folder, Link, Other };

// One entry of a folder as the system describes it, links not followed.
struct FolderEntry
{
    QString name;
    EntryType type = EntryType::Other;
    qint64 size = 0;
    qint64 modifiedMs = 0; // since the epoch, UTC
};

// The entries of `folder` but "." and "..", in the system's order. False, with errno set,
// when the folder cannot be listed; entries that vanish while they are listed are left out.
bool listFolder(const QString &folder, std::vector<FolderEntry> &entries);

// The entry at `path`, links not followed. False, with errno set, when there is none.
bool entryAt(const QString &path, FolderEntry &entry);

// Where the link at `path` finally leads, with every link resolved; empty when it leads
// nowhere.
QString linkTarget(const QString &path);

// Removes a file (or link), or an empty folder. False, with errno set, when that fails.
bool removeEntry(const QString &path, EntryType type);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
