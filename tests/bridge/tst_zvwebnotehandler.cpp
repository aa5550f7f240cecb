// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "logcapture.h"
#include "notehtml/attachmarkup.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <optional>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

using Lines = std::vector<QString>;

// Records the events a widget receives of the given types.
class EventRecorder : public QObject
{
public:
    EventRecorder(QWidget *widget, std::vector<QEvent::Type> types)
        : m_types(std::move(types))
    {
        widget->installEventFilter(this);
    }
    std::vector<QEvent::Type> seen;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (std::find(m_types.begin(), m_types.end(), event->type()) != m_types.end())
            seen.push_back(event->type());
        return false;
    }

private:
    std::vector<QEvent::Type> m_types;
};

// A browser without a page: it records every script call and answers with a scripted reply.
class FakeBrowser : public IEWebBrowser
{
public:
    struct Call
    {
        QString function;
        QVariantList args;
    };

    // The next replies; without one a call is accepted with {"result":true}.
    std::deque<std::optional<QVariant>> replies; // nullopt: the call fails
    std::vector<Call> calls;
    QWidget inner;
    EventRecorder innerEvents{&inner, {ClearEditorCacheEvent}};

    int ExecJSFun(const QString &funName, const QVariantList &args, QVariant &result) override
    {
        calls.push_back({funName, args});
        std::optional<QVariant> reply = QVariant(u"{\"result\":true}"_s);
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        }
        if (!reply)
            return 1;
        result = *reply;
        return 0;
    }
    QWidget *GetWebBrowseHwnd() const override { return const_cast<QWidget *>(&inner); }

    // The method names sent to jsProcessor.
    QStringList methods() const
    {
        QStringList names;
        for (const Call &call : calls)
            names.append(call.args.value(0).toString());
        return names;
    }
};

// Opens the protected members to the tests.
class Handler : public ZvWebNoteHandler
{
public:
    using ZvWebNoteHandler::extract_foldername;
    using ZvWebNoteHandler::Format;
    using ZvWebNoteHandler::FormatCurTime;
    using ZvWebNoteHandler::OnCppProcessor;
    using ZvWebNoteHandler::OnDragEnter;
    using ZvWebNoteHandler::OnExecuteFun;
    using ZvWebNoteHandler::OnGetFunId;
    using ZvWebNoteHandler::path_is_folder;
    using ZvWebNoteHandler::ShowContextMenu;
    using ZvWebNoteHandler::ShowMessage;

    // Runs a page command as the browser delivers it: arguments last first.
    long command(const QString &name, const QString &json, const QString &exdata = QString())
    {
        QVariant result;
        return OnExecuteFun(1, {exdata, json, name}, result, QString());
    }
};

struct HostRecorder : IZvEditorNotify
{
    struct Open
    {
        QString noteId, fileName, origName;
    };
    std::vector<Open> opened;
    int OnSaveNote(const QString &, const std::vector<NewAttachFile> &, const QString &) override
    {
        return 1;
    }
    void OnOpenAttachment(const QString &noteId, const QString &fileName,
                          const QString &origName) override
    {
        opened.push_back({noteId, fileName, origName});
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
    Handler handler;
    HostRecorder host;
};

const QRegularExpression CurrentTimePattern(u"^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"_s);

} // namespace

TEST_F(HandlerTest, StartsWritableWithoutNoteAndResolvesOnlyCppProcessor)
{
    EXPECT_EQ(handler.IsReadOnly(), 0);
    EXPECT_EQ(handler.GetCurNoteGuid(), QString());
    EXPECT_EQ(handler.editorMaxChars(), 3000);
    EXPECT_EQ(handler.OnGetFunId(u"CppProcessor"_s), 1);
    EXPECT_EQ(handler.OnGetFunId(u"cppprocessor"_s), -1);
    EXPECT_EQ(handler.OnGetFunId(u"CppProcessor "_s), -1);
    EXPECT_EQ(handler.OnGetFunId(QString()), -1);

    handler.SetCurNoteGuid(u"0123456789abcdef0123456789abcdef"_s);
    EXPECT_EQ(handler.GetCurNoteGuid(), u"0123456789abcdef0123456789abcdef"_s);
    handler.SetCurNoteGuid(QString());
    EXPECT_EQ(handler.GetCurNoteGuid(), QString());
}

