// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The editor page alone in a view: keys go to the view as the user types them.
class EditingPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view = std::make_unique<QWebEngineView>();
        m_view->resize(960, 640);
        m_view->show();
        QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
        m_view->load(QUrl::fromLocalFile(qEnvironmentVariable("TAVRIK_PAGE_DIR")
                                         + u"/zveditor/index.html"_s));
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(waitUntil(u"window.Tavrik && Tavrik.ready === true"_s));
        // The view takes the focus once: the note's caret is set after that.
        js(u"Tavrik.editor.focus()"_s);
        ASSERT_TRUE(waitUntil(u"Tavrik.editor.document().hasFocus()"_s));
    }

    QVariant js(const QString &script) { return runScript(m_view->page(), script); }
    bool waitUntil(const QString &condition) { return waitForScript(m_view->page(), condition); }
    QJsonObject content()
    {
        return QJsonDocument::fromJson(
                   js(u"jsProcessor('GetEditorContent', '{}')"_s).toString().toUtf8())
            .object();
    }
    QString html() { return content().value(u"ehtml"_s).toString(); }
    void setContent(const QString &html)
    {
        js(u"jsProcessor('SetEditorContent', "_s + jsString(html) + u")"_s);
    }
    // Waits until the note's markup is `markup`; the keys sent reach the page a moment later.
    bool htmlIs(const QString &markup)
    {
        return waitUntil(u"Tavrik.editor.document().body.innerHTML === "_s + jsString(markup));
    }
    // Puts the caret at the end of the element the selector finds.
    void caretAtEnd(const QString &selector)
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           u"const e=d.querySelector(%1);const w=d.createTreeWalker(e,NodeFilter.SHOW_TEXT);"
           u"let last=null;for(let n=w.nextNode();n;n=w.nextNode())last=n;"
           u"if(last)d.getSelection().collapse(last,last.length);else d.getSelection().collapse(e,0);})()"_s
               .arg(jsString(selector)));
    }
    void type(const QString &keys) { QTest::keyClicks(m_view->focusProxy(), keys); }
    // Opens `html` and types `keys` at the end of the element the selector finds.
    void typeInto(const QString &html, const QString &selector, const QString &keys)
    {
        setContent(html);
        caretAtEnd(selector);
        type(keys);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers with = {})
    {
        QTest::keyClick(m_view->focusProxy(), key, with);
    }

    void selectContents(const QString &selector)
    {
        js(u"Tavrik.editor.focus();(d => d.getSelection().selectAllChildren(d.querySelector(%1)))"
           u"(Tavrik.editor.document())"_s.arg(jsString(selector)));
    }
    // Clicks the element the selector finds `x` pixels from its left edge.
    void click(const QString &selector, int x)
    {
        js(u"(function(){const t=Tavrik.editor.document().querySelector(%1);"
           u"const r=t.getBoundingClientRect();t.dispatchEvent(new MouseEvent('click',"
           u"{bubbles:true,cancelable:true,clientX:r.x+%2,clientY:r.y+4}));})()"_s
               .arg(jsString(selector))
               .arg(x));
    }

    std::unique_ptr<QWebEngineView> m_view;
};

