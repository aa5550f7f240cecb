// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"

#include "bridge/editorcontextmenu_p.h"
#include "bridge/editorevents.h"
#include "bridge/scriptvalue_p.h"
#include "bridge/zvwebnotehandler_p.h"
#include "common/commonutils.h"
#include "common/iprompts.h"
#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/docxexport_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/odtexport_p.h"
#include "skin/chyperlink_p.h"
#include "skin/editorprofile_p.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWebEngineContextMenuRequest>

#include <json/value.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

using Internal::JsonBool;
using Internal::JsonObject;
using Internal::JsonText;

constexpr int CppProcessorId = 1;

// The page's commands, in the order they are matched, with the line logged when their JSON
// argument cannot be parsed ("AddAttachment" parses nothing).
enum class Command {
    DbClickAttachment,
    AddAttachment,
    OpenHyperLink,
    ZvMessageBox,
    OnRightClickAttach,
    WriteEditorLog,
    SreenCapture,
    ContentChanged
};

struct CommandEntry
{
    Command command;
    const char16_t *name;
    const char16_t *parseFailed;
};

constexpr CommandEntry Commands[] = {
    {Command::DbClickAttachment, u"DbClickAttachment",
     u"[ERROR] 解析DblClickAttachment方法，json参数字串失败！"},
    {Command::AddAttachment, u"AddAttachment", nullptr},
    {Command::OpenHyperLink, u"OpenHyperLink",
     u"[ERROR] 解析OpenHyperLink方法，json参数字串失败！"},
    {Command::ZvMessageBox, u"ZvMessageBox", u"[ERROR] 解析ZvMessageBox方法，json参数字串失败！"},
    {Command::OnRightClickAttach, u"OnRightClickAttach",
     u"[ERROR] 解析OnRightClickAttach方法，json参数字串失败！"},
    {Command::WriteEditorLog, u"WriteEditorLog",
     u"[ERROR] 解析WriteEditorLog方法，json参数字串失败！"},
    {Command::SreenCapture, u"SreenCapture", u"[ERROR] 解析SreenCapture方法，json参数字串失败！"},
    {Command::ContentChanged, u"ContentChanged",
     u"[ERROR] ZvWebNoteHandler, the page's ContentChanged argument is not a JSON object"},
};

