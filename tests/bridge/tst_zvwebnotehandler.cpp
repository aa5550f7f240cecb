// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "editorhost.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "testhelpers.h"

#include <QDateTime>
#include <QGuiApplication>

#include <functional>
#include <optional>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

using Events = std::vector<QEvent::Type>;

// Records the cache-clearing events a widget receives.
struct EventRecorder : QObject
{
    explicit EventRecorder(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == ClearEditorCacheEvent)
            seen.push_back(event->type());
        return false;
    }
    Events seen;
};

struct Handler : ZvWebNoteHandler
{
    using ZvWebNoteHandler::Format;
    using ZvWebNoteHandler::OnDragEnter;
    using ZvWebNoteHandler::OnExecuteFun;
    using ZvWebNoteHandler::OnGetFunId;

    // Runs a page command as the browser delivers it: arguments last first.
    long command(const QString &name, const QString &json, const QString &exdata = QString())
    {
        QVariant result;
        return OnExecuteFun(1, {exdata, json, name}, result, QString());
    }
};

class HandlerTest : public ::testing::Test
{
protected:
    HandlerTest()
    {
        handler.SetIEWebBrowser(&browser);
        handler.SetNotify(&host);
    }
    FakeBrowser browser;
    EventRecorder innerEvents{&browser.inner};
    Handler handler;
    EditorHost host;
};

// ---- calls into the page -------------------------------------------------------------

const QVariant Refused = u"{\"result\":false,\"errmsg\":\"忙 busy\"}"_s;

// The replies a page call can get, each with the log line it leaves (an index into
// CallCase::lines; -1: none). An empty optional fails the call itself.
const std::pair<std::optional<QVariant>, int> Replies[]
    = {{QVariant(u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":\"<p>中\\\"</p>\","
                 u"/* comment */ \"etext\":\"中\\\"\"}"_s),
        -1},
       {Refused, 2},
       {QVariant(u"result=true"_s), 1},
       {QVariant(QString()), 1},
       {QVariant(1), 1},
       {std::nullopt, 0}};

struct CallCase
{
    QString method;
    QString argText;
    std::function<int(ZvWebNoteHandler &)> run; // the call's result, -1 when it has none
    Lines lines; // call failed, bad reply, refused
};

Lines linesOf(const QString &prefix, const QString &refused)
{
    return {prefix + u"，js方法调用失败！，ErrMsg:unknow error ！"_s,
            prefix + u"，解析js返回json字符串失败！"_s, refused + u"忙 busy"_s};
}