TEST_F(EditingPage, ChecklistsStartTickAndEndFromTheKeysTheToolbarAndTheBoxes)
{
    setContent(u"<p>Milk</p>"_s);
    caretAtEnd(u"p"_s);
    key(Qt::Key_9, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"false\">Milk</li></ul>"_s))
        << html().toStdString();
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li></ul>"_s))
        << html().toStdString();
    // Each tick is one step to undo and redo.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"false\">Milk</li></ul>"_s))
        << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li></ul>"_s))
        << html().toStdString();
    // A new item after a ticked one starts unticked.
    key(Qt::Key_Return);
    type(u"Eggs"_s);
    const QString both = u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li>"
                         "<li data-checked=\"false\">Eggs</li></ul>"_s;
    EXPECT_TRUE(htmlIs(both)) << html().toStdString();
    EXPECT_EQ(content().value(u"etext"_s).toString(), u"[x] Milk\n[ ] Eggs"_s);
    EXPECT_EQ(html(), both) << "the marks of the text stay out of the note";

    // A click on a box ticks its item; a click on the text or in read-only mode does not.
    click(u"li + li"_s, 4);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li>"
                       "<li data-checked=\"true\">Eggs</li></ul>"_s))
        << html().toStdString();
    click(u"li + li"_s, 40);
    js(u"jsProcessor('SetEditorMode', '{\"readonly\":true}')"_s);
    click(u"li"_s, 4);
    js(u"jsProcessor('SetEditorMode', '{\"readonly\":false}')"_s);
    EXPECT_EQ(html(),
              u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li>"
              "<li data-checked=\"true\">Eggs</li></ul>"_s);
    // Ctrl+Z takes the click back, Ctrl+Y makes it again; the next Ctrl+Z after the tick's
    // own undo is the browser's, taking back the "ggs" typed after the shifted "E".
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(both)) << html().toStdString();
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(QString(both).replace(u"\"false\">Eggs"_s, u"\"true\">Eggs"_s)))
        << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(QString(both).replace(u">Eggs"_s, u">E"_s))) << html().toStdString();
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(both)) << html().toStdString();

    // Ctrl+Shift+9 in an item makes it a paragraph again, without the look of a ticked item.
    caretAtEnd(u"li + li"_s);
    key(Qt::Key_9, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(htmlIs(u"<ul class=\"checklist\"><li data-checked=\"true\">Milk</li></ul>"
                       "<p>Eggs</p>"_s))
        << html().toStdString();
    // The toolbar's button, labelled with its key, turns it back.
    EXPECT_EQ(js(u"(b => b.getAttribute('aria-label') + '|' + b.getAttribute('aria-keyshortcuts'))"
                 "(document.querySelector('[data-id=\"checklist\"]'))"_s),
              u"Checklist|Control+Shift+9"_s);
    js(u"document.querySelector('[data-id=\"checklist\"]').click()"_s);
    EXPECT_TRUE(htmlIs(QString(both).replace(u"\"true\">Eggs"_s, u"\"false\">Eggs"_s)))
        << html().toStdString();
    EXPECT_TRUE(waitUntil(u"document.querySelector('[data-id=\"checklist\"]')"
                          ".getAttribute('aria-pressed') === 'true'"_s));

    // Typed: "[x] " starts a ticked item, the next starts unticked, an empty one ends the list
    // with nothing of an item's look on the paragraph after it.
    setContent(u"<p>x</p>"_s);
    caretAtEnd(u"p"_s);
    key(Qt::Key_Return);
    type(u"[x] Passport"_s);
    key(Qt::Key_Return);
    type(u"Tickets"_s);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    type(u"Plan"_s);
    EXPECT_TRUE(htmlIs(u"<p>x</p><ul class=\"checklist\"><li data-checked=\"true\">Passport</li>"
                       "<li data-checked=\"false\">Tickets</li></ul><p>Plan</p>"_s))
        << html().toStdString();

    // A checklist written elsewhere passes the sanitiser as it is.
    const QString foreign = u"<ul class=\"checklist todo\" style=\"color: red;\">"
                            "<li data-checked=\"true\" id=\"a\">Done <b>it</b></li>"
                            "<li>Plain</li></ul>"_s;
    setContent(foreign);
    EXPECT_EQ(html(), foreign);
    EXPECT_EQ(content().value(u"etext"_s).toString(), u"[x] Done it\n[ ] Plain"_s);
}

