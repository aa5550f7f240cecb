// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachfilemonitor.h"
#include "bridge/zvwebnotehandler.h"
#include "skin/iewebbrowser.h"
#include "tavrik_export.h"

#include <QString>
#include <QWebEnginePage>

#include <map>
#include <memory>
#include <vector>

class QFocusEvent;

namespace TAVRIKCORE::RICHEDITOR {

namespace Internal {
class Autosave;
}

class IAttachFileListSource;
class ITavrikCoreData;
class IZvEditorNotify;
class EditorWindowHook;
struct StTableData;

// The editor window a host creates to show and edit one note. It runs the editor page,
// owns the script-bridge handler and decides when the note is saved: when the browser
// loses the keyboard focus, on Ctrl+S, and when the host asks (SaveEditor).
//
// Events shared with the host (custom QEvent types):
//   8005, posted to the parent given to Create once the page has loaded for the first time;
//        the host waits for it before LoadEditor or NewEditor.
//   2258 and 8004, posted to the browser's inner window: clear the page's cache, and the
//        copy notification.
//   2224, posted to this window by its attachment monitor: an attachment was edited outside
//        the editor (SyncFileModifyEvent).
// The attachment monitor watches the store from the first page load until the editor is
// destroyed; the note is brought in line with every edited attachment (see DoAttachFileModify).
// Once the page has loaded the browser refuses every further navigation, so links in a
// note never replace the editor page (the page opens them itself).
//
// Focus loss and Ctrl+S save without ever blocking the window: the content is asked for and
// stored once the page answers. So do autosaves: the page reports that the note changed, and
// the note is saved about two seconds after typing pauses, and at least every 30 seconds while
// it goes on; a file added, pasted, captured or removed is saved at once, so the host lists
// the note's files. Nothing is autosaved while the note is unchanged or read-only. Focus moving to
// the page's own popups, menus and dialogs is not leaving the editor. A page whose first load fails
// is loaded again, and so is a page whose renderer stopped; the note then shows again as last
// loaded or saved.
class TAVRIK_EXPORT CZorvaEditorImpl : public IEWebBrowser
{
    Q_OBJECT

public:
    explicit CZorvaEditorImpl(QWidget *parent = nullptr);
    ~CZorvaEditorImpl() override;

    // Creates the browser window and starts loading the editor page: FindEditorPage(), or the
    // "AppTavrikEditorPath" value of the host's "AppVarConfigMgr" when a core is set. 1 on
    // success, 0 when the window could not be created (nothing is loaded then). Without a page
    // the window stays empty and the log says where the page was looked for:
    // "[ERROR] CZorvaEditorImpl::Create, the editor page zveditor/index.html is in none of
    // <folder>, <folder>" (the folders of GetProgramFileFolders).
    int Create(QWidget *parent, const QRect &rect, int id, int style) override;

    // The editor page among the program's own files: "zveditor/index.html" in the first of
    // GetProgramFileFolders() that holds it; empty when none does.
    static const QString EditorPageFile;
    static QString FindEditorPage();

    // The host framework; must be set before Create to take effect.
    void SetTavrikCore(ITavrikCoreData *core);
    // The host's callbacks, also handed to the handler.
    void SetZvEditorNotify(IZvEditorNotify *notify);

    // Notes whose files hold more than this many bytes together open read-only and show only
    // their first MaxEditableNoteBytes bytes, with a message saying so; they are never saved,
    // so nothing of them is lost. Editing larger notes would stall the page for seconds on
    // every load and save, and their saves could time out.
    static constexpr qint64 MaxEditableNoteBytes = 4 * 1024 * 1024;

    // Shows the note made of the given note files (names of files in the attachment store,
    // read in order and joined; missing or unreadable ones are skipped). A name that is not
    // one file name in the store ("../x.html", "a/b.html") is refused with a log line. Without
    // any readable file the editor shows an empty note of the current version. `sizes` seeds
    // the attachment sizes the handler checks new files against.
    void LoadEditor(const QString &noteId, const std::vector<QString> &fileNames,
                    const std::map<QString, quint64> &sizes, bool readOnly);
    // Starts an empty note under a new id, returned in `noteId`, with the caret in it.
    void NewEditor(QString &noteId, bool readOnly);
    // Saves the note now if it changed (nothing in read-only mode); returns once it is stored.
    void SaveEditor();
    void SetReadOnly(bool readOnly);
    // Repaints the browser's inner window at once; nothing when it does not exist.
    void RefreshIE();

    // Writes the note as last loaded or saved to `path` as an MHT document. False with the
    // reason in `error` when there is no content or the conversion failed.
    bool ExportWord(const QString &path, QString &error);
    // The note as last loaded or saved, for an export of its own (NotePrinting::ExportPdf):
    // false with the reason in `error` when the editor shows only part of it or it has no
    // content (the MHT export's messages).
    bool ExportableHtml(QString &html, QString &error) const;
    // The same as an OpenDocument text (.odt) for LibreOffice and other word processors.
    bool ExportOdt(const QString &path, QString &error);
    // The same as a Word document (.docx).
    bool ExportDocx(const QString &path, QString &error);
    // The same as Markdown: `folder`/note.md (the folder made when missing) with copies of the
    // note's files beside it under their original names, pictures as images and file cards as
    // their card's image linked to the file, by relative paths, as "Export note as folder"
    // lays them out. Nothing there is overwritten: a name already taken gets a number
    // ("note(1).md"). False with the reason in `error` (then no copy stays), also for a note
    // without content (the MHT export's message).
    bool ExportMarkdown(const QString &folder, QString &error);
    // The note content as last loaded, started or saved.
    void GetLastHtml(QString &html) const;

