// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QMimeData;

namespace TAVRIKCORE::RICHEDITOR {

// The decisions of copy and paste with attachments, apart from the page and the store.
class TAVRIK_AUTOTEST_EXPORT AttachCopy
{
public:
    // What a paste takes, first match wins: files (a file list or a picture), then HTML.
    enum class PasteRoute { None, Files, Html };
    static PasteRoute choosePasteRoute(const QMimeData *data);

    // The attached files (not image sources) of pasted markup, ready to be stored, each with
    // its attachment record at the same position.
    struct PastedFiles
    {
        std::vector<DropFileInfo> files;
        std::vector<NewAttachFile> records;
        quint64 total = 0; // bytes
    };
    // Nothing when a file is missing, is not a regular file, or its size as a signed 32-bit
    // number is not positive. `addTime` is the time the records carry.
    static std::optional<PastedFiles> collectPastedFiles(const std::vector<NewAttachFile> &records,
                                                         const QString &addTime);

    // Gives the pasted files new kept names with `sameName` (the note's same-name rule), except
    // those that are already the kept copy of note `noteId` under their own name: pasted into
    // the note they came from, or pasted again, such a file is the note's own and keeps it.
    static void nameClashingFiles(std::vector<DropFileInfo> &files, const QString &noteId,
                                  const std::function<void(std::vector<DropFileInfo> &)> &sameName);

    // The paths of the attached files (not image sources) that a copy of `records` puts on
    // the clipboard. Nothing when one of them no longer exists.
    static std::optional<std::vector<QString>>
    copiedFilePaths(const std::vector<NewAttachFile> &records);
};

} // namespace TAVRIKCORE::RICHEDITOR
