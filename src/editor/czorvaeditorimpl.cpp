// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/czorvaeditorimpl.h"

#include "attach/attachstore_p.h"
#include "attach/syncfilemodifyevent.h"
#include "bridge/editorevents.h"
#include "bridge/izveditornotify.h"
#include "common/commonutils.h"
#include "common/iprompts.h"
#include "common/itavrikcoredata.h"
#include "common/ivarconfigmgr.h"
#include "common/log4c.h"
#include "editor/attachresync_p.h"
#include "editor/autosave_p.h"
#include "editor/editorwindowhook_p.h"
#include "editor/pagestart_p.h"
#include "editor/savednotes_p.h"
#include "editor/spellchecking_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/docxexport_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "notehtml/notehtmlrw_p.h"
#include "notehtml/odtexport_p.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"
#include "store/notefolderexport.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include <future>
#include <memory>
#include <system_error>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR {

namespace {

CZorvaEditorImpl *s_lastEditor = nullptr;

constexpr int EditorMaxChars = 10000;
constexpr int CurrentVersion = 2;
// A save the window does not wait for gives up on a page that has not answered by then.
constexpr int SaveReplyTimeoutMs = 10000;
// A first load that fails is tried this many times in all, this far apart.
constexpr int LoadAttempts = 3;
constexpr int LoadRetryDelayMs = 1000;

// The folders the program's files are looked for in, as one text: "/a/, /b/".
QString programFolderList()
{
    const std::vector<QString> folders = GetProgramFileFolders();
    return QStringList(folders.begin(), folders.end()).join(u", "_s);
}

} // namespace

const QString CZorvaEditorImpl::EditorPageFile = u"zveditor/index.html"_s;

// What an editor holds besides its browser.
class CZorvaEditorImpl::Private
{
public:
    QPointer<QWidget> hookedWindow; // the watched inner window; null when not hooked
    int pageLoaded = 0;
    QString lastHtml;
    int version = 0;
    int generation = 0; // counts the contents shown (load, new note, page restored)
    int saveTicket = 0; // the latest save started; earlier ones still waiting are dropped
    bool unreadableShown = false; // the user has been told the content could not be read
    int failedLoads = 0;
    bool restoring = false; // the page is loading again after its renderer stopped
    bool partialNote = false; // only the beginning of a note above MaxEditableNoteBytes shown
    IZvEditorNotify *notify = nullptr;
    ZvWebNoteHandler handler;
    AttachFileMonitor monitor;
    ITavrikCoreData *baseCore = nullptr;
    EditorWindowHook *hook = nullptr;
    std::unique_ptr<Internal::Autosave> autosave;
    bool attachmentSaveQueued = false; // a save for added or removed files is on its way
    bool spellCheck = false; // this editor checks spelling (SetSpellCheckLanguages)
    Theme theme = Theme::Light;
};

CZorvaEditorImpl::CZorvaEditorImpl(QWidget *parent)
    : IEWebBrowser(parent), d(std::make_unique<Private>())
{
    d->autosave = std::make_unique<Internal::Autosave>([this] { saveWithoutWaiting(); });
    d->handler.SetContentChangedHandler(
        [this](bool attachments) { onContentChanged(attachments); });
    SetJSCallFunNotify(&d->handler);
    SetIEDragNotify(&d->handler);
    SetIEUINotify(&d->handler);
    d->handler.SetIEWebBrowser(this);
    connect(this, &QWebEngineView::loadFinished, this, &CZorvaEditorImpl::OnDocumentComplete);
    s_lastEditor = this;
}

CZorvaEditorImpl::~CZorvaEditorImpl()
{
    d->monitor.SetMsgReceiver(nullptr, 0);
    d->monitor.Stop();
    OnDestroy();
    if (s_lastEditor == this)
        s_lastEditor = nullptr;
    SetJSCallFunNotify(nullptr);
    SetIEDragNotify(nullptr);
    SetIEUINotify(nullptr);
}

QString CZorvaEditorImpl::FindEditorPage()
{
    return FindProgramFile(EditorPageFile);
}

AttachFileMonitor &CZorvaEditorImpl::attachFileMonitor()
{
    return d->monitor;
}

CZorvaEditorImpl::Theme CZorvaEditorImpl::theme() const
{
    return d->theme;
}

