// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"
#include "editorhost.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDragEnterEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;
using ::testing::IsSupersetOf;

namespace {

// The real handler, recording what reaches it and letting a test act during a page call.
class RecordingHandler : public ZvWebNoteHandler
{
public:
    std::vector<QVariantList> calls; // arguments as delivered (last script argument first)
    std::vector<int> keys;
    int menus = 0;
    std::vector<QStringList> drags;
    std::function<void()> duringCall;
    bool swallowQ = false;

    using ZvWebNoteHandler::HandleClearEditorCacheNotify;
    using ZvWebNoteHandler::OnGetFunId;

protected:
    long OnExecuteFun(int funId, const QVariantList &arguments, QVariant &result,
                      const QString &text) override
    {
        calls.push_back(arguments);
        if (duringCall)
            std::exchange(duringCall, nullptr)();
        return ZvWebNoteHandler::OnExecuteFun(funId, arguments, result, text);
    }
    long OnTranslateAccelerator(const QKeyEvent *message) override
    {
        if (message->type() == QEvent::KeyPress)
            keys.push_back(message->key());
        return swallowQ && message->key() == Qt::Key_Q ? S_OK : E_NOTIMPL;
    }
    long ShowContextMenu(int menuId, const QPoint &point, QObject *target,
                         QObject *element) override
    {
        ++menus;
        return ZvWebNoteHandler::ShowContextMenu(menuId, point, target, element);
    }
    long OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers, const QPoint &,
                     Qt::DropActions &effect) override
    {
        drags.push_back(data->formats());
        effect = Qt::LinkAction;
        return S_OK;
    }
};

constexpr auto HeldEvent = QEvent::Type(QEvent::User + 77);

struct EventRecorder : QObject
{
    QStringList seen;
    bool event(QEvent *event) override
    {
        if (event->type() != HeldEvent)
            return QObject::event(event);
        seen.push_back(u"event"_s);
        return true;
    }
};

// One page shared by every case: starting the browser is the slow part.
class BridgePage : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new QWidget;
        window->resize(640, 480);
        browser = new IEWebBrowser;
        handler = new RecordingHandler;
        host = new EditorHost;
        handler->SetIEWebBrowser(browser);
        handler->SetNotify(host);
        browser->SetJSCallFunNotify(handler);
        browser->SetIEDragNotify(handler);
        browser->SetIEUINotify(handler);
        ASSERT_EQ(browser->Create(window, QRect(0, 0, 640, 480), 7, IEWebBrowser::StyleVisible), 1);
        ASSERT_EQ(browser->Create(window, QRect(0, 0, 640, 480), 7, 0), 0);
        window->show();
        QSignalSpy loaded(browser, &IEWebBrowser::firstLoadFinished);
        ASSERT_EQ(browser->Navigate2(pagePath()), 1);
        ASSERT_TRUE(loaded.wait(60000));
        ASSERT_TRUE(QTest::qWaitFor([] { return !run(u"bridgeState"_s).isEmpty(); }, 20000));
    }
    static void TearDownTestSuite()
    {
        delete window;
        delete handler;
        delete host;
    }
    void SetUp() override
    {
        run(u"clearReplies"_s);
        handler->calls.clear();
    }

    static QString pagePath()
    {
        return qEnvironmentVariable("TAVRIK_TEST_DATA") + u"/bridgepage.html"_s;
    }
    // Runs a page function that must succeed and gives its text.
    static QString run(const QString &function, const QVariantList &args = {})
    {
        QVariant result;
        EXPECT_EQ(browser->ExecJSFun(function, args, result), 0) << function.toStdString();
        return result.toString();
    }
    // The page calls native code asynchronously: waits until `count` calls have arrived.
    static bool waitForCalls(std::size_t count)
    {
        return QTest::qWaitFor([count] { return handler->calls.size() >= count; }, 10000);
    }
    // Runs one page command from the page's own CppProcessor and waits for it to arrive.
    static void pageCommand(const QString &cmd, const QString &json, const QString &exdata = {})
    {
        const std::size_t before = handler->calls.size();
        run(u"sendCommand"_s, {cmd, json, exdata});
        ASSERT_TRUE(waitForCalls(before + 1)) << cmd.toStdString();
    }

    static inline QWidget *window = nullptr;
    static inline IEWebBrowser *browser = nullptr;
    static inline RecordingHandler *handler = nullptr;
    static inline EditorHost *host = nullptr;
};

