// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/attachnewatt.h"
#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Pasting markup with attachments into a note: finding the files the markup shows, wherever
// the note it was copied from keeps them, and pointing the markup at the note's own copies.
class TAVRIK_AUTOTEST_EXPORT AttachPaste
{
public:
    // Whether the fragment holds an attachment element (an img with zv_exdata).
    static bool showsAttachments(const QString &html);

    // The attachments a pasted fragment shows below the attachment root `root`, one record per
    // distinct original name and stored file, in document order, each with origName,
    // storeName, fileKind 2, fileExt and, in filePath, where its bytes lie (findSource). An
    // element without an original name or stored file is no attachment here; one whose names
    // would leave the attachment folder is skipped with AttachMarkup's log line.
    static std::vector<NewAttachFile> attachmentsOf(const QString &root, const QString &targetNote,
                                                    const QString &html);

    // Where the bytes of the attachment stored as `storeName` with original name `origName`
    // lie: the kept copy in a note's folder whose MD5 is the one the store name starts with
    // (the folder of `targetNote` first, then every other), else a matching copy under the
    // store name in the root (a picture's copy, or a file of an older note). For a store name
    // that is not "<MD5>.<extension>" only the kept copy of `targetNote` and the root's copy
    // count, unverified. Empty when nothing matches, with the log line
    // "[ERROR] Pasted attachment not found in the store: <original name>".
    static QString findSource(const QString &root, const QString &targetNote,
                              const QString &storeName, const QString &origName);

    // Where the elements of `records[i]` point once DoCopyLogic has stored it as `stored[i]`
    // under `replacements[i]`.
    static std::vector<AttachMarkupRewriter::Repoint>
    repoints(const std::vector<NewAttachFile> &records,
             const std::vector<AttachNewAtt> &replacements, const std::vector<MAF_RESULT> &stored);
};

} // namespace TAVRIKCORE::RICHEDITOR
