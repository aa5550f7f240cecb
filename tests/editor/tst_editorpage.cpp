// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The editor page in a real browser view: every jsProcessor method with its replies, the
// attachment markup, tables, read-only mode, the character limit, the sanitiser and the
// commands the page sends to native code through a recording "tavrikBridge" object.
#include "testhelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <vector>

namespace {

using namespace Qt::StringLiterals;

// Stands in for the browser host's bridge object: records every call the page makes.
class RecordingBridge : public QObject
{
    Q_OBJECT
public:
    struct Call
    {
        QString function;
        QVariantList arguments;
    };
    std::vector<Call> calls;

    Q_INVOKABLE void call(const QString &functionName, const QVariantList &arguments)
    {
        calls.push_back({functionName, arguments});
        emit called();
    }

signals:
    void called();
};

class ConsolePage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int line, const QString &source) override
    {
        if (level == ErrorMessageLevel)
            qWarning("page: %s (%s:%d)", qPrintable(message), qPrintable(source), line);
    }
};

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString b64(const QString &name)
{
    return QString::fromLatin1(name.toUtf8().toBase64());
}

// zv_exdata text of an original name, as native code writes it.
QString exdata(const QString &name)
{
    return u"{\"OrigName_B64\":\""_s + b64(name) + u"\"}"_s;
}

// The same text as it appears in serialised HTML.
QString exdataInHtml(const QString &name)
{
    return u"{&quot;OrigName_B64&quot;:&quot;"_s + b64(name) + u"&quot;}"_s;
}

QString attachmentHtml(const QString &store, const QString &shown, const QString &name)
{
    const QString src = u"../userdata\\attachment\\"_s + shown;
    return u"<img src=\""_s + src + u"\" class=\"userdata\\attachment\\"_s + store
        + u"\" zv_exdata=\""_s + exdataInHtml(name) + u"\" data-ke-src=\""_s + src
        + u"\" zvimgsrc=\""_s + src + u"\">"_s;
}

class EditorPage : public ::testing::Test
{
protected:
    void SetUp() override { open(true); }

    void open(bool withChannel)
    {
        m_view = std::make_unique<QWebEngineView>();
        m_view->setPage(new ConsolePage(m_view.get()));
        if (withChannel) {
            auto *channel = new QWebChannel(m_view.get());
            channel->registerObject(u"tavrikBridge"_s, &m_bridge);
            m_view->page()->setWebChannel(channel);
        }
        m_view->resize(960, 640);
        m_view->show();
        QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
        m_pageUrl = QUrl::fromLocalFile(qEnvironmentVariable("TAVRIK_PAGE_DIR")
                                        + u"/zveditor/index.html"_s);
        m_view->load(m_pageUrl);
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(loaded.first().first().toBool()) << "the page did not load";
        ASSERT_TRUE(waitUntil(u"window.Tavrik && Tavrik.ready === true"_s))
            << "the page did not start";
    }

    QVariant js(const QString &script) { return runScript(m_view->page(), script); }
    bool waitUntil(const QString &condition) { return waitForScript(m_view->page(), condition); }

    QString rawCall(const QString &method, const QString &arg)
    {
        return js(u"jsProcessor("_s + jsString(method) + u", "_s + jsString(arg) + u")"_s)
            .toString();
    }

    QJsonObject call(const QString &method, const QString &arg = QString())
    {
        return QJsonDocument::fromJson(rawCall(method, arg).toUtf8()).object();
    }

    QString html() { return call(u"GetEditorContent"_s, u"{}"_s).value(u"ehtml"_s).toString(); }
    QString frameJs(const QString &expr)
    {
        return js(u"(function(d){return "_s + expr + u";})(Tavrik.editor.document())"_s).toString();
    }

    bool waitForCalls(size_t count)
    {
        return QTest::qWaitFor([&] { return m_bridge.calls.size() >= count; }, 10000);
    }

    // Sends a marker command and waits for it: every call the page made before is recorded by then.
    void flushCalls()
    {
        const size_t before = m_bridge.calls.size();
        js(u"CppProcessor('Marker', '{}', '')"_s);
        ASSERT_TRUE(waitForCalls(before + 1));
        ASSERT_EQ(m_bridge.calls.back().function, u"CppProcessor"_s);
        ASSERT_EQ(m_bridge.calls.back().arguments.value(0).toString(), u"Marker"_s);
        m_bridge.calls.pop_back();
    }

