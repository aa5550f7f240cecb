// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "bridge/izveditornotify.h"
#include "capture/iscreencapturenotify.h"
#include "clipboard/clipboardrecords.h"
#include "notehtml/attachnewatt.h"
#include "notehtml/newattachfile.h"
#include "session/sttabledata.h"
#include "skin/iiedragnotify.h"
#include "skin/iieuinotify.h"
#include "skin/ijscallfunnotify.h"
#include "tavrik_export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QImage;
class QMimeData;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

class CZorvaEditorImpl;
class IEWebBrowser;
namespace Internal {
class EditorPage;
class NoteSession;
} // namespace Internal

// The one object between the browser window, the editor page and native code. The browser
// hands it the page's calls, drag events and user-interface hooks; it drives the page
// through the page's jsProcessor function and reports to the host through IZvEditorNotify.
class TAVRIK_EXPORT ZvWebNoteHandler : public IJSCallFunNotify,
                                       public IIEDragNotify,
                                       public IIEUINotify,
                                       protected IScreenCaptureNotify
{
public:
    // What a drag in progress carries.
    enum DRAGE_OP_TYPE {
        DOT_PAGE = 1, // nothing the editor takes: the page handles the drag itself
        DOT_FILES = 2, // files or an image the editor adds on drop
    };

    ZvWebNoteHandler();
    ZvWebNoteHandler(const ZvWebNoteHandler &other);
    ZvWebNoteHandler &operator=(const ZvWebNoteHandler &other);
    ~ZvWebNoteHandler() override;

    // The host's callbacks (not owned).
    void SetNotify(IZvEditorNotify *notify);
    // The window that runs the page (not owned).
    void SetIEWebBrowser(IEWebBrowser *browser);
    // Runs when the page reports that the note changed ("ContentChanged": once until the
    // content is next read, and each time attachments came or went, with `attachments` set).
    // Not while the editor is read-only.
    using ContentChangedHandler = std::function<void(bool attachments)>;
    void SetContentChangedHandler(ContentChangedHandler changed);

    // For hosts that forward the shared messages: 2258 clears the page's cache, 8004 runs the
    // copy notification; every other message is ignored.
    void WinMessageNotify(QWidget *window, int message, quintptr wParam, qintptr lParam);

    // The GUID text of the note shown in the page.
    void SetCurNoteGuid(const QString &noteId);
    QString GetCurNoteGuid() const;

    // Attachment modification times, keyed by store name followed directly by kept name.
    const std::map<QString, QString> &GetAttachModifyCache() const;
    // Sets the time of one attachment (inserting or replacing its entry).
    void RecordAttachModifyTime(const QString &storeName, const QString &keptName,
                                const QString &time);
    // Fills each record's modifyTime from `cache` (key storeName + origName), or with the
    // current time when the record has no entry. `noteId` is not used.
    static void UpdateAttModifyTimeField(const QString &noteId, std::vector<NewAttachFile> &files,
                                         const std::map<QString, QString> &cache);

    // Sizes of the note's stored files by store name. InitAttachFileSize adds the entries of
    // `sizes` whose names are absent; present entries keep their size.
    void InitAttachFileSize(const std::map<QString, quint64> &sizes);
    const std::map<QString, quint64> &attachFileSizes() const;

    // The read-only mode and character limit the page last accepted (0 and 3000 at first).
    int IsReadOnly() const;
    int editorMaxChars() const;

    // Calls into the page. Each is logged when the page cannot be called, answers something
    // that is not a JSON object, or refuses; state changes only when the page accepted.
    // Switches the page's read-only mode; nothing is sent when the mode is already set.
    void SetReadOnly(int readOnly);
    // Sets the page's character limit.
    void SetEditorMaxChars(int maxChars);
    // Replaces the page's content. Empties the attachment sizes and modification times
    // first, and posts the cache-clearing event to the browser's inner window. `saved` tells
    // the page the HTML is a note file this editor saved itself, which it takes unsanitised.
    void SetEditorHtml(const QString &html, bool saved = false);
    // The page's content as HTML and plain text. 1 on success; 0 leaves both untouched.
    int GetEditorContent(QString &html, QString &text);
    // The same without waiting: `done` runs later, from Qt's own event loop, with 1 and the
    // content, or with 0 (logged as above) when the page could not be read or has not
    // answered within `timeoutMs`.
    using ContentHandler = std::function<void(int ok, const QString &html, const QString &text)>;
    void GetEditorContentAsync(int timeoutMs, ContentHandler done);
    // Puts the keyboard focus in the page's note: the caret where it was, at the start of a
    // new note.
    void SetEditorFocus();
    // The page has been loaded afresh: its read-only mode and character limit are the page's
    // first ones again, so the next SetReadOnly and SetEditorMaxChars are sent whatever they
    // set.
    void OnPageReloaded();
    // The page has loaded with this limit and mode given with its load: recorded as accepted,
    // without a call.
    void PageStartedWith(int maxChars, int readOnly);
    // Selects the attachment named `key` in the page (the key is sent as a JSON string, so it
    // may hold quotes and backslashes). 1 on success; 0 for an empty key.
    int SelectedAttach(const QString &key);
    // Gives the page's attachment with original name `origName` new class and src values.
    // The values are sent as JSON strings, so store paths with backslashes arrive as they
    // are. 1 on success.
    int UpdateHtmlAttachAttr(const QString &origName, const QString &classValue,
                             const QString &srcValue);
    // Inserts a table at the page's caret.
    void InsertTable(const StTableData &table);

    // Adding files. Nothing is added while the editor is read-only.
    // Lets the user pick files in a dialog and adds them one by one as InsertLocalFile does.
    void OnAddAttachment();
    // The same for the host.
    void InsertLocalFile();
    // Adds the files at `paths` one at a time, in order. A file another program holds locked
    // stops the list with "不能添加正在编辑的文件作为附件！", a path that is not a readable
    // file with "无效文件路径:<path>"; the files before it stay added. After the last path the
    // browser's inner window gets the keyboard focus.
    void InsertLocalFile(const std::vector<QString> &paths);
    // Adds a batch of files to the note: refuses folders, empty files and files past the
    // note's 10 MiB (each message once), gives clashing names a number, stores the files,
    // records their sizes and times, and asks the page to insert each one.
    void AddDropFileToEditor(const std::vector<DropFileInfo> &files);
    // The bytes of the attachments in the page, each counted one byte less than its recorded
    // size. 1 on success; 0 when the page cannot be read or a size is not recorded.
    int GetExistAttTotalSize(quint64 &total);
    // The most a note's attachments may take together (10 MiB); adding past it is refused.
    static quint64 MaxAttachTotalBytes();
    // What a drag carries: its files, else its image as a temporary JPEG (written now,
    // whether or not it is dropped). Refills the drop list.
    DRAGE_OP_TYPE PreDrag(const QMimeData *data);
    // The files a drag or the clipboard lists, appended to `files` (see DropFiles).
    static void GetFileList(const QMimeData *data, std::vector<DropFileInfo> &files);
    static void GetFileListFromClipboard(std::vector<DropFileInfo> &files);
    // The files of the last drag that entered the page.
    const std::vector<DropFileInfo> &dropFiles() const;

    // The attachment store for the current note (see AttachStore, FileClassifier and
    // FileThumbnail, which these forward to).
    int MoveAttFile(const DropFileInfo &info, MAF_RESULT &result);
    // The markup the page gives a file stored by MoveAttFile, for notes a host writes
    // without the page (an <img> showing the picture or the file's thumbnail card).
    static QString AttachmentMarkup(const DropFileInfo &info, const MAF_RESULT &stored);
    // Numbers the new files whose names clash with the attachments in the page.
    void DoAttSameName(std::vector<DropFileInfo> &files);
    static int SaveImage(const QImage *image, std::vector<DropFileInfo> &files);
    static void DelTempFileFromList(const std::vector<DropFileInfo> &files);
    static int IsPicFileType(const QString &name);
    static QString GetFileStuffx(const QString &name);
    static int GenerateFileThumb(int type, const QString &nameLine, const QString &infoLine,
                                 const QString &outPath, int *sizeOut = nullptr);
    static QString FormatFileInfo(int size, const QString &time);
    // Asks the host to open the attachment at `path` (its file part) under `origName`.
    void OnDblClickAttachment(const QString &path, const QString &origName);
    // Runs a screen capture and returns when it ends: the screen under the cursor freezes,
    // the user selects a part of it, and completing the capture adds that part to the note as
    // a picture (OnScreenCaptureComplet). With `hideMainWnd` set the browser's main window
    // leaves the screen before the snapshot and comes back afterwards. When the screen gives
    // no picture (on Wayland it is asked of the desktop portal) a message says why and no
    // capture window opens.
    void OnScreenCapture(int hideMainWnd);

    // Copy and paste with attachments. The key operations answer S_OK when they handled the
    // key and E_NOTIMPL when the browser is to copy, cut or paste by itself.
    // Copy: starts waiting for the browser's copy to reach the clipboard and posts the copy
    // notification to the browser's inner window. Always E_NOTIMPL.
    long DoCtrlC();
    // Paste, unless read-only: files or a picture on the clipboard are added as attachments
    // (DoCopyClipboardFile); HTML showing attachments is pasted by DoCopyClipboardHtml once
    // this key has been handled (S_OK); other HTML is left to the browser.
    long DoCtrlV();
    // Cut, unless read-only (E_NOTIMPL): focuses the browser's inner window and has the page
    // cut its selection once this key has been handled. S_OK.
    long DoCtrlD();
    // Adds the clipboard's files, or its picture as a JPEG whose temporary file is deleted
    // afterwards. E_NOTIMPL when the clipboard offers neither.
    long DoCopyClipboardFile();
    // Pastes the clipboard's HTML with its attachments into the current note: finds each
    // attachment's file wherever the note it was copied from keeps it (AttachPaste), copies
    // them in as DoCopyLogic does, points the fragment's markup at the note's copies (an
    // attachment that could not be read is left out) and has the page insert it at the caret
    // ("PasteHtml"). S_OK, also when DoCopyLogic fails and nothing is pasted; E_NOTIMPL, for
    // the browser to paste, when the HTML shows no attachment.
    long DoCopyClipboardHtml();
    // Stores the attached files of `records` (image sources skipped) under the names they get
    // beside the note's attachments (a file that already is the note's kept copy under its name
    // keeps it). 0 when a file is missing or empty, when the note's
    // attachment size cannot be read ("[ERROR] DoCopyLogic获取笔记编辑器附件总大小失败！" and the
    // message "获取笔记编辑器附件总大小失败！"), when everything would pass 10,485,760 bytes (the
    // message "最大支持上传10M附件！"), or when storing a file fails.
    int DoCopyLogic(const std::vector<NewAttachFile> &records, CopyLogicResult &result);
    // The copy notification: once the browser's copy is on the clipboard, a copy of
    // attachments and no text is replaced by the list of their files. When one of the files
    // is missing, or anything else was copied, the browser's HTML stays.
    void HandleCopyNotify();
    // The attachment records and plain text of the HTML on the clipboard.
    void AnalyHtmlDataFromClipboard(std::vector<NewAttachFile> &records, QString &text);
    // Puts the existing files among `files` on the clipboard as a file list.
    void AddAttachToClipboard(const std::vector<AttachFileInfo> &files);
    // Puts a note's HTML on the clipboard with its pictures made self-contained. 1 when the
    // HTML was put there; 0 for empty HTML or a failed conversion.
    static int OnCopyContent(const QString &html);
    // The same for the note file at `path`; 0 when it cannot be read or is empty.
    static int OnCopyHtml(const QString &path);
    // Empties the clipboard.
    static void ClearCopyData();

    // Markdown. Puts the selection on the clipboard as Markdown text (attachments addressed as
    // their files in the store). False when nothing is selected or the page failed.
    bool CopyAsMarkdown();
    // Inserts the clipboard's text converted from Markdown at the caret, as a paste (one undo
    // step, refused whole past the character limit). False in read-only mode, without text
    // ("[ERROR] Paste as Markdown: the clipboard holds no text") or when the page refused.
    bool PasteAsMarkdown();

    // Note HTML without the page (see AttachMarkup, AttachMarkupRewriter and MhtExport, which
    // these forward to).
    static int ParseAttList(const QString &noteId, const QString &html,
                            std::vector<NewAttachFile> &records, QString *plainText = nullptr);
    static int ParseAttOrigFileNameList(const QString &html, std::vector<QString> &names);
    void GetAttachFileFromHtml(const QString &noteId, const QString &html,
                               std::vector<QString> &paths, QString *plainText = nullptr);
    static QString GetOrigNameFromJson(const QByteArray &exdata);
    static QString FormatOrigNameToJson(const QString &origName);
    static int UpdateHtmlAttachAttr(const QString &html, const QString &origName,
                                    const QString &classValue, const QString &srcValue,
                                    QString &outHtml, QString &outText);
    int UpdateAttachAttValue(const QByteArray &html, const std::vector<AttachNewAtt> &changes,
                             QByteArray &outHtml);
    int UpdateAttachAttValue2(const QByteArray &html, const std::vector<AttachNewAtt> &changes,
                              QByteArray &outHtml);
    static int DelAttachFromHtmlFile(const QString &noteId, const QString &origName,
                                     std::vector<NewAttachFile> &records);
    static int HtmlConvert(const QString &html, QString &converted);
    static int HtmlToMht(const QString &html, const QString &target);
    static int NoteHtmlContentToMhtFile(const QString &html, const QString &target);
    static int NoteHtmlFileToMhtFile(const QString &noteFile, const QString &target);
    // The same as an OpenDocument text (see OdtExport).
    static int NoteHtmlContentToOdtFile(const QString &html, const QString &target);
    static int NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target);
    // The same as a Word document (see DocxExport).
    static int NoteHtmlContentToDocxFile(const QString &html, const QString &target);
    static int NoteHtmlFileToDocxFile(const QString &noteFile, const QString &target);

    // Search marks in the note shown by the page.
    //
    // HighlightText removes the previous marks, then marks every occurrence of `keyword` in
    // the body of the editing frame (the page's frame of class "ke-edit-iframe", any letter
    // case): matched as plain text, case-sensitively unless `matchCase` is false (then both
    // sides are folded as a script's toLowerCase folds them), the next search starting one
    // character after the start of the previous hit (so "aa" in "aaa" is found twice), never across
    // a block or a line break. Hits inside an element hidden by display none or visibility hidden,
    // or under such an ancestor, stay unmarked. The first marked hit is scrolled to the top of the
    // view. 1 when done (also when nothing matched, and for an empty keyword, which only removes
    // the marks); 0 when no page has loaded or it has no editing frame.
    //
    // The marks are an overlay in the page's own layer above the editing frame, drawn by a
    // script in an isolated world that the note and the page's scripts cannot reach; they
    // follow scrolling, resizing, zoom and the note's reflow while the user types. The note
    // is never changed: its markup, modified flag, undo history and character count stay as
    // they were, and a save writes the same file. A hit's background becomes "#FFFF11" (the
    // overlay multiplies with the text beneath, which stays readable); its text keeps the
    // note's own colour, as "#686868" cannot be applied without touching the note.
    // Many hits (100,000 and more) are all marked, in batches: the first ones before the
    // call returns, the rest in slices of a few milliseconds that keep the window responsive.
    // Letter case is ignored unless `matchCase`. A keyword longer than MaxHighlightKeywordLength
    // UTF-16 units is refused before it reaches the page: 0, with the marks removed and the
    // log line "[ERROR] HighlightText keyword too long: <length> characters, at most 256".
    // With `wholeWord`, a hit with a letter or digit (of any script) right before or after it in
    // the same piece of text is left unmarked.
    int HighlightText(const QString &keyword, bool matchCase = true, bool wholeWord = false);
    static constexpr int MaxHighlightKeywordLength = 256;
    // The number of hits the last HighlightText marked; 0 once the marks are removed.
    int HighlightCount() const;
    // Makes the next marked hit (the previous one when `backwards`) the current one: its mark
    // turns "#FF9632" and it is scrolled into view when it is not wholly in view; after the
    // last hit comes the first, and the first move backwards goes to the last. No hit is
    // current after HighlightText. Gives the current hit's index (from 0), or -1 when nothing
    // is marked or the page could not be reached.
    int HighlightNext(bool backwards);
    // Removes the search marks. 1 when removed or when there were none (even before a page
    // has loaded, without calling it); 0 when the page could not be reached, and the marks
    // are then still counted as shown.
    int CancleHighlight();
    // The current hit's index (from 0), -1 when no hit is current.
    int HighlightCurrent() const;

    // Replacing marked text. The replacement is plain text, put into the hit's first text node
    // in place of the hit; the rest of a hit running over several text nodes of one line is
    // taken out of them. The note's elements and their attributes (formatting, links,
    // attachments) stay exactly as they were, and a hit never lies inside an attachment. One
    // Ctrl+Z in the note puts back every hit of one call. Afterwards the keyword is marked
    // again. In read-only mode nothing changes and the log line
    // "[ERROR] <ReplaceCurrent|ReplaceAll> refused: the note is read-only" is written; a
    // replacement that would take the note past its character limit is refused by the page
    // ("[ERROR] ReplaceText refused: the replacement is too long for the note: <n> characters
    // over the limit").
    //
    // ReplaceCurrent replaces the current hit of the last HighlightText (as it was marked: the
    // same letter case and whole-word choice); the first hit after it becomes current. 1 when it
    // was replaced; 0 when no hit is current, the note is read-only or the page failed.
    int ReplaceCurrent(const QString &replacement);
    // ReplaceAll replaces every hit HighlightText(keyword, matchCase, wholeWord) would mark (of
    // overlapping hits, the first). Gives the number replaced (0 also for an empty keyword), or
    // -1 when refused or the page failed; a keyword longer than MaxHighlightKeywordLength is
    // refused with "[ERROR] ReplaceAll keyword too long: <length> characters, at most 256".
    int ReplaceAll(const QString &keyword, const QString &replacement, bool matchCase = true,
                   bool wholeWord = false);