// Text with everything that could break on the way: quotes, backslashes, markup, line
// separators, non-ASCII and a character outside the basic plane.
const QString Tricky
    = u"<p title=\"a'b\">中文 \"q\" back\\slash \\u0041 </script>\n\u2028\u2029 😀</p>"_s;

} // namespace

TEST_F(BridgePage, PublishesOneObjectTextsComeBackUnchangedAndEveryCommandActs)
{
    // deleteLater comes with every object; the channel refuses it for published objects.
    EXPECT_EQ(run(u"bridgeState"_s), u"call,deleteLater"_s);
    run(u"tryDeleteBridge"_s);
    pageCommand(u"WriteEditorLog"_s, u"{}"_s);
    EXPECT_NE(browser->GetWebBrowseHwnd(), nullptr);

    // Texts reach the page and come back unchanged.
    handler->SetEditorHtml(Tricky);
    QString html, text;
    EXPECT_EQ(handler->GetEditorContent(html, text), 1);
    EXPECT_EQ(html, Tricky);
    EXPECT_EQ(text, u"text:"_s + Tricky);

    const QJsonDocument received = QJsonDocument::fromJson(run(u"receivedJson"_s).toUtf8());
    EXPECT_EQ(received.toVariant().toList().value(0).toList(),
              (QVariantList{u"SetEditorContent"_s, Tricky}));

    // Texts put into JSON arguments arrive as they are, a backslash-n as a backslash and an n.
    handler->SelectedAttach(Tricky);
    handler->UpdateHtmlAttachAttr(u"a.png"_s, u"userdata\\attachment\\new.png"_s, Tricky);
    EXPECT_EQ(run(u"receivedMember"_s, {2, u"keyword"_s}), Tricky);
    EXPECT_EQ(run(u"receivedMember"_s, {3, u"ClassValue"_s}), u"userdata\\attachment\\new.png"_s);
    EXPECT_EQ(run(u"receivedMember"_s, {3, u"SrcValue"_s}), Tricky);

    // Every command arrives last argument first, and acts.
    RecordingPrompts prompts;
    handler->calls.clear();
    LogCapture log;

    const QString tricky = QString::fromUtf8(
        QJsonDocument(QJsonObject{{u"msg"_s, Tricky}}).toJson(QJsonDocument::Compact));
    const std::pair<QString, QString> commands[]
        = {{u"DbClickAttachment"_s, u"{\"path\":\"userdata\\\\attachment\\\\ab.docx\"}"_s},
           {u"AddAttachment"_s, u"not json"_s},
           {u"OpenHyperLink"_s, u"{\"url\":\"file:///etc/passwd\"}"_s},
           {u"ZvMessageBox"_s, tricky},
           {u"OnRightClickAttach"_s,
            u"{\"current_attach\":{\"class_value\":\"userdata\\\\attachment\\\\a.png\","
            u"\"exdata_value\":\"{}\"},\"range_html\":\"<img>\"}"_s},
           {u"WriteEditorLog"_s, u"{\"type\":\"info\",\"msg\":\"m\"}"_s},
           {u"SreenCapture"_s, u"{\"hideMainWnd\":true}"_s}};
    const QString exdata = ZvWebNoteHandler::FormatOrigNameToJson(u"季度 \"报告\"\\1.docx"_s);
    handler->SetCurNoteGuid(u"note1"_s);
    // The capture opens over the screen; the user leaves it at once.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [] {
        if (auto *capture = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            capture->reject();
    });
    user.start(20);
    for (const auto &[cmd, json] : commands)
        pageCommand(cmd, json, exdata);

    ASSERT_EQ(handler->calls.size(), std::size(commands));
    for (std::size_t i = 0; i < std::size(commands); ++i)
        EXPECT_EQ(handler->calls[i], (QVariantList{exdata, commands[i].second, commands[i].first}));
    EXPECT_EQ(host->opened, QStringList{u"note1|ab.docx|季度 \"报告\"\\1.docx"_s});
    EXPECT_EQ(
        prompts.messages(),
        (QStringList{u"No program on this computer could open the link “file:///etc/passwd”."_s,
                     Tricky}));
    EXPECT_TRUE(window->isVisible()) << "the capture shows the window again";
    EXPECT_EQ(
        log.lines(),
        (Lines{
            u"[ERROR] OpenLink refused \"file:///etc/passwd\": only http, https, mailto and ftp links are opened"_s}));
}

