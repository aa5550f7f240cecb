// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The editor page in a real browser view: every jsProcessor method with its replies, the
// attachment markup, tables, read-only mode, the character limit, the sanitiser and the
// commands the page sends to native code through a recording "tavrikBridge" object.
#include "skin/scriptbridge_p.h"
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

// Stands in for the browser host's bridge object: records every call the page makes, as the
// function's name followed by its arguments.
class RecordingBridge : public QObject
{
    Q_OBJECT
public:
    std::vector<QStringList> calls;

    Q_INVOKABLE void call(const QString &functionName, const QVariantList &arguments)
    {
        QStringList call{functionName};
        for (const QVariant &argument : arguments)
            call << argument.toString();
        calls.push_back(call);
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

QString attachmentHtml(const QString &store, const QString &shown, const QString &name)
{
    const QString src = u"../userdata\\attachment\\"_s + shown;
    return u"<img src=\""_s + src + u"\" class=\"userdata\\attachment\\"_s + store
        + u"\" zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;"_s + b64(name)
        + u"&quot;}\" data-ke-src=\""_s + src + u"\" zvimgsrc=\""_s + src + u"\">"_s;
}

// The argument of AddPicToEditor as native code writes it: indented JSON, doubled backslashes.
QString added(const QString &name, const QString &shown, const QString &store)
{
    return u"{\n   \"exdata\" : \"{\\\"OrigName_B64\\\":\\\""_s + b64(name)
        + u"\\\"}\",\n   \"picpath\" : \"../userdata\\\\attachment\\\\"_s + shown
        + u"\",\n   \"strData\" : \"userdata\\\\attachment\\\\"_s + store
        + u"\",\n   \"type\" : \""_s + store.section(u'.', -1) + u"\"\n}\n"_s;
}

// A command the page sends to native code.
QStringList command(const QString &name, const QString &json, const QString &exdata = QString())
{
    return {u"CppProcessor"_s, name, json, exdata};
}

const QString kJsonReplyOk = u"{\"result\":true,\"errmsg\":\"\"}"_s;
const QString kReadOnlyReply = u"{\"result\":false,\"errmsg\":\"the editor is read-only\"}"_s;

class EditorPage : public ::testing::Test
{
protected:
    void SetUp() override { open(true); }

    void open(bool withChannel)
    {
        m_view = std::make_unique<QWebEngineView>();
        if (withChannel) {
            auto *channel = new QWebChannel(m_view.get());
            channel->registerObject(u"tavrikBridge"_s, &m_bridge);
            TAVRIKCORE::RICHEDITOR::InstallWebChannel(m_view->page(), channel);
        }
        m_view->resize(960, 640);
        m_view->show();
        QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
        m_pageUrl = QUrl::fromLocalFile(qEnvironmentVariable("TAVRIK_PAGE_DIR")
                                        + u"/zveditor/index.html"_s);
        m_view->load(m_pageUrl);
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(loaded.first().first().toBool()) << "the page did not load";
        ASSERT_TRUE(waitUntil(u"window.Tavrik && Tavrik.ready === true"_s));
    }

    QVariant js(const QString &script) { return runScript(m_view->page(), script); }
    bool waitUntil(const QString &condition) { return waitForScript(m_view->page(), condition); }
    // An expression evaluated with `d` the editing frame's document.
    QString frameJs(const QString &expr)
    {
        return js(u"(function(d){return "_s + expr + u";})(Tavrik.editor.document())"_s).toString();
    }
    QString status(const QString &id)
    {
        return js(u"document.getElementById('"_s + id + u"').textContent"_s).toString();
    }

    QString rawCall(const QString &method, const QString &arg = QString())
    {
        return js(u"jsProcessor("_s + jsString(method) + u", "_s + jsString(arg) + u")"_s)
            .toString();
    }
    QString setContent(const QString &html) { return rawCall(u"SetEditorContent"_s, html); }
    QString html()
    {
        return QJsonDocument::fromJson(rawCall(u"GetEditorContent"_s, u"{}"_s).toUtf8())
            .object()
            .value(u"ehtml"_s)
            .toString();
    }

    bool waitForCalls(size_t count)
    {
        return QTest::qWaitFor([&] { return m_bridge.calls.size() >= count; }, 10000);
    }
    // Waits for the page's `n`th call to native code and gives it.
    QStringList call(size_t n)
    {
        EXPECT_TRUE(waitForCalls(n)) << "call " << n << " did not come";
        return m_bridge.calls.size() >= n ? m_bridge.calls[n - 1] : QStringList();
    }
    // Sends a marker command and waits for it: every call the page made before is recorded by then.
    void flushCalls()
    {
        const size_t before = m_bridge.calls.size();
        js(u"CppProcessor('Marker', '{}', '')"_s);
        ASSERT_TRUE(waitForCalls(before + 1));
        ASSERT_EQ(m_bridge.calls.back(), command(u"Marker"_s, u"{}"_s));
        m_bridge.calls.pop_back();
    }

    // Waits until the note's text is `text`.
    bool textIs(const QString &text)
    {
        return waitUntil(u"Tavrik.editor.document().body.textContent === "_s + jsString(text));
    }
    void putCaretAtEnd() { select(u"d.body"_s, -1, -1); }
    // Selects from `start` to `end` in the node the expression gives (-1: its end).
    void select(const QString &node, int start, int end)
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();const n=%1;"
           u"const last=n.nodeType===3?n.length:n.childNodes.length;const r=d.createRange();"
           u"r.setStart(n,%2<0?last:%2);r.setEnd(n,%3<0?last:%3);"
           u"d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(node)
               .arg(start)
               .arg(end));
    }
    void type(const QString &keys) { QTest::keyClicks(m_view->focusProxy(), keys); }

