// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "clipboard/clipboardrecords.h"
#include "notehtml/newattachfile.h"
#include "session/editorpage_p.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

namespace Internal {

class NoteSession;

// Copy and paste with attachments for the open note: files and pictures on the clipboard
// are added, HTML showing attachments is pasted with copies of its files, and a copy of
// attachments alone puts their files on the clipboard.
class TAVRIK_AUTOTEST_EXPORT NoteClipboard
{
public:
    NoteClipboard(NoteSession &session, EditorPage &page) : m_session(session), m_page(page) { }

    // Whether Control+V pastes here rather than in the browser: files or a picture, or HTML
    // showing attachments or pictures of its own (data: or file: URLs), on the clipboard of an
    // editor that is not read-only.
    static bool pasteIsTaken(bool readOnly, const IEWebBrowser *browser);
    // Whether the clipboard offers files or a picture rather than HTML.
    static bool offersFiles();

    // Adds the clipboard's files, or its picture as a JPEG whose temporary file is deleted
    // afterwards. False when the clipboard offers neither.
    bool pasteFiles();
    // Pastes the clipboard's HTML with copies of its attachments (see
    // ZvWebNoteHandler::DoCopyClipboardHtml) and its own pictures stored as attachments.
    // False when the HTML shows neither.
    bool pasteHtml();
    // Stores the attached files of `records` for the note (ZvWebNoteHandler::DoCopyLogic),
    // also giving what was stored for each record that is not an image source.
    int copyFiles(const std::vector<NewAttachFile> &records, CopyLogicResult &result,
                  std::vector<MAF_RESULT> *storedFiles);
    // After a copy: a copy of attachments and no text is replaced by the list of their files.
    void copySelectionFiles();
    // The attachment records and plain text of the HTML on the clipboard.
    void clipboardRecords(std::vector<NewAttachFile> &records, QString &text) const;

private:
    // `html` pointing at the note's copies of the attachments of `records`; nothing when they
    // could not be copied or the markup not be read (with its log line).
    std::optional<QString> withCopiedAttachments(const QString &html,
                                                 const std::vector<NewAttachFile> &records);
    // Stores the pictures of the src values `sources` as attachments: what was stored, and
    // each picture that was not with an empty attachment.
    std::vector<EditorPage::PastedPicture> storePictures(const std::vector<QString> &sources);

    NoteSession &m_session;
    EditorPage &m_page;
};

} // namespace Internal
} // namespace TAVRIKCORE::RICHEDITOR