ZvWebNoteHandler &CZorvaEditorImpl::handler()
{
    return d->handler;
}

int CZorvaEditorImpl::version() const
{
    return d->version;
}

bool CZorvaEditorImpl::pageLoaded() const
{
    return d->pageLoaded;
}

Internal::Autosave &CZorvaEditorImpl::autosave()
{
    return *d->autosave;
}

CZorvaEditorImpl *CZorvaEditorImpl::lastEditor()
{
    return s_lastEditor;
}

int CZorvaEditorImpl::Create(QWidget *parent, const QRect &rect, int id, int style)
{
    if (!IEWebBrowser::Create(parent, rect, id, style))
        return 0;
    AttachStore::RemoveStaleTemporaryFiles();
    IVarConfigMgr *config = d->baseCore
        ? dynamic_cast<IVarConfigMgr *>(d->baseCore->GetMgrObject(u"AppVarConfigMgr"_s))
        : nullptr;
    const QString location = config ? config->GetVar(u"AppTavrikEditorPath"_s) : FindEditorPage();
    if (!config && location.isEmpty()) {
        CLog4C::GetInstance()->WriteLog(u"[ERROR] CZorvaEditorImpl::Create, the editor page "_s
                                        + EditorPageFile + u" is in none of "_s
                                        + programFolderList());
        return 1;
    }
    connect(page(), &QWebEnginePage::renderProcessTerminated, this,
            &CZorvaEditorImpl::onRendererGone);
    connect(this, &IEWebBrowser::innerWindowChanged, this, [this] {
        if (d->pageLoaded)
            ModifyIEWndProc();
    });
    Internal::installPageStart(page(), EditorMaxChars, false);
    if (!Navigate2(location))
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] CZorvaEditorImpl::Create, cannot load the editor page "_s + location);
    return 1;
}

void CZorvaEditorImpl::SetTavrikCore(ITavrikCoreData *core)
{
    d->baseCore = core;
}

void CZorvaEditorImpl::SetZvEditorNotify(IZvEditorNotify *notify)
{
    d->notify = notify;
    d->handler.SetNotify(notify);
}

void CZorvaEditorImpl::OnDocumentComplete(bool ok)
{
    // Once loaded, only the load that restores the page after its renderer stopped counts.
    if (d->pageLoaded && !d->restoring)
        return;
    if (!ok) {
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] CZorvaEditorImpl, the editor page did not load: "_s
            + page()->requestedUrl().toString());
        if (++d->failedLoads < LoadAttempts)
            QTimer::singleShot(LoadRetryDelayMs, this, [this] { ReloadPage(); });
        return;
    }
    d->failedLoads = 0;
    if (d->restoring) {
        restorePage();
        return;
    }
    d->pageLoaded = 1;
    ModifyIEWndProc();
    d->handler.PageStartedWith(EditorMaxChars, false); // given with the load
    applyPagePreferences();
    if (QWidget *target = parentWidget())
        QCoreApplication::postEvent(target, new QEvent(EditorPageLoadedEvent));
    d->monitor.SetMsgReceiver(this, AttachFileModifyEvent);
    d->monitor.Start();
}

void CZorvaEditorImpl::onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status,
                                      int exitCode)
{
    CLog4C::GetInstance()->WriteLog(
        u"[ERROR] CZorvaEditorImpl, the editor page stopped (status %1, exit code %2); "
        "loading it again"_s.arg(int(status))
            .arg(exitCode));
    if (!d->pageLoaded)
        return; // the first load reports its own failure
    d->restoring = true;
    // Not from inside the engine's report of the renderer's end: it starts no load there.
    QTimer::singleShot(0, this, [this] { ReloadPage(); });
}

void CZorvaEditorImpl::restorePage()
{
    d->restoring = false;
    const int readOnly = d->handler.IsReadOnly();
    const std::map<QString, quint64> sizes = d->handler.attachFileSizes();
    const std::map<QString, QString> times = d->handler.GetAttachModifyCache();
    const int maxChars = d->handler.editorMaxChars(); // a host may have set its own
    d->handler.OnPageReloaded();
    ModifyIEWndProc();
    d->handler.SetEditorMaxChars(maxChars);
    applyPagePreferences();
    SetEditorText(d->lastHtml, d->version, readOnly);
    d->handler.InitAttachFileSize(sizes);
    for (const auto &[key, time] : times)
        d->handler.RecordAttachModifyTime(key, QString(), time);
}