    // Pastes `data` of `type` (and `plain` as text/plain when given) at the caret.
    void paste(const QString &type, const QString &data, const QString &plain = QString())
    {
        js(u"(function(){const dt=new DataTransfer();dt.setData(%1,%2);"
           u"if(%3)dt.setData('text/plain',%3);Tavrik.editor.document().body.dispatchEvent("
           u"new ClipboardEvent('paste',{clipboardData:dt,bubbles:true,cancelable:true}));})()"_s
               .arg(jsString(type), jsString(data), jsString(plain)));
    }
    // Sends a mouse event of `type` (with the `extra` properties) to the element.
    void mouse(const QString &selector, const QString &type, const QString &extra = QString())
    {
        js(u"(function(){const t=Tavrik.editor.document().querySelector(%1);"
           u"const r=t.getBoundingClientRect();t.dispatchEvent(new MouseEvent('%2',"
           u"{bubbles:true,cancelable:true,clientX:r.x+2,clientY:r.y+2%3}));})()"_s.arg(
               jsString(selector), type, extra));
    }

    RecordingBridge m_bridge;
    std::unique_ptr<QWebEngineView> m_view;
    QUrl m_pageUrl;
};

TEST_F(EditorPage, ContentRoundTripKeepsNoteMarkupExactlyAndEveryMethodAnswers)
{
    const QString picture = u"0cc175b9c0f1b6a831c399e269772661.png"_s;
    const QString note
        = u"<h1>Reisebericht – 旅行笔记</h1><p>Erster Tag, <b>fett</b> und <i>kursiv</i>, "
          "<span style=\"color: rgb(217, 48, 37);\">rot</span>.</p><p>"_s
        + attachmentHtml(picture, picture, u"海边 照片.png"_s) + u"</p><p>"_s
        + attachmentHtml(u"92eb5ffee6ae2fec3ad71c777531578f.docx"_s,
                         u"4a8a08f09d37b73795649038408b5f33.bmp"_s, u"Bericht (final).docx"_s)
        + u"</p><table border=\"1\"><tbody><tr><td width=\"50%\">a</td></tr></tbody></table>"
          "<p><a href=\"https://example.com/?a=1&amp;b=2\">Link</a></p>"_s;
    EXPECT_EQ(setContent(note), kJsonReplyOk);
    const QJsonObject content
        = QJsonDocument::fromJson(rawCall(u"GetEditorContent"_s, u"{}"_s).toUtf8()).object();
    EXPECT_EQ(content.value(u"result"_s), QJsonValue(true));
    EXPECT_EQ(content.value(u"ehtml"_s).toString(), note);
    const QString text = content.value(u"etext"_s).toString();
    EXPECT_TRUE(text.startsWith(u"Reisebericht – 旅行笔记\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Erster Tag, fett und kursiv, rot."_s)) << text.toStdString();
    // The picture path resolves against the page folder, backslashes and all.
    EXPECT_TRUE(frameJs(u"d.images[0].src"_s).endsWith(u"/userdata/attachment/"_s + picture));

    // A note of nothing but line breaks is empty.
    setContent(u"<p><br></p><div> &nbsp;</div>"_s);
    EXPECT_EQ(rawCall(u"GetEditorContent"_s, u"{}"_s),
              uR"({"result":true,"errmsg":"","ehtml":"","etext":""})"_s);
    // A whole document is reduced to its body; the count shows the text length.
    setContent(u"<html><head><title>t</title></head><body><p>ab𝄞c</p></body></html>"_s);
    EXPECT_EQ(html(), u"<p>ab𝄞c</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"4 / 10000"_s);

    // Every method answers with its reply keys.
    const char *size = R"(bad argument: \"size\" must be a whole number from 1 to 2147483647)";
    const char *colNum = R"(bad argument: \"colNum\" must be a whole number from 1 to 64)";
    const struct
    {
        const char *method, *arg, *error; // no error: accepted
    } cases[] = {
        {"SetEditorMode", R"({"readonly":1})",
         R"(bad argument: \"readonly\" must be true or false)"},
        {"SetEditorMode", R"({"readonly":)", "bad argument: not JSON"},
        {"SetEditorMaxChars", R"({"size":1})", nullptr},
        {"SetEditorMaxChars", R"({"size":0})", size},
        {"SetEditorMaxChars", R"({"size":2.5})", size},
        {"SetEditorMaxChars", "[10]", "bad argument: not a JSON object"},
        {"SelectedAttach", R"({"keyword":""})",
         R"(bad argument: \"keyword\" must be a non-empty text)"},
        {"ModifyAttachAtrr", R"({"zv_exdata":"x","ClassValue":"a","SrcValue":"b"})",
         R"(bad argument: \"zv_exdata\" must be an object with \"OrigName_B64\")"},
        {"ModifyAttachAtrr", R"({"zv_exdata":{"OrigName_B64":""},"SrcValue":"b"})",
         R"(bad argument: \"ClassValue\" must be a non-empty text)"},
        {"ModifyAttachAtrr",
         R"({"zv_exdata":{"OrigName_B64":"YQ=="},"ClassValue":"a","SrcValue":"b"})",
         "no attachment carries this original name"},
        {"InsertTable", R"({"colNum":0,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":65,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":64,"rowNum":1001})",
         R"(bad argument: \"rowNum\" must be a whole number from 1 to 1000)"},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[null,null]})",
         R"(bad argument: \"rowList\" must be a list of at most rowNum rows)"},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[{"colList":[{},{}]}]})",
         R"(bad argument: \"colList\" must be a list of at most colNum cells)"},
        {"AddPicToEditor", R"({"picpath":"","strData":"s","exdata":"","type":"png"})",
         R"(bad argument: \"picpath\" must be a non-empty text)"},
        {"AddPicToEditor",
         R"x({"picpath":"javascript:CppProcessor('x','','')","strData":"s","exdata":"","type":"png"})x",
         R"(bad argument: \"picpath\" is not an image path)"},
        {"SetSpellCheck", R"({"enabled":"yes"})",
         R"(bad argument: \"enabled\" must be true or false)"},
        {"SetEditorTheme", R"({"theme":"Dark"})",
         R"(bad argument: \"theme\" must be \"light\" or \"dark\")"},
        {"NoSuchMethod", "{}", "unknown method: NoSuchMethod"},
        {"getEditorContent", "{}", "unknown method: getEditorContent"},
        {"toString", "{}", "unknown method: toString"}};
    for (const auto &c : cases) {
        setContent(QString());
        const QString reply = c.error
            ? u"{\"result\":false,\"errmsg\":\""_s + QString::fromUtf8(c.error) + u"\"}"_s
            : kJsonReplyOk;
        EXPECT_EQ(rawCall(QString::fromUtf8(c.method), QString::fromUtf8(c.arg)), reply)
            << c.method << " " << c.arg;
    }
    // jsProcessor takes whatever script values it gets and still answers.
    EXPECT_EQ(js(u"jsProcessor(undefined, null)"_s).toString(),
              uR"({"result":false,"errmsg":"unknown method: undefined"})"_s);
    EXPECT_EQ(js(u"jsProcessor('SetEditorMode')"_s).toString(),
              uR"({"result":false,"errmsg":"bad argument: not JSON"})"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty()) << "bad arguments are refused quietly";
}