std::vector<CallCase> callCases()
{
    StTableData table{1, 1, {{{u"s"_s, u"v"_s, u"9"_s}}}};
    return {
        {u"SetEditorMode"_s, u"{\"readonly\":true }"_s,
         [](ZvWebNoteHandler &h) { return h.SetReadOnly(1), -1; },
         linesOf(u"设置笔记编辑器只读模式"_s, u"设置笔记编辑器只读模式失败，错误信息："_s)},
        {u"SetEditorMaxChars"_s, u"{\"size\":10000 }"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorMaxChars(10000), -1; },
         linesOf(u"设置笔记编辑器最大字符数"_s, u"设置笔记编辑器最大字符数失败，错误信息："_s)},
        {u"SetEditorContent"_s, u"<p class=\"a\">中\\</p>"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorHtml(u"<p class=\"a\">中\\</p>"_s), -1; },
         linesOf(u"设置笔记编辑器内容"_s, u"设置笔记编辑器内容失败，错误信息："_s)},
        {u"GetEditorContent"_s, u"{}"_s,
         [](ZvWebNoteHandler &h) {
             QString html = u"old"_s, text = u"old"_s;
             const int ok = h.GetEditorContent(html, text);
             EXPECT_EQ(html, ok ? u"<p>中\"</p>"_s : u"old"_s);
             EXPECT_EQ(text, ok ? u"中\""_s : u"old"_s);
             return ok;
         },
         linesOf(u"[ERROR] 获取笔记编辑器内容"_s, u"[ERROR] 获取笔记编辑器内容失败，错误信息："_s)},
        {u"SelectedAttach"_s, u"{\"keyword\":\"ab12.png报告\"}"_s,
         [](ZvWebNoteHandler &h) { return h.SelectedAttach(u"ab12.png报告"_s); },
         linesOf(u"选中笔记附件失败"_s, u"选中笔记附件失败，错误信息："_s)},
        {u"ModifyAttachAtrr"_s,
         u"{\"zv_exdata\":{\"OrigName_B64\":\"5oql5ZGKLmRvY3g=\"},"
         u"\"ClassValue\":\"userdata\\\\attachment\\\\new.docx\",\"SrcValue\":\"../\\\"t\\\".bmp\"}"_s,
         [](ZvWebNoteHandler &h) {
             return h.UpdateHtmlAttachAttr(u"报告.docx"_s, u"userdata\\attachment\\new.docx"_s,
                                           u"../\"t\".bmp"_s);
         },
         linesOf(u"[ERROR] 修改附件class属性值失败"_s,
                 u"[ERROR] 修改附件class属性值失败，错误信息："_s)},
        {u"InsertTable"_s,
         u"{\n\t\"colNum\" : 1,\n\t\"rowList\" : \n\t[\n\t\t{\n\t\t\t\"colList\" : \n\t\t\t[\n"
         u"\t\t\t\t{\n\t\t\t\t\t\"style\" : \"s\",\n\t\t\t\t\t\"value\" : \"v\",\n"
         u"\t\t\t\t\t\"width\" : \"9\"\n\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 1\n}\n"_s,
         [table](ZvWebNoteHandler &h) { return h.InsertTable(table), -1; },
         linesOf(u"添加构建信息到笔记编辑器"_s, u"添加构建信息到笔记编辑器，错误信息："_s)}};
}

} // namespace

TEST(HandlerCalls, EveryCallSendsItsTextLogsEachKindOfFailureAndFormatsScriptValues)
{
    for (const CallCase &call : callCases()) {
        for (const auto &[reply, line] : Replies) {
            SCOPED_TRACE(call.method.toStdString() + " reply "
                         + reply.value_or(u"none"_s).toString().toStdString());
            FakeBrowser page;
            Handler handler;
            handler.SetIEWebBrowser(&page);
            page.replies[call.method].push_back(reply);
            LogCapture log;

            const int result = call.run(handler);

            EXPECT_EQ(page.functions, QStringList{u"jsProcessor"_s});
            EXPECT_EQ(page.calls, (std::vector<QVariantList>{{call.method, call.argText}}));
            EXPECT_EQ(log.lines(), line < 0 ? Lines{} : Lines{call.lines[size_t(line)]});
            const bool accepted = line < 0;
            if (result != -1)
                EXPECT_EQ(result, accepted ? 1 : 0);
            EXPECT_EQ(handler.IsReadOnly(), call.method == u"SetEditorMode" && accepted);
            EXPECT_EQ(handler.editorMaxChars(),
                      call.method == u"SetEditorMaxChars" && accepted ? 10000 : 3000);
        }
    }

    // Format gives each script value its text.
    const std::pair<QVariant, QString> values[]
        = {{QVariant(), u""_s},
           {QVariant::fromValue(nullptr), u""_s},
           {QVariant::fromValue(short(-3)), u"-3"_s},
           {QVariant(-7), u"-7"_s},
           {QVariant(2147483647), u"2147483647"_s},
           {QVariant(4294967295u), u"-1"_s},
           {QVariant(qlonglong(0x100000005LL)), u"5"_s},
           {QVariant(qulonglong(0x180000000ULL)), u"-2147483648"_s},
           {QVariant(1.5f), u"1.5000"_s},
           {QVariant(1.5), u"1.50000000"_s},
           {QVariant(QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6))), u"2024-02-03 04:05:06"_s},
           {QVariant(QDateTime()), u"Invalid DateTime"_s},
           {QVariant(u"中 \"q\" \\"_s), u"中 \"q\" \\"_s},
           {QVariant(false), u"FALSE"_s},
           {QVariant(QByteArray("\xe4\xb8\xad")), u"中"_s},
           {QVariant::fromValue<signed char>(5), u"UN_KNOW"_s},
           {QVariant(QVariantList{1}), u"UN_KNOW"_s},
           {QVariant(QChar(u'x')), u"UN_KNOW"_s}};
    for (const auto &[value, text] : values)
        EXPECT_EQ(Handler::Format(value), text) << "for " << value.typeName();
}