void CZorvaEditorImpl::ModifyIEWndProc()
{
    QWidget *window = GetWebBrowseHwnd();
    if (!window || d->hookedWindow == window)
        return;
    if (!d->hook)
        d->hook = new EditorWindowHook(this);
    if (d->hookedWindow)
        d->hookedWindow->removeEventFilter(d->hook);
    window->installEventFilter(d->hook);
    d->hookedWindow = window;
}

void CZorvaEditorImpl::OnDestroy()
{
    if (d->hookedWindow && d->hook)
        d->hookedWindow->removeEventFilter(d->hook);
    d->hookedWindow = nullptr;
}

void CZorvaEditorImpl::IEHookWndProc(QObject *window, QEvent *event)
{
    CZorvaEditorImpl *editor = s_lastEditor;
    if (!editor)
        return;
    const QEvent::Type type = event->type();
    if (type == ClearEditorCacheEvent || type == CopyNotifyEvent) {
        // Posted before a call into the page and meant for after it: not inside that call's
        // wait, where it would also have to wait for everything the page does meanwhile.
        if (editor->IsCallingScript())
            editor->PostAfterScriptCalls(window, type);
        else
            editor->d->handler.WinMessageNotify(qobject_cast<QWidget *>(window), int(type), 0, 0);
    } else if (type == QEvent::FocusOut) {
        // Often sent from inside the browser's own event handling (opening its popup, moving
        // the focus on Tab), where waiting for the page would wait for ever.
        if (!editor->focusStaysInEditor(static_cast<QFocusEvent *>(event)))
            editor->saveWithoutWaiting();
    } else if (type == QEvent::KeyPress) {
        editor->d->autosave->userActivity();
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier))
            editor->saveWithoutWaiting();
    } else if (type == QEvent::InputMethod) {
        editor->d->autosave->userActivity();
    }
}

bool CZorvaEditorImpl::focusStaysInEditor(const QFocusEvent *event) const
{
    if (event->reason() == Qt::PopupFocusReason)
        return true;
    // The new focus widget is already set: inside this view, or in a popup or dialog it opened.
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (widget == this)
            return true;
    }
    return false;
}

CZorvaEditorImpl::SaveContext CZorvaEditorImpl::saveContext() const
{
    return {d->generation, d->handler.GetCurNoteGuid(), d->lastHtml, d->version};
}

void CZorvaEditorImpl::saveWithoutWaiting()
{
    d->autosave->reset();
    if (d->handler.IsReadOnly() || d->partialNote)
        return;
    const int ticket = ++d->saveTicket;
    QPointer<CZorvaEditorImpl> self(this);
    d->handler.GetEditorContentAsync(
        SaveReplyTimeoutMs,
        [self, ticket, context = saveContext()](int ok, const QString &html, const QString &text) {
            if (self)
                self->finishSave(ticket, context, ok, html, text);
        });
}

// Typing waits for a pause; files that came or went are saved at once (once for a batch).
void CZorvaEditorImpl::onContentChanged(bool attachments)
{
    d->autosave->contentChanged();
    if (!attachments || d->attachmentSaveQueued)
        return;
    d->attachmentSaveQueued = true;
    QTimer::singleShot(0, this, [this] {
        d->attachmentSaveQueued = false;
        saveWithoutWaiting();
    });
}

void CZorvaEditorImpl::finishSave(int ticket, const SaveContext &context, int ok,
                                  const QString &html, const QString &text)
{
    if (ticket != d->saveTicket)
        return; // a later save reads a newer content
    // Not inside another call's wait for the page (a host loading a note, say): the host
    // hears of the save once that call is over.
    if (IsCallingScript()) {
        QTimer::singleShot(10, this, [=, this] { finishSave(ticket, context, ok, html, text); });
        return;
    }
    if (!ok)
        reportUnreadableContent();
    else
        storeContent(context, html, text);
}

void CZorvaEditorImpl::reportUnreadableContent()
{
    if (d->unreadableShown)
        return;
    d->unreadableShown = true;
    IPrompts::instance()->messageBox(this, tr("获取笔记编辑器内容失败！"), QString(),
                                     QMessageBox::Ok);
}