TEST_F(EditingPage, TypedMarksFormatTheirLineOrTextAndOneUndoPutsBackWhatWasTyped)
{
    // Typed at the start of an empty paragraph after another; the undo gives the marks back
    // as the browser types them (a final space is a non-breaking one).
    const std::pair<QString, QString> lines[] = {
        {u"# "_s, u"<h1><br></h1>"_s},
        {u"## "_s, u"<h2><br></h2>"_s},
        {u"### "_s, u"<h3><br></h3>"_s},
        {u"* "_s, u"<ul><li><br></li></ul>"_s},
        {u"- "_s, u"<ul><li><br></li></ul>"_s},
        {u"1. "_s, u"<ol><li><br></li></ol>"_s},
        {u"> "_s, u"<blockquote><br></blockquote>"_s},
        {u"[ ] "_s, u"<ul class=\"checklist\"><li data-checked=\"false\"><br></li></ul>"_s},
        {u"[x] "_s, u"<ul class=\"checklist\"><li data-checked=\"true\"><br></li></ul>"_s},
        {u"``` "_s, u"<pre><br></pre>"_s},
        {u"```js "_s, u"<pre class=\"language-javascript\"><br></pre>"_s},
        {u"```nosuchlanguage "_s, u"<pre><br></pre>"_s},
    };
    for (const auto &[marks, made] : lines) {
        typeInto(u"<p>x</p><p><br></p>"_s, u"p + p"_s, marks);
        EXPECT_TRUE(htmlIs(u"<p>x</p>"_s + made))
            << marks.toStdString() << ": " << html().toStdString();
        key(Qt::Key_Z, Qt::ControlModifier);
        const QString typed = QString(marks)
                                  .replace(QRegularExpression(u" $"_s), u"&nbsp;"_s)
                                  .replace(u">"_s, u"&gt;"_s);
        EXPECT_TRUE(htmlIs(u"<p>x</p><p>"_s + typed + u"</p>"_s))
            << marks.toStdString() << ": " << html().toStdString();
        type(u"!"_s);
        EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent.endsWith('!')"_s))
            << marks.toStdString() << ": the caret is after the marks";
    }
    // Marks not at the start of a paragraph, or in a heading, stay text.
    setContent(u"<p>a</p><h2>b</h2>"_s);
    caretAtEnd(u"p"_s);
    type(u" # "_s);
    ASSERT_TRUE(htmlIs(u"<p>a #&nbsp;</p><h2>b</h2>"_s)) << html().toStdString();
    caretAtEnd(u"h2"_s);
    type(u" - "_s);
    EXPECT_TRUE(htmlIs(u"<p>a #&nbsp;</p><h2>b -&nbsp;</h2>"_s)) << html().toStdString();

    // Three backticks and Enter start a code block too.
    typeInto(u"<p><br></p>"_s, u"p"_s, u"```python"_s);
    key(Qt::Key_Return);
    EXPECT_TRUE(htmlIs(u"<pre class=\"language-python\"><br></pre>"_s)) << html().toStdString();

    // Marks around text: the text formatted when the closing mark is typed, what follows plain;
    // Ctrl+Z right after the closing mark gives back the marks as typed.
    const std::pair<QString, QString> spans[] = {
        {u"a **bold**"_s, u"<p>a&nbsp;<b>bold</b></p>"_s},
        {u"a **bold** c"_s, u"<p>a&nbsp;<b>bold</b>&nbsp;c</p>"_s},
        {u"a _it_"_s, u"<p>a&nbsp;<i>it</i></p>"_s},
        {u"a _it_ c"_s, u"<p>a&nbsp;<i>it</i>&nbsp;c</p>"_s},
        {u"a `x < y`"_s, u"<p>a <code>x &lt; y</code></p>"_s},
        {u"a `x < y` c"_s, u"<p>a <code>x &lt; y</code>&nbsp;c</p>"_s},
        {u"a ** b** c_d_e"_s, u"<p>a ** b** c_d_e</p>"_s},
    };
    for (const auto &[typed, made] : spans) {
        typeInto(u"<p><br></p>"_s, u"p"_s, typed);
        EXPECT_TRUE(htmlIs(made)) << typed.toStdString() << ": " << html().toStdString();
        if (!made.endsWith(u"></p>"_s))
            continue;
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(htmlIs(u"<p>"_s + QString(typed).replace(u"<"_s, u"&lt;"_s) + u"</p>"_s))
            << typed.toStdString() << ": " << html().toStdString();
    }

    // Ctrl+\ clears the formatting of the selection.
    setContent(u"<p><b>a</b><i>b</i><code>c</code><span style=\"color: red;\">d</span>e</p>"_s);
    selectContents(u"p"_s);
    key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(u"<p>abcde</p>"_s)) << html().toStdString();
}