TEST_F(BridgePage, WrongCallsAreLoggedOrIgnoredFailuresFailCleanlyAndCallsMayNest)
{
    LogCapture log;
    run(u"sendRaw"_s, {u"CppProcessor"_s, QVariantList{u"ZvMessageBox"_s, u"{}"_s}});
    run(u"sendRaw"_s, {u"CppProcessor"_s, QVariantList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}});
    run(u"sendRaw"_s, {u"cppProcessor"_s, QVariantList{u"ZvMessageBox"_s, u"{}"_s, u""_s}});
    run(u"sendRaw"_s,
        {u"CppProcessor"_s,
         QVariantList{1, 1.5, 4294967296.0, true, QVariant::fromValue(nullptr), QVariantList{1},
                      QVariantMap{{u"a"_s, 1}}}});
    ASSERT_TRUE(waitForCalls(3));
    QTest::qWait(200); // the misspelled function must not arrive late either
    ASSERT_EQ(handler->calls.size(), 3u);

    const QVariantList &values = handler->calls[2];
    ASSERT_EQ(values.size(), 7);
    EXPECT_EQ(values[0].typeId(), QMetaType::QVariantMap);
    EXPECT_EQ(values[1].typeId(), QMetaType::QVariantList);
    EXPECT_TRUE(values[2].isNull());
    EXPECT_EQ(values[3], QVariant(true));
    EXPECT_EQ(values[4].typeId(), QMetaType::Double);
    EXPECT_EQ(values[4].toDouble(), 4294967296.0);
    EXPECT_EQ(values[5].typeId(), QMetaType::Double);
    EXPECT_EQ(values[6].typeId(), QMetaType::Int);
    EXPECT_EQ(log.lines(), Lines(3, u"[ERROR] js调用OnCppProcessor传递参数个数不正确！"_s));

    // The browser writes no line of its own: a failed page call fails its caller (whose lines the
    // handler tests name), and clearing the page's cache logs nothing.
    LogCapture failures;
    QVariant result = u"untouched"_s;
    EXPECT_NE(browser->ExecJSFun(u"jsProcessor"_s, {u"Throw"_s, u"中"_s}, result), 0);
    EXPECT_NE(browser->ExecJSFun(u"noSuchFunction"_s, {}, result), 0);
    EXPECT_NE(browser->ExecJSFun(u"alert(1);x"_s, {}, result), 0);
    EXPECT_EQ(result, QVariant(u"untouched"_s));
    run(u"setThrow"_s, {u"ClearEditorCache"_s});
    EXPECT_EQ(handler->HandleClearEditorCacheNotify(), 0);
    // A reply that is not a text is a bad reply.
    run(u"clearReplies"_s);
    run(u"setReply"_s, {u"SetEditorMaxChars"_s, QVariant::fromValue(nullptr)});
    handler->SetEditorMaxChars(10000);
    EXPECT_EQ(failures.lines(), Lines{u"设置笔记编辑器最大字符数，解析js返回json字符串失败！"_s});

    // The page may call native code during a call into the page.
    handler->calls.clear();
    RecordingPrompts prompts;
    bool insideOuterCall = false;
    int nestedResult = -1;
    QString nestedHtml, nestedText;
    // A message posted during the call for after it arrives once the outer call has returned,
    // not when the nested one does.
    EventRecorder receiver;
    handler->duringCall = [&] {
        browser->PostAfterScriptCalls(&receiver, HeldEvent);
        nestedResult = insideOuterCall ? handler->GetEditorContent(nestedHtml, nestedText) : -2;
        QCoreApplication::sendPostedEvents(&receiver);
    };
    run(u"setReply"_s, {u"GetEditorContent"_s, u"{\"result\":true,\"ehtml\":\"inner\"}"_s});

    insideOuterCall = true;
    QVariant nested;
    const int nestedRc
        = browser->ExecJSFun(u"jsProcessor"_s, {u"CallBack"_s, u"回调 \"x\""_s}, nested);
    insideOuterCall = false;
    receiver.seen.push_back(u"returned"_s);
    QCoreApplication::sendPostedEvents(&receiver);
    browser->PostAfterScriptCalls(&receiver, HeldEvent); // nothing waits: posted at once
    QCoreApplication::sendPostedEvents(&receiver);

    EXPECT_EQ(receiver.seen, (QStringList{u"returned"_s, u"event"_s, u"event"_s}));
    EXPECT_EQ(nestedRc, 0);
    EXPECT_EQ(nested, QVariant(u"{\"result\":true,\"errmsg\":\"called back\"}"_s));
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_EQ(nestedResult, 1);
    EXPECT_EQ(nestedHtml, u"inner"_s);
    EXPECT_EQ(prompts.messages(), QStringList{u"回调 \"x\""_s});
}