protected:
    // Fills the function table: "CppProcessor" -> 1.
    void Init();

    // The id of a script-callable name ("CppProcessor" -> 1), -1 for any other name.
    int OnGetFunId(const QString &name) override;
    // Runs CppProcessor for id 1; -1 for any other id.
    long OnExecuteFun(int funId, const QVariantList &arguments, QVariant &result,
                      const QString &text) override;
    // Dispatches one page command (arguments in reverse order: exdata, JSON, command name).
    // Always S_OK; the page never gets a value back.
    long OnCppProcessor(const QVariantList &arguments, QVariant &result, const QString &text);

    // A script value as text: numbers, texts, booleans ("TRUE"/"FALSE"), date-times; empty
    // for null; "UN_KNOW" for lists, maps, 8-bit numbers and any other type.
    static QString Format(const QVariant &value);
    // The current local time as "%Y/%m/%d %H:%M".
    static QString FormatCurTime();
    // True when `path` names an existing folder.
    static bool path_is_folder(const QString &path);
    // The folder's own name: the text after the last separator once trailing separators are
    // removed; empty when no separator remains.
    static QString extract_foldername(const QString &path);

    // Sends "ClearEditorCache" to the page. 1 when the call went through.
    int HandleClearEditorCacheNotify();

    // A right click on an attachment (the page asks, as the browser does not offer its menu
    // there): the attachment menu at the pointer (MyAttachMenu).
    void OnRightClickAttach(const QString &fileName, const QString &origName,
                            const QString &rangeHtml);
    // The editor's menu for the attachment stored as `fileName` under `origName`: Open, Save
    // a copy as…, Remove, then the editing entries.
    void MyAttachMenu(const QString &fileName, const QString &origName, const QString &rangeHtml);
    // Asks where to save a copy of the attachment the menu was last opened for, and copies the
    // user's file there (the kept copy in the note's folder, else the stored one).
    void DoAttachSaveAs();
    // Removes the attachment stored as `fileName` from the page (the one the menu was opened
    // on when it is still there).
    void RemoveAttach(const QString &fileName);
    // Page commands that have nothing to do.
    void OnWriteEditorLog(const QString &type, const QString &message);
    void ShareAttachMenu(const QString &fileName, const QString &origName);

    // Drag events. A drag carrying files or an image is taken (S_OK) and added on drop; any
    // other drag goes to the page. A read-only editor answers 1 and leaves drags alone.
    long OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers keyState, const QPoint &point,
                     Qt::DropActions &effect) override;
    long OnDragOver(Qt::KeyboardModifiers keyState, const QPoint &point,
                    Qt::DropActions &effect) override;
    long OnDragLeave() override;
    long OnDrop(const QMimeData *data, Qt::KeyboardModifiers keyState, const QPoint &point,
                Qt::DropActions &effect) override;

    // The browser's context menu never appears: the editor's own menu (spelling, table and
    // editing entries) pops up instead, a moment later, from Qt's event loop. Script message boxes
    // are left to the browser (which shows them as plain text).
    long ShowContextMenu(int menuId, const QPoint &screenPoint, QObject *commandTarget,
                         QObject *element) override;
    long ShowMessage(QWidget *window, const QString &text, const QString &caption,
                     int type) override;
    // Keys: a key press while F5 is down is swallowed (the page never reloads). With Control
    // down (as the event says), the keys that are down at this moment (asked of the window
    // system; where it cannot tell, the event's own key and those pressed since the keyboard
    // focus last moved between windows) are tested in this order: C (DoCtrlC), V (DoCtrlV), D
    // (DoCtrlD), F (the search marks disappear and the browser's find runs), O, P or N (swallowed:
    // no open, print or new window). Everything else, key releases included, goes to the browser.
    // Asked whether a key is a shortcut, S_OK claims the keys whose press will be taken here.
    long OnTranslateAccelerator(const QKeyEvent *message) override;

    // Adds a completed capture to the note: the picture is written as "<guid>.jpg" to the
    // temporary folder, added with AddDropFileToEditor, and the temporary file is removed
    // once it has been added (the store keeps its own copy). A picture that cannot be written
    // adds nothing and is only logged.
    void OnScreenCaptureComplet(const QImage &bitmap) override;

private:
    // The editor brings the open note in line with attachments edited elsewhere, through the
    // note's state and page of its handler.
    friend class CZorvaEditorImpl;
    Internal::NoteSession &session();
    Internal::EditorPage &page();

    // Pops the editor's menu up at `screenPoint`; on the attachment of the last
    // MyAttachMenu when `onAttachment` is set; with the corrections of a misspelt word.
    void popupContextMenu(const QPoint &screenPoint, bool hasSelection, bool onAttachment,
                          const QString &misspelledWord = QString(),
                          const QStringList &suggestions = QStringList());

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