TEST_F(EditingPage, CodeBlocksAreColouredAsTypedKeepTheirIndentationAndSaveTheSameTwice)
{
    typeInto(u"<p><br></p>"_s, u"p"_s, u"```python"_s);
    key(Qt::Key_Return);
    type(u"def f(x):"_s);
    key(Qt::Key_Return);
    type(u"    return x"_s);
    const QString coloured
        = u"<pre class=\"language-python\"><span class=\"hljs-keyword\">def</span> "
          "<span class=\"hljs-title function_\">f</span>(<span class=\"hljs-params\">x</span>):\n"
          "    <span class=\"hljs-keyword\">return</span> x</pre>"_s;
    EXPECT_TRUE(htmlIs(coloured)) << html().toStdString();
    // The caret stayed where typing left it; Enter keeps the line's indentation.
    type(u"2"_s);
    key(Qt::Key_Return);
    type(u"pass"_s);
    EXPECT_TRUE(htmlIs(QString(coloured).replace(
        u" x</pre>"_s, u" x2\n    <span class=\"hljs-keyword\">pass</span></pre>"_s)))
        << html().toStdString();
    EXPECT_EQ(content().value(u"etext"_s).toString(), u"def f(x):\n    return x2\n    pass"_s);

    // Saved and opened again, the note gives the same bytes.
    const QString saved = html();
    setContent(saved);
    EXPECT_EQ(html(), saved);
    js(u"Tavrik.codeBlock.highlight(Tavrik.editor.document().querySelector('pre'))"_s);
    EXPECT_EQ(html(), saved);

    // Tab and Shift+Tab indent and outdent the selected lines.
    selectContents(u"pre"_s);
    key(Qt::Key_Tab);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === "_s
                          + jsString(u"\tdef f(x):\n\t    return x2\n\t    pass"_s)))
        << html().toStdString();
    key(Qt::Key_Tab, Qt::ShiftModifier);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent === "_s
                          + jsString(u"def f(x):\nreturn x2\npass"_s)))
        << html().toStdString();

    // The picker names the block's language and changes it; copying gives the plain text.
    caretAtEnd(u"pre"_s);
    EXPECT_TRUE(
        waitUntil(u"document.querySelector('[data-id=\"language\"]').value === 'python'"_s));
    EXPECT_EQ(js(u"document.querySelector('[data-id=\"language\"]').getAttribute('aria-label')"_s),
              u"Code language"_s);
    js(u"(s => { s.value = 'json'; s.dispatchEvent(new Event('change')); })"
       u"(document.querySelector('[data-id=\"language\"]'))"_s);
    EXPECT_TRUE(
        htmlIs(u"<pre class=\"language-json\">def f(x)<span class=\"hljs-punctuation\">:</span>"
               "\nreturn x2\npass</pre>"_s))
        << html().toStdString();
    selectContents(u"pre"_s);
    EXPECT_EQ(
        js(u"(function(){const dt=new DataTransfer();Tavrik.editor.document().body.dispatchEvent("
           u"new ClipboardEvent('copy',{clipboardData:dt,bubbles:true,cancelable:true}));"
           u"return dt.types.join(',') + '|' + dt.getData('text/plain');})()"_s),
        u"text/plain|def f(x):\nreturn x2\npass"_s);

    // A block with markup of its own is never rewritten; the theme changes the colours.
    const QString foreign = u"<pre>if <b>x</b></pre><pre class=\"language-c\">"
                            "<span class=\"hljs-keyword\">int</span> i;</pre>"_s;
    setContent(foreign);
    caretAtEnd(u"pre"_s);
    type(u"1"_s);
    EXPECT_TRUE(htmlIs(u"<pre>if <b>x1</b></pre>"_s + foreign.mid(22))) << html().toStdString();
    const QString keyword = u"Tavrik.editor.frame().contentWindow.getComputedStyle("
                            "Tavrik.editor.document().querySelector('.hljs-keyword')).color"_s;
    const QString light = js(keyword).toString();
    js(u"jsProcessor('SetEditorTheme', '{\"theme\":\"dark\"}')"_s);
    js(u"Tavrik.editor.setTheme('dark')"_s);
    EXPECT_NE(js(keyword).toString(), light);
    EXPECT_EQ(light, u"rgb(207, 34, 46)"_s);
}

