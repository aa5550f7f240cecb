// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace TAVRIKCORE::RICHEDITOR {

// One file of a note as the host lists it (see IAttachFileListSource). The monitor reads
// storeName, fileSize, filePath, keptName and fileKind; the other fields are the host's own.
struct AttachmentFile
{
    QString storeName; // name in the attachment store: <md5>.<ext>, or <md5>.html for the note file
    int fileSize = 0; // size in bytes
    int hostFlags = 0; // host data
    // Full path of the file. For the note's HTML file (fileKind 0) this is the stored note file
    // that the editor reads and rewrites when an attachment of a note that is not open changes.
    QString filePath;
    QString keptName; // name of the kept copy in the note's folder; empty for the note file
    QString modifyTime; // host data: "%Y-%m-%d %H:%M:%S"
    int fileKind = 0; // 0 for the note's HTML file, non-zero for an attachment
    QString fileExt; // host data
    QString hostData; // host data
};

// One changed attachment, as the monitor announces it to the editor (event 2224).
struct SyncFileModifyArg
{
    QString changedPath; // full path of the changed kept copy
    qint64 fileSize = 0; // the kept copy's new size in bytes
    QString noteId; // the note the file belongs to
    AttachmentFile changedFile; // the changed attachment; the editor reads its keptName
    QString newHash; // MD5 of the new content, 32 lower-case hex digits
    AttachmentFile noteFile; // the note's HTML file (fileKind 0)
};

} // namespace TAVRIKCORE::RICHEDITOR