    // Asks the user for files and adds them to the note.
    void InsertLocalFile();
    // Adds the given files to the note.
    void InsertLocalFile(const std::vector<QString> &paths);
    // Inserts a table at the caret.
    void InsertTable(const StTableData &table);

    // Where the attachment monitor learns the files of notes that are not open (not owned;
    // asked on the monitor's thread, see IAttachFileListSource). Without a source, edits to
    // attachments of other notes are not noticed.
    void SetAttachFileListSource(IAttachFileListSource *source);
    AttachFileMonitor &attachFileMonitor();

    // Spell checking as the user types, with the Hunspell dictionaries the build converts into
    // qtwebengine_dictionaries beside the executable. The languages that can be checked, as
    // language tags ("en-US"), sorted; empty without dictionaries.
    static std::vector<QString> AvailableSpellCheckLanguages();
    // Checks the note's spelling in `languages`, one or several at once; none turns checking
    // off, as it is for a host that never asks. Misspelt words are underlined while the note
    // is editable (never in read-only mode), and the editor's menu offers their corrections;
    // the note's markup never changes for it. A language without a dictionary is left out
    // with a log line. The languages are the browser engine's, shared by every editor of the
    // process. 1 when checking is on in at least one language, else 0.
    int SetSpellCheckLanguages(const std::vector<QString> &languages);
    // The languages this editor checks in; empty while it does not check.
    std::vector<QString> spellCheckLanguages() const;

    enum class Theme { Light, Dark };
    // Shows the page light (the default) or dark, as the host's palette is: the toolbar, the
    // status bar and the editing frame follow, and so does note text without a colour of its
    // own; colours the user gave stay. The note's markup is the same in both.
    void SetTheme(Theme theme);
    Theme theme() const;

    // The script-bridge handler of this editor.
    ZvWebNoteHandler &handler();
    // Markup version of the open note.
    int version() const;
    // True once the editor page has finished its first load.
    bool pageLoaded() const;
    // When the note saves itself (the library's tests drive its clock).
    Internal::Autosave &autosave();

    // The most recently constructed editor still alive; the window hook and the save key
    // act on it.
    static CZorvaEditorImpl *lastEditor();

protected:
    // last HTML = html; version = version; the handler's read-only mode, then the content
    // (`saved`: a note file as this editor saved it, not sanitised again).
    void SetEditorText(const QString &html, int version, bool readOnly, bool saved = false);
    // Reads the content from the page and, when it differs from the last HTML, stores it as
    // a note file and hands the note's file list to the host.
    void OnSave();
    // Runs at every finished page load; the first successful one hooks the browser's inner
    // window, takes the character limit given with the load and tells the parent (8005). A failed
    // first load is tried again; a load after the renderer stopped puts the note back.
    void OnDocumentComplete(bool ok);
    // Watches the browser's inner window (focus loss, 2258, 8004, Ctrl+S), moving the hook
    // when the browser replaces that window.
    void ModifyIEWndProc();
    // Stops watching the inner window.
    void OnDestroy();

    // Event 2224: hands the record to DoAttachFileModify. 1 for a null record, else 0; the
    // event owns the record and frees it.
    int OnAttachFileModify(SyncFileModifyArg *arg);
    // Brings the note in line with an attachment edited outside the editor: makes the new
    // shown image (GenerateThumbPic); for the open note, gives the page's attachment its new
    // class and src, records the new names' times and saves the note; for a note that is not
    // open, rewrites its stored note file (the record's noteFile.filePath) and hands the host
    // the new file list through OnSaveNote, the written note file first. Failures leave the
    // note as it was, with "[ERROR] CZorvaEditorImpl::DoAttachFileModify 生成附件缩略图失败！"
    // or "[ERROR] CZorvaEditorImpl::DoAttachFileModify 更新笔记附件属性失败！".
    void DoAttachFileModify(const SyncFileModifyArg &arg);
    // Makes the image the page shows for the changed attachment: a copy of a picture, a new
    // thumbnail card for any other file. 1 with its name in `showName`.
    int GenerateThumbPic(const SyncFileModifyArg &arg, QString &showName);
    void customEvent(QEvent *event) override;

private:
    friend class EditorWindowHook;
    // What the hook does with an event of the watched window; never consumes it.
    static void IEHookWndProc(QObject *window, QEvent *event);

    // What a save compares with and stores under, taken when it starts.
    struct SaveContext
    {
        int generation;
        QString noteId;
        QString lastHtml;
        int version;
    };
    SaveContext saveContext() const;
    void saveWithoutWaiting();
    void onContentChanged(bool attachments);
    void finishSave(int ticket, const SaveContext &context, int ok, const QString &html,
                    const QString &text);
    void storeContent(const SaveContext &context, QString html, const QString &text);
    void reportUnreadableContent();
    bool focusStaysInEditor(const QFocusEvent *event) const;
    void applyPagePreferences();
    void applySpellCheckToPage();
    void applyThemeToPage();
    void onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);
    void restorePage();

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