    void putCaretAtEnd()
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           u"const r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
           u"const s=d.getSelection();s.removeAllRanges();s.addRange(r);})()"_s);
    }

    // Selects from `start` to `end` in the node the expression gives (`d` is the frame's document).
    void select(const QString &node, int start, int end)
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();const n=%1;"
           u"const r=d.createRange();r.setStart(n,%2);r.setEnd(n,%3);"
           u"d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(node)
               .arg(start)
               .arg(end));
    }

    // Pastes `data` of `type` (and `plain` as text/plain when given) at the caret.
    void paste(const QString &type, const QString &data, const QString &plain = QString())
    {
        js(u"(function(){const dt=new "
           u"DataTransfer();dt.setData(%1,%2);if(%3)dt.setData('text/plain',%3);"
           u"Tavrik.editor.document().body.dispatchEvent(new ClipboardEvent('paste',"
           u"{clipboardData:dt,bubbles:true,cancelable:true}));})()"_s.arg(
               jsString(type), jsString(data), jsString(plain)));
    }

    // Sends a mouse event of `type` (with the `extra` properties) to the element.
    void mouse(const QString &selector, const QString &type, const QString &extra = QString())
    {
        js(u"(function(){const t=Tavrik.editor.document().querySelector(%1);"
           u"const r=t.getBoundingClientRect();t.dispatchEvent(new MouseEvent('%2',"
           u"{bubbles:true,cancelable:true,clientX:r.x+2,clientY:r.y+2%3}));})()"_s.arg(
               jsString(selector), type, extra));
    }

    QStringList lastCall()
    {
        QStringList out;
        if (m_bridge.calls.empty())
            return out;
        out << m_bridge.calls.back().function;
        for (const QVariant &arg : m_bridge.calls.back().arguments)
            out << arg.toString();
        return out;
    }

    RecordingBridge m_bridge;
    std::unique_ptr<QWebEngineView> m_view;
    QUrl m_pageUrl;
};

const QString kJsonReplyOk = u"{\"result\":true,\"errmsg\":\"\"}"_s;

TEST_F(EditorPage, EveryMethodAnswersWithItsReplyKeys)
{
    const auto fails = [](const char *message) -> QString {
        return u"{\"result\":false,\"errmsg\":\""_s + QString::fromUtf8(message) + u"\"}"_s;
    };
    const QString notJson = fails("bad argument: not JSON");
    const QString size
        = fails(R"(bad argument: \"size\" must be a whole number from 1 to 2147483647)");
    const QString colNum = fails(R"(bad argument: \"colNum\" must be a whole number from 1 to 64)");
    const struct
    {
        const char *method;
        const char *arg;
        QString reply;
    } cases[] = {
        {"SetEditorMode", R"({"readonly":true })", kJsonReplyOk},
        {"SetEditorMode", R"({"readonly":false })", kJsonReplyOk},
        {"SetEditorMode", R"({"readonly":1})",
         fails(R"(bad argument: \"readonly\" must be true or false)")},
        {"SetEditorMode", R"({"readonly":)", notJson},
        {"SetEditorMaxChars", R"({"size":10000 })", kJsonReplyOk},
        {"SetEditorMaxChars", R"({"size":1})", kJsonReplyOk},
        {"SetEditorMaxChars", R"({"size":0})", size},
        {"SetEditorMaxChars", R"({"size":2.5})", size},
        {"SetEditorMaxChars", "[10]", fails("bad argument: not a JSON object")},
        {"SetEditorContent", "<p>x</p>", kJsonReplyOk},
        {"GetEditorContent", "{}", uR"({"result":true,"errmsg":"","ehtml":"","etext":""})"_s},
        {"SelectedAttach", R"({"keyword":""})",
         fails(R"(bad argument: \"keyword\" must be a non-empty text)")},
        {"SelectedAttach", R"({"keyword":"a.png"})", fails(R"(no attachment matches \"a.png\")")},
        {"ModifyAttachAtrr", R"({"zv_exdata":"x","ClassValue":"a","SrcValue":"b"})",
         fails(R"(bad argument: \"zv_exdata\" must be an object with \"OrigName_B64\")")},
        {"ModifyAttachAtrr", R"({"zv_exdata":{"OrigName_B64":""},"SrcValue":"b"})",
         fails(R"(bad argument: \"ClassValue\" must be a non-empty text)")},
        {"ModifyAttachAtrr",
         R"({"zv_exdata":{"OrigName_B64":"YQ=="},"ClassValue":"a","SrcValue":"b"})",
         fails("no attachment carries this original name")},
        {"ClearEditorCache", "", kJsonReplyOk},
        {"InsertTable", R"({"colNum":0,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":65,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":64,"rowNum":1001})",
         fails(R"(bad argument: \"rowNum\" must be a whole number from 1 to 1000)")},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[null,null]})",
         fails(R"(bad argument: \"rowList\" must be a list of at most rowNum rows)")},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[{"colList":[{},{}]}]})",
         fails(R"(bad argument: \"colList\" must be a list of at most colNum cells)")},
        {"AddPicToEditor", R"({"picpath":"","strData":"s","exdata":"","type":"png"})",
         fails(R"(bad argument: \"picpath\" must be a non-empty text)")},
        {"AddPicToEditor",
         R"x({"picpath":"javascript:CppProcessor('x','','')","strData":"s","exdata":"","type":"png"})x",
         fails(R"(bad argument: \"picpath\" is not an image path)")},
        {"AddPicToEditor", "nonsense", notJson},
        {"NoSuchMethod", "{}", fails("unknown method: NoSuchMethod")},
        {"getEditorContent", "{}", fails("unknown method: getEditorContent")},
        {"toString", "{}", fails("unknown method: toString")},
    };
    for (const auto &c : cases) {
        call(u"SetEditorContent"_s, QString());
        EXPECT_EQ(rawCall(QString::fromUtf8(c.method), QString::fromUtf8(c.arg)), c.reply)
            << c.method << " " << c.arg;
    }
    // jsProcessor takes whatever script values it gets and still answers.
    EXPECT_EQ(js(u"jsProcessor(undefined, null)"_s).toString(),
              u"{\"result\":false,\"errmsg\":\"unknown method: undefined\"}"_s);
    EXPECT_EQ(js(u"jsProcessor('SetEditorMode')"_s).toString(),
              u"{\"result\":false,\"errmsg\":\"bad argument: not JSON\"}"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty()) << "bad arguments are refused quietly";
}

