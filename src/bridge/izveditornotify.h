// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/newattachfile.h"

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// The host application's callbacks. The host implements them; the editor only calls them.
class IZvEditorNotify
{
public:
    virtual ~IZvEditorNotify() = default;

    // A changed note was saved: `files` lists the note's HTML file first, then every file the
    // note refers to, with modification times filled in; `plainText` is the note's text.
    // The list belongs to the editor and is valid only during the call. Non-zero when the
    // host stored the note.
    virtual int OnSaveNote(const QString &noteId, const std::vector<NewAttachFile> &files,
                           const QString &plainText)
        = 0;

    // The user double-clicked an attachment: `fileName` is the attachment's file name in the
    // note's folder, `origName` the name the file had when it was attached.
    virtual void OnOpenAttachment(const QString &noteId, const QString &fileName,
                                  const QString &origName)
        = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