const CommandEntry *findCommand(const QString &name)
{
    for (const CommandEntry &entry : Commands) {
        if (name == QStringView(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

ZvWebNoteHandler::ZvWebNoteHandler() : d(std::make_unique<Private>())
{
    Init();
}

ZvWebNoteHandler::ZvWebNoteHandler(const ZvWebNoteHandler &other)
    : d(std::make_unique<Private>(*other.d))
{ }

ZvWebNoteHandler &ZvWebNoteHandler::operator=(const ZvWebNoteHandler &other)
{
    *d = *other.d;
    return *this;
}

ZvWebNoteHandler::~ZvWebNoteHandler()
{
    // A copy notification still waiting for the clipboard must not run on a handler gone.
    delete d->copyWait;
}

Internal::NoteSession &ZvWebNoteHandler::session()
{
    return d->session;
}

Internal::EditorPage &ZvWebNoteHandler::page()
{
    return d->page;
}

void ZvWebNoteHandler::SetNotify(IZvEditorNotify *notify)
{
    d->notify = notify;
}

void ZvWebNoteHandler::SetContentChangedHandler(ContentChangedHandler changed)
{
    d->contentChanged = std::move(changed);
}

void ZvWebNoteHandler::SetIEWebBrowser(IEWebBrowser *browser)
{
    d->page.setBrowser(browser);
}

void ZvWebNoteHandler::Init()
{
    d->funTable[QStringLiteral("CppProcessor")] = CppProcessorId;
}

void ZvWebNoteHandler::WinMessageNotify(QWidget *window, int message, quintptr wParam,
                                        qintptr lParam)
{
    Q_UNUSED(window);
    Q_UNUSED(wParam);
    Q_UNUSED(lParam);
    if (message == ClearEditorCacheEvent)
        HandleClearEditorCacheNotify();
    else if (message == CopyNotifyEvent)
        HandleCopyNotify();
}

void ZvWebNoteHandler::SetCurNoteGuid(const QString &noteId)
{
    d->session.setNoteId(noteId);
}

QString ZvWebNoteHandler::GetCurNoteGuid() const
{
    return d->session.noteId();
}

const std::map<QString, QString> &ZvWebNoteHandler::GetAttachModifyCache() const
{
    return d->session.times();
}

void ZvWebNoteHandler::RecordAttachModifyTime(const QString &storeName, const QString &keptName,
                                              const QString &time)
{
    d->session.recordTime(storeName, keptName, time);
}

void ZvWebNoteHandler::UpdateAttModifyTimeField(const QString &noteId,
                                                std::vector<NewAttachFile> &files,
                                                const std::map<QString, QString> &cache)
{
    Q_UNUSED(noteId);
    Internal::NoteSession::stampTimes(files, cache);
}

void ZvWebNoteHandler::InitAttachFileSize(const std::map<QString, quint64> &sizes)
{
    d->session.addSizes(sizes);
}

const std::map<QString, quint64> &ZvWebNoteHandler::attachFileSizes() const
{
    return d->session.sizes();
}

int ZvWebNoteHandler::IsReadOnly() const
{
    return d->session.readOnly() ? 1 : 0;
}

int ZvWebNoteHandler::editorMaxChars() const
{
    return d->maxChars;
}

void ZvWebNoteHandler::SetReadOnly(int readOnly)
{
    const bool wanted = readOnly != 0;
    if (wanted != d->session.readOnly() && d->page.setReadOnly(wanted))
        d->session.setReadOnly(wanted);
}

void ZvWebNoteHandler::SetEditorMaxChars(int maxChars)
{
    if (d->page.setMaxChars(maxChars))
        d->maxChars = maxChars;
}

void ZvWebNoteHandler::SetEditorHtml(const QString &html, bool saved)
{
    d->session.clearFiles();
    // Delivered after this call returns, so the page clears its cache after the new content.
    if (QWidget *inner = d->browser() ? d->browser()->GetWebBrowseHwnd() : nullptr)
        QCoreApplication::postEvent(inner, new QEvent(ClearEditorCacheEvent));
    d->page.setContent(html, saved);
}

int ZvWebNoteHandler::GetEditorContent(QString &html, QString &text)
{
    std::optional<Internal::EditorPage::Content> content = d->page.content();
    if (!content)
        return 0;
    html = std::move(content->html);
    text = std::move(content->text);
    return 1;
}

void ZvWebNoteHandler::GetEditorContentAsync(int timeoutMs, ContentHandler done)
{
    d->page.contentAsync(
        timeoutMs, [done = std::move(done)](std::optional<Internal::EditorPage::Content> content) {
            if (content)
                done(1, content->html, content->text);
            else
                done(0, QString(), QString());
        });
}

void ZvWebNoteHandler::SetEditorFocus()
{
    d->page.focus();
}

void ZvWebNoteHandler::OnPageReloaded()
{
    d->session.setReadOnly(false);
    d->maxChars = 3000;
}

void ZvWebNoteHandler::PageStartedWith(int maxChars, int readOnly)
{
    d->maxChars = maxChars;
    d->session.setReadOnly(readOnly != 0);
}

int ZvWebNoteHandler::SelectedAttach(const QString &key)
{
    return !key.isEmpty() && d->page.selectAttachment(key) ? 1 : 0;
}

int ZvWebNoteHandler::UpdateHtmlAttachAttr(const QString &origName, const QString &classValue,
                                           const QString &srcValue)
{
    return d->page.modifyAttachment(origName, classValue, srcValue) ? 1 : 0;
}

void ZvWebNoteHandler::InsertTable(const StTableData &table)
{
    d->page.insertTable(table);
}

int ZvWebNoteHandler::HandleClearEditorCacheNotify()
{
    return d->page.clearCache() ? 1 : 0;
}

void ZvWebNoteHandler::OnDblClickAttachment(const QString &path, const QString &origName)
{
    if (d->notify)
        d->notify->OnOpenAttachment(d->session.noteId(), GetFileNameFromPath(path), origName);
}

int ZvWebNoteHandler::ParseAttList(const QString &noteId, const QString &html,
                                   std::vector<NewAttachFile> &records, QString *plainText)
{
    return AttachMarkup::ParseAttList(noteId, html, records, plainText);
}

int ZvWebNoteHandler::ParseAttOrigFileNameList(const QString &html, std::vector<QString> &names)
{
    return AttachMarkup::ParseAttOrigFileNameList(html, names);
}

void ZvWebNoteHandler::GetAttachFileFromHtml(const QString &noteId, const QString &html,
                                             std::vector<QString> &paths, QString *plainText)
{
    AttachMarkup::GetAttachFileFromHtml(noteId, html, paths, plainText);
}

QString ZvWebNoteHandler::GetOrigNameFromJson(const QByteArray &exdata)
{
    return AttachMarkup::GetOrigNameFromJson(exdata);
}

QString ZvWebNoteHandler::FormatOrigNameToJson(const QString &origName)
{
    return AttachMarkup::FormatOrigNameToJson(origName);
}

int ZvWebNoteHandler::UpdateHtmlAttachAttr(const QString &html, const QString &origName,
                                           const QString &classValue, const QString &srcValue,
                                           QString &outHtml, QString &outText)
{
    return AttachMarkupRewriter::UpdateHtmlAttachAttr(html, origName, classValue, srcValue, outHtml,
                                                      outText);
}

int ZvWebNoteHandler::UpdateAttachAttValue(const QByteArray &html,
                                           const std::vector<AttachNewAtt> &changes,
                                           QByteArray &outHtml)
{
    return AttachMarkupRewriter::UpdateAttachAttValue(html, changes, outHtml);
}

int ZvWebNoteHandler::UpdateAttachAttValue2(const QByteArray &html,
                                            const std::vector<AttachNewAtt> &changes,
                                            QByteArray &outHtml)
{
    return AttachMarkupRewriter::UpdateAttachAttValue2(html, changes, outHtml);
}

int ZvWebNoteHandler::DelAttachFromHtmlFile(const QString &noteId, const QString &origName,
                                            std::vector<NewAttachFile> &records)
{
    return AttachMarkupRewriter::DelAttachFromHtmlFile(noteId, origName, records);
}

int ZvWebNoteHandler::HtmlConvert(const QString &html, QString &converted)
{
    return MhtExport::HtmlConvert(html, converted);
}

int ZvWebNoteHandler::HtmlToMht(const QString &html, const QString &target)
{
    return MhtExport::HtmlToMht(html, target);
}

int ZvWebNoteHandler::NoteHtmlContentToMhtFile(const QString &html, const QString &target)
{
    return MhtExport::NoteHtmlContentToMhtFile(html, target);
}

int ZvWebNoteHandler::NoteHtmlFileToMhtFile(const QString &noteFile, const QString &target)
{
    return MhtExport::NoteHtmlFileToMhtFile(noteFile, target);
}

int ZvWebNoteHandler::NoteHtmlContentToOdtFile(const QString &html, const QString &target)
{
    return OdtExport::NoteHtmlContentToOdtFile(html, target);
}

int ZvWebNoteHandler::NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target)
{
    return OdtExport::NoteHtmlFileToOdtFile(noteFile, target);
}

int ZvWebNoteHandler::NoteHtmlContentToDocxFile(const QString &html, const QString &target)
{
    return DocxExport::NoteHtmlContentToDocxFile(html, target);
}

int ZvWebNoteHandler::NoteHtmlFileToDocxFile(const QString &noteFile, const QString &target)
{
    return DocxExport::NoteHtmlFileToDocxFile(noteFile, target);
}

int ZvWebNoteHandler::OnGetFunId(const QString &name)
{
    const auto found = d->funTable.find(name);
    return found != d->funTable.end() ? found->second : -1;
}

long ZvWebNoteHandler::OnExecuteFun(int funId, const QVariantList &arguments, QVariant &result,
                                    const QString &text)
{
    if (funId != CppProcessorId)
        return -1;
    return OnCppProcessor(arguments, result, text);
}

long ZvWebNoteHandler::OnCppProcessor(const QVariantList &arguments, QVariant &result,
                                      const QString &text)
{
    Q_UNUSED(result);
    Q_UNUSED(text);
    if (arguments.size() != 3) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] js调用OnCppProcessor传递参数个数不正确！"));
        return S_OK;
    }
    // Arguments arrive last first: exdata, JSON, command name.
    const QString name = Format(arguments.at(2));
    const QByteArray json = ToNarrow(Format(arguments.at(1)));
    const QByteArray exdata = ToNarrow(Format(arguments.at(0)));

    const CommandEntry *entry = findCommand(name);
    if (!entry)
        return S_OK;
    Json::Value args;
    if (entry->parseFailed && !Internal::ParseJsonObject(json, args)) {
        CLog4C::GetInstance()->WriteLog(QString::fromUtf16(entry->parseFailed));
        return S_OK;
    }

    switch (entry->command) {
    case Command::DbClickAttachment:
        OnDblClickAttachment(JsonText(args, "path"), GetOrigNameFromJson(exdata));
        break;
    case Command::AddAttachment:
        OnAddAttachment();
        break;
    case Command::OpenHyperLink: {
        // OpenLink logs why; the user learns that nothing will open.
        const QString url = JsonText(args, "url");
        if (!CHyperLink::OpenLink(url))
            IPrompts::instance()->messageBox(
                d->browser(),
                QCoreApplication::translate("ZvWebNoteHandler",
                                            "No program on this computer could open the link “%1”.")
                    .arg(url),
                QGuiApplication::applicationDisplayName(), QMessageBox::Ok);
        break;
    }
    case Command::ZvMessageBox:
        IPrompts::instance()->messageBox(d->browser(), JsonText(args, "msg"),
                                         QGuiApplication::applicationDisplayName(),
                                         QMessageBox::Ok);
        break;
    case Command::OnRightClickAttach: {
        const Json::Value attach = JsonObject(args, "current_attach");
        OnRightClickAttach(GetFileNameFromPath(JsonText(attach, "class_value")),
                           GetOrigNameFromJson(ToNarrow(JsonText(attach, "exdata_value"))),
                           JsonText(args, "range_html"));
        break;
    }
    case Command::WriteEditorLog:
        OnWriteEditorLog(JsonText(args, "type"), JsonText(args, "msg"));
        break;
    case Command::SreenCapture:
        OnScreenCapture(JsonBool(args, "hideMainWnd") ? 1 : 0);
        break;
    case Command::ContentChanged:
        if (d->contentChanged && !d->session.readOnly())
            d->contentChanged(JsonBool(args, "attachments"));
        break;
    }
    return S_OK;
}

QString ZvWebNoteHandler::Format(const QVariant &value)
{
    return Internal::FormatScriptValue(value);
}

QString ZvWebNoteHandler::FormatCurTime()
{
    return GetAddTimeString();
}

bool ZvWebNoteHandler::path_is_folder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString ZvWebNoteHandler::extract_foldername(const QString &path)
{
    return GetFolderName(path);
}

void ZvWebNoteHandler::OnRightClickAttach(const QString &fileName, const QString &origName,
                                          const QString &rangeHtml)
{
    MyAttachMenu(fileName, origName, rangeHtml);
}

void ZvWebNoteHandler::OnWriteEditorLog(const QString &, const QString &) { }
void ZvWebNoteHandler::ShareAttachMenu(const QString &, const QString &) { }

void ZvWebNoteHandler::MyAttachMenu(const QString &fileName, const QString &origName,
                                    const QString &rangeHtml)
{
    if (!IsSafeFileName(fileName)) {
        AttachMarkup::logUnsafeName(fileName);
        return;
    }
    d->menuAttachFile = fileName;
    d->menuAttachName = origName;
    popupContextMenu(QCursor::pos(), !rangeHtml.isEmpty(), true);
}

void ZvWebNoteHandler::DoAttachSaveAs()
{
    if (d->menuAttachFile.isEmpty())
        return;
    const QString root = GetAttachRootDir() + u'/';
    const QString kept = AttachMarkup::keptFileName(d->menuAttachName);
    const bool named = IsSafeFileName(kept);
    QString source = root + d->session.noteId() + u'/' + kept;
    if (!named || d->session.noteId().isEmpty() || !QFileInfo(source).isFile())
        source = root + d->menuAttachFile;
    static QString lastFolder = QDir::homePath(); // user-interface thread only
    const QString name = named ? kept : d->menuAttachFile;
    const QString target = IPrompts::instance()->saveFileName(
        d->browser(), EditorContextMenu::tr("Save a copy as"), lastFolder + u'/' + name, QString());
    if (target.isEmpty() || QFileInfo(target) == QFileInfo(source))
        return;
    lastFolder = QFileInfo(target).absolutePath();
    QFile file(source);
    // The dialog has asked before replacing a file.
    if ((QFile::exists(target) && !QFile::remove(target)) || !file.copy(target)) {
        CLog4C::GetInstance()->WriteLog(u"[ERROR] ZvWebNoteHandler::DoAttachSaveAs, cannot copy "
                                        + source + u" to " + target + u": " + file.errorString());
        IPrompts::instance()->messageBox(
            d->browser(),
            EditorContextMenu::tr("Could not save a copy of “%1” as %2.").arg(name, target),
            QGuiApplication::applicationDisplayName(), QMessageBox::Ok);
    }
}

void ZvWebNoteHandler::RemoveAttach(const QString &fileName)
{
    d->page.removeAttachment(fileName);
}

void ZvWebNoteHandler::popupContextMenu(const QPoint &screenPoint, bool hasSelection,
                                        bool onAttachment, const QString &misspelledWord,
                                        const QStringList &suggestions)
{
    if (!d->browser() || !d->browser()->isVisible())
        return;
    EditorContextMenu menu;
    menu.addSection(EditorContextMenu::spellingSection(
        [this](const QString &correction) {
            d->browser()->page()->replaceMisspelledWord(correction);
        },
        [this](const QString &word, bool forGood) {
            if (forGood)
                Internal::EditorProfile::addWord(word);
            else
                Internal::EditorProfile::ignoreWord(word);
            d->page.recheckSpelling();
        }));
    if (onAttachment) {
        menu.addSection([this](const EditorContextMenu::Target &target) {
            const QString file = target.attachFile;
            return std::vector<EditorContextMenu::Entry>{
                {EditorContextMenu::tr("Open"),
                 [this, file, name = target.attachName] {
                     OnDblClickAttachment(file, name);
                 }},
                {EditorContextMenu::tr("Save a copy as…"),
                 [this] {
                     DoAttachSaveAs();
                 }},
                {EditorContextMenu::tr("Remove"), [this, file] { RemoveAttach(file); },
                 target.editable},
            };
        });
    }
    menu.addSection(EditorContextMenu::tableSection(d->browser()));
    // The same ways as the keys take: attachments come along on paste, the copy notification
    // follows a copy.
    menu.addSection(EditorContextMenu::editSection([this](int action) {
        if ((action == QWebEnginePage::Cut && DoCtrlD() == S_OK)
            || (action == QWebEnginePage::Paste && DoCtrlV() == S_OK))
            return;
        d->browser()->triggerPageAction(QWebEnginePage::WebAction(action));
        if (action == QWebEnginePage::Copy)
            DoCtrlC();
    }));
    menu.addSection(EditorContextMenu::markdownSection([this] { CopyAsMarkdown(); },
                                                       [this] { PasteAsMarkdown(); }));
    EditorContextMenu::Target target;
    target.editable = !d->session.readOnly();
    target.hasSelection = hasSelection;
    target.misspelledWord = misspelledWord;
    target.spellingSuggestions = suggestions;
    if (onAttachment) {
        target.attachFile = d->menuAttachFile;
        target.attachName = d->menuAttachName;
    }
    menu.popup(d->browser(), screenPoint, target);
}

long ZvWebNoteHandler::ShowContextMenu(int, const QPoint &screenPoint, QObject *, QObject *element)
{
    const auto *request = qobject_cast<const QWebEngineContextMenuRequest *>(element);
    const bool hasSelection = request && !request->selectedText().isEmpty();
    const QString misspelledWord = request ? request->misspelledWord() : QString();
    const QStringList suggestions = request ? request->spellCheckerSuggestions() : QStringList();
    if (!d->browser())
        return S_OK;
    // Built from Qt's own event loop: the browser asks for its menu inside its message
    // dispatch, where the page cannot answer the menu's questions (is the caret in a table?).
    QMetaObject::invokeMethod(
        d->browser(),
        [this, screenPoint, hasSelection, misspelledWord, suggestions] {
            popupContextMenu(screenPoint, hasSelection, false, misspelledWord, suggestions);
        },
        Qt::QueuedConnection);
    return S_OK;
}

long ZvWebNoteHandler::ShowMessage(QWidget *, const QString &, const QString &, int)
{
    return E_NOTIMPL;
}

} // namespace TAVRIKCORE::RICHEDITOR