TEST_F(EditorPage, AttachmentsAreInsertedRepointedAndSelectedAndTablesBuiltExactly)
{
    const QString jpg = u"d41d8cd98f00b204e9800998ecf8427e.JPG"_s;
    const QString card = u"c4ca4238a0b923820dcc509a6f75849b.bmp"_s;
    const QString xlsx = u"e4da3b7fbbce2345d7772b0674a318d5.xlsx"_s;
    setContent(u"<p>Vorher</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"Урлауб.JPG"_s, jpg, jpg)), kJsonReplyOk);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"Plan 2026.xlsx"_s, card, xlsx)), kJsonReplyOk);
    const QString a = attachmentHtml(xlsx, card, u"Plan 2026.xlsx"_s);
    const QString b = attachmentHtml(jpg, jpg, u"Урлауб.JPG"_s);
    EXPECT_EQ(html(), u"<p>Vorher"_s + b + a + u"</p>"_s);

    // Every element with the original name is repointed.
    setContent(u"<p>"_s + a + b + a + u"</p>"_s);
    EXPECT_EQ(
        rawCall(
            u"ModifyAttachAtrr"_s,
            u"{\"zv_exdata\":"_s + exdata(u"Plan 2026.xlsx"_s)
                + uR"(,"ClassValue":"userdata\\attachment\\new.xlsx","SrcValue":"../userdata\\attachment\\new.bmp"})"_s),
        kJsonReplyOk);
    const QString changed = attachmentHtml(u"new.xlsx"_s, u"new.bmp"_s, u"Plan 2026.xlsx"_s);
    EXPECT_EQ(html(), u"<p>"_s + changed + b + changed + u"</p>"_s);

    // Selected by store name, class or original name.
    for (const QString &key :
         {u"new.xlsx"_s, u"userdata\\\\attachment\\\\new.xlsx"_s, u"Plan 2026.xlsx"_s}) {
        setContent(u"<p>x"_s + b + u"y"_s + changed + u"</p>"_s);
        EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\""_s + key + u"\"}"_s),
                  kJsonReplyOk);
        EXPECT_EQ(js(u"Tavrik.editor.document().getSelection().getRangeAt(0).cloneContents()"
                     ".firstChild.getAttribute('class')"_s)
                      .toString(),
                  u"userdata\\attachment\\new.xlsx"_s)
            << key.toStdString();
    }
    EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\"new\"}"_s),
              uR"({"result":false,"errmsg":"no attachment matches \"new\""})"_s);

    // InsertTable builds the exact table.
    setContent(u"<p>Davor</p><p><br></p>"_s);
    select(u"d.body.lastChild"_s, 0, 0);
    const QString table = uR"({ "colNum" : 2, "rowList" : [ { "colList" : [
            { "style" : "font-weight: bold;", "value" : "Name", "width" : "120" },
            { "style" : "", "value" : "Wert <b>fett</b><img src=x onerror=alert(1)>", "width" : "" } ] },
            null ], "rowNum" : 3 })"_s;
    EXPECT_EQ(rawCall(u"InsertTable"_s, table), kJsonReplyOk);
    const QString head = u"<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\" "
                         "style=\"border-collapse: collapse; width: 100%;\"><tbody>"_s;
    const QString empty = u"<tr><td><br></td><td><br></td></tr>"_s;
    EXPECT_EQ(html(),
              u"<p>Davor</p>"_s + head
                  + u"<tr><td width=\"120\" style=\"font-weight: bold;\">Name</td><td>Wert "
                    "<b>fett</b><img src=\"x\"></td></tr>"_s
                  + empty + empty + u"</tbody></table><p><br></p>"_s);

    // Without rows: an empty grid of the given size, after the paragraph holding the caret.
    setContent(u"<p>Text</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s), kJsonReplyOk);
    EXPECT_EQ(html(),
              u"<p>Text</p>"_s + head + u"<tr><td><br></td></tr></tbody></table><p><br></p>"_s);
}

