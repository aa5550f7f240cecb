// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

// Durable file placement for the attachment store: data is written to a temporary file in
// the target's folder, flushed to disk, renamed into place, and the folder is flushed.
namespace TAVRIKCORE::RICHEDITOR::Internal {

enum class Placement {
    KeepExisting, // fail when the target exists; an existing file is never replaced
    Replace, // atomically replace whatever is at the target
};

// Copies `source` to `target`. False when the source cannot be read, the copy cannot be
// written, or (KeepExisting) the target already exists; no temporary file is left behind.
bool durableCopy(const QString &source, const QString &target, Placement placement);

// Flushes a finished file and renames it to `target`; the source name is gone on success.
bool durableRename(const QString &source, const QString &target, Placement placement);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