TEST_F(BridgePage, PageCannotNavigateOrReachTheNetworkButBoxesMenusKeysAndDragsReachTheHandler)
{
    LogCapture log;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString remote = u"http://127.0.0.1:%1/x.png"_s.arg(server.serverPort());
    const QString pageUrl = run(u"pageUrl"_s);

    EXPECT_EQ(run(u"tryOpenWindow"_s, {u"file:///etc/hosts"_s}), u"true"_s);
    run(u"tryLoadImage"_s, {remote});
    run(u"tryLoadImage"_s, {u"file:///etc/hosts"_s});
    run(u"tryNavigate"_s, {remote});
    QTest::qWait(1000);

    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_EQ(run(u"pageUrl"_s), pageUrl);
    EXPECT_EQ(browser->Navigate2(pagePath()), 0);
    EXPECT_THAT(log.lines(),
                IsSupersetOf(Lines{u"[ERROR] 编辑器页面不允许加载：file:///etc/hosts"_s,
                                   u"[ERROR] 编辑器页面不允许跳转："_s + remote}));

    // Message boxes, menus, keys and drags reach the handler.
    RecordingPrompts prompts;
    prompts.answerButton(QMessageBox::Ok);
    prompts.answerButton(QMessageBox::Cancel);
    EXPECT_EQ(run(u"tryAlert"_s, {u"<b>中</b>"_s}), u"shown"_s);
    EXPECT_EQ(run(u"tryConfirm"_s, {u"sure?"_s}), u"false"_s);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, u"<b>中</b>"_s);
    EXPECT_EQ(prompts.shown()[1].buttons, QMessageBox::Ok | QMessageBox::Cancel);

    QWidget *inner = browser->GetWebBrowseHwnd();
    ASSERT_NE(inner, nullptr);
    QTest::mouseClick(inner, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(QTest::qWaitFor([] { return handler->menus == 1; }, 5000));
    run(u"focusInput"_s);
    handler->swallowQ = true;
    QTest::keyClicks(inner, u"aQb"_s);
    handler->swallowQ = false;
    EXPECT_TRUE(QTest::qWaitFor([] { return run(u"inputValue"_s) == u"ab"_s; }, 5000))
        << run(u"inputValue"_s).toStdString();
    EXPECT_EQ(handler->keys, (std::vector<int>{Qt::Key_A, Qt::Key_Q, Qt::Key_B}));

    QMimeData data;
    data.setText(u"t"_s);
    QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(inner, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::LinkAction);
    ASSERT_EQ(handler->drags.size(), 1u);
    EXPECT_TRUE(handler->drags[0].contains(u"text/plain"_s));
}

TEST(BrowserLifetime, CallsWithoutAPageOrWhoseViewGoesAwayFail)
{
    LogCapture log;
    QVariant result;
    {
        IEWebBrowser unborn;
        EXPECT_NE(unborn.ExecJSFun(u"jsProcessor"_s, {u"a"_s, u"b"_s}, result), 0);
        EXPECT_EQ(unborn.GetWebBrowseHwnd(), nullptr);
        EXPECT_EQ(unborn.Navigate2(u"/tmp/x.html"_s), 0);
    }
    auto *doomed = new IEWebBrowser;
    doomed->Create(nullptr, QRect(0, 0, 200, 200), 1, IEWebBrowser::StyleVisible);
    QSignalSpy loaded(doomed, &IEWebBrowser::firstLoadFinished);
    doomed->Navigate2(qEnvironmentVariable("TAVRIK_TEST_DATA") + u"/bridgepage.html"_s);
    ASSERT_TRUE(loaded.wait(60000));

    QTimer::singleShot(300, [doomed] { delete doomed; });
    EXPECT_NE(doomed->ExecJSFun(u"jsProcessor"_s, {u"Slow"_s, u"3000"_s}, result), 0);

    EXPECT_EQ(log.lines(), Lines{}) << "the callers write the lines";
}
