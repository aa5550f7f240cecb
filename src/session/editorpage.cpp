// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session/editorpage_p.h"

#include "notehtml/attachmarkup_p.h"
#include "session/jsprocessorcall_p.h"
#include "session/pagejson_p.h"
#include "session/sttabledata.h"
#include "skin/iewebbrowser.h"

#include <QTimer>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

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

constexpr JsProcessorLogLines RemoveAttachLines{
    u"[ERROR] 删除笔记附件失败，js方法调用失败！，ErrMsg:unknow error ！",
    u"[ERROR] 删除笔记附件失败，解析js返回json字符串失败！",
    u"[ERROR] 删除笔记附件失败，错误信息：%s"};

constexpr JsProcessorLogLines PasteLines{u"[ERROR] PasteHtml: the page cannot be called",
                                         u"[ERROR] PasteHtml: the page's reply is not JSON",
                                         u"[ERROR] PasteHtml refused: %s"};

constexpr JsProcessorLogLines AddPicLines{
    u"添加附件到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！",
    u"添加附件到笔记编辑器，解析js返回json字符串失败！", u"添加附件到笔记编辑器，错误信息：%s"};

constexpr JsProcessorLogLines SpellCheckLines{
    u"[ERROR] CZorvaEditorImpl, turning spell checking on or off failed: the page did not answer",
    u"[ERROR] CZorvaEditorImpl, turning spell checking on or off failed: bad reply",
    u"[ERROR] CZorvaEditorImpl, turning spell checking on or off failed: %s"};

constexpr JsProcessorLogLines RecheckSpellingLines{
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: the page did not answer",
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: bad reply",
    u"[ERROR] ZvWebNoteHandler, checking the note's spelling again failed: %s"};

constexpr JsProcessorLogLines TableStateLines{
    u"[ERROR] EditorContextMenu, asking the page about the table failed: the page did not answer",
    u"[ERROR] EditorContextMenu, asking the page about the table failed: bad reply",
    u"[ERROR] EditorContextMenu, asking the page about the table failed: %s"};

constexpr JsProcessorLogLines TableCommandLines{
    u"[ERROR] EditorContextMenu, changing the table failed: the page did not answer",
    u"[ERROR] EditorContextMenu, changing the table failed: bad reply",
    u"[ERROR] EditorContextMenu, changing the table failed: %s"};

constexpr JsProcessorLogLines ThemeLines{
    u"[ERROR] CZorvaEditorImpl, setting the page's theme failed: the page did not answer",
    u"[ERROR] CZorvaEditorImpl, setting the page's theme failed: bad reply",
    u"[ERROR] CZorvaEditorImpl, setting the page's theme failed: %s"};

constexpr JsProcessorLogLines ReplaceLines{u"[ERROR] ReplaceText: the page cannot be called",
                                           u"[ERROR] ReplaceText: the page's reply is not JSON",
                                           u"[ERROR] ReplaceText refused: %s"};

constexpr JsProcessorLogLines SelectionMarkdownLines{
    u"[ERROR] Copy as Markdown: the page cannot be called",
    u"[ERROR] Copy as Markdown: the page's reply is not JSON",
    u"[ERROR] Copy as Markdown refused: %s"};

constexpr JsProcessorLogLines MarkdownLines{
    u"[ERROR] Export as Markdown: the page cannot be called",
    u"[ERROR] Export as Markdown: the page's reply is not JSON",
    u"[ERROR] Export as Markdown refused: %s"};

constexpr JsProcessorLogLines PasteMarkdownLines{
    u"[ERROR] Paste as Markdown: the page cannot be called",
    u"[ERROR] Paste as Markdown: the page's reply is not JSON",
    u"[ERROR] Paste as Markdown refused: %s"};

// A busy machine may take longer than the first look.
constexpr int RecheckSpellingDelaysMs[] = {500, 2000};

const std::vector<const char *> ContentKeys{"ehtml", "etext"};
const std::vector<const char *> MarkdownKeys{"markdown"};

std::optional<QString> firstText(std::optional<std::vector<QString>> texts)
{
    if (!texts)
        return std::nullopt;
    return std::move(texts->front());
}

std::optional<EditorPage::Content> contentOf(std::optional<std::vector<QString>> texts)
{
    if (!texts)
        return std::nullopt;
    return EditorPage::Content{std::move(texts->at(0)), std::move(texts->at(1))};
}

// The table as the page's "InsertTable" reads it. A row without cells is null; a table
// without rows has no "rowList".
Json::Value rowsOf(const StTableData &table)
{
    const auto utf8 = [](const QString &text) {
        return text.toUtf8().toStdString();
    };
    Json::Value rows(Json::nullValue);
    for (const std::vector<StTableCell> &row : table.rowList) {
        Json::Value rowValue;
        for (const StTableCell &cell : row) {
            Json::Value cellValue(Json::objectValue);
            cellValue["width"] = utf8(cell.width);
            cellValue["style"] = utf8(cell.style);
            cellValue["value"] = utf8(cell.value);
            rowValue["colList"].append(cellValue);
        }
        rows.append(rowValue);
    }
    return rows;
}

} // namespace