void CZorvaEditorImpl::OnSave()
{
    d->autosave->reset();
    if (d->handler.IsReadOnly() || d->partialNote)
        return;
    ++d->saveTicket; // reads after any save still waiting, so it supersedes it
    QString html;
    QString text;
    if (!d->handler.GetEditorContent(html, text)) {
        reportUnreadableContent();
        return;
    }
    storeContent(saveContext(), html, text);
}

// The content may belong to a note that has been replaced since it was read (the host opened
// another one meanwhile): it is stored under that note, and only the current note's last HTML
// moves on.
void CZorvaEditorImpl::storeContent(const SaveContext &context, QString html, const QString &text)
{
    d->unreadableShown = false;
    if (html == context.lastHtml)
        return;
    int version = context.version;
    NewAttachFile noteFile;
    if (!NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version))
        return;
    Internal::SavedNotes::remember(Internal::noteFileBytes(html, version));
    const bool current = context.generation == d->generation;
    if (current)
        d->version = version;
    const std::vector<NewAttachFile> files
        = d->handler.session().savedFiles(context.noteId, html, noteFile);
    if (d->notify && d->notify->OnSaveNote(context.noteId, files, text) && current) {
        d->lastHtml = html;
        d->monitor.SetOpenNote(
            context.noteId,
            Internal::AttachResync::monitorList(files, d->handler.attachFileSizes()));
    }
}

void CZorvaEditorImpl::SetEditorText(const QString &html, int version, bool readOnly, bool saved)
{
    ++d->generation;
    d->autosave->reset();
    d->lastHtml = html;
    d->version = version;
    d->handler.SetReadOnly(readOnly);
    d->handler.SetEditorHtml(html, saved);
}

void CZorvaEditorImpl::LoadEditor(const QString &noteId, const std::vector<QString> &fileNames,
                                  const std::map<QString, quint64> &sizes, bool readOnly)
{
    d->handler.SetCurNoteGuid(noteId);
    const QString root = GetAttachRootDir() + u'/';
    std::vector<std::pair<QString, QString>> paths; // name, path
    qint64 total = 0;
    for (const QString &name : fileNames) {
        if (name.isEmpty())
            continue;
        if (!IsSafeFileName(name)) {
            CLog4C::GetInstance()->WriteLog(
                u"[ERROR] CZorvaEditorImpl::LoadEditor, note file outside the store refused: "_s
                + name);
            continue;
        }
        const QFileInfo file(root + name);
        if (file.isFile()) {
            paths.emplace_back(name, file.filePath());
            total += file.size();
        }
    }

    // A note too large to edit shows its beginning, read-only; only that much is read.
    d->partialNote = total > MaxEditableNoteBytes;
    if (d->partialNote) {
        CLog4C::GetInstance()->WriteLog(
            u"[WARN] CZorvaEditorImpl::LoadEditor, note %1 of %2 bytes opened read-only, above %3"_s
                .arg(noteId)
                .arg(total)
                .arg(MaxEditableNoteBytes));
    }
    QString content;
    int version = 0;
    qint64 budget = MaxEditableNoteBytes;
    std::vector<NewAttachFile> files(1);
    bool saved = !paths.empty(); // every file as this editor saved it
    for (const auto &[name, path] : paths) {
        if (budget <= 0)
            break;
        QString part;
        int partVersion = 0;
        if (std::optional<QByteArray> bytes
            = Internal::readNoteFileBytes(path, d->partialNote ? budget : -1)) {
            saved = saved && Internal::SavedNotes::contains(*bytes);
            Internal::decodeNoteFileBytes(std::move(*bytes), path, part, partVersion);
            budget -= QFileInfo(path).size();
            if (content.isEmpty())
                content = std::move(part);
            else
                content += part;
            version = partVersion;
            if (files.front().filePath.isEmpty()) {
                files.front().storeName = name;
                files.front().filePath = path;
            }
        }
    }
    // The note's attachments are read from its markup on another thread while the page takes
    // the note in: both go through the whole note, and the page works in its own process.
    std::future<std::vector<NewAttachFile>> listing;
    if (!content.isEmpty()) {
        try {
            listing = std::async(std::launch::async, [noteId, content] {
                std::vector<NewAttachFile> found;
                AttachMarkup::ParseAttList(noteId, content, found);
                return found;
            });
        } catch (const std::system_error &) {
            // no thread to spare: listed below
        }
    }
    if (!content.isEmpty())
        SetEditorText(content, version, readOnly || d->partialNote, saved);
    else
        SetEditorText(QString(), CurrentVersion, readOnly || d->partialNote);
    d->handler.InitAttachFileSize(sizes);
    std::vector<NewAttachFile> attachments;
    if (listing.valid())
        attachments = listing.get();
    else if (!content.isEmpty())
        AttachMarkup::ParseAttList(noteId, content, attachments);
    files.insert(files.end(), attachments.begin(), attachments.end());
    d->monitor.SetOpenNote(noteId, Internal::AttachResync::monitorList(files, sizes));
    if (d->partialNote) {
        IPrompts::instance()->messageBox(
            this,
            tr("此笔记大小为%1，超过编辑器可编辑的%"
               "2，只以只读方式显示其开头部分；笔记本身不会被更改。")
                .arg(QLocale().formattedDataSize(total),
                     QLocale().formattedDataSize(MaxEditableNoteBytes)),
            QString(), QMessageBox::Ok);
    }
}

