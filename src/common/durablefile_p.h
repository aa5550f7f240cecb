// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <initializer_list>

// Durable files for the attachment store and the note files: data is written to a temporary
// file in the target's folder, flushed to disk, renamed into place, and the folder is flushed.
namespace TAVRIKCORE::RICHEDITOR::Internal {

enum class Placement {
    KeepExisting, // fail when the target exists; an existing file is never replaced
    Replace, // atomically replace whatever is at the target
};

// Writes all `count` bytes at `data` to the open file `fd`, resuming after interruptions.
// False, with errno set, when a write fails.
bool writeAll(int fd, const char *data, size_t count);

// Writes `pieces` one after the other to `path` (created or truncated) and flushes the file
// to disk. 0, or the errno of the first failure.
int writeDurably(const QString &path, std::initializer_list<QByteArrayView> pieces);

// Flushes a folder's entries (a file renamed into it) to disk.
void syncFolder(const QString &folder);

// Copies `source` to `target`. False when the source cannot be read, the copy cannot be
// written, or (KeepExisting) the target already exists; no temporary file is left behind.
bool durableCopy(const QString &source, const QString &target, Placement placement);

// Flushes a finished file and renames it to `target`; the source name is gone on success.
bool durableRename(const QString &source, const QString &target, Placement placement);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