TEST_F(EditingPage, PastingIntoACodeBlockInsertsTheTextAloneColouredAgain)
{
    setContent(u"<pre class=\"language-python\">x = 1\ny = </pre><p>after</p>"_s);
    caretAtEnd(u"pre"_s);
    js(u"(function(){const dt=new DataTransfer();dt.setData('text/html',"
       u"'<p><b>print</b>(<i>x</i>)</p>');dt.setData('text/plain','print(x)');"
       u"Tavrik.editor.document().body.dispatchEvent(new ClipboardEvent('paste',"
       u"{clipboardData:dt,bubbles:true,cancelable:true}));})()"_s);
    const QString pasted = u"<pre class=\"language-python\">x = <span class=\"hljs-number\">1"
                           "</span>\ny = <span class=\"hljs-built_in\">print</span>(x)</pre>"
                           "<p>after</p>"_s;
    EXPECT_TRUE(htmlIs(pasted)) << html().toStdString();
    // HTML alone, as the host pastes it, gives its text; outside code the markup stays.
    js(u"jsProcessor('PasteHtml', JSON.stringify({html: '<i>y</i>'}))"_s);
    EXPECT_TRUE(htmlIs(QString(pasted).replace(u"(x)</pre>"_s, u"(x)y</pre>"_s)))
        << html().toStdString();
    caretAtEnd(u"p"_s);
    js(u"jsProcessor('PasteHtml', JSON.stringify({html: '<i>z</i>'}))"_s);
    EXPECT_TRUE(htmlIs(QString(pasted)
                           .replace(u"(x)</pre>"_s, u"(x)y</pre>"_s)
                           .replace(u"after</p>"_s, u"after<i>z</i></p>"_s)))
        << html().toStdString();
}