// ---- calls into the page -------------------------------------------------------------

namespace {

enum class Reply { Accepted, Refused, NotJson, Empty, NotString, Failed };

struct CallCase
{
    const char *name;
    QString method;
    QString argText;
    std::function<int(ZvWebNoteHandler &)> run; // result, or -1 for calls without one
    Lines lines;                                // call failed, bad reply, refused
};

std::optional<QVariant> replyOf(Reply reply)
{
    switch (reply) {
    case Reply::Accepted:
        return QVariant(u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":\"<p>\u4e2d\\\"</p>\","
                        u"\"etext\":\"\u4e2d\\\"\"}"_s);
    case Reply::Refused:
        return QVariant(u"{\"result\":false,\"errmsg\":\"\u5fd9 busy\"}"_s);
    case Reply::NotJson:
        return QVariant(u"result=true"_s);
    case Reply::Empty:
        return QVariant(QString());
    case Reply::NotString:
        return QVariant(1);
    case Reply::Failed:
        return std::nullopt;
    }
    return std::nullopt;
}

std::vector<CallCase> callCases()
{
    StTableData table;
    table.colNum = 1;
    table.rowNum = 1;
    table.rowList = {{{u"s"_s, u"v"_s, u"9"_s}}};
    return {
        {"SetReadOnly", u"SetEditorMode"_s, u"{\"readonly\":true }"_s,
         [](ZvWebNoteHandler &h) {
             h.SetReadOnly(1);
             return -1;
         },
         {u"设置笔记编辑器只读模式，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"设置笔记编辑器只读模式，解析js返回json字符串失败！"_s,
          u"设置笔记编辑器只读模式失败，错误信息：忙 busy"_s}},
        {"SetEditorMaxChars", u"SetEditorMaxChars"_s, u"{\"size\":10000 }"_s,
         [](ZvWebNoteHandler &h) {
             h.SetEditorMaxChars(10000);
             return -1;
         },
         {u"设置笔记编辑器最大字符数，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"设置笔记编辑器最大字符数，解析js返回json字符串失败！"_s,
          u"设置笔记编辑器最大字符数失败，错误信息：忙 busy"_s}},
        {"SetEditorHtml", u"SetEditorContent"_s, u"<p class=\"a\">\u4e2d\\</p>"_s,
         [](ZvWebNoteHandler &h) {
             h.SetEditorHtml(u"<p class=\"a\">\u4e2d\\</p>"_s);
             return -1;
         },
         {u"设置笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"设置笔记编辑器内容，解析js返回json字符串失败！"_s,
          u"设置笔记编辑器内容失败，错误信息：忙 busy"_s}},
        {"GetEditorContent", u"GetEditorContent"_s, u"{}"_s,
         [](ZvWebNoteHandler &h) {
             QString html = u"old"_s, text = u"old"_s;
             const int ok = h.GetEditorContent(html, text);
             if (ok)
                 EXPECT_EQ(std::pair(html, text), std::pair(u"<p>中\"</p>"_s, u"中\""_s));
             else
                 EXPECT_EQ(std::pair(html, text), std::pair(u"old"_s, u"old"_s));
             return ok;
         },
         {u"[ERROR] 获取笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"[ERROR] 获取笔记编辑器内容，解析js返回json字符串失败！"_s,
          u"[ERROR] 获取笔记编辑器内容失败，错误信息：忙 busy"_s}},
        {"SelectedAttach", u"SelectedAttach"_s, u"{\"keyword\":\"ab12.png报告\"}"_s,
         [](ZvWebNoteHandler &h) { return h.SelectedAttach(u"ab12.png报告"_s); },
         {u"选中笔记附件失败，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"选中笔记附件失败，解析js返回json字符串失败！"_s,
          u"选中笔记附件失败，错误信息：忙 busy"_s}},
        {"UpdateHtmlAttachAttr", u"ModifyAttachAtrr"_s,
         u"{\"zv_exdata\":"_s + AttachMarkup::FormatOrigNameToJson(u"报告.docx"_s)
             + u",\"ClassValue\":\"userdata\\attachment\\ab.docx\",\"SrcValue\":\"../t.bmp\"}"_s,
         [](ZvWebNoteHandler &h) {
             return h.UpdateHtmlAttachAttr(u"报告.docx"_s, u"userdata\\attachment\\ab.docx"_s,
                                           u"../t.bmp"_s);
         },
         {u"[ERROR] 修改附件class属性值失败，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"[ERROR] 修改附件class属性值失败，解析js返回json字符串失败！"_s,
          u"[ERROR] 修改附件class属性值失败，错误信息：忙 busy"_s}},
        {"InsertTable", u"InsertTable"_s,
         u"{\n\t\"colNum\" : 1,\n\t\"rowList\" : \n\t[\n\t\t{\n\t\t\t\"colList\" : \n"
         u"\t\t\t[\n\t\t\t\t{\n\t\t\t\t\t\"style\" : \"s\",\n\t\t\t\t\t\"value\" : \"v\",\n"
         u"\t\t\t\t\t\"width\" : \"9\"\n\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n"
         u"\t\"rowNum\" : 1\n}\n"_s,
         [table](ZvWebNoteHandler &h) {
             h.InsertTable(table);
             return -1;
         },
         {u"添加构建信息到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！"_s,
          u"添加构建信息到笔记编辑器，解析js返回json字符串失败！"_s,
          u"添加构建信息到笔记编辑器，错误信息：忙 busy"_s}},
    };
}

} // namespace

