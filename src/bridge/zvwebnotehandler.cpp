// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"

#include "bridge/editorcontextmenu_p.h"
#include "bridge/editorevents.h"
#include "bridge/jsprocessorcall_p.h"
#include "bridge/scriptvalue_p.h"
#include "common/commonutils.h"
#include "common/iprompts.h"
#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
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
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebEngineContextMenuRequest>

#include <json/value.h>
#include <json/writer.h>

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

// The log lines of each call into the page: call failed, bad reply, refused.
constexpr JsProcessorLogLines ReadOnlyLines{
    u"设置笔记编辑器只读模式，js方法调用失败！，ErrMsg:unknow error ！",
    u"设置笔记编辑器只读模式，解析js返回json字符串失败！",
    u"设置笔记编辑器只读模式失败，错误信息：%s"};

constexpr JsProcessorLogLines MaxCharsLines{
    u"设置笔记编辑器最大字符数，js方法调用失败！，ErrMsg:unknow error ！",
    u"设置笔记编辑器最大字符数，解析js返回json字符串失败！",
    u"设置笔记编辑器最大字符数失败，错误信息：%s"};

constexpr JsProcessorLogLines ContentLines{
    u"设置笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！",
    u"设置笔记编辑器内容，解析js返回json字符串失败！", u"设置笔记编辑器内容失败，错误信息：%s"};

constexpr JsProcessorLogLines GetContentLines{
    u"[ERROR] 获取笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！",
    u"[ERROR] 获取笔记编辑器内容，解析js返回json字符串失败！",
    u"[ERROR] 获取笔记编辑器内容失败，错误信息：%s"};

constexpr JsProcessorLogLines SelectLines{
    u"选中笔记附件失败，js方法调用失败！，ErrMsg:unknow error ！",
    u"选中笔记附件失败，解析js返回json字符串失败！", u"选中笔记附件失败，错误信息：%s"};

constexpr JsProcessorLogLines ModifyAttachLines{
    u"[ERROR] 修改附件class属性值失败，js方法调用失败！，ErrMsg:unknow error ！",
    u"[ERROR] 修改附件class属性值失败，解析js返回json字符串失败！",
    u"[ERROR] 修改附件class属性值失败，错误信息：%s"};

constexpr JsProcessorLogLines TableLines{
    u"添加构建信息到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！",
    u"添加构建信息到笔记编辑器，解析js返回json字符串失败！",
    u"添加构建信息到笔记编辑器，错误信息：%s"};

constexpr JsProcessorLogLines FocusLines{
    u"设置笔记编辑器焦点，js方法调用失败！，ErrMsg:unknow error ！",
    u"设置笔记编辑器焦点，解析js返回json字符串失败！", u"设置笔记编辑器焦点失败，错误信息：%s"};

// A busy machine may take longer than the first look.
constexpr int RecheckSpellingDelaysMs[] = {500, 2000};
constexpr JsProcessorLogLines RecheckSpellingLines{
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: the page did not answer",
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: bad reply",
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: %s"};

constexpr JsProcessorLogLines RemoveAttachLines{
    u"[ERROR] 删除笔记附件失败，js方法调用失败！，ErrMsg:unknow error ！",
    u"[ERROR] 删除笔记附件失败，解析js返回json字符串失败！",
    u"[ERROR] 删除笔记附件失败，错误信息：%s"};

std::string utf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// The table as the page's "InsertTable" reads it, in the JSON writer's indented form. A row
// without cells is written as null; a table without rows has no "rowList".
QString tableJson(const StTableData &table)
{
    Json::Value root(Json::objectValue);
    root["colNum"] = table.colNum;
    root["rowNum"] = table.rowNum;
    for (const std::vector<StTableCell> &row : table.rowList) {
        Json::Value rowValue;
        for (const StTableCell &cell : row) {
            Json::Value cellValue(Json::objectValue);
            cellValue["width"] = utf8(cell.width);
            cellValue["style"] = utf8(cell.style);
            cellValue["value"] = utf8(cell.value);
            rowValue["colList"].append(cellValue);
        }
        root["rowList"].append(rowValue);
    }
    return QString::fromStdString(root.toStyledString());
}

} // namespace

