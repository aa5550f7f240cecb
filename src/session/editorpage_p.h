// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;
struct StTableData;

namespace Internal {

// The editor page as native code calls it: one method per call of the page's jsProcessor.
// Each call is logged with its own lines when the page cannot be called, answers something
// that is not a JSON object, or refuses; the result says whether the page accepted.
class TAVRIK_AUTOTEST_EXPORT EditorPage
{
public:
    struct Content
    {
        QString html;
        QString text;
    };
    // What "AddPicToEditor" inserts: the shown picture, the stored file's markup path, the
    // name the note keeps and the file's extension.
    struct Attachment
    {
        QString showSrc;
        QString relPath;
        QString keptName;
        QString fileExt;
    };
    // What "ReplaceText" did: the hits replaced, and whether the keyword is still in the
    // note's text (when not, no hit is left to mark).
    struct Replaced
    {
        int count = 0;
        bool keywordLeft = true;
    };

    explicit EditorPage(IEWebBrowser *browser = nullptr) : m_browser(browser) { }
    void setBrowser(IEWebBrowser *browser) { m_browser = browser; }
    IEWebBrowser *browser() const { return m_browser; }

    bool setReadOnly(bool readOnly); // SetEditorMode
    bool setMaxChars(int maxChars); // SetEditorMaxChars
    // SetEditorContent; SetSavedEditorContent for a note file this editor saved itself, which
    // the page takes without sanitising it again.
    bool setContent(const QString &html, bool saved = false);
    std::optional<Content> content(); // GetEditorContent
    // GetEditorContent without waiting: `done` runs from Qt's event loop, with nothing when
    // the page failed or has not answered within `timeoutMs`.
    void contentAsync(int timeoutMs, std::function<void(std::optional<Content>)> done);
    bool focus(); // FocusEditor
    bool clearCache(); // ClearEditorCache, without log lines
    bool selectAttachment(const QString &key); // SelectedAttach
    // ModifyAttachAtrr: the attachment kept as `keptName` gets new class and src values.
    bool modifyAttachment(const QString &keptName, const QString &classValue,
                          const QString &srcValue);
    bool insertTable(const StTableData &table); // InsertTable
    bool removeAttachment(const QString &fileName); // RemoveAttach
    // A picture of pasted markup stored as an attachment: the markup's src and what the
    // page shows for it; an empty attachment leaves the picture out.
    struct PastedPicture
    {
        QString src;
        Attachment attachment;
    };
    // PasteHtml; the markup's `pictures` become their attachments.
    bool pasteHtml(const QString &html, const std::vector<PastedPicture> &pictures = {});
    // SetSpellCheck for the editor's own setting.
    bool setSpellCheck(bool enabled);
    // SetSpellCheck off and on, so the page marks the note's words again.
    void recheckSpelling();
    bool setTheme(bool dark); // SetEditorTheme
    // SetSpellCheck and SetEditorTheme (each when given) as a page that has just loaded learns
    // them: without waiting for its answers, which a page still starting up may not give. A
    // failure is logged as with setSpellCheck and setTheme.
    void sendPreferences(std::optional<bool> spellCheck, std::optional<bool> dark);
    // TableState: the table commands the page can run at the caret; nothing when the page
    // failed, empty outside a table.
    std::optional<std::vector<QString>> tableCommands();
    bool runTableCommand(const QString &command); // TableCommand
    // ReplaceText: the hits at `offsets` (start and end of each in the body's text) that still
    // read as `keyword` (letter case folded unless `matchCase`) get `replacement`, all as one
    // undo step. Nothing when the page refused or failed.
    std::optional<Replaced> replaceText(const std::vector<int> &offsets, const QString &keyword,
                                        const QString &replacement, bool matchCase);
    // SelectionMarkdown: the selection as Markdown, its attachments addressed as files in the
    // folder whose address is `storeUrl` (ending in "/"); empty without a selection, nothing
    // when the page failed.
    std::optional<QString> selectionMarkdown(const QString &storeUrl);
    // HtmlToMarkdown: a note's markup as Markdown, its addresses kept; nothing when the page
    // failed.
    std::optional<QString> markdownOf(const QString &html);
    // PasteMarkdown: Markdown converted and inserted at the caret as a paste.
    bool pasteMarkdown(const QString &text);
    // AddPicToEditor for each attachment, in order, all in one wait for the page. Whether the
    // page took each one.
    std::vector<bool> addAttachments(const std::vector<Attachment> &attachments);

private:
    IEWebBrowser *m_browser = nullptr;
};

} // namespace Internal
} // namespace TAVRIKCORE::RICHEDITOR