TEST_F(HandlerTest, EveryCallSendsItsTextAndLogsEachKindOfFailure)
{
    for (const CallCase &call : callCases()) {
        for (Reply reply : {Reply::Accepted, Reply::Refused, Reply::NotJson, Reply::Empty,
                            Reply::NotString, Reply::Failed}) {
            SCOPED_TRACE(std::string(call.name) + " reply " + std::to_string(int(reply)));
            FakeBrowser page;
            Handler fresh;
            fresh.SetIEWebBrowser(&page);
            page.replies.push_back(replyOf(reply));
            LogCapture log;

            const int result = call.run(fresh);

            ASSERT_EQ(page.calls.size(), 1u);
            EXPECT_EQ(page.calls[0].function, u"jsProcessor"_s);
            EXPECT_EQ(page.calls[0].args, (QVariantList{call.method, call.argText}));
            Lines expected;
            if (reply == Reply::Failed)
                expected = {call.lines[0]};
            else if (reply == Reply::Refused)
                expected = {call.lines[2]};
            else if (reply != Reply::Accepted)
                expected = {call.lines[1]};
            EXPECT_EQ(log.lines(), expected);
            if (result != -1)
                EXPECT_EQ(result, reply == Reply::Accepted ? 1 : 0);
            EXPECT_EQ(fresh.IsReadOnly(),
                      call.method == u"SetEditorMode" && reply == Reply::Accepted ? 1 : 0);
            EXPECT_EQ(fresh.editorMaxChars(),
                      call.method == u"SetEditorMaxChars" && reply == Reply::Accepted ? 10000
                                                                                       : 3000);
        }
    }
}

TEST_F(HandlerTest, ReadOnlyIsSentOnlyWhenItChangesFromWhatThePageAccepted)
{
    handler.SetReadOnly(0); // already writable
    EXPECT_TRUE(browser.calls.empty());

    browser.replies.push_back(replyOf(Reply::Refused));
    handler.SetReadOnly(7);
    handler.SetReadOnly(7); // the refusal left the mode as it was, so this is sent again
    handler.SetReadOnly(7); // accepted before: nothing to send
    ASSERT_EQ(browser.calls.size(), 2u);
    EXPECT_EQ(browser.calls[1].args.value(1), u"{\"readonly\":true }"_s);
    EXPECT_EQ(handler.IsReadOnly(), 1);

    handler.SetReadOnly(0);
    ASSERT_EQ(browser.calls.size(), 3u);
    EXPECT_EQ(browser.calls[2].args.value(1), u"{\"readonly\":false }"_s);
    EXPECT_EQ(handler.IsReadOnly(), 0);
}

