// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <initializer_list>
#include <sys/types.h>
#include <vector>

// Durable files for the attachment store and the note files: data is written to a temporary
// file in the target's folder, flushed to disk, renamed into place, and the folder is flushed.
// Every write is checked to its last byte, and the flush and the close too. Functions that
// give false leave errno set to the failure's system error.
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

// Writes `bytes` over `path` (created when missing, cut to their length) and closes it,
// without flushing it to disk. 0, or the errno of the first failure (a short write included).
int writeWhole(const QString &path, QByteArrayView bytes);

// A new name "<guid>.tmp" in `folder` (which ends with '/') for a file in the making.
QString temporaryPath(const QString &folder);

// Flushes a folder's entries (a file renamed into it) to disk.
void syncFolder(const QString &folder);
// Flushes a file written without flushing to disk; false when it cannot be opened or flushed.
bool syncFile(const QString &path);

// A file copied by copyHashed.
struct HashedCopy
{
    QString path; // the temporary copy, flushed and closed; empty on failure
    QString md5; // of the bytes written, 32 lower-case hex digits
    int error = 0; // errno of the failure
    bool sourceFailed = false; // the failure was opening or reading the source
};

// Copies `source` into a new temporary file in `folder` (ending with '/') in one pass,
// hashing the bytes as they are written, so the hash always names the copy's bytes even
// when the source changes meanwhile. Nothing is left behind on failure.
HashedCopy copyHashed(const QString &source, const QString &folder);

// Copies `source` to `target`. False when the source cannot be read, the copy cannot be
// written, or (KeepExisting) the target already exists; no temporary file is left behind.
bool durableCopy(const QString &source, const QString &target, Placement placement);

// Flushes a finished file and renames it to `target`; the source name is gone on success.
bool durableRename(const QString &source, const QString &target, Placement placement);

// Renames a file already flushed (by writeDurably or copyHashed) to `target` and flushes the
// target's folder; the source name is gone on success.
bool placeFlushed(const QString &source, const QString &target, Placement placement);

// Writes `pieces` to a new file beside `target`, flushes it and renames it over `target`, so
// the target holds either what it held or all of the new bytes, and nothing is left behind on
// failure. 0, or the errno of the failure (EISDIR for a target that is a folder).
int replaceDurably(const QString &target, std::initializer_list<QByteArrayView> pieces);

// A file placeNewDurably makes: where, and its bytes.
struct NewFile
{
    QString path;
    QByteArray bytes;
};

// Makes new files together: each is written to a temporary file beside its target, all are
// flushed to disk (their writing back started first, so that one flush does not wait for the
// next file's bytes), then each is renamed to its target and each folder flushed once. None is
// in place before all are on disk; none stays when one cannot be placed; a target that exists
// is never replaced. 0, or the errno of the first failure (EEXIST for a target that exists).
int placeNewDurably(const std::vector<NewFile> &files);

// Sets the file's modification time to now, so a store clean-up running meanwhile sees a file
// that was just used again as new. False, with errno set, when that fails.
bool touchFile(const QString &path);

// Stands in for write(2) in the files written here (not in writeAll, which the log uses), so
// that tests can run out of disk space. nullptr restores write(2).
using WriteCall = ssize_t (*)(int fd, const void *data, size_t count);
TAVRIK_AUTOTEST_EXPORT void setWriteCallForTesting(WriteCall call);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
