// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/attachnewatt.h"
#include "notehtml/newattachfile.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// One file written into the attachment store by a paste.
struct AttachSizeRecord
{
    QString name; // store name
    QString origName; // name the note shows for it
    qint32 size = 0; // bytes
};

// What copying the attachments of a pasted fragment into the note produced.
struct CopyLogicResult
{
    std::vector<AttachNewAtt> replacements; // one per attachment copied
    std::vector<AttachSizeRecord> sizes; // each file written: the attachment, then its card
    std::vector<NewAttachFile> noteFiles; // not filled by a paste
};

// A file a host puts on the clipboard with AddAttachToClipboard; only filePath is read.
struct AttachFileInfo
{
    QString storeName;
    QString origName;
    QString filePath; // full path
};

} // namespace TAVRIKCORE::RICHEDITOR