void CZorvaEditorImpl::NewEditor(QString &noteId, bool readOnly)
{
    d->partialNote = false;
    noteId = CreateGuidString();
    d->handler.SetCurNoteGuid(noteId);
    SetEditorText(QString(), CurrentVersion, readOnly);
    d->monitor.SetOpenNote(noteId, {});
    setFocus(Qt::OtherFocusReason);
    d->handler.SetEditorFocus();
}

void CZorvaEditorImpl::SaveEditor()
{
    OnSave();
}

void CZorvaEditorImpl::SetReadOnly(bool readOnly)
{
    d->handler.SetReadOnly(readOnly || d->partialNote);
}

void CZorvaEditorImpl::RefreshIE()
{
    if (QWidget *window = GetWebBrowseHwnd())
        window->repaint();
}

namespace {

// A note the editor shows only the beginning of is never exported from it.
bool exportable(bool partialNote, QString &error)
{
    if (partialNote)
        error = CZorvaEditorImpl::tr("此笔记过大，无法在编辑器中导出。");
    return !partialNote;
}

} // namespace

bool CZorvaEditorImpl::ExportWord(const QString &path, QString &error)
{
    if (!exportable(d->partialNote, error))
        return false;
    return MhtExport::ExportWord(d->lastHtml, path, error);
}

bool CZorvaEditorImpl::ExportableHtml(QString &html, QString &error) const
{
    if (!exportable(d->partialNote, error))
        return false;
    if (d->lastHtml.isEmpty()) {
        error = MhtExport::EmptyNoteMessage();
        return false;
    }
    html = d->lastHtml;
    return true;
}

bool CZorvaEditorImpl::ExportOdt(const QString &path, QString &error)
{
    if (!exportable(d->partialNote, error))
        return false;
    return OdtExport::ExportOdt(d->lastHtml, path, error);
}

bool CZorvaEditorImpl::ExportDocx(const QString &path, QString &error)
{
    if (!exportable(d->partialNote, error))
        return false;
    return DocxExport::ExportDocx(d->lastHtml, path, error);
}

bool CZorvaEditorImpl::ExportMarkdown(const QString &folder, QString &error)
{
    QString html;
    if (!ExportableHtml(html, error))
        return false;
    const NoteFolderExport::Result result = NoteFolderExport::ExportContent(
        d->handler.GetCurNoteGuid(), html, folder, u"note.md"_s,
        [this](const QByteArray &body) -> std::optional<QByteArray> {
            const std::optional<QString> markdown
                = Internal::EditorPage(this).markdownOf(QString::fromUtf8(body));
            if (!markdown)
                return std::nullopt;
            return markdown->toUtf8() + '\n';
        });
    error = result.error;
    return error.isEmpty();
}

void CZorvaEditorImpl::GetLastHtml(QString &html) const
{
    html = d->lastHtml;
}

void CZorvaEditorImpl::InsertLocalFile()
{
    d->handler.OnAddAttachment();
}

