// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/iattachfilelistsource.h"

#include <QString>

// Answers the editor's attachment monitor from the notebook: the files of a note as it was
// last saved. The monitor asks on its own thread, so every answer reads the notebook through
// a connection of the asking thread, opened and closed for the question.
class NoteFileList : public TAVRIKCORE::RICHEDITOR::IAttachFileListSource
{
public:
    explicit NoteFileList(const QString &databasePath);

    int GetNoteFileList(const QString &noteId,
                        std::vector<TAVRIKCORE::RICHEDITOR::AttachmentFile> &files) override;

private:
    QString m_path;
};
