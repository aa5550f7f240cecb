// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Markdown through the real editor page: a note written as Markdown, the selection copied as
// Markdown, Markdown pasted as markup, text pasted with the keys converted only when it is
// clearly Markdown, and Ctrl+Z giving back the text as a plain paste puts it.
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString exdata(const QString &name)
{
    return u"{\"OrigName_B64\":\""_s + QString::fromLatin1(name.toUtf8().toBase64()) + u"\"}"_s;
}

// A picture and a file card as the note keeps them, with the names of their files in the store.
QString attachments()
{
    return u"<p><img src=\"../userdata\\attachment\\0a1b.png\" "
           u"class=\"userdata\\attachment\\0a1b.png\" "
           "zv_exdata='%1'></p><p><img src=\"../userdata\\attachment\\9f8e.bmp\" "
           "class=\"userdata\\attachment\\7c6d.pdf\" zv_exdata='%2'></p>"_s.arg(
               exdata(u"Beach (day 1).png"_s), exdata(u"旅行 report.pdf"_s));
}

const QString RichNote
    = u"<h1>Trip plan</h1><h3>Before</h3>"
      "<p>Pack <b>light</b>, book <i>early</i> and read <a href=\"https://example.com/guide\">the "
      "guide</a>.</p>"
      "<ul><li>Clothes<ul><li>Shirts</li><li>Shoes</li></ul></li><li>Papers</li></ul>"
      "<ol><li>Book</li><li>Pay<ol><li>Card</li></ol></li></ol>"
      "<ul class=\"checklist\"><li data-checked=\"true\">Passport</li>"
      "<li data-checked=\"false\">Tickets</li></ul>"
      "<pre class=\"language-python\"><span class=\"hljs-keyword\">def</span> go():\n"
      "    return 1\n```\n</pre>"
      "<table><tbody><tr><td>Day</td><td>City</td></tr><tr><td>1</td><td>Rome | "
      "<b>Roma</b></td></tr></tbody></table>"
      "<table><tbody><tr><td colspan=\"2\">Budget</td></tr><tr><td>Food</td><td>40</td></tr>"
      "</tbody></table>"_s;

class MarkdownPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view = std::make_unique<QWebEngineView>();
        m_view->resize(900, 600);
        m_view->show();
        QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
        m_view->load(QUrl::fromLocalFile(qEnvironmentVariable("TAVRIK_PAGE_DIR")
                                         + u"/zveditor/index.html"_s));
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(waitForScript(m_view->page(), u"window.Tavrik && Tavrik.ready === true"_s));
        js(u"Tavrik.editor.focus()"_s);
        ASSERT_TRUE(waitForScript(m_view->page(), u"Tavrik.editor.document().hasFocus()"_s));
    }

    QVariant js(const QString &script) { return runScript(m_view->page(), script); }
    QJsonObject call(const QString &method, const QJsonObject &arg)
    {
        const QString argText
            = QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact));
        return QJsonDocument::fromJson(
                   js(u"jsProcessor(%1, %2)"_s.arg(jsString(method), jsString(argText)))
                       .toString()
                       .toUtf8())
            .object();
    }
    QString markdownOf(const QString &html)
    {
        return call(u"HtmlToMarkdown"_s, {{u"html"_s, html}}).value(u"markdown"_s).toString();
    }
    QString html() { return js(u"Tavrik.editor.document().body.innerHTML"_s).toString(); }
    void open(const QString &html)
    {
        js(u"Tavrik.editor.setContent(%1);Tavrik.editor.focus()"_s.arg(jsString(html)));
    }
    // Puts the caret at the end of the note.
    void caretAtEnd()
    {
        js(u"(d => { const r = d.createRange(); r.selectNodeContents(d.body); r.collapse(false);"
           " d.getSelection().removeAllRanges(); d.getSelection().addRange(r); })"
           "(Tavrik.editor.document())"_s);
    }
    // Pastes `text` (and nothing else) with Ctrl+V into a note holding `html`, caret at its end,
    // and gives the note's markup once it changed.
    QString pasteWithKeys(const QString &html, const QString &text)
    {
        open(html);
        caretAtEnd();
        QGuiApplication::clipboard()->setText(text);
        const QString before = this->html();
        QTest::keyClick(m_view->focusProxy(), Qt::Key_V, Qt::ControlModifier);
        waitForScript(m_view->page(),
                      u"Tavrik.editor.document().body.innerHTML !== "_s + jsString(before));
        return this->html();
    }

    std::unique_ptr<QWebEngineView> m_view;
};