TEST_F(EditorPage, PastesAndDropsKeepAttachmentsAndTheCharacterLimitCutsThem)
{
    const QString att = attachmentHtml(u"aaa.png"_s, u"aaa.png"_s, u"Bild 1.png"_s);
    setContent(u"<p>Anfang</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s,
          u"<meta charset=utf-8><span>Mitte </span>"_s + att
              + u"<script>CppProcessor('XSS','','')</script>"_s,
          u"x"_s);
    EXPECT_EQ(html(), QString(u"<p>AnfangMitte "_s + att + u"</p>"_s));

    // A drop of HTML lands where it is dropped; a drop of files alone is left to native code.
    setContent(u"<p>Ende</p>"_s);
    const QString drop = u"(function(type,data){const d=Tavrik.editor.document();"
                         "const r=d.querySelector('p').getBoundingClientRect();const dt=new "
                         "DataTransfer();if(type)dt.setData(type,data);else dt.items.add(new "
                         "File(['x'],'a.txt'));return d.body.dispatchEvent(new DragEvent('drop',"
                         "{dataTransfer:dt,bubbles:true,cancelable:true,clientX:r.x+1,"
                         "clientY:r.y+r.height/2}));})"_s;
    EXPECT_FALSE(
        js(drop + u"('text/html', "_s + jsString(att + u"<img src=x onerror=alert(1)>"_s) + u")"_s)
            .toBool());
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_FALSE(js(drop + u"('', '')"_s).toBool()) << "the browser must not open a dropped file";
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_EQ(m_view->url(), m_pageUrl);

    // The character limit refuses typing and cuts pastes.
    rawCall(u"SetEditorMaxChars"_s, u"{\"size\":5 }"_s);
    setContent(u"<p>abcd</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"4 / 5"_s);
    putCaretAtEnd();
    // x reaches the limit, y is one past it and refused; the backspace then makes room for z.
    type(u"xy"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Backspace);
    type(u"z"_s);
    EXPECT_TRUE(textIs(u"abcdz"_s)) << html().toStdString();
    EXPECT_EQ(status(u"status-count"_s), u"5 / 5"_s);

    // A paste is cut to the room left, plain text and HTML alike.
    rawCall(u"SetEditorMaxChars"_s, u"{\"size\":10}"_s);
    setContent(u"<p>abcdefgh</p>"_s);
    putCaretAtEnd();
    paste(u"text/plain"_s, u"12345"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefgh12"_s);
    EXPECT_EQ(status(u"status-count"_s), u"10 / 10"_s);
    EXPECT_EQ(status(u"status-message"_s), u"Character limit reached: the rest was not inserted"_s);
    setContent(u"<p>abcdefg</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s, u"<b>123</b><i>45</i>"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefg123"_s);
    paste(u"text/plain"_s, u"6"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefg123"_s) << "one past the limit";

    // Content from native code is never cut; the count shows it is over.
    setContent(u"<p>abcdefghijkl</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"12 / 10"_s);
    EXPECT_TRUE(
        js(u"document.getElementById('status-count').classList.contains('over')"_s).toBool());
}

TEST_F(EditorPage, HostileContentIsNeutralisedAndNoteScriptsCannotRunEvenPastTheSanitiser)
{
    // Each payload would call CppProcessor('XSS', ...) if any of it survived.
    const std::pair<QString, QString> cases[] = {
        {uR"x(<img src="x" onerror="CppProcessor('XSS','{}','')">)x"_s, uR"x(<img src="x">)x"_s},
        {uR"x(<svg onload="CppProcessor('XSS','{}','')"><circle r="4"></circle></svg>)x"_s, {}},
        {uR"x(<embed src="javascript:CppProcessor('XSS','{}','')">)x"_s, {}},
        {uR"x(<iframe src="javascript:parent.CppProcessor('XSS','{}','')"></iframe>)x"_s, {}},
        {uR"x(<object data="javascript:CppProcessor('XSS','{}','')"><p>fallback</p></object>)x"_s,
         u"<p>fallback</p>"_s},
        {uR"x(<a href="JaVaScRiPt:CppProcessor('XSS','{}','')">a</a>)x"_s, u"<a>a</a>"_s},
        {u"<a href=\"java\tscript:CppProcessor('XSS','{}','')\">a</a>"_s, u"<a>a</a>"_s},
        {uR"x(<a href="&#106;avascript:CppProcessor('XSS','{}','')">a</a>)x"_s, u"<a>a</a>"_s},
        {uR"x(<a href=" &#x6A;ava&#x0A;script&colon;CppProcessor('XSS','{}','')">a</a>)x"_s,
         u"<a>a</a>"_s},
        {uR"x(<a href="vbscript:msgbox(1)">a</a>)x"_s, u"<a>a</a>"_s},
        {uR"x(<a href="data:text/html,&lt;script&gt;parent.CppProcessor('XSS','{}','')&lt;/script&gt;">a</a>)x"_s,
         u"<a>a</a>"_s},
        {uR"x(<img src="data:image/svg+xml;base64,PHN2ZyBvbmxvYWQ9YWxlcnQoMSk+">)x"_s, u"<img>"_s},
        {uR"x(<meta http-equiv="refresh" content="0;url=javascript:CppProcessor('XSS','{}','')"><p>t</p>)x"_s,
         u"<p>t</p>"_s},
        {uR"x(<base href="javascript:/"><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<form action="javascript:CppProcessor('XSS','{}','')"><button>go</button></form>)x"_s,
         u"go"_s},
        {uR"x(<p onclick="CppProcessor('XSS','{}','')" onmouseover="CppProcessor('XSS','{}','')">t</p>)x"_s,
         u"<p>t</p>"_s},
        {uR"x(<script>CppProcessor('XSS','{}','')</script><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<style>@import 'javascript:x';</style><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<math><mtext><table><mglyph><style><img src=x onerror="CppProcessor('XSS','{}','')">)x"_s,
         {}},
        {uR"x(<details open ontoggle="CppProcessor('XSS','{}','')"><summary>s</summary></details>)x"_s,
         uR"x(<details open=""><summary>s</summary></details>)x"_s}};
    const QString fire = u"(function(){for(const e of Tavrik.editor.document().body"
                         ".querySelectorAll('*'))for(const t of ['click','dblclick','mouseover',"
                         "'focus','toggle'])e.dispatchEvent(new MouseEvent(t,{bubbles:true,"
                         "cancelable:true}));})()"_s;
    for (const auto &[payload, clean] : cases) {
        SCOPED_TRACE(payload.toStdString());
        EXPECT_EQ(setContent(payload), kJsonReplyOk);
        EXPECT_EQ(html(), clean);
        // The same payload pasted and as a table cell.
        putCaretAtEnd();
        paste(u"text/html"_s, payload);
        rawCall(u"InsertTable"_s,
                uR"({"colNum":1,"rowNum":1,"rowList":[{"colList":[{"value":)"_s + jsString(payload)
                    + u"}]}]}"_s);
        const QString after = html();
        EXPECT_FALSE(after.contains(u"XSS"_s) || after.contains(u" on"_s)
                     || after.contains(u"script"_s, Qt::CaseInsensitive))
            << after.toStdString();
        EXPECT_TRUE(
            waitUntil(u"Array.from(Tavrik.editor.document().images).every(i => i.complete)"_s));
        js(fire);
    }
    EXPECT_EQ(m_view->url(), m_pageUrl);
    flushCalls();
    for (const QStringList &call : m_bridge.calls)
        ADD_FAILURE() << "unexpected call " << call.join(u' ').toStdString();

    // Large notes opened again are trusted only when they came out clean.
    const QString paragraphs = u"<p>A paragraph of a long note.</p>"_s.repeated(200);
    const QString hostile
        = paragraphs + u"<img src=\"x\" onerror=\"CppProcessor('XSS','{}','')\">"_s;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(setContent(paragraphs), kJsonReplyOk);
        EXPECT_EQ(html(), paragraphs);
        EXPECT_EQ(setContent(hostile), kJsonReplyOk);
        EXPECT_EQ(html(), paragraphs + u"<img src=\"x\">"_s);
    }

    // Markup put straight into the frame, as if the sanitiser had missed it: the frame's
    // content policy still stops every script.
    js(uR"x(Tavrik.editor.document().body.innerHTML = '<img src="x" onerror="parent.CppProcessor(\'XSS\',\'{}\',\'\')"><a id="l" href="javascript:parent.CppProcessor(\'XSS\',\'{}\',\'\')">l</a>')x"_s);
    js(uR"x((function(){const d=Tavrik.editor.document();const s=d.createElement('script');s.textContent="parent.CppProcessor('XSS','{}','')";d.body.appendChild(s);
})())x"_s);
    // The page itself runs no script but its own, whose hash its policy names.
    js(uR"x((function(){document.body.insertAdjacentHTML('beforeend','<img id="xss" src="x" onerror="CppProcessor(\'XSS\',\'{}\',\'\')">');
const s=document.createElement('script');s.textContent="CppProcessor('XSS','{}','')";document.body.appendChild(s);})())x"_s);
    EXPECT_TRUE(waitUntil(
        u"Tavrik.editor.document().images[0].complete && document.getElementById('xss').complete"_s));
    mouse(u"#l"_s, u"click"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty()) << m_bridge.calls.front().join(u' ').toStdString();
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
    setContent(u"<p>vor "_s + att
               + u" nach <a href=\" https://example.com/a?b=1&amp;c=2 \">Seite</a></p>"_s);
    const QString classValue = u"userdata\\attachment\\5d41402abc4b2a76b9719d911017c592.pdf"_s;

    mouse(u"img"_s, u"dblclick"_s);
    EXPECT_EQ(call(1),
              command(u"DbClickAttachment"_s,
                      uR"({"path":"userdata\\attachment\\5d41402abc4b2a76b9719d911017c592.pdf"})"_s,
                      exdata(u"Vertrag Müller.pdf"_s)));

    mouse(u"img"_s, u"contextmenu"_s, u",button:2"_s);
    const QJsonObject expected{{u"current_attach"_s,
                                QJsonObject{{u"class_value"_s, classValue},
                                            {u"exdata_value"_s, exdata(u"Vertrag Müller.pdf"_s)}}},
                               {u"range_html"_s, att}};
    EXPECT_EQ(call(2),
              command(u"OnRightClickAttach"_s,
                      QString::fromUtf8(QJsonDocument(expected).toJson(QJsonDocument::Compact))));

    // While editing a plain click only places the caret; Ctrl+click opens the link.
    mouse(u"a"_s, u"click"_s);
    mouse(u"a"_s, u"click"_s, u",ctrlKey:true"_s);
    const QStringList open
        = command(u"OpenHyperLink"_s, uR"({"url":"https://example.com/a?b=1&c=2"})"_s);
    EXPECT_EQ(call(3), open);
    // In read-only mode a real click opens it.
    rawCall(u"SetEditorMode"_s, u"{\"readonly\":true }"_s);
    const QVariantList link
        = js(u"(function(){const f=Tavrik.editor.frame().getBoundingClientRect();"
             "const r=Tavrik.editor.document().querySelector('a').getBoundingClientRect();"
             "return [Math.round(f.x+r.x+r.width/2), Math.round(f.y+r.y+r.height/2)];})()"_s)
              .toList();
    ASSERT_EQ(link.size(), 2);
    QTest::mouseClick(m_view->focusProxy(), Qt::LeftButton, {},
                      QPoint(link[0].toInt(), link[1].toInt()));
    EXPECT_EQ(call(4), open);
    flushCalls();
    EXPECT_EQ(m_bridge.calls.size(), 4u);
    EXPECT_EQ(m_view->url(), m_pageUrl) << "the editor never navigates";
}

TEST_F(EditorPage, ToolbarFormatsAndSendsItsCommandsAndPageErrorsAreLogged)
{
    setContent(u"<p><b>fett</b> normal</p>"_s);
    const QString click = u"document.querySelector('[data-id=\"%1\"]').click()"_s;
    const QString active
        = u"document.querySelector('[data-id=\"%1\"]').classList.contains('active')"_s;
    select(u"d.querySelector('b').firstChild"_s, 2, 2);
    EXPECT_TRUE(waitUntil(active.arg(u"bold"_s)));
    select(u"d.querySelector('p').lastChild"_s, 1, 7);
    EXPECT_TRUE(waitUntil(u"!"_s + active.arg(u"bold"_s)));
    js(click.arg(u"italic"_s));
    js(click.arg(u"bullets"_s));
    js(u"Tavrik.editor.exec('foreColor', '#d93025')"_s);
    EXPECT_EQ(html(),
              u"<ul><li><b>fett</b> <i style=\"color: rgb(217, 48, 37);\">normal</i></li></ul>"_s);
    EXPECT_TRUE(waitUntil(active.arg(u"bullets"_s)));

    js(click.arg(u"attach"_s));
    EXPECT_EQ(call(1), command(u"AddAttachment"_s, u"{}"_s));
    // The choice is remembered by the browser profile: start from the default, then untick
    // "hide this window" in the capture menu.
    js(u"localStorage.removeItem('tavrik.capture.hideMainWnd')"_s);
    js(click.arg(u"capture"_s));
    EXPECT_EQ(call(2), command(u"SreenCapture"_s, u"{\"hideMainWnd\":true}"_s));
    js(click.arg(u"capture-more"_s));
    js(u"document.querySelector('.capture-options input[type=checkbox]').click()"_s);
    js(u"document.querySelector('.capture-options .primary').click()"_s);
    EXPECT_EQ(call(3), command(u"SreenCapture"_s, u"{\"hideMainWnd\":false}"_s));

    // A script run from outside the page has its error text hidden by the browser.
    js(u"setTimeout(function(){ throw new Error('boom'); }, 0)"_s);
    EXPECT_EQ(call(4),
              command(u"WriteEditorLog"_s, uR"({"type":"error","msg":"Script error."})"_s));
    js(u"Tavrik.editor.onChange(function () { throw new Error('kaputt'); });"
       "Tavrik.editor.setMaxChars(7)"_s);
    EXPECT_EQ(
        call(5),
        command(u"WriteEditorLog"_s, uR"({"type":"error","msg":"state listener: kaputt"})"_s));
}

TEST_F(EditorPage, TheToolbarWorksFromTheKeyboardWithItsLabelsAndShortcuts)
{
    const QString focused = u"(function(a){return a===Tavrik.editor.frame()?'note':a.dataset.id+'|'"
                            "+a.getAttribute('aria-label')+'|'+(a.getAttribute('aria-keyshortcuts')"
                            "||'')})(document.activeElement)"_s;
    const QStringList order
        = u"undo|Undo|Control+Z;redo|Redo|Control+Y;block|Paragraph style|;size|Font size|;"
          "bold|Bold|Control+B;italic|Italic|Control+I;underline|Underline|Control+U;"
          "strike|Strikethrough|;color|Text colour|;color-more|Text colour choices|;"
          "highlight|Highlight|;highlight-more|Highlight choices|;"
          "bullets|Bulleted list|Control+Shift+8;numbers|Numbered list|Control+Shift+7;"
          "outdent|Decrease indent|;indent|Increase indent|;alignLeft|Align left|;"
          "alignCenter|Centre|;alignRight|Align right|;alignJustify|Justify|;link|Link|Control+K;"
          "rule|Horizontal line|;table|Table|;attach|Attach files|;capture|Screen capture|;"
          "capture-more|Screen capture options|;note"_s.split(u';');
    QWidget *keys = m_view->focusProxy();
    const auto press = [&](Qt::Key key, const QString &until, Qt::KeyboardModifiers with = {}) {
        QTest::keyClick(keys, key, with);
        return waitUntil(until);
    };
    const auto isFocused = [&](const QString &what) -> QString {
        return focused + u"==="_s + jsString(what);
    };
    setContent(u"<p>fett</p>"_s);
    js(u"document.querySelector('[data-id=undo]').focus()"_s);
    EXPECT_EQ(js(focused).toString(), order.first());
    for (qsizetype i = 1; i < order.size(); ++i)
        ASSERT_TRUE(press(Qt::Key_Tab, isFocused(order[i])))
            << "after " << order[i - 1].toStdString() << " came "
            << js(focused).toString().toStdString();

    select(u"d.querySelector('p').firstChild"_s, 0, 4);
    js(u"document.querySelector('[data-id=bold]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Return, u"!!Tavrik.editor.document().querySelector('b')"_s));
    js(u"document.querySelector('[data-id=italic]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Space, u"!!Tavrik.editor.document().querySelector('i')"_s));
    EXPECT_TRUE(press(Qt::Key_7, u"!!Tavrik.editor.document().querySelector('ol')"_s,
                      Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(html(), u"<ol><li><b><i>fett</i></b></li></ol>"_s);

    // A pop-up opened with the keyboard takes the focus; Escape leads back, then to the text.
    const QString expanded = u"document.querySelector('[data-id=color-more]').ariaExpanded"_s;
    js(u"document.querySelector('[data-id=color-more]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Return, u"document.activeElement.ariaLabel==='Black'"_s));
    EXPECT_EQ(js(expanded), u"true"_s);
    EXPECT_TRUE(press(Qt::Key_Escape, isFocused(u"color-more|Text colour choices|"_s)));
    EXPECT_EQ(js(expanded), u"false"_s);
    EXPECT_TRUE(press(Qt::Key_Escape, isFocused(u"note"_s)));

    putCaretAtEnd();
    js(u"document.querySelector('[data-id=table]').focus()"_s);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(keys, key);
    EXPECT_TRUE(
        press(Qt::Key_Return, u"Tavrik.editor.document().querySelectorAll('td').length===4"_s))
        << frameJs(u"d.body.innerHTML"_s).toStdString();

    // "Automatic" takes the colour off, so the text follows the theme.
    setContent(u"<p><span style=\"color: rgb(217, 48, 37);\">rot</span> x</p>"_s);
    select(u"d.querySelector('span').firstChild"_s, 0, 3);
    js(u"document.querySelector('[data-id=color-more]').click();"
       "document.querySelector('.palette .text-button').click()"_s);
    EXPECT_EQ(html(), u"<p>rot x</p>"_s);
}

TEST_F(EditorPage, NewContentAndClearEditorCacheDropTheUndoHistoryAndThePageWorksAlone)
{
    setContent(u"<p>alt</p>"_s);
    putCaretAtEnd();
    type(u"er"_s);
    ASSERT_TRUE(textIs(u"alter"_s));
    setContent(u"<p>neu</p>"_s);
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neu</p>"_s);

    putCaretAtEnd();
    type(u"e"_s);
    ASSERT_TRUE(textIs(u"neue"_s));
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neue</p>"_s);

    // Read-only mode stops editing and disables the toolbar.
    setContent(u"<p>abc</p>"_s);
    const QString enabledTools = u"Array.from(document.querySelectorAll('#toolbar button.tool'))"
                                 ".filter(b => !b.disabled).length"_s;
    ASSERT_GT(js(enabledTools).toInt(), 20);

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":true }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);
    EXPECT_EQ(js(enabledTools).toInt(), 0);
    EXPECT_EQ(status(u"status-mode"_s), u"Read-only"_s);
    putCaretAtEnd();
    type(u"xyz"_s);
    EXPECT_FALSE(js(u"Tavrik.editor.exec('bold')"_s).toBool());
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s), kReadOnlyReply);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"a.png"_s, u"a.png"_s, u"a.png"_s)),
              kReadOnlyReply);

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":false }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"true"_s);
    EXPECT_EQ(status(u"status-mode"_s), u"Editing"_s);
    EXPECT_GT(js(enabledTools).toInt(), 20);
    putCaretAtEnd();
    type(u"d"_s);
    EXPECT_TRUE(textIs(u"abcd"_s)) << html().toStdString();
    // The clear of the editing state keeps the mode.
    rawCall(u"SetEditorMode"_s, u"{\"readonly\":true}"_s);
    rawCall(u"ClearEditorCache"_s);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);

    // Without the native side the page still works and queues its commands.
    open(false);
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 0);
    js(u"document.querySelector('[data-id=\"attach\"]').click()"_s);
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 1);
    EXPECT_EQ(setContent(u"<p>x</p>"_s), kJsonReplyOk);
    EXPECT_EQ(html(), u"<p>x</p>"_s);
}

} // namespace

#include "tst_editorpage.moc"