ZvWebNoteHandler::ZvWebNoteHandler()
{
    Init();
}

ZvWebNoteHandler::ZvWebNoteHandler(const ZvWebNoteHandler &other) = default;
ZvWebNoteHandler &ZvWebNoteHandler::operator=(const ZvWebNoteHandler &other) = default;
ZvWebNoteHandler::~ZvWebNoteHandler()
{
    // A copy notification still waiting for the clipboard must not run on a handler gone.
    delete m_copyWait;
}

void ZvWebNoteHandler::SetNotify(IZvEditorNotify *notify)
{
    m_notify = notify;
}

void ZvWebNoteHandler::SetContentChangedHandler(ContentChangedHandler changed)
{
    m_contentChanged = std::move(changed);
}

void ZvWebNoteHandler::SetIEWebBrowser(IEWebBrowser *browser)
{
    m_browser = browser;
}

void ZvWebNoteHandler::Init()
{
    m_funTable[QStringLiteral("CppProcessor")] = CppProcessorId;
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
    m_curNoteGuid = noteId;
}

QString ZvWebNoteHandler::GetCurNoteGuid() const
{
    return m_curNoteGuid;
}

const std::map<QString, QString> &ZvWebNoteHandler::GetAttachModifyCache() const
{
    return m_attachModifyCache;
}

void ZvWebNoteHandler::RecordAttachModifyTime(const QString &storeName, const QString &keptName,
                                              const QString &time)
{
    m_attachModifyCache[storeName + keptName] = time;
}

void ZvWebNoteHandler::UpdateAttModifyTimeField(const QString &noteId,
                                                std::vector<NewAttachFile> &files,
                                                const std::map<QString, QString> &cache)
{
    Q_UNUSED(noteId);
    QString now; // one moment for every file of this save, read at most once
    for (NewAttachFile &file : files) {
        const auto found = cache.find(file.storeName + file.origName);
        if (found != cache.end()) {
            file.modifyTime = found->second;
            continue;
        }
        if (now.isEmpty())
            now = GetCurTimeString();
        file.modifyTime = now;
    }
}

void ZvWebNoteHandler::InitAttachFileSize(const std::map<QString, quint64> &sizes)
{
    m_attachFileSizes.insert(sizes.begin(), sizes.end());
}

int ZvWebNoteHandler::IsReadOnly() const
{
    return m_readOnly;
}

void ZvWebNoteHandler::SetReadOnly(int readOnly)
{
    const int wanted = readOnly != 0 ? 1 : 0;
    if (wanted == m_readOnly)
        return;
    const QString arg = QStringLiteral("{\"readonly\":%1 }")
                            .arg(wanted ? QStringLiteral("true") : QStringLiteral("false"));
    if (CallJsProcessor(m_browser, QStringLiteral("SetEditorMode"), arg, ReadOnlyLines))
        m_readOnly = wanted;
}

void ZvWebNoteHandler::SetEditorMaxChars(int maxChars)
{
    const QString arg = QStringLiteral("{\"size\":%1 }").arg(maxChars);
    if (CallJsProcessor(m_browser, QStringLiteral("SetEditorMaxChars"), arg, MaxCharsLines))
        m_maxChars = maxChars;
}

void ZvWebNoteHandler::SetEditorHtml(const QString &html)
{
    m_attachFileSizes.clear();
    m_attachModifyCache.clear();
    // Delivered after this call returns, so the page clears its cache after the new content.
    if (QWidget *inner = m_browser ? m_browser->GetWebBrowseHwnd() : nullptr)
        QCoreApplication::postEvent(inner, new QEvent(ClearEditorCacheEvent));
    CallJsProcessor(m_browser, QStringLiteral("SetEditorContent"), html, ContentLines);
}

int ZvWebNoteHandler::GetEditorContent(QString &html, QString &text)
{
    auto texts = CallJsProcessorForTexts(m_browser, QStringLiteral("GetEditorContent"),
                                         QStringLiteral("{}"), GetContentLines, {"ehtml", "etext"});
    if (!texts)
        return 0;
    html = std::move(texts->at(0));
    text = std::move(texts->at(1));
    return 1;
}

