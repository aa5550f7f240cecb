// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notefilelist.h"

#include "notestore.h"

using TAVRIKCORE::RICHEDITOR::AttachmentFile;

NoteFileList::NoteFileList(const QString &databasePath) : m_path(databasePath) { }

int NoteFileList::GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files)
{
    // A connection belongs to the thread that opened it: this one lives for the question.
    NoteStore store(m_path);
    if (!store.open())
        return 0;
    const std::map<QString, quint64> sizes = store.attachmentSizes(noteId);
    const std::vector<NoteFile> listed = store.files(noteId);
    for (const NoteFile &file : listed) {
        AttachmentFile entry;
        entry.storeName = file.storeName;
        const auto size = sizes.find(file.storeName);
        entry.fileSize = size == sizes.end() ? 0 : int(size->second);
        entry.filePath = file.filePath;
        entry.keptName = file.origName;
        entry.modifyTime = file.modifyTime;
        entry.fileKind = file.fileKind;
        entry.fileExt = file.fileExt;
        files.push_back(entry);
    }
    return listed.empty() ? 0 : 1;
}