TEST_F(EditorPage, ContentRoundTripKeepsNoteMarkupExactly)
{
    const QString note
        = u"<h1>Reisebericht – 旅行笔记</h1><p>Erster Tag, <b>fett</b> und <i>kursiv</i>, "
          "<span style=\"color: rgb(217, 48, 37);\">rot</span>.</p><p>"_s
        + attachmentHtml(u"0cc175b9c0f1b6a831c399e269772661.png"_s,
                         u"0cc175b9c0f1b6a831c399e269772661.png"_s, u"海边 照片.png"_s)
        + u"</p><p>"_s
        + attachmentHtml(u"92eb5ffee6ae2fec3ad71c777531578f.docx"_s,
                         u"4a8a08f09d37b73795649038408b5f33.bmp"_s, u"Bericht (final).docx"_s)
        + u"</p><ul><li>eins</li><li>zwei</li></ul><table border=\"1\"><tbody><tr><td "
          u"width=\"50%\">a</td>"
          "<td>b</td></tr></tbody></table><p><a href=\"https://example.com/?a=1&amp;b=2\">Link</a></p>"_s;
    EXPECT_EQ(rawCall(u"SetEditorContent"_s, note), kJsonReplyOk);
    const QJsonObject content = call(u"GetEditorContent"_s, u"{}"_s);
    EXPECT_EQ(content.value(u"result"_s), QJsonValue(true));
    EXPECT_EQ(content.value(u"ehtml"_s).toString(), note);
    const QString text = content.value(u"etext"_s).toString();
    EXPECT_TRUE(text.startsWith(u"Reisebericht – 旅行笔记\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Erster Tag, fett und kursiv, rot."_s)) << text.toStdString();

    // The picture path resolves against the page folder, backslashes and all.
    EXPECT_TRUE(frameJs(u"d.images[0].src"_s)
                    .endsWith(u"/userdata/attachment/0cc175b9c0f1b6a831c399e269772661.png"_s));

    // A note of nothing but line breaks is empty.
    call(u"SetEditorContent"_s, u"<p><br></p><div> &nbsp;</div>"_s);
    EXPECT_EQ(rawCall(u"GetEditorContent"_s, u"{}"_s),
              u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":\"\",\"etext\":\"\"}"_s);

    // A whole document is reduced to its body; the count shows the text length.
    call(u"SetEditorContent"_s,
         u"<html><head><title>t</title></head><body><p>ab𝄞c</p></body></html>"_s);
    EXPECT_EQ(html(), u"<p>ab𝄞c</p>"_s);
    EXPECT_EQ(js(u"document.getElementById('status-count').textContent"_s).toString(),
              u"4 / 10000"_s);
}

TEST_F(EditorPage, AddPicToEditorInsertsPictureAndFileCardMarkup)
{
    // As native code writes it: indented JSON, doubled backslashes.
    const QString picture = u"{\n   \"exdata\" : \"{\\\"OrigName_B64\\\":\\\""_s
        + b64(u"Урлауб.JPG"_s)
        + u"\\\"}\",\n   \"picpath\" : "
          u"\"../userdata\\\\attachment\\\\d41d8cd98f00b204e9800998ecf8427e.JPG\",\n"
          "   \"strData\" : \"userdata\\\\attachment\\\\d41d8cd98f00b204e9800998ecf8427e.JPG\",\n"
          "   \"type\" : \"JPG\"\n}\n"_s;
    const QString card = u"{\n   \"exdata\" : \"{\\\"OrigName_B64\\\":\\\""_s
        + b64(u"Plan 2026.xlsx"_s)
        + u"\\\"}\",\n   \"picpath\" : "
          u"\"../userdata\\\\attachment\\\\c4ca4238a0b923820dcc509a6f75849b.bmp\",\n"
          "   \"strData\" : \"userdata\\\\attachment\\\\e4da3b7fbbce2345d7772b0674a318d5.xlsx\",\n"
          "   \"type\" : \"xlsx\"\n}\n"_s;
    call(u"SetEditorContent"_s, u"<p>Vorher</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, picture), kJsonReplyOk);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, card), kJsonReplyOk);
    EXPECT_EQ(html(),
              u"<p>Vorher"_s
                  + attachmentHtml(u"d41d8cd98f00b204e9800998ecf8427e.JPG"_s,
                                   u"d41d8cd98f00b204e9800998ecf8427e.JPG"_s, u"Урлауб.JPG"_s)
                  + attachmentHtml(u"e4da3b7fbbce2345d7772b0674a318d5.xlsx"_s,
                                   u"c4ca4238a0b923820dcc509a6f75849b.bmp"_s, u"Plan 2026.xlsx"_s)
                  + u"</p>"_s);

    // Read-only notes take no attachments.
    call(u"SetEditorMode"_s, u"{\"readonly\":true }"_s);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, picture),
              u"{\"result\":false,\"errmsg\":\"the editor is read-only\"}"_s);
}