void ZvWebNoteHandler::GetEditorContentAsync(int timeoutMs, ContentHandler done)
{
    CallJsProcessorForTextsAsync(
        m_browser, QStringLiteral("GetEditorContent"), QStringLiteral("{}"), GetContentLines,
        {"ehtml", "etext"}, timeoutMs,
        [done = std::move(done)](std::optional<std::vector<QString>> texts) {
            if (texts)
                done(1, std::move(texts->at(0)), std::move(texts->at(1)));
            else
                done(0, QString(), QString());
        });
}

void ZvWebNoteHandler::SetEditorFocus()
{
    CallJsProcessor(m_browser, QStringLiteral("FocusEditor"), QStringLiteral("{}"), FocusLines);
}

void ZvWebNoteHandler::OnPageReloaded()
{
    m_readOnly = 0;
    m_maxChars = 3000;
}

int ZvWebNoteHandler::SelectedAttach(const QString &key)
{
    if (key.isEmpty())
        return 0;
    const QString arg = u"{\"keyword\":" + Internal::JsonQuoted(key) + u'}';
    return CallJsProcessor(m_browser, QStringLiteral("SelectedAttach"), arg, SelectLines) ? 1 : 0;
}

int ZvWebNoteHandler::UpdateHtmlAttachAttr(const QString &origName, const QString &classValue,
                                           const QString &srcValue)
{
    const QString arg = u"{\"zv_exdata\":" + FormatOrigNameToJson(origName) + u",\"ClassValue\":"
        + Internal::JsonQuoted(classValue) + u",\"SrcValue\":" + Internal::JsonQuoted(srcValue)
        + u'}';
    return CallJsProcessor(m_browser, QStringLiteral("ModifyAttachAtrr"), arg, ModifyAttachLines)
        ? 1
        : 0;
}

void ZvWebNoteHandler::InsertTable(const StTableData &table)
{
    CallJsProcessor(m_browser, QStringLiteral("InsertTable"), tableJson(table), TableLines);
}

int ZvWebNoteHandler::HandleClearEditorCacheNotify()
{
    QVariant result;
    return m_browser
            && m_browser->ExecJSFun(QStringLiteral("jsProcessor"),
                                    {QStringLiteral("ClearEditorCache"), QString()}, result)
                == 0
        ? 1
        : 0;
}

void ZvWebNoteHandler::OnDblClickAttachment(const QString &path, const QString &origName)
{
    if (m_notify)
        m_notify->OnOpenAttachment(m_curNoteGuid, GetFileNameFromPath(path), origName);
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

int ZvWebNoteHandler::OnGetFunId(const QString &name)
{
    const auto found = m_funTable.find(name);
    return found != m_funTable.end() ? found->second : -1;
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
                m_browser,
                QCoreApplication::translate("ZvWebNoteHandler",
                                            "No program on this computer could open the link “%1”.")
                    .arg(url),
                QGuiApplication::applicationDisplayName(), QMessageBox::Ok);
        break;
    }
    case Command::ZvMessageBox:
        IPrompts::instance()->messageBox(m_browser, JsonText(args, "msg"),
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
        if (m_contentChanged && !m_readOnly)
            m_contentChanged(JsonBool(args, "attachments"));
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
    m_menuAttachFile = fileName;
    m_menuAttachName = origName;
    popupContextMenu(QCursor::pos(), !rangeHtml.isEmpty(), true);
}