TEST_F(MarkdownPage, ANoteIsWrittenAsMarkdownWithItsListsCodeTablesAndAttachments)
{
    const QString expected
        = u"# Trip plan\n\n### Before\n\n"
          "Pack **light**, book _early_ and read [the guide](https://example.com/guide).\n\n"
          "- Clothes\n  - Shirts\n  - Shoes\n- Papers\n\n"
          "1. Book\n2. Pay\n   1. Card\n\n"
          "- [x] Passport\n- [ ] Tickets\n\n"
          "````python\ndef go():\n    return 1\n```\n````\n\n"
          "| Day | City |\n| --- | --- |\n| 1 | Rome \\| **Roma** |\n\n"
          "<table><tbody><tr><td colspan=\"2\">Budget</td></tr><tr><td>Food</td>"
          "<td>40</td></tr></tbody></table>\n\n"
          "![Beach (day 1).png](../userdata\\attachment\\0a1b.png)\n\n"
          "[![旅行 report.pdf](../userdata\\attachment\\9f8e.bmp)]"
          "(userdata\\attachment\\7c6d.pdf)"_s;
    EXPECT_EQ(markdownOf(RichNote + attachments()), expected);
    // An exported note's card is already linked to its copy: only its picture is written.
    EXPECT_EQ(
        markdownOf(u"<p><a href=\"%E6%97%85.pdf\"><img src=\"%E6%97%85.pdf.bmp\" class=\"x.pdf\" "
                   "zv_exdata='%1'></a></p>"_s.arg(exdata(u"旅.pdf"_s))),
        u"[![旅.pdf](%E6%97%85.pdf.bmp)](%E6%97%85.pdf)"_s);
    EXPECT_EQ(call(u"HtmlToMarkdown"_s, {{u"text"_s, u"x"_s}}).value(u"errmsg"_s).toString(),
              u"bad argument: \"html\" must be a text"_s);
}

TEST_F(MarkdownPage, TheSelectionIsCopiedWithItsListAndTheStoreAddressesOfItsAttachments)
{
    open(RichNote + attachments());
    const auto selection = [this](const QString &from, const QString &to) {
        js(u"(d => { const r = d.createRange(); r.setStart(d.querySelector(%1).firstChild, 0);"
           " const e = d.querySelector(%2); r.setEnd(e, e.childNodes.length);"
           " d.getSelection().removeAllRanges(); d.getSelection().addRange(r); })"
           "(Tavrik.editor.document())"_s.arg(jsString(from), jsString(to)));
        return call(u"SelectionMarkdown"_s, {{u"store"_s, u"file:///home/a%20b/store/"_s}})
            .value(u"markdown"_s)
            .toString();
    };
    EXPECT_EQ(selection(u".checklist li"_s, u".checklist li + li"_s),
              u"- [x] Passport\n- [ ] Tickets"_s);
    EXPECT_EQ(selection(u"pre"_s, u"pre"_s), u"````python\ndef go():\n    return 1\n```\n````"_s);
    const QString attachmentsOnly = selection(u"p:nth-last-child(2)"_s, u"p:last-child"_s);
    EXPECT_EQ(
        attachmentsOnly,
        u"![Beach (day 1).png](file:///home/a%20b/store/0a1b.png)\n\n"
        "[![旅行 report.pdf](file:///home/a%20b/store/9f8e.bmp)](file:///home/a%20b/store/7c6d.pdf)"_s);
    js(u"Tavrik.editor.document().getSelection().collapseToEnd()"_s);
    EXPECT_EQ(call(u"SelectionMarkdown"_s, {{u"store"_s, u"file:///s/"_s}}).value(u"markdown"_s),
              u""_s);
}

TEST_F(MarkdownPage, MarkdownIsPastedAsTheNotesOwnMarkupWithRawHtmlKeptAsText)
{
    open(u"<p>Start</p>"_s);
    caretAtEnd();
    const QJsonObject reply
        = call(u"PasteMarkdown"_s,
               {{u"text"_s,
                 u"## Shopping\n\n- [ ] Milk\n- [x] Eggs\n\n```js\nlet a = 1 < 2;\n```\n\n"
                 "| A | B |\n|---|---|\n| 1 | 2 |\n\nSome **bold**, _it_ and <b>raw</b> "
                 "[link](javascript:alert(1)).\n"_s}});
    EXPECT_TRUE(reply.value(u"result"_s).toBool())
        << reply.value(u"errmsg"_s).toString().toStdString();
    EXPECT_EQ(
        html(),
        u"<p>Start</p><h2>Shopping</h2><ul class=\"checklist\"><li data-checked=\"false\">Milk</li>"
        "<li data-checked=\"true\">Eggs</li></ul><pre class=\"language-js\">let a = 1 &lt; 2;</pre>"
        "<table><thead><tr><th scope=\"col\">A</th><th scope=\"col\">B</th></tr></thead>"
        "<tbody><tr><td>1</td><td>2</td></tr></tbody></table>"
        "<p>Some <strong>bold</strong>, <em>it</em> and &lt;b&gt;raw&lt;/b&gt; "
        "[link](javascript:alert(1)).</p>"_s);
    EXPECT_EQ(call(u"PasteMarkdown"_s, {{u"text"_s, u"   "_s}}).value(u"errmsg"_s).toString(),
              u"the Markdown text gave nothing to insert, or is too long for the note"_s);
    js(u"Tavrik.editor.setReadOnly(true)"_s);
    EXPECT_EQ(call(u"PasteMarkdown"_s, {{u"text"_s, u"# x"_s}}).value(u"errmsg"_s).toString(),
              u"the editor is read-only"_s);
}