// Content replies are read straight from the page's wide text; what that reader does not take
// (comments, trailing commas, lone surrogates, raw control characters, text after the object)
// is read as before.
TEST_F(HandlerTest, RepliesGiveTextsExactlyMessagesClearTheCacheAndOnlyChangesAreSent)
{
    QString big;
    while (big.size() < 1 << 20)
        big += u"<p>note \"中文\" \\ text</p>\n"_s;
    const QByteArray quoted = QJsonDocument(QJsonArray{big}).toJson(QJsonDocument::Compact);
    const QString bigJson = QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
    const QString lone = u"<"_s + QChar(0xd800) + u">"_s;
    const struct
    {
        QString reply;
        int ok;
        QString html, text;
    } cases[] = {
        {uR"({"result":true,"ehtml":"a\"b\\c\/d\b\f\n\r\t\u00e9\uD83D\ude00中😀","etext":"t"})"_s, 1,
         u"a\"b\\c/d\b\f\n\r\t\u00e9\U0001F600中\U0001F600"_s, u"t"_s},
        {uR"({"ehtml":"first","result":true,"ehtml":"second","etext":12})"_s, 1, u"second"_s,
         u"12"_s},
        {uR"({"ehtml":"first","result":1,"ehtml":["x"],"etext":true})"_s, 1, QString(), u"true"_s},
        {uR"( { "n" : {"a":[1,-2.5e3,{"b":null}],"ehtml":"in"} , "result" : true , "ehtml" : "" } )"_s,
         1, QString(), QString()},
        {uR"({"result":true,"ehtml":"x",})"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"x"} tail)"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"a)"_s + QChar(1) + uR"(b"})"_s, 1, u"a\u0001b"_s, QString()},
        {uR"({"result":true,"ehtml":"\ud800x"})"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":true,"ehtml":")"_s + lone + uR"("})"_s, 1, u"<\uFFFD>"_s, QString()},
        {uR"({"result":true,"ehtml":"x")"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":false,"ehtml":"x"})"_s, 0, u"old"_s, u"old"_s},
        {u"{\"result\":true,\"etext\":\"t\",\"ehtml\":"_s + bigJson + u'}', 1, big, u"t"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.left(80).toStdString());
        browser.replies[u"GetEditorContent"_s].push_back(QVariant(c.reply));
        QString html = u"old"_s, text = u"old"_s;
        EXPECT_EQ(handler.GetEditorContent(html, text), c.ok);
        EXPECT_EQ(html, c.html);
        EXPECT_EQ(text, c.text);
    }

    // Forwarded messages clear the cache or copy, and nothing else.
    browser.calls.clear();
    LogCapture log;
    browser.replies[u"ClearEditorCache"_s].push_back(std::nullopt);
    handler.WinMessageNotify(nullptr, 2258, 0, 0); // a failed call has no line of its own
    handler.WinMessageNotify(nullptr, 2258, 0, 0);
    handler.WinMessageNotify(nullptr, 8004, 0, 0);
    for (int other : {0, 8, 2224, 2257, 2259, 8003, 8005})
        handler.WinMessageNotify(nullptr, other, 1, 1);

    const QVariantList clear{u"ClearEditorCache"_s, QString()};
    EXPECT_EQ(browser.calls, (std::vector<QVariantList>{clear, clear}));
    EXPECT_EQ(log.lines(), Lines{});

    browser.calls.clear();
    handler.SetReadOnly(0); // already writable
    EXPECT_EQ(handler.SelectedAttach(QString()), 0); // nothing to select
    EXPECT_TRUE(browser.calls.empty());

    browser.replies[u"SetEditorMode"_s].push_back(Refused);
    handler.SetReadOnly(7);
    handler.SetReadOnly(7); // the refusal left the mode as it was, so this is sent again
    handler.SetReadOnly(7); // accepted before: nothing to send
    handler.SetReadOnly(0);
    ASSERT_EQ(browser.calls.size(), 3u);
    EXPECT_EQ(browser.calls[1].value(1), u"{\"readonly\":true }"_s);
    EXPECT_EQ(browser.calls[2].value(1), u"{\"readonly\":false }"_s);
    EXPECT_EQ(handler.IsReadOnly(), 0);

    // A table without rows or cells keeps its shape.
    browser.calls.clear();
    StTableData table{3, 0, {}};
    handler.InsertTable(table);
    table.rowNum = 2;
    table.rowList = {{}, {{u"<b>"_s, u"中\"\\"_s, u""_s}}};
    handler.InsertTable(table);

    ASSERT_EQ(browser.calls.size(), 2u);
    EXPECT_EQ(browser.calls[0].value(1), u"{\n\t\"colNum\" : 3,\n\t\"rowNum\" : 0\n}\n"_s);
    // The writer escapes non-ASCII text; the page reads the same characters back.
    EXPECT_EQ(browser.calls[1].value(1),
              u"{\n\t\"colNum\" : 3,\n\t\"rowList\" : \n\t[\n\t\tnull,\n\t\t{\n"
              u"\t\t\t\"colList\" : \n\t\t\t[\n\t\t\t\t{\n\t\t\t\t\t\"style\" : \"<b>\",\n"
              u"\t\t\t\t\t\"value\" : \"\\u4e2d\\\"\\\\\",\n\t\t\t\t\t\"width\" : \"\"\n"
              u"\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 2\n}\n"_s);
}