TEST_F(HandlerTest, NewContentEmptiesTheTablesAndClearsThePageCacheAfterward)
{
    for (const QString &html : {u"<p>x</p>"_s, QString()}) {
        handler.InitAttachFileSize({{u"a.png"_s, 10}});
        handler.RecordAttachModifyTime(u"a.png"_s, u"a.png"_s, u"2024-01-01 00:00:00"_s);
        browser.calls.clear();
        browser.innerEvents.seen.clear();

        handler.SetEditorHtml(html);

        EXPECT_TRUE(handler.attachFileSizes().empty());
        EXPECT_TRUE(handler.GetAttachModifyCache().empty());
        ASSERT_EQ(browser.calls.size(), 1u);
        EXPECT_EQ(browser.calls[0].args, (QVariantList{u"SetEditorContent"_s, html}));
        // Posted, so it is delivered only once the event loop runs again.
        EXPECT_TRUE(browser.innerEvents.seen.empty());
        QCoreApplication::sendPostedEvents(&browser.inner);
        EXPECT_EQ(browser.innerEvents.seen, std::vector<QEvent::Type>{ClearEditorCacheEvent});
    }
}

TEST_F(HandlerTest, EmptyAttachmentKeyIsNotSent)
{
    LogCapture log;
    EXPECT_EQ(handler.SelectedAttach(QString()), 0);
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(log.lines(), Lines{});
}

TEST_F(HandlerTest, TableWithoutRowsOrCellsKeepsItsShape)
{
    StTableData table;
    table.colNum = 3;
    table.rowNum = 0;
    handler.InsertTable(table);
    table.rowNum = 2;
    table.rowList = {{}, {{u"<b>"_s, u"\u4e2d\"\\"_s, u""_s}}};
    handler.InsertTable(table);

    ASSERT_EQ(browser.calls.size(), 2u);
    EXPECT_EQ(browser.calls[0].args.value(1).toString(),
              u"{\n\t\"colNum\" : 3,\n\t\"rowNum\" : 0\n}\n"_s);
    // The writer escapes non-ASCII text; the page reads the same characters back.
    EXPECT_EQ(browser.calls[1].args.value(1).toString(),
              u"{\n\t\"colNum\" : 3,\n\t\"rowList\" : \n\t[\n\t\tnull,\n\t\t{\n"
              u"\t\t\t\"colList\" : \n\t\t\t[\n\t\t\t\t{\n\t\t\t\t\t\"style\" : \"<b>\",\n"
              u"\t\t\t\t\t\"value\" : \"\\u4e2d\\\"\\\\\",\n"
              u"\t\t\t\t\t\"width\" : \"\"\n\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n"
              u"\t\"rowNum\" : 2\n}\n"_s);
}

TEST_F(HandlerTest, ForwardedMessagesClearTheCacheOrCopyAndNothingElse)
{
    LogCapture log;
    browser.replies.push_back(std::nullopt);
    handler.WinMessageNotify(nullptr, 2258, 0, 0); // failed call: no line of the handler's own
    handler.WinMessageNotify(nullptr, 2258, 0, 0);
    handler.WinMessageNotify(nullptr, 8004, 0, 0);
    for (int other : {0, 8, 2224, 2257, 2259, 8003, 8005})
        handler.WinMessageNotify(nullptr, other, 1, 1);

    EXPECT_EQ(browser.methods(), (QStringList{u"ClearEditorCache"_s, u"ClearEditorCache"_s}));
    EXPECT_EQ(browser.calls[0].args.value(1), QString());
    EXPECT_EQ(log.lines(), Lines{});
}

// ---- page commands -------------------------------------------------------------------

TEST_F(HandlerTest, CommandsNeedIdOneAndExactlyThreeArguments)
{
    LogCapture log;
    QVariant result;
    EXPECT_EQ(handler.OnExecuteFun(2, {u""_s, u"{\"msg\":\"x\"}"_s, u"ZvMessageBox"_s}, result,
                                   QString()),
              -1);
    EXPECT_EQ(handler.OnExecuteFun(1, {u"{\"msg\":\"x\"}"_s, u"ZvMessageBox"_s}, result, {}),
              S_OK);
    EXPECT_EQ(handler.OnExecuteFun(1, {u""_s, u""_s, u"{\"msg\":\"x\"}"_s, u"ZvMessageBox"_s},
                                   result, {}),
              S_OK);
    EXPECT_EQ(handler.OnExecuteFun(1, {}, result, {}), S_OK);
    EXPECT_FALSE(result.isValid());
    EXPECT_EQ(log.lines(), Lines(3, u"[ERROR] js调用OnCppProcessor传递参数个数不正确！"_s));
}