void CZorvaEditorImpl::InsertLocalFile(const std::vector<QString> &paths)
{
    d->handler.InsertLocalFile(paths);
}

void CZorvaEditorImpl::InsertTable(const StTableData &table)
{
    d->handler.InsertTable(table);
}

void CZorvaEditorImpl::SetAttachFileListSource(IAttachFileListSource *source)
{
    d->monitor.SetFileListSource(source);
}

std::vector<QString> CZorvaEditorImpl::AvailableSpellCheckLanguages()
{
    return Internal::SpellChecking::availableLanguages();
}

int CZorvaEditorImpl::SetSpellCheckLanguages(const std::vector<QString> &languages)
{
    d->spellCheck = !Internal::SpellChecking::use(languages).empty();
    applySpellCheckToPage();
    return d->spellCheck ? 1 : 0;
}

std::vector<QString> CZorvaEditorImpl::spellCheckLanguages() const
{
    return d->spellCheck ? Internal::SpellChecking::languagesInUse() : std::vector<QString>();
}

void CZorvaEditorImpl::SetTheme(Theme theme)
{
    d->theme = theme;
    applyThemeToPage();
}

// A page that has just loaded is light and checks no spelling: it learns only what differs.
// Right after a load, without waiting for the page: nothing may hold up the load's report.
void CZorvaEditorImpl::applyPagePreferences()
{
    d->handler.page().sendPreferences(
        d->spellCheck ? std::optional<bool>(true) : std::nullopt,
        d->theme != Theme::Light ? std::optional<bool>(d->theme == Theme::Dark) : std::nullopt);
}

// Until the page has loaded, it learns the preferences when it does.
void CZorvaEditorImpl::applySpellCheckToPage()
{
    if (d->pageLoaded && !d->restoring)
        d->handler.page().setSpellCheck(d->spellCheck);
}

void CZorvaEditorImpl::applyThemeToPage()
{
    if (d->pageLoaded && !d->restoring)
        d->handler.page().setTheme(d->theme == Theme::Dark);
}

void CZorvaEditorImpl::customEvent(QEvent *event)
{
    if (event->type() != AttachFileModifyEvent) {
        IEWebBrowser::customEvent(event);
        return;
    }
    // The resync calls into the page and waits for its answers. Waiting inside the delivery
    // of a posted event holds back the events posted meanwhile, the browser's own among
    // them, so the record is handled from the event loop itself.
    auto arg = std::make_shared<SyncFileModifyArg>(
        std::move(*static_cast<SyncFileModifyEvent *>(event)->arg()));
    QTimer::singleShot(0, this, [this, arg] { OnAttachFileModify(arg.get()); });
}

int CZorvaEditorImpl::OnAttachFileModify(SyncFileModifyArg *arg)
{
    if (!arg)
        return 1;
    DoAttachFileModify(*arg);
    return 0;
}

void CZorvaEditorImpl::DoAttachFileModify(const SyncFileModifyArg &arg)
{
    using Internal::AttachResync;
    const QString noteId = d->handler.GetCurNoteGuid();
    const QString now = GetCurTimeString();
    QString showName;
    if (!GenerateThumbPic(arg, showName)) {
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] CZorvaEditorImpl::DoAttachFileModify 生成附件缩略图失败！"_s);
        return;
    }
    const QString storeName = AttachResync::newStoreName(arg);
    if (arg.noteId == noteId) {
        if (!AttachResync::updateOpenNote(d->handler.session(), d->handler.page(), arg, storeName,
                                          showName, now)) {
            CLog4C::GetInstance()->WriteLog(
                u"[ERROR] CZorvaEditorImpl::DoAttachFileModify 更新笔记附件属性失败！"_s);
            return;
        }
        OnSave();
    } else if (!AttachResync::updateStoredNote(arg, d->monitor, storeName, showName, now,
                                               d->notify)) {
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] CZorvaEditorImpl::DoAttachFileModify 更新笔记附件属性失败！"_s);
    }
}

int CZorvaEditorImpl::GenerateThumbPic(const SyncFileModifyArg &arg, QString &showName)
{
    return Internal::AttachResync::generateThumbPic(arg, showName);
}

} // namespace TAVRIKCORE::RICHEDITOR