TEST_F(HandlerTest, SizesKeepTheFirstValueTimesAreKeyedByBothNamesAndNewContentEmptiesBoth)
{
    for (const QString &html : {u"<p>x</p>"_s, QString()}) {
        handler.InitAttachFileSize({{u"a.png"_s, 10}});
        handler.RecordAttachModifyTime(u"a.png"_s, u"a.png"_s, u"2024-01-01 00:00:00"_s);
        browser.calls.clear();

        handler.SetEditorHtml(html);

        EXPECT_TRUE(handler.attachFileSizes().empty());
        EXPECT_TRUE(handler.GetAttachModifyCache().empty());
        EXPECT_EQ(browser.calls, (std::vector<QVariantList>{{u"SetEditorContent"_s, html}}));
        // Posted, so delivered only once the event loop runs after the call.
        EXPECT_TRUE(innerEvents.seen.empty());
        QCoreApplication::sendPostedEvents(&browser.inner);
        EXPECT_EQ(innerEvents.seen, Events{ClearEditorCacheEvent});
        innerEvents.seen.clear();
    }

    handler.InitAttachFileSize({{u"a.png"_s, 5}, {u"b.png"_s, 0}});
    handler.InitAttachFileSize({{u"a.png"_s, 9}, {u"A.png"_s, 7}});
    EXPECT_EQ(handler.attachFileSizes(),
              (std::map<QString, quint64>{{u"A.png"_s, 7}, {u"a.png"_s, 5}, {u"b.png"_s, 0}}));

    handler.RecordAttachModifyTime(u"ab.png"_s, u"x.png"_s, u"2024-01-01 00:00:00"_s);
    handler.RecordAttachModifyTime(u"ab.pn"_s, u"gx.png"_s, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(handler.GetAttachModifyCache(),
              (std::map<QString, QString>{{u"ab.pngx.png"_s, u"2024-01-03 00:00:00"_s}}));

    // The cached key; the same key without an original name; a file without a cached time.
    std::vector<NewAttachFile> files(3);
    files[0].storeName = files[2].storeName = u"ab.png"_s;
    files[0].origName = u"x.png"_s;
    files[1].storeName = u"ab.pngx.png"_s;
    ZvWebNoteHandler::UpdateAttModifyTimeField(u"ignored"_s, files, handler.GetAttachModifyCache());
    EXPECT_EQ(files[0].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(files[1].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_TRUE(matches(u"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}"_s, files[2].modifyTime))
        << files[2].modifyTime.toStdString();
}

// ---- page commands -------------------------------------------------------------------

TEST_F(HandlerTest, CommandsNeedIdOneThreeArgumentsAndJsonAndUnknownOnesStayQuiet)
{
    RecordingPrompts prompts;
    LogCapture log;
    EXPECT_EQ(handler.OnGetFunId(u"CppProcessor"_s), 1);
    for (const QString &name : {u"cppprocessor"_s, u"CppProcessor "_s, QString()})
        EXPECT_EQ(handler.OnGetFunId(name), -1) << name.toStdString();
    QVariant result;
    const QString json = u"{\"msg\":\"x\"}"_s;
    EXPECT_EQ(handler.OnExecuteFun(2, {u""_s, json, u"ZvMessageBox"_s}, result, {}), -1);
    EXPECT_EQ(handler.OnExecuteFun(1, {}, result, {}), S_OK);
    EXPECT_FALSE(result.isValid());
    for (const QString &name : {u"zvmessagebox"_s, u"DblClickAttachment"_s, u"ScreenCapture"_s,
                                u"ZvMessageBox "_s, QString()})
        handler.command(name, json);
    handler.command(u"AddAttachment"_s, u"{broken"_s); // reads no JSON at all
    handler.command(u"OnRightClickAttach"_s,
                    u"{\"current_attach\":{\"class_value\":\"a\\\\b.png\"},\"range_html\":\"\"}"_s);
    handler.command(u"WriteEditorLog"_s, u"{\"type\":\"info\",\"msg\":\"hi\"}"_s);
    EXPECT_EQ(log.lines(), Lines{u"[ERROR] js调用OnCppProcessor传递参数个数不正确！"_s});
    // Only the file dialog of "AddAttachment" (cancelled).
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().at(0).kind, RecordingPrompts::Shown::OpenFiles);
    EXPECT_TRUE(browser.calls.empty());

    // Commands with bad JSON log their own line and do nothing.
    for (const QString &command :
         {u"DbClickAttachment"_s, u"OpenHyperLink"_s, u"ZvMessageBox"_s, u"OnRightClickAttach"_s,
          u"WriteEditorLog"_s, u"SreenCapture"_s}) {
        // The double-click command is spelled "DbClick..." although its log line says "DblClick".
        const QString name = command == u"DbClickAttachment" ? u"DblClickAttachment"_s : command;
        for (const QString &text : {u"{\"msg\":"_s, QString(), u"[1]"_s, u"\"text\""_s}) {
            LogCapture badJson;
            EXPECT_EQ(handler.command(command, text), S_OK);
            EXPECT_EQ(badJson.lines(),
                      Lines{u"[ERROR] 解析"_s + name + u"方法，json参数字串失败！"_s})
                << text.toStdString();
        }
    }
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(HandlerTest, CommandsActOnTheirArguments)
{
    RecordingPrompts prompts;
    QGuiApplication::setApplicationDisplayName(u"笔记"_s);
    handler.SetCurNoteGuid(u"n1"_s);
    const QString exdata = ZvWebNoteHandler::FormatOrigNameToJson(u"季度 \"报告\".docx"_s);

    // A path without folders, no readable original name, no path at all.
    handler.command(u"DbClickAttachment"_s, u"{\"path\":\"plain.txt\"}"_s, u"not json"_s);
    handler.command(u"DbClickAttachment"_s, u"{/* no path */}"_s, exdata);
    EXPECT_EQ(host.opened, QStringList({u"n1|plain.txt|"_s, u"n1||季度 \"报告\".docx"_s}));

    // A message box shows the text as given, with the application's title.
    handler.command(u"ZvMessageBox"_s, u"{\"msg\":\"<b>保存</b> \\\"q\\\" \\\\\"}"_s);
    handler.command(u"ZvMessageBox"_s, u"{}"_s);
    EXPECT_EQ(prompts.messages(), (QStringList{u"<b>保存</b> \"q\" \\"_s, QString()}));
    EXPECT_EQ(prompts.shown().at(0).title, u"笔记"_s);
    EXPECT_EQ(prompts.shown().at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}