bool EditorPage::setReadOnly(bool readOnly)
{
    return CallJsProcessor(m_browser, QStringLiteral("SetEditorMode"),
                           PageJson().flag("readonly", readOnly).spaced(), ReadOnlyLines)
        .has_value();
}

bool EditorPage::setMaxChars(int maxChars)
{
    return CallJsProcessor(m_browser, QStringLiteral("SetEditorMaxChars"),
                           PageJson().number("size", maxChars).spaced(), MaxCharsLines)
        .has_value();
}

bool EditorPage::setContent(const QString &html, bool saved)
{
    // The note's markup goes as it is: the page takes it as its argument text.
    const QString method
        = saved ? QStringLiteral("SetSavedEditorContent") : QStringLiteral("SetEditorContent");
    return CallJsProcessor(m_browser, method, html, ContentLines).has_value();
}

std::optional<EditorPage::Content> EditorPage::content()
{
    return contentOf(CallJsProcessorForTexts(m_browser, QStringLiteral("GetEditorContent"),
                                             PageJson().compact(), GetContentLines, ContentKeys));
}

void EditorPage::contentAsync(int timeoutMs, std::function<void(std::optional<Content>)> done)
{
    CallJsProcessorForTextsAsync(
        m_browser, QStringLiteral("GetEditorContent"), PageJson().compact(), GetContentLines,
        ContentKeys, timeoutMs,
        [done = std::move(done)](std::optional<std::vector<QString>> texts) {
            done(contentOf(std::move(texts)));
        });
}

bool EditorPage::focus()
{
    return CallJsProcessor(m_browser, QStringLiteral("FocusEditor"), PageJson().compact(),
                           FocusLines)
        .has_value();
}

bool EditorPage::clearCache()
{
    QVariant result;
    return m_browser
        && m_browser->ExecJSFun(QStringLiteral("jsProcessor"),
                                {QStringLiteral("ClearEditorCache"), QString()}, result)
        == 0;
}

bool EditorPage::selectAttachment(const QString &key)
{
    return CallJsProcessor(m_browser, QStringLiteral("SelectedAttach"),
                           PageJson().text("keyword", key).compact(), SelectLines)
        .has_value();
}

bool EditorPage::modifyAttachment(const QString &keptName, const QString &classValue,
                                  const QString &srcValue)
{
    const QString arg = PageJson()
                            .json("zv_exdata", AttachMarkup::FormatOrigNameToJson(keptName))
                            .text("ClassValue", classValue)
                            .text("SrcValue", srcValue)
                            .compact();
    return CallJsProcessor(m_browser, QStringLiteral("ModifyAttachAtrr"), arg, ModifyAttachLines)
        .has_value();
}

bool EditorPage::insertTable(const StTableData &table)
{
    PageJson arg;
    arg.number("colNum", table.colNum).number("rowNum", table.rowNum);
    if (!table.rowList.empty())
        arg.value("rowList", rowsOf(table));
    return CallJsProcessor(m_browser, QStringLiteral("InsertTable"), arg.indented(), TableLines)
        .has_value();
}

bool EditorPage::removeAttachment(const QString &fileName)
{
    return CallJsProcessor(m_browser, QStringLiteral("RemoveAttach"),
                           PageJson().text("keyword", fileName).compact(), RemoveAttachLines)
        .has_value();
}

bool EditorPage::pasteHtml(const QString &html, const std::vector<PastedPicture> &pictures)
{
    PageJson arg;
    arg.text("html", html);
    if (!pictures.empty()) {
        Json::Value list(Json::arrayValue);
        for (const PastedPicture &picture : pictures) {
            Json::Value item(Json::objectValue);
            item["src"] = picture.src.toStdString();
            item["picpath"] = picture.attachment.showSrc.toStdString();
            item["strData"] = picture.attachment.relPath.toStdString();
            item["exdata"]
                = AttachMarkup::FormatOrigNameToJson(picture.attachment.keptName).toStdString();
            list.append(std::move(item));
        }
        arg.value("pictures", std::move(list));
    }
    return CallJsProcessor(m_browser, QStringLiteral("PasteHtml"), arg.compact(), PasteLines)
        .has_value();
}

bool EditorPage::setSpellCheck(bool enabled)
{
    return CallJsProcessor(m_browser, QStringLiteral("SetSpellCheck"),
                           PageJson().flag("enabled", enabled).compact(), SpellCheckLines)
        .has_value();
}