// Each key is typed alone and the block coloured after it; Ctrl+Z takes back a key with its
// colours, leaving the markup exactly as it was before the key.
TEST_F(EditingPage, CtrlZInAColouredCodeBlockPutsBackExactlyWhatWasTypedAStepAtATime)
{
    const QString start = u"<pre class=\"language-python\">x = 1</pre>"_s;
    const QString twelve
        = u"<pre class=\"language-python\">x = <span class=\"hljs-number\">12</span></pre>"_s;
    const QString comment = u"<pre class=\"language-python\">x = <span class=\"hljs-number\">12"
                            "</span><span class=\"hljs-comment\">#</span></pre>"_s;
    const QString bodyText = u"Tavrik.editor.document().body.textContent"_s;
    setContent(start);
    caretAtEnd(u"pre"_s);
    type(u"2"_s);
    ASSERT_TRUE(htmlIs(twelve)) << html().toStdString();
    type(u"#"_s);
    ASSERT_TRUE(htmlIs(comment)) << html().toStdString();

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(twelve)) << html().toStdString();
    EXPECT_EQ(js(bodyText), u"x = 12"_s);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(start)) << html().toStdString();
    EXPECT_EQ(js(bodyText), u"x = 1"_s);

    // Ctrl+Y makes the typing and its colours again, and Ctrl+Z takes them back again.
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(twelve)) << html().toStdString();
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(comment)) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(start)) << html().toStdString();

    // The caret is where the typing began; typing goes on and is coloured again.
    type(u"3"_s);
    const QString thirteen
        = u"<pre class=\"language-python\">x = <span class=\"hljs-number\">13</span></pre>"_s;
    ASSERT_TRUE(htmlIs(thirteen)) << html().toStdString();

    // A language chosen in the picker is a step of its own; the typing before it comes next.
    js(u"(s => { s.value = 'json'; s.dispatchEvent(new Event('change')); })"
       u"(document.querySelector('[data-id=\"language\"]'))"_s);
    ASSERT_TRUE(htmlIs(u"<pre class=\"language-json\">x = <span class=\"hljs-number\">13</span>"
                       "</pre>"_s))
        << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(thirteen)) << html().toStdString();

    // A new line and a comment on it, then back to the line before.
    key(Qt::Key_Return);
    type(u"#"_s);
    ASSERT_TRUE(htmlIs(u"<pre class=\"language-python\">x = <span class=\"hljs-number\">13</span>\n"
                       "<span class=\"hljs-comment\">#</span></pre>"_s))
        << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(thirteen)) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(start)) << html().toStdString();
}

} // namespace

// Typing in a long note edits only the block at the caret; it must leave exactly what typing
// in the whole note leaves, and give the whole note back to everything else.
class LongNoteTyping : public EditingPage
{
protected:
    // About 23,000 characters after `first`: long enough for typing to be narrowed.
    static QString longNote(const QString &first)
    {
        return first
            + QString(u"<p>Filler text of a long note, one of many lines, <b>some bold</b>.</p>"_s)
                  .repeated(400);
    }
    // Opens `html`, puts the caret `offset` characters into the text of its first block and
    // waits until the note has been counted.
    void openAt(const QString &html, int offset)
    {
        js(u"Tavrik.editor.setMaxChars(100000)"_s);
        setContent(html);
        ASSERT_TRUE(waitUntil(u"Tavrik.editor.charCount() === "_s
                              u"Tavrik.editor.document().body.textContent.length"_s));
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           u"const w=d.createTreeWalker(d.body.firstElementChild,NodeFilter.SHOW_TEXT);"
           u"let left=%1;for(let n=w.nextNode();n;n=w.nextNode()){if(left<=n.length)"
           u"{d.getSelection().collapse(n,left);return;}left-=n.length;}})()"_s.arg(offset));
    }
    QString firstBlock()
    {
        return js(u"Tavrik.editor.document().body.firstElementChild.outerHTML"_s).toString();
    }
    bool narrowed()
    {
        return js(u"Tavrik.editor.document().documentElement.classList.contains('narrow')"_s)
            .toBool();
    }
    bool firstBlockIs(const QString &markup)
    {
        return waitUntil(u"Tavrik.editor.document().body.firstElementChild.outerHTML === "_s
                         + jsString(markup));
    }
    // Types `keys` into `block` at `offset`, alone and first in a long note, and gives the
    // block as each left it once it is `expected`, or after a while; the long note's typing
    // has to have been narrowed.
    std::pair<QString, QString> typedAloneAndInLongNote(const QString &block, int offset,
                                                        const QString &keys,
                                                        const QString &expected)
    {
        openAt(block, offset);
        type(keys);
        firstBlockIs(expected);
        const QString alone = firstBlock();
        EXPECT_FALSE(narrowed()) << "a short note is edited whole";
        openAt(longNote(block), offset);
        type(keys);
        firstBlockIs(expected);
        EXPECT_TRUE(narrowed()) << block.toStdString();
        EXPECT_EQ(js(u"Tavrik.editor.document().activeElement === "_s
                     u"Tavrik.editor.document().body.firstElementChild"_s),
                  true);
        return {alone, firstBlock()};
    }
};

