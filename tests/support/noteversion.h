// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// For tests of the demo's notebook (their include path holds apps/notes).
#pragma once

#include "notestore.h"

#include "bridge/zvwebnotehandler.h"
#include "notehtml/notehtmlrw.h"

#include <vector>

// Saves `html` in `store` as the note's new version, as the editor's save does: the note file
// written to the attachment store, listed first, then every file the markup refers to. False
// when the note file cannot be written or the notebook refuses the save.
inline bool saveNoteVersion(NoteStore &store, const QString &id, QString html,
                            const QString &plainText)
{
    using namespace TAVRIKCORE::RICHEDITOR;
    NewAttachFile noteFile;
    int version = NOTE_HTML_VER_2;
    if (NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version) != 1)
        return false;
    std::vector<NewAttachFile> records;
    ZvWebNoteHandler::ParseAttList(id, html, records);
    std::vector<NoteFile> files{{QString(), 0, noteFile.modifyTime, QStringLiteral("html"),
                                 noteFile.storeName, noteFile.filePath}};
    for (const NewAttachFile &r : records)
        files.push_back({r.origName, r.fileKind, r.modifyTime, r.fileExt, r.storeName, r.filePath,
                         r.isImageSrc});
    return store.saveNote(id, files, {}, plainText);
}