// The checker marks the note's words again with the words it takes now: the page turns its
// checking off and on once the checker has read its words again (it reads them in the
// background, with no word when it is done).
void EditorPage::recheckSpelling()
{
    for (const int delay : RecheckSpellingDelaysMs) {
        QTimer::singleShot(delay, m_browser, [browser = m_browser] {
            for (const bool enabled : {false, true})
                CallJsProcessor(browser, QStringLiteral("SetSpellCheck"),
                                PageJson().flag("enabled", enabled).compact(),
                                RecheckSpellingLines);
        });
    }
}

std::optional<std::vector<QString>> EditorPage::tableCommands()
{
    const std::optional<Json::Value> state = CallJsProcessor(
        m_browser, QStringLiteral("TableState"), PageJson().compact(), TableStateLines);
    if (!state)
        return std::nullopt;
    std::vector<QString> commands;
    if ((*state)["commands"].isArray()) {
        for (const Json::Value &command : (*state)["commands"])
            commands.push_back(QString::fromStdString(command.asString()));
    }
    return commands;
}

bool EditorPage::runTableCommand(const QString &command)
{
    return CallJsProcessor(m_browser, QStringLiteral("TableCommand"),
                           PageJson().text("command", command).compact(), TableCommandLines)
        .has_value();
}

bool EditorPage::setTheme(bool dark)
{
    return CallJsProcessor(
               m_browser, QStringLiteral("SetEditorTheme"),
               PageJson()
                   .text("theme", dark ? QStringLiteral("dark") : QStringLiteral("light"))
                   .compact(),
               ThemeLines)
        .has_value();
}

void EditorPage::sendPreferences(std::optional<bool> spellCheck, std::optional<bool> dark)
{
    constexpr int AnswerTimeoutMs = 10000;
    const auto ignore = [](std::optional<std::vector<QString>>) {
    };
    if (spellCheck) {
        CallJsProcessorForTextsAsync(m_browser, QStringLiteral("SetSpellCheck"),
                                     PageJson().flag("enabled", *spellCheck).compact(),
                                     SpellCheckLines, {}, AnswerTimeoutMs, ignore);
    }
    if (dark) {
        CallJsProcessorForTextsAsync(
            m_browser, QStringLiteral("SetEditorTheme"),
            PageJson()
                .text("theme", *dark ? QStringLiteral("dark") : QStringLiteral("light"))
                .compact(),
            ThemeLines, {}, AnswerTimeoutMs, ignore);
    }
}

std::optional<EditorPage::Replaced> EditorPage::replaceText(const std::vector<int> &offsets,
                                                            const QString &keyword,
                                                            const QString &replacement,
                                                            bool matchCase)
{
    Json::Value hits(Json::arrayValue);
    for (const int offset : offsets)
        hits.append(offset);
    const QString arg = PageJson()
                            .value("hits", std::move(hits))
                            .text("keyword", keyword)
                            .text("replacement", replacement)
                            .flag("matchCase", matchCase)
                            .compact();
    const std::optional<Json::Value> reply
        = CallJsProcessor(m_browser, QStringLiteral("ReplaceText"), arg, ReplaceLines);
    if (!reply || !(*reply)["replaced"].isInt())
        return std::nullopt;
    const Json::Value &left = (*reply)["keywordLeft"];
    return Replaced{(*reply)["replaced"].asInt(), !left.isBool() || left.asBool()};
}

std::optional<QString> EditorPage::selectionMarkdown(const QString &storeUrl)
{
    return firstText(CallJsProcessorForTexts(m_browser, QStringLiteral("SelectionMarkdown"),
                                             PageJson().text("store", storeUrl).compact(),
                                             SelectionMarkdownLines, MarkdownKeys));
}

std::optional<QString> EditorPage::markdownOf(const QString &html)
{
    return firstText(CallJsProcessorForTexts(m_browser, QStringLiteral("HtmlToMarkdown"),
                                             PageJson().text("html", html).compact(), MarkdownLines,
                                             MarkdownKeys));
}

bool EditorPage::pasteMarkdown(const QString &text)
{
    return CallJsProcessor(m_browser, QStringLiteral("PasteMarkdown"),
                           PageJson().text("text", text).compact(), PasteMarkdownLines)
        .has_value();
}

std::vector<bool> EditorPage::addAttachments(const std::vector<Attachment> &attachments)
{
    std::vector<QString> args;
    args.reserve(attachments.size());
    for (const Attachment &attachment : attachments) {
        args.push_back(PageJson()
                           .text("picpath", attachment.showSrc)
                           .text("strData", attachment.relPath)
                           .text("exdata", AttachMarkup::FormatOrigNameToJson(attachment.keptName))
                           .text("type", attachment.fileExt)
                           .indented());
    }
    return CallJsProcessorEach(m_browser, QStringLiteral("AddPicToEditor"), args, AddPicLines);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