TEST_F(HandlerTest, CommandsWithBadJsonLogTheirOwnLineAndDoNothing)
{
    RecordingPrompts prompts;
    const std::pair<QString, QString> cases[] = {
        {u"DbClickAttachment"_s, u"[ERROR] 解析DblClickAttachment方法，json参数字串失败！"_s},
        {u"OpenHyperLink"_s, u"[ERROR] 解析OpenHyperLink方法，json参数字串失败！"_s},
        {u"ZvMessageBox"_s, u"[ERROR] 解析ZvMessageBox方法，json参数字串失败！"_s},
        {u"OnRightClickAttach"_s, u"[ERROR] 解析OnRightClickAttach方法，json参数字串失败！"_s},
        {u"WriteEditorLog"_s, u"[ERROR] 解析WriteEditorLog方法，json参数字串失败！"_s},
        {u"SreenCapture"_s, u"[ERROR] 解析SreenCapture方法，json参数字串失败！"_s},
    };
    for (const auto &[name, line] : cases) {
        for (const QString &json : {u"{\"msg\":"_s, QString(), u"[1]"_s, u"\"text\""_s}) {
            SCOPED_TRACE(QString(name + u' ' + json).toStdString());
            LogCapture log;
            EXPECT_EQ(handler.command(name, json), S_OK);
            EXPECT_EQ(log.lines(), Lines{line});
        }
    }
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(HandlerTest, UnknownAndMisspelledCommandsAreIgnoredQuietly)
{
    RecordingPrompts prompts;
    LogCapture log;
    for (const QString &name : {u"zvmessagebox"_s, u"DblClickAttachment"_s, u"ScreenCapture"_s,
                                u"ZvMessageBox "_s, QString()})
        EXPECT_EQ(handler.command(name, u"{\"msg\":\"x\"}"_s), S_OK);
    // Adding attachments reads no JSON, so broken JSON is no error.
    EXPECT_EQ(handler.command(u"AddAttachment"_s, u"{broken"_s), S_OK);
    EXPECT_EQ(handler.command(u"OnRightClickAttach"_s,
                              u"{\"current_attach\":{\"class_value\":\"a\\\\b.png\"},"
                              u"\"range_html\":\"<img>\"}"_s),
              S_OK);
    EXPECT_EQ(handler.command(u"WriteEditorLog"_s, u"{\"type\":\"info\",\"msg\":\"hi\"}"_s), S_OK);
    EXPECT_EQ(log.lines(), Lines{});
    // Only the file dialog of "AddAttachment" (cancelled).
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().at(0).kind, RecordingPrompts::Shown::OpenFiles);
    EXPECT_TRUE(browser.calls.empty());
}

TEST_F(HandlerTest, DoubleClickOpensTheFilePartUnderItsOriginalName)
{
    handler.SetCurNoteGuid(u"n1"_s);
    const QString exdata = AttachMarkup::FormatOrigNameToJson(u"季度 \"报告\".docx"_s);
    handler.command(u"DbClickAttachment"_s,
                    u"{\"path\":\"userdata\\\\attachment\\\\n1\\\\ab.docx\"}"_s, exdata);
    handler.command(u"DbClickAttachment"_s, u"{\"path\":\"plain.txt\"}"_s, u"not json"_s);
    handler.command(u"DbClickAttachment"_s, u"{/* no path */}"_s, exdata);

    ASSERT_EQ(host.opened.size(), 3u);
    EXPECT_EQ(host.opened[0].noteId, u"n1"_s);
    EXPECT_EQ(host.opened[0].fileName, u"ab.docx"_s);
    EXPECT_EQ(host.opened[0].origName, u"季度 \"报告\".docx"_s);
    EXPECT_EQ(host.opened[1].fileName, u"plain.txt"_s);
    EXPECT_EQ(host.opened[1].origName, QString());
    EXPECT_EQ(host.opened[2].fileName, QString());
}

TEST_F(HandlerTest, MessageBoxShowsThePageTextAsGivenWithTheApplicationTitle)
{
    RecordingPrompts prompts;
    QGuiApplication::setApplicationDisplayName(u"笔记"_s);
    handler.command(u"ZvMessageBox"_s, u"{\"msg\":\"<b>\u4fdd\u5b58</b> \\\"q\\\" \\\\\"}"_s);
    handler.command(u"ZvMessageBox"_s, u"{}"_s);

    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].kind, RecordingPrompts::Shown::MessageBox);
    EXPECT_EQ(prompts.shown()[0].text, u"<b>保存</b> \"q\" \\"_s);
    EXPECT_EQ(prompts.shown()[0].title, u"笔记"_s);
    EXPECT_EQ(prompts.shown()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(prompts.shown()[1].text, QString());
}