TEST_F(EditorPage, ModifyAttachAtrrRepointsEveryElementWithTheOriginalName)
{
    const QString a = attachmentHtml(u"old.docx"_s, u"oldthumb.bmp"_s, u"Bericht.docx"_s);
    const QString b = attachmentHtml(u"other.png"_s, u"other.png"_s, u"Bild.png"_s);
    call(u"SetEditorContent"_s, u"<p>"_s + a + b + a + u"</p>"_s);
    const QString arg = u"{\"zv_exdata\":"_s + exdata(u"Bericht.docx"_s)
        + u",\"ClassValue\":\"userdata\\\\attachment\\\\new.docx\",\"SrcValue\":\"../userdata\\\\attachment\\\\newthumb.bmp\"}"_s;
    EXPECT_EQ(rawCall(u"ModifyAttachAtrr"_s, arg), kJsonReplyOk);
    const QString changed = u"<img src=\"../userdata\\attachment\\newthumb.bmp\" "
                            u"class=\"userdata\\attachment\\new.docx\" "
                            "zv_exdata=\""_s
        + exdataInHtml(u"Bericht.docx"_s)
        + u"\" data-ke-src=\"../userdata\\attachment\\newthumb.bmp\" zvimgsrc=\"../userdata\\attachment\\newthumb.bmp\">"_s;
    EXPECT_EQ(html(), u"<p>"_s + changed + b + changed + u"</p>"_s);
}

TEST_F(EditorPage, SelectedAttachSelectsByStoreNameClassOrOriginalName)
{
    call(u"SetEditorContent"_s,
         u"<p>x"_s + attachmentHtml(u"aaa.png"_s, u"aaa.png"_s, u"Erstes.png"_s) + u"y"_s
             + attachmentHtml(u"bbb.pdf"_s, u"bbbthumb.bmp"_s, u"Zweites Dokument.pdf"_s)
             + u"</p>"_s);
    const QString selected
        = u"Tavrik.editor.document().getSelection().getRangeAt(0).cloneContents().firstChild.getAttribute('class')"_s;
    for (const QString &key :
         {u"bbb.pdf"_s, u"userdata\\\\attachment\\\\bbb.pdf"_s, u"Zweites Dokument.pdf"_s}) {
        call(u"SetEditorContent"_s, html());
        EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\""_s + key + u"\"}"_s), kJsonReplyOk)
            << key.toStdString();
        EXPECT_EQ(js(selected).toString(), u"userdata\\attachment\\bbb.pdf"_s) << key.toStdString();
    }
    EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\"bbb\"}"_s),
              u"{\"result\":false,\"errmsg\":\"no attachment matches \\\"bbb\\\"\"}"_s);
}

TEST_F(EditorPage, InsertTableBuildsTheExactTable)
{
    call(u"SetEditorContent"_s, u"<p>Davor</p><p><br></p>"_s);
    select(u"d.body.lastChild"_s, 0, 0);
    const QString table
        = u"{\n   \"colNum\" : 2,\n   \"rowList\" : [\n      {\n         \"colList\" : [\n"
          "            { \"style\" : \"font-weight: bold;\", \"value\" : \"Name\", \"width\" : "
          "\"120\" },\n"
          "            { \"style\" : \"\", \"value\" : \"Wert <b>fett</b><img src=x "
          "onerror=alert(1)>\", \"width\" : \"\" }\n"
          "         ]\n      },\n      null\n   ],\n   \"rowNum\" : 3\n}\n"_s;
    EXPECT_EQ(rawCall(u"InsertTable"_s, table), kJsonReplyOk);
    const QString head
        = u"<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\" style=\"border-collapse: collapse; width: 100%;\"><tbody>"_s;
    EXPECT_EQ(
        html(),
        u"<p>Davor</p>"_s + head
            + u"<tr><td width=\"120\" style=\"font-weight: bold;\">Name</td><td>Wert "
              u"<b>fett</b><img src=\"x\"></td></tr>"
              "<tr><td><br></td><td><br></td></tr><tr><td><br></td><td><br></td></tr></tbody></table><p><br></p>"_s);

    // Without rows: an empty grid of the given size, after the paragraph holding the caret.
    call(u"SetEditorContent"_s, u"<p>Text</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s), kJsonReplyOk);
    EXPECT_EQ(html(),
              u"<p>Text</p>"_s + head + u"<tr><td><br></td></tr></tbody></table><p><br></p>"_s);

    // Tab moves to the next cell and selects it, so typing replaces it.
    call(u"SetEditorContent"_s, u"<table><tbody><tr><td>a</td><td>b</td></tr></tbody></table>"_s);
    select(u"d.querySelector('td').firstChild"_s, 1, 1);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Tab);
    QTest::keyClicks(m_view->focusProxy(), u"x"_s);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === 'ax'"_s))
        << html().toStdString();
    EXPECT_EQ(html(), u"<table><tbody><tr><td>a</td><td>x</td></tr></tbody></table>"_s);

    call(u"SetEditorMode"_s, u"{\"readonly\":true}"_s);
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s),
              u"{\"result\":false,\"errmsg\":\"the editor is read-only\"}"_s);
}