void ZvWebNoteHandler::DoAttachSaveAs()
{
    if (m_menuAttachFile.isEmpty())
        return;
    const QString root = GetAttachRootDir() + u'/';
    const QString kept = AttachMarkup::keptFileName(m_menuAttachName);
    const bool named = IsSafeFileName(kept);
    QString source = root + m_curNoteGuid + u'/' + kept;
    if (!named || m_curNoteGuid.isEmpty() || !QFileInfo(source).isFile())
        source = root + m_menuAttachFile;
    static QString lastFolder = QDir::homePath(); // user-interface thread only
    const QString name = named ? kept : m_menuAttachFile;
    const QString target = IPrompts::instance()->saveFileName(
        m_browser, EditorContextMenu::tr("Save a copy as"), lastFolder + u'/' + name, QString());
    if (target.isEmpty() || QFileInfo(target) == QFileInfo(source))
        return;
    lastFolder = QFileInfo(target).absolutePath();
    QFile file(source);
    // The dialog has asked before replacing a file.
    if ((QFile::exists(target) && !QFile::remove(target)) || !file.copy(target)) {
        CLog4C::GetInstance()->WriteLog(u"[ERROR] ZvWebNoteHandler::DoAttachSaveAs, cannot copy "
                                        + source + u" to " + target + u": " + file.errorString());
        IPrompts::instance()->messageBox(
            m_browser,
            EditorContextMenu::tr("Could not save a copy of “%1” as %2.").arg(name, target),
            QGuiApplication::applicationDisplayName(), QMessageBox::Ok);
    }
}

void ZvWebNoteHandler::RemoveAttach(const QString &fileName)
{
    const QJsonObject arg{{QStringLiteral("keyword"), fileName}};
    CallJsProcessor(m_browser, QStringLiteral("RemoveAttach"),
                    QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact)),
                    RemoveAttachLines);
}

// The checker marks the note's words again with the words it takes now: the page turns its
// checking off and on once the checker has read its words again (it reads them in the
// background, with no word when it is done).
void ZvWebNoteHandler::recheckSpelling()
{
    for (const int delay : RecheckSpellingDelaysMs) {
        QTimer::singleShot(delay, m_browser, [this] {
            for (const QString &enabled : {QStringLiteral("false"), QStringLiteral("true")})
                CallJsProcessor(m_browser, QStringLiteral("SetSpellCheck"),
                                QStringLiteral("{\"enabled\":") + enabled + u'}',
                                RecheckSpellingLines);
        });
    }
}

void ZvWebNoteHandler::popupContextMenu(const QPoint &screenPoint, bool hasSelection,
                                        bool onAttachment, const QString &misspelledWord,
                                        const QStringList &suggestions)
{
    if (!m_browser || !m_browser->isVisible())
        return;
    EditorContextMenu menu;
    menu.addSection(EditorContextMenu::spellingSection(
        [this](const QString &correction) { m_browser->page()->replaceMisspelledWord(correction); },
        [this](const QString &word, bool forGood) {
            if (forGood)
                Internal::EditorProfile::addWord(word);
            else
                Internal::EditorProfile::ignoreWord(word);
            recheckSpelling();
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
    // The same ways as the keys take: attachments come along on paste, the copy notification
    // follows a copy.
    menu.addSection(EditorContextMenu::editSection([this](int action) {
        if ((action == QWebEnginePage::Cut && DoCtrlD() == S_OK)
            || (action == QWebEnginePage::Paste && DoCtrlV() == S_OK))
            return;
        m_browser->triggerPageAction(QWebEnginePage::WebAction(action));
        if (action == QWebEnginePage::Copy)
            DoCtrlC();
    }));
    EditorContextMenu::Target target;
    target.editable = !m_readOnly;
    target.hasSelection = hasSelection;
    target.misspelledWord = misspelledWord;
    target.spellingSuggestions = suggestions;
    if (onAttachment) {
        target.attachFile = m_menuAttachFile;
        target.attachName = m_menuAttachName;
    }
    menu.popup(m_browser, screenPoint, target);
}

long ZvWebNoteHandler::ShowContextMenu(int, const QPoint &screenPoint, QObject *, QObject *element)
{
    const auto *request = qobject_cast<const QWebEngineContextMenuRequest *>(element);
    if (!request) {
        popupContextMenu(screenPoint, false, false);
        return S_OK;
    }
    popupContextMenu(screenPoint, !request->selectedText().isEmpty(), false,
                     request->misspelledWord(), request->spellCheckerSuggestions());
    return S_OK;
}

long ZvWebNoteHandler::ShowMessage(QWidget *, const QString &, const QString &, int)
{
    return E_NOTIMPL;
}

} // namespace TAVRIKCORE::RICHEDITOR