TEST_F(HandlerTest, ScreenCaptureHidesAndRestoresTheMainWindowOnlyWhenAsked)
{
    QWidget mainWindow;
    browser.setParent(&mainWindow);
    browser.hide(); // a shown view would start the browser engine
    mainWindow.show();
    EventRecorder events(&mainWindow, {QEvent::Hide, QEvent::Show});

    handler.command(u"SreenCapture"_s, u"{}"_s);
    handler.command(u"SreenCapture"_s, u"{\"hideMainWnd\":false}"_s);
    EXPECT_TRUE(events.seen.empty());

    handler.command(u"SreenCapture"_s, u"{\"hideMainWnd\":true}"_s);
    EXPECT_EQ(events.seen, (std::vector<QEvent::Type>{QEvent::Hide, QEvent::Show}));
    EXPECT_TRUE(mainWindow.isVisible());
    browser.setParent(nullptr);
}

// ---- text operations -----------------------------------------------------------------

TEST(HandlerText, FormatGivesEachScriptValueItsText)
{
    const QDateTime when(QDate(2024, 2, 3), QTime(4, 5, 6));
    const std::pair<QVariant, QString> cases[] = {
        {QVariant(), u""_s},
        {QVariant::fromValue(nullptr), u""_s},
        {QVariant::fromValue(short(-3)), u"-3"_s},
        {QVariant::fromValue(ushort(65535)), u"65535"_s},
        {QVariant(-7), u"-7"_s},
        {QVariant(2147483647), u"2147483647"_s},
        {QVariant(4294967295u), u"-1"_s},
        {QVariant(qlonglong(0x100000005LL)), u"5"_s},
        {QVariant(qlonglong(-2)), u"-2"_s},
        {QVariant(qulonglong(0x180000000ULL)), u"-2147483648"_s},
        {QVariant(1.5f), u"1.5000"_s},
        {QVariant(1.5), u"1.50000000"_s},
        {QVariant(-0.000000004), u"-0.00000000"_s},
        {QVariant(when), u"2024-02-03 04:05:06"_s},
        {QVariant(QDateTime()), u"Invalid DateTime"_s},
        {QVariant(u"中 \"q\" \\"_s), u"中 \"q\" \\"_s},
        {QVariant(QString()), u""_s},
        {QVariant(false), u"FALSE"_s},
        {QVariant(true), u"TRUE"_s},
        {QVariant(QByteArray("\xe4\xb8\xad")), u"中"_s},
        {QVariant::fromValue<signed char>(5), u"UN_KNOW"_s},
        {QVariant::fromValue<uchar>(5), u"UN_KNOW"_s},
        {QVariant(QVariantList{1}), u"UN_KNOW"_s},
        {QVariant(QVariantMap{{u"a"_s, 1}}), u"UN_KNOW"_s},
        {QVariant(QChar(u'x')), u"UN_KNOW"_s},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(Handler::Format(value), text) << "for " << value.typeName();
}

TEST(HandlerText, FolderNameIsTheLastPieceWithTrailingSeparatorsIgnored)
{
    const std::pair<QString, QString> cases[] = {
        {u"C:\\notes\\photos"_s, u"photos"_s},   {u"C:\\notes\\photos\\\\"_s, u"photos"_s},
        {u"/home/u/\u76f8\u518c/"_s, u"相册"_s}, {u"/home/u/a b"_s, u"a b"_s},
        {u"photos"_s, u""_s},                    {u"photos\\"_s, u""_s},
        {u"\\"_s, u""_s},                        {QString(), u""_s},
    };
    for (const auto &[path, name] : cases)
        EXPECT_EQ(Handler::extract_foldername(path), name) << "for " << path.toStdString();
}

TEST(HandlerText, FolderTestAndCurrentTime)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"f.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(Handler::path_is_folder(dir.path()));
    EXPECT_TRUE(Handler::path_is_folder(dir.path() + u'/'));
    EXPECT_FALSE(Handler::path_is_folder(file.fileName()));
    EXPECT_FALSE(Handler::path_is_folder(dir.filePath(u"missing"_s)));
    EXPECT_FALSE(Handler::path_is_folder(QString()));

    EXPECT_TRUE(QRegularExpression(u"^\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}$"_s)
                    .match(Handler::FormatCurTime())
                    .hasMatch())
        << Handler::FormatCurTime().toStdString();
}