TEST_F(EditorPage, ReadOnlyModeStopsEditingAndDisablesTheToolbar)
{
    call(u"SetEditorContent"_s, u"<p>abc</p>"_s);
    const QString enabledTools
        = u"Array.from(document.querySelectorAll('#toolbar button.tool')).filter(b => !b.disabled).length"_s;
    ASSERT_GT(js(enabledTools).toInt(), 20);

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":true }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);
    EXPECT_EQ(js(enabledTools).toInt(), 0);
    EXPECT_EQ(js(u"document.getElementById('status-mode').textContent"_s).toString(),
              u"Read-only"_s);
    putCaretAtEnd();
    QTest::keyClicks(m_view->focusProxy(), u"xyz"_s);
    EXPECT_FALSE(js(u"Tavrik.editor.exec('bold')"_s).toBool());

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":false }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"true"_s);
    EXPECT_EQ(js(u"document.getElementById('status-mode').textContent"_s).toString(), u"Editing"_s);
    EXPECT_GT(js(enabledTools).toInt(), 20);
    putCaretAtEnd();
    QTest::keyClicks(m_view->focusProxy(), u"d"_s);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === 'abcd'"_s))
        << html().toStdString();
    // The clear of the editing state keeps the mode.
    call(u"SetEditorMode"_s, u"{\"readonly\":true}"_s);
    call(u"ClearEditorCache"_s);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);
}