TEST_F(LongNoteTyping, TypedTextIsWhatTheWholeNoteWouldGetAndTheMarkupHasNoTrace)
{
    const struct
    {
        QString block;
        int offset;
        QString keys;
        QString typed;
    } cases[] = {
        {u"<p>Meeting <b>notes</b> end</p>"_s, 10, u"w  x"_s,
         u"<p>Meeting <b>now&nbsp; xtes</b> end</p>"_s},
        {u"<p>Ends here</p>"_s, 9, u" a "_s, u"<p>Ends here a&nbsp;</p>"_s},
        {u"<table><tbody><tr><td>cell</td><td>two</td></tr></tbody></table>"_s, 4, u"s!"_s,
         u"<table><tbody><tr><td>cells!</td><td>two</td></tr></tbody></table>"_s},
        {u"<ul><li>first</li><li>second</li></ul>"_s, 2, u"RS"_s,
         u"<ul><li>fiRSrst</li><li>second</li></ul>"_s},
        {u"<pre>code line</pre>"_s, 4, u"  x"_s,
         u"<pre><span class=\"hljs-selector-tag\">code</span>  <span "
         u"class=\"hljs-attribute\">x</span> "
         "<span class=\"hljs-selector-tag\">line</span></pre>"_s},
        {u"<p>Meeting</p>"_s, 5, u"\b\bn"_s, u"<p>Meenng</p>"_s},
    };
    for (const auto &c : cases) {
        const auto [alone, inLongNote]
            = typedAloneAndInLongNote(c.block, c.offset, c.keys, c.typed);
        EXPECT_EQ(inLongNote, c.typed) << c.block.toStdString();
        EXPECT_EQ(alone, c.typed) << c.block.toStdString();
    }
    // Saved, the note carries nothing of the narrowing.
    EXPECT_TRUE(html() == longNote(cases[std::size(cases) - 1].typed));
}

TEST_F(LongNoteTyping, OtherKeysUndoEnterAndSelectionsAcrossBlocksWorkOnTheWholeNote)
{
    const QString note = longNote(u"<p>one</p><p>two</p><p>three</p>"_s);
    openAt(note, 3);
    type(u"ly"_s);
    ASSERT_TRUE(htmlIs(longNote(u"<p>onely</p><p>two</p><p>three</p>"_s)))
        << firstBlock().toStdString();
    ASSERT_TRUE(narrowed());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(note)) << firstBlock().toStdString();
    EXPECT_FALSE(narrowed());
    EXPECT_EQ(js(u"Tavrik.editor.document().activeElement.tagName"_s), u"BODY"_s);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(longNote(u"<p>onely</p><p>two</p><p>three</p>"_s)));

    // A selection made with the keys after typing reaches over blocks, and typing replaces it.
    type(u"!"_s);
    ASSERT_TRUE(firstBlockIs(u"<p>onely!</p>"_s)) << firstBlock().toStdString();
    ASSERT_TRUE(narrowed());
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().getSelection().toString() === "_s
                          u"'\\ntwo\\n\\nthree'"_s))
        << js(u"JSON.stringify(Tavrik.editor.document().getSelection().toString())"_s)
               .toString()
               .toStdString();
    type(u"X"_s);
    EXPECT_TRUE(htmlIs(longNote(u"<p>onely!X</p>"_s))) << firstBlock().toStdString();

    // Enter splits the block into two of the note's own blocks; Backspace at a block's start
    // joins it to the one before.
    type(u"ab"_s);
    key(Qt::Key_Left);
    key(Qt::Key_Return);
    type(u"c"_s);
    EXPECT_TRUE(htmlIs(longNote(u"<p>onely!Xa</p><p>cb</p>"_s))) << firstBlock().toStdString();
    key(Qt::Key_Left);
    key(Qt::Key_Backspace);
    EXPECT_TRUE(htmlIs(longNote(u"<p>onely!Xacb</p>"_s))) << firstBlock().toStdString();
    EXPECT_FALSE(narrowed());

    // A typed mark's command runs on the whole note: the list replaces the paragraph.
    openAt(longNote(u"<p><br></p>"_s), 0);
    type(u"* a"_s);
    EXPECT_TRUE(htmlIs(longNote(u"<ul><li>a</li></ul>"_s))) << firstBlock().toStdString();
}