// ---- tables --------------------------------------------------------------------------

TEST_F(HandlerTest, SizeTableKeepsTheFirstSizeOfEachName)
{
    handler.InitAttachFileSize({{u"a.png"_s, 5}, {u"b.png"_s, 0}});
    handler.InitAttachFileSize({{u"a.png"_s, 9}, {u"A.png"_s, 7}, {u"c.png"_s, 1ULL << 40}});
    EXPECT_EQ(handler.attachFileSizes(),
              (std::map<QString, quint64>{
                  {u"A.png"_s, 7}, {u"a.png"_s, 5}, {u"b.png"_s, 0}, {u"c.png"_s, 1ULL << 40}}));
}

TEST_F(HandlerTest, ModifyTimesAreKeyedByStoreNameAndKeptNameJoined)
{
    handler.RecordAttachModifyTime(u"ab.png"_s, u"x.png"_s, u"2024-01-01 00:00:00"_s);
    handler.RecordAttachModifyTime(u"ab.png"_s, u"x.png"_s, u"2024-01-02 00:00:00"_s);
    handler.RecordAttachModifyTime(u"ab.pn"_s, u"gx.png"_s, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(handler.GetAttachModifyCache(),
              (std::map<QString, QString>{{u"ab.pngx.png"_s, u"2024-01-03 00:00:00"_s}}));

    std::vector<NewAttachFile> files(3);
    files[0].storeName = u"ab.png"_s;
    files[0].origName = u"x.png"_s;
    files[1].storeName = u"ab.pngx.png"_s; // same key, no original name
    files[2].storeName = u"ab.png"_s;      // no cached time
    files[2].modifyTime = u"old"_s;
    ZvWebNoteHandler::UpdateAttModifyTimeField(u"ignored"_s, files,
                                               handler.GetAttachModifyCache());
    EXPECT_EQ(files[0].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(files[1].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_TRUE(CurrentTimePattern.match(files[2].modifyTime).hasMatch())
        << files[2].modifyTime.toStdString();
}

TEST_F(HandlerTest, CopyHasItsOwnTables)
{
    handler.SetCurNoteGuid(u"n"_s);
    handler.InitAttachFileSize({{u"a"_s, 1}});
    browser.replies.push_back(replyOf(Reply::Accepted));
    handler.SetEditorMaxChars(10000);

    Handler copy(handler);
    copy.InitAttachFileSize({{u"b"_s, 2}});
    EXPECT_EQ(copy.GetCurNoteGuid(), u"n"_s);
    EXPECT_EQ(copy.editorMaxChars(), 10000);
    EXPECT_EQ(copy.OnGetFunId(u"CppProcessor"_s), 1);
    EXPECT_EQ(handler.attachFileSizes().size(), 1u);

    Handler assigned;
    assigned = copy;
    EXPECT_EQ(assigned.attachFileSizes().size(), 2u);
    EXPECT_EQ(assigned.GetCurNoteGuid(), u"n"_s);
}

// ---- browser hooks -------------------------------------------------------------------

TEST_F(HandlerTest, HooksKeepTheBrowserMenuAwayAndLeaveDragsToThePage)
{
    EXPECT_EQ(handler.ShowContextMenu(0, QPoint(1, 2), nullptr, nullptr), S_OK);
    EXPECT_EQ(handler.ShowMessage(nullptr, u"t"_s, u"c"_s, 0), E_NOTIMPL);

    Qt::DropActions effect = Qt::CopyAction;
    EXPECT_EQ(handler.OnDragEnter(nullptr, Qt::NoModifier, QPoint(), effect), E_NOTIMPL);
    EXPECT_EQ(effect, Qt::CopyAction);

    browser.SetIEDragNotify(&handler); // fills the page's own drop target
    EXPECT_EQ(handler.OnDragEnter(nullptr, Qt::NoModifier, QPoint(), effect), E_NOTIMPL);

    handler.SetReadOnly(1);
    EXPECT_EQ(handler.OnDragEnter(nullptr, Qt::NoModifier, QPoint(), effect), 1);
}