TEST_F(EditorPage, CharacterLimitRefusesTypingAndCutsPastes)
{
    call(u"SetEditorMaxChars"_s, u"{\"size\":5 }"_s);
    call(u"SetEditorContent"_s, u"<p>abcd</p>"_s);
    const QString count = u"document.getElementById('status-count').textContent"_s;
    EXPECT_EQ(js(count).toString(), u"4 / 5"_s);
    putCaretAtEnd();
    // x reaches the limit exactly, y is one past it and refused; the backspace then makes room for
    // z.
    QTest::keyClicks(m_view->focusProxy(), u"xy"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Backspace);
    QTest::keyClicks(m_view->focusProxy(), u"z"_s);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === 'abcdz'"_s))
        << html().toStdString();
    EXPECT_EQ(js(count).toString(), u"5 / 5"_s);

    // A paste is cut to the room left, plain text and HTML alike.
    call(u"SetEditorMaxChars"_s, u"{\"size\":10}"_s);
    call(u"SetEditorContent"_s, u"<p>abcdefgh</p>"_s);
    putCaretAtEnd();
    paste(u"text/plain"_s, u"12345"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefgh12"_s);
    EXPECT_EQ(js(count).toString(), u"10 / 10"_s);
    EXPECT_EQ(js(u"document.getElementById('status-message').textContent"_s).toString(),
              u"Character limit reached: the rest was not inserted"_s);

    call(u"SetEditorContent"_s, u"<p>abcdefg</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s, u"<b>123</b><i>45</i>"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefg123"_s);
    paste(u"text/plain"_s, u"6"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefg123"_s) << "one past the limit";

    // Content from native code is never cut; the count shows it is over.
    call(u"SetEditorContent"_s, u"<p>abcdefghijkl</p>"_s);
    EXPECT_EQ(js(count).toString(), u"12 / 10"_s);
    EXPECT_TRUE(
        js(u"document.getElementById('status-count').classList.contains('over')"_s).toBool());
}

TEST_F(EditorPage, PastedAndDroppedContentKeepsAttachmentsAndNeverNavigates)
{
    const QString att = attachmentHtml(u"aaa.png"_s, u"aaa.png"_s, u"Bild 1.png"_s);
    call(u"SetEditorContent"_s, u"<p>Anfang</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s,
          u"<meta charset=utf-8><span>Mitte </span>"_s + att
              + u"<script>CppProcessor('XSS','','')</script>"_s,
          u"x"_s);
    EXPECT_EQ(html(), QString(u"<p>AnfangMitte "_s + att + u"</p>"_s));

    // A drop of HTML lands where it is dropped; a drop of files alone is left to native code.
    call(u"SetEditorContent"_s, u"<p>Ende</p>"_s);
    const QString drop = u"(function(type,data){const d=Tavrik.editor.document();const "
                         u"r=d.querySelector('p').getBoundingClientRect();"
                         "const dt=new DataTransfer();if(type)dt.setData(type,data);else "
                         "dt.items.add(new File(['x'],'a.txt'));"
                         "return d.body.dispatchEvent(new "
                         "DragEvent('drop',{dataTransfer:dt,bubbles:true,cancelable:true,"
                         "clientX:r.x+1,clientY:r.y+r.height/2}));})"_s;
    EXPECT_FALSE(
        js(drop + u"('text/html', "_s + jsString(att + u"<img src=x onerror=alert(1)>"_s) + u")"_s)
            .toBool());
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_FALSE(js(drop + u"('', '')"_s).toBool()) << "the browser must not open a dropped file";
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_EQ(m_view->url(), m_pageUrl);
}

struct XssCase
{
    const char *payload;
    const char *clean;
};

TEST_F(EditorPage, HostileContentIsNeutralisedAndNeverReachesTheBridge)
{
    const XssCase cases[] = {
        {"<img src=\"x\" onerror=\"CppProcessor('XSS','{}','')\">", "<img src=\"x\">"},
        {"<svg onload=\"CppProcessor('XSS','{}','')\"><circle r=\"4\"></circle></svg>", ""},
        {"<embed src=\"javascript:CppProcessor('XSS','{}','')\">", ""},
        {"<iframe src=\"javascript:parent.CppProcessor('XSS','{}','')\"></iframe>", ""},
        {"<object data=\"javascript:CppProcessor('XSS','{}','')\"><p>fallback</p></object>",
         "<p>fallback</p>"},
        {"<a href=\"JaVaScRiPt:CppProcessor('XSS','{}','')\">a</a>", "<a>a</a>"},
        {"<a href=\"java\tscript:CppProcessor('XSS','{}','')\">a</a>", "<a>a</a>"},
        {"<a href=\"&#106;avascript:CppProcessor('XSS','{}','')\">a</a>", "<a>a</a>"},
        {"<a href=\" &#x6A;ava&#x0A;script&colon;CppProcessor('XSS','{}','')\">a</a>", "<a>a</a>"},
        {"<a href=\"vbscript:msgbox(1)\">a</a>", "<a>a</a>"},
        {"<a "
         "href=\"data:text/html,&lt;script&gt;parent.CppProcessor('XSS','{}','')&lt;/"
         "script&gt;\">a</a>",
         "<a>a</a>"},
        {"<img src=\"data:image/svg+xml;base64,PHN2ZyBvbmxvYWQ9YWxlcnQoMSk+\">", "<img>"},
        {"<meta http-equiv=\"refresh\" "
         "content=\"0;url=javascript:CppProcessor('XSS','{}','')\"><p>t</p>",
         "<p>t</p>"},
        {"<base href=\"javascript:/\"><p>t</p>", "<p>t</p>"},
        {"<form action=\"javascript:CppProcessor('XSS','{}','')\"><button>go</button></form>",
         "go"},
        {"<p onclick=\"CppProcessor('XSS','{}','')\" "
         "onmouseover=\"CppProcessor('XSS','{}','')\">t</p>",
         "<p>t</p>"},
        {"<script>CppProcessor('XSS','{}','')</script><p>t</p>", "<p>t</p>"},
        {"<style>@import 'javascript:x';</style><p>t</p>", "<p>t</p>"},
        {"<math><mtext><table><mglyph><style><img src=x onerror=\"CppProcessor('XSS','{}','')\">",
         ""},
        {"<details open ontoggle=\"CppProcessor('XSS','{}','')\"><summary>s</summary></details>",
         "<details open=\"\"><summary>s</summary></details>"},
    };
    const QString fire = u"(function(){const d=Tavrik.editor.document();for(const e of "
                         u"d.body.querySelectorAll('*'))"
                         "for(const t of ['click','dblclick','mouseover','focus','toggle'])"
                         "e.dispatchEvent(new MouseEvent(t,{bubbles:true,cancelable:true}));})()"_s;
    for (const XssCase &c : cases) {
        const QString payload = QString::fromUtf8(c.payload);
        EXPECT_EQ(rawCall(u"SetEditorContent"_s, payload), kJsonReplyOk);
        EXPECT_EQ(html(), QString::fromUtf8(c.clean)) << c.payload;
        // The same payload pasted and as a table cell.
        putCaretAtEnd();
        paste(u"text/html"_s, payload);
        rawCall(u"InsertTable"_s,
                u"{\"colNum\":1,\"rowNum\":1,\"rowList\":[{\"colList\":[{\"value\":"_s
                    + jsString(payload) + u"}]}]}"_s);
        const QString after = html();
        EXPECT_FALSE(after.contains(u"XSS"_s) || after.contains(u" on"_s)
                     || after.contains(u"script"_s, Qt::CaseInsensitive))
            << c.payload << " -> " << after.toStdString();
        EXPECT_TRUE(
            waitUntil(u"Array.from(Tavrik.editor.document().images).every(i => i.complete)"_s));
        js(fire);
    }
    EXPECT_EQ(m_view->url(), m_pageUrl);
    flushCalls();
    for (const auto &c : m_bridge.calls)
        ADD_FAILURE() << "unexpected call " << c.arguments.value(0).toString().toStdString() << " "
                      << c.arguments.value(1).toString().toStdString();
}

TEST_F(EditorPage, LargeNotesOpenedAgainAreTrustedOnlyWhenTheyCameOutClean)
{
    const QString clean = u"<p>A paragraph of a long note.</p>"_s.repeated(200);
    const QString hostile = clean + u"<img src=\"x\" onerror=\"CppProcessor('XSS','{}','')\">"_s;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(rawCall(u"SetEditorContent"_s, clean), kJsonReplyOk);
        EXPECT_EQ(html(), clean);
        EXPECT_EQ(rawCall(u"SetEditorContent"_s, hostile), kJsonReplyOk);
        EXPECT_EQ(html(), clean + u"<img src=\"x\">"_s);
    }
}

TEST_F(EditorPage, NoteScriptsCannotRunEvenPastTheSanitiser)
{
    // Markup put straight into the frame, as if the sanitiser had missed it: the frame's
    // content policy still stops every script.
    js(u"Tavrik.editor.document().body.innerHTML = '<img src=\"x\" "
       u"onerror=\"parent.CppProcessor(\\'XSS\\',\\'{}\\',\\'\\')\">"
       "<a id=\"l\" href=\"javascript:parent.CppProcessor(\\'XSS\\',\\'{}\\',\\'\\')\">l</a>'"_s);
    js(u"(function(){const d=Tavrik.editor.document();const s=d.createElement('script');"
       "s.textContent=\"parent.CppProcessor('XSS','{}','')\";d.body.appendChild(s);})()"_s);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().images[0].complete"_s));
    js(u"Tavrik.editor.document().getElementById('l').dispatchEvent(new MouseEvent('click',{bubbles:true,cancelable:true,ctrlKey:false}))"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty())
        << m_bridge.calls.front().arguments.value(0).toString().toStdString();
    // The channel's sending end is out of reach of both windows once taken.
    EXPECT_EQ(js(u"typeof window.qt.webChannelTransport.send + ',' + typeof QWebChannel + ','"
                 " + typeof Tavrik.editor.frame().contentWindow.qt"_s)
                  .toString(),
              u"undefined,undefined,undefined"_s);
}

TEST_F(EditorPage, AttachmentAndLinkEventsSendTheirCommands)
{
    const QString att
        = attachmentHtml(u"5d41402abc4b2a76b9719d911017c592.pdf"_s,
                         u"7d793037a0760186574b0282f2f435e7.bmp"_s, u"Vertrag Müller.pdf"_s);
    call(u"SetEditorContent"_s,
         u"<p>vor "_s + att
             + u" nach <a href=\" https://example.com/a?b=1&amp;c=2 \">Seite</a></p>"_s);
    const QString classValue = u"userdata\\attachment\\5d41402abc4b2a76b9719d911017c592.pdf"_s;

    mouse(u"img"_s, u"dblclick"_s);
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_EQ(
        lastCall(),
        (QStringList{
            u"CppProcessor"_s, u"DbClickAttachment"_s,
            u"{\"path\":\"userdata\\\\attachment\\\\5d41402abc4b2a76b9719d911017c592.pdf\"}"_s,
            exdata(u"Vertrag Müller.pdf"_s)}));

    mouse(u"img"_s, u"contextmenu"_s, u",button:2"_s);
    ASSERT_TRUE(waitForCalls(2));
    const QJsonObject expected{{u"current_attach"_s,
                                QJsonObject{{u"class_value"_s, classValue},
                                            {u"exdata_value"_s, exdata(u"Vertrag Müller.pdf"_s)}}},
                               {u"range_html"_s, att}};
    ASSERT_EQ(lastCall().size(), 4);
    EXPECT_EQ(lastCall().at(1), u"OnRightClickAttach"_s);
    EXPECT_EQ(lastCall().at(2),
              QString::fromUtf8(QJsonDocument(expected).toJson(QJsonDocument::Compact)));
    EXPECT_EQ(lastCall().at(3), QString());

    // While editing a plain click only places the caret; Ctrl+click opens the link.
    mouse(u"a"_s, u"click"_s);
    mouse(u"a"_s, u"click"_s, u",ctrlKey:true"_s);
    ASSERT_TRUE(waitForCalls(3));
    EXPECT_EQ(lastCall(),
              (QStringList{u"CppProcessor"_s, u"OpenHyperLink"_s,
                           u"{\"url\":\"https://example.com/a?b=1&c=2\"}"_s, QString()}));
    // In read-only mode a real click opens it.
    call(u"SetEditorMode"_s, u"{\"readonly\":true }"_s);
    const QVariantList link
        = js(u"(function(){const f=Tavrik.editor.frame().getBoundingClientRect();"
             "const r=Tavrik.editor.document().querySelector('a').getBoundingClientRect();"
             "return [Math.round(f.x+r.x+r.width/2), Math.round(f.y+r.y+r.height/2)];})()"_s)
              .toList();
    ASSERT_EQ(link.size(), 2);
    QTest::mouseClick(m_view->focusProxy(), Qt::LeftButton, {},
                      QPoint(link[0].toInt(), link[1].toInt()));
    ASSERT_TRUE(waitForCalls(4));
    EXPECT_EQ(lastCall().at(1), u"OpenHyperLink"_s);
    flushCalls();
    EXPECT_EQ(m_bridge.calls.size(), 4u);
    EXPECT_EQ(m_view->url(), m_pageUrl) << "the editor never navigates";
}

TEST_F(EditorPage, ToolbarFormatsTheSelectionAndShowsItsState)
{
    call(u"SetEditorContent"_s, u"<p><b>fett</b> normal</p>"_s);
    const QString boldActive
        = u"document.querySelector('[data-id=\"bold\"]').classList.contains('active')"_s;
    select(u"d.querySelector('b').firstChild"_s, 2, 2);
    EXPECT_TRUE(waitUntil(boldActive));
    select(u"d.querySelector('p').lastChild"_s, 1, 7);
    EXPECT_TRUE(waitUntil(u"!"_s + boldActive));

    js(u"document.querySelector('[data-id=\"italic\"]').click()"_s);
    js(u"document.querySelector('[data-id=\"bullets\"]').click()"_s);
    js(u"Tavrik.editor.exec('foreColor', '#d93025')"_s);
    EXPECT_EQ(html(),
              u"<ul><li><b>fett</b> <i style=\"color: rgb(217, 48, 37);\">normal</i></li></ul>"_s);
    EXPECT_TRUE(waitUntil(
        u"document.querySelector('[data-id=\"bullets\"]').classList.contains('active')"_s));
}

TEST_F(EditorPage, ToolbarAndPageErrorsSendTheirCommands)
{
    const QString click = u"document.querySelector('[data-id=\"%1\"]').click()"_s;
    js(click.arg(u"attach"_s));
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_EQ(lastCall(), (QStringList{u"CppProcessor"_s, u"AddAttachment"_s, u"{}"_s, QString()}));

    // The choice is remembered by the browser profile: start from the default.
    js(u"localStorage.removeItem('tavrik.capture.hideMainWnd')"_s);
    js(click.arg(u"capture"_s));
    ASSERT_TRUE(waitForCalls(2));
    EXPECT_EQ(lastCall(),
              (QStringList{u"CppProcessor"_s, u"SreenCapture"_s, u"{\"hideMainWnd\":true}"_s,
                           QString()}));
    // The visible choice: untick "hide this window" in the capture menu.
    js(click.arg(u"capture-more"_s));
    js(u"document.querySelector('.capture-options input[type=checkbox]').click()"_s);
    js(u"document.querySelector('.capture-options .primary').click()"_s);
    ASSERT_TRUE(waitForCalls(3));
    EXPECT_EQ(lastCall(),
              (QStringList{u"CppProcessor"_s, u"SreenCapture"_s, u"{\"hideMainWnd\":false}"_s,
                           QString()}));

    js(u"setTimeout(function(){ throw new Error('boom'); }, 0)"_s);
    ASSERT_TRUE(waitForCalls(4));
    // A script run from outside the page has its error text hidden by the browser.
    EXPECT_EQ(lastCall(),
              (QStringList{u"CppProcessor"_s, u"WriteEditorLog"_s,
                           u"{\"type\":\"error\",\"msg\":\"Script error.\"}"_s, QString()}));

    js(u"Tavrik.editor.onChange(function () { throw new Error('kaputt'); }); Tavrik.editor.setMaxChars(7)"_s);
    ASSERT_TRUE(waitForCalls(5));
    EXPECT_EQ(
        lastCall(),
        (QStringList{u"CppProcessor"_s, u"WriteEditorLog"_s,
                     u"{\"type\":\"error\",\"msg\":\"state listener: kaputt\"}"_s, QString()}));
}

TEST_F(EditorPage, NewContentAndClearEditorCacheDropTheUndoHistory)
{
    call(u"SetEditorContent"_s, u"<p>alt</p>"_s);
    putCaretAtEnd();
    QTest::keyClicks(m_view->focusProxy(), u"er"_s);
    ASSERT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === 'alter'"_s));
    call(u"SetEditorContent"_s, u"<p>neu</p>"_s);
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s, QString()), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neu</p>"_s);

    putCaretAtEnd();
    QTest::keyClicks(m_view->focusProxy(), u"e"_s);
    ASSERT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === 'neue'"_s));
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s, QString()), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neue</p>"_s);
    EXPECT_EQ(js(u"document.getElementById('status-count').textContent"_s).toString(),
              u"4 / 10000"_s);
}

class EditorPageAlone : public EditorPage
{
protected:
    void SetUp() override { open(false); }
};

TEST_F(EditorPageAlone, WorksWithoutNativeSideAndQueuesCommands)
{
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 0);
    js(u"document.querySelector('[data-id=\"attach\"]').click()"_s);
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 1);
    EXPECT_EQ(rawCall(u"SetEditorContent"_s, u"<p>x</p>"_s), kJsonReplyOk);
    EXPECT_EQ(html(), u"<p>x</p>"_s);
}

} // namespace

#include "tst_editorpage.moc"
