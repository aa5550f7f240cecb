// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Adding files to the open note: the page is read once for the checks of a batch, the files
// are stored and recorded in the session, and the page inserts them in one call.
class TAVRIK_AUTOTEST_EXPORT AttachAdding
{
public:
    AttachAdding(NoteSession &session, EditorPage &page) : m_session(session), m_page(page) { }

    // A file storeFiles() stored: where its bytes came from and what the page shows for it.
    struct Stored
    {
        QString srcPath;
        EditorPage::Attachment attachment;
    };

    // Refuses folders, empty files and files past the note's 10 MiB (each message once), gives
    // clashing names a number, stores the files, records their sizes and times, and has the
    // page insert them. Nothing while read-only.
    void addFiles(std::vector<DropFileInfo> files);
    // addFiles() without the insertion: what was stored, in order.
    std::vector<Stored> storeFiles(std::vector<DropFileInfo> files);
    // Adds the files at `paths` up to the first one another program holds locked ("不能添加正在
    // 编辑的文件作为附件！") or that is not a readable file ("无效文件路径:<path>"), whose message
    // follows. False when a path stopped the list.
    bool addPaths(const std::vector<QString> &paths);
    // The attachments the page shows, read once; nothing when the page cannot be read or a
    // size is not recorded.
    std::optional<NoteSession::Attachments> pageAttachments();
    // Numbers the files whose names clash with the attachments the page shows.
    void numberClashes(std::vector<DropFileInfo> &files);

private:
    NoteSession &m_session;
    EditorPage &m_page;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