TEST_F(LongNoteTyping, ACompositionRunsOnTheWholeNote)
{
    openAt(longNote(u"<p>abc</p>"_s), 1);
    type(u"x"_s);
    ASSERT_TRUE(firstBlockIs(u"<p>axbc</p>"_s)) << firstBlock().toStdString();
    ASSERT_TRUE(narrowed());
    QInputMethodEvent preedit(u"ni"_s, {});
    QCoreApplication::sendEvent(m_view->focusProxy(), &preedit);
    EXPECT_TRUE(waitUntil(u"!Tavrik.editor.document().documentElement.classList"_s
                          u".contains('narrow')"_s));
    QInputMethodEvent commit;
    commit.setCommitString(u"你"_s);
    QCoreApplication::sendEvent(m_view->focusProxy(), &commit);
    EXPECT_TRUE(htmlIs(longNote(u"<p>ax你bc</p>"_s))) << firstBlock().toStdString();
    EXPECT_EQ(js(u"Tavrik.editor.document().activeElement.tagName"_s), u"BODY"_s);
}

namespace {

// A note as a screen reader reads it from the engine's accessibility tree: the text of each
// paragraph, how many of them it may edit, and the one holding the focus.
struct ReadNote
{
    QStringList paragraphs;
    int editable = 0;
    QString focused;
};

void readParagraphs(QAccessibleInterface *node, ReadNote &note)
{
    if (!node)
        return;
    if (node->role() == QAccessible::Paragraph) {
        QString text;
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *child = node->child(i))
                text += child->text(QAccessible::Name);
        }
        note.paragraphs << text;
        note.editable += node->state().editable ? 1 : 0;
        if (node->state().focused)
            note.focused = text;
        return;
    }
    for (int i = 0; i < node->childCount(); ++i)
        readParagraphs(node->child(i), note);
}

// The engine builds its accessibility tree from its start only when asked to: these tests run
// in a program of their own that asks.
class ScreenReader : public LongNoteTyping
{
protected:
    void SetUp() override
    {
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --force-renderer-accessibility");
        QAccessible::setActive(true);
        LongNoteTyping::SetUp();
    }
    ReadNote read() const
    {
        ReadNote note;
        readParagraphs(QAccessible::queryAccessibleInterface(m_view.get()), note);
        return note;
    }
};

} // namespace

TEST_F(ScreenReader, ALongNoteNarrowedForTypingIsReadWholeAndEditableAtTheCaretsBlock)
{
    openAt(longNote(u"<p>one</p><p>two</p>"_s), 3);
    type(u"ly"_s);
    ASSERT_TRUE(firstBlockIs(u"<p>onely</p>"_s));
    ASSERT_TRUE(narrowed());
    // The engine sends the tree to the window a moment after the page changes.
    ReadNote note;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            note = read();
            return note.focused == u"onely"_s;
        },
        10000))
        << note.focused.toStdString();
    const QString filler = u"Filler text of a long note, one of many lines, some bold."_s;
    ASSERT_EQ(note.paragraphs.count(filler), 400);
    EXPECT_EQ(note.paragraphs.indexOf(u"onely"_s) + 1, note.paragraphs.indexOf(u"two"_s));
    EXPECT_EQ(note.paragraphs.indexOf(u"two"_s) + 1, note.paragraphs.indexOf(filler));
    // Every block of the note is read as one the user can edit, as in a note edited whole.
    EXPECT_GE(note.editable, 402);
}
