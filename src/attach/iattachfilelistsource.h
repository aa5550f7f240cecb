// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/syncfilemodifyarg.h"

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// What the host tells the attachment monitor about notes that are not open in the editor:
// their files as the host stored them at the note's last save. The open note's files are
// known to the editor itself and are never asked for.
//
// The monitor asks on its watcher thread, not on the user-interface thread: an answer must
// not touch widgets or objects of the user-interface thread, and should come from the host's
// own index (the demo reads its SQLite notebook through a connection of that thread).
class IAttachFileListSource
{
public:
    virtual ~IAttachFileListSource() = default;

    // Fills `files` with the files of note `noteId`: its HTML file (fileKind 0, filePath the
    // stored note file) and its attachments (fileKind non-zero, keptName and storeName set).
    // Non-zero when the host knows the note; 0 for a note it does not know.
    virtual int GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files) = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