TEST_F(MarkdownPage, TextIsTakenForMarkdownOnlyWithAHeadingAFenceOrTwoListLines)
{
    const std::vector<std::pair<QString, bool>> cases{
        {u"# x"_s, true},           {u"#x"_s, false},           {u"###### x"_s, true},
        {u"####### x"_s, false},    {u" # x"_s, false},         {u"# "_s, false},
        {u"note\n## Plan"_s, true}, {u"- a"_s, false},          {u"- a\n- b"_s, true},
        {u"- a\n\n- b"_s, false},   {u"-a\n-b"_s, false},       {u"1. a\n2) b"_s, true},
        {u"1.a\n2.b"_s, false},     {u"  * a\n  + b"_s, true},  {u"```js\nx\n```"_s, true},
        {u"```js\nx"_s, false},     {u"~~~~\nx\n~~~"_s, false}, {u"~~~\nx\n~~~~"_s, true},
        {u"``\nx\n``"_s, false},
    };
    for (const auto &[text, markdown] : cases)
        EXPECT_EQ(js(u"Tavrik.markdown.isMarkdown(%1)"_s.arg(jsString(text))).toBool(), markdown)
            << "for " << text.toStdString();

    // With the keys: a heading goes in as one, text that only looks alike stays text.
    EXPECT_EQ(pasteWithKeys(u"<p><br></p>"_s, u"# Plan\n- a\n- b"_s),
              u"<h1>Plan</h1><ul><li>a</li><li>b</li></ul>"_s);
    EXPECT_EQ(pasteWithKeys(u"<p>x</p>"_s, u"#Plan"_s), u"<p>x#Plan</p>"_s);
    EXPECT_EQ(pasteWithKeys(u"<p>x</p>"_s, u"- a"_s), u"<p>x- a</p>"_s);
    // Inside a code block the text stays as it is.
    open(u"<pre>code</pre>"_s);
    js(u"(d => d.getSelection().collapse(d.querySelector('pre').firstChild, 4))(Tavrik.editor.document())"_s);
    QGuiApplication::clipboard()->setText(u"# x"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(
        waitForScript(m_view->page(),
                      u"(b => b.textContent === 'code# x' && b.firstChild.nodeName === 'PRE'"
                      " && b.childNodes.length === 1)(Tavrik.editor.document().body)"_s))
        << html().toStdString();
}

TEST_F(MarkdownPage, CtrlZAfterAConvertedPasteGivesTheTextAsAPlainPastePutsIt)
{
    const QString text = u"# Plan\n\n- [ ] Milk\n- [x] Eggs\n\nend"_s;
    // The text as a plain paste puts it.
    open(u"<p>Start</p>"_s);
    caretAtEnd();
    js(u"Tavrik.editor.insertOutsideContent('', %1)"_s.arg(jsString(text)));
    const QString plain = html();
    ASSERT_TRUE(plain.startsWith(u"<p>Start# Plan</p>"_s)) << plain.toStdString();

    const QString converted = pasteWithKeys(u"<p>Start</p>"_s, text);
    EXPECT_EQ(
        converted,
        u"<p>Start</p><h1>Plan</h1><ul class=\"checklist\"><li data-checked=\"false\">Milk</li>"
        "<li data-checked=\"true\">Eggs</li></ul><p>end</p>"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(waitForScript(m_view->page(),
                              u"Tavrik.editor.document().body.innerHTML === "_s + jsString(plain)))
        << html().toStdString();
    // The next Ctrl+Z takes the paste back altogether.
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(waitForScript(m_view->page(),
                              u"Tavrik.editor.document().body.innerHTML === '<p>Start</p>'"_s))
        << html().toStdString();
}

} // namespace
