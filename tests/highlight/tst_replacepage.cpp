// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Find and replace through the real editor page: the exact markup after each replacement and
// after the undo that takes it back, whole words, letter case, attachments and refusals.
#include "editorhost.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QWebEngineScript>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QString Attachment
    = u"<img src=\"data:image/png;base64,iVBORw0KGgo=\" class=\"userdata\\attachment\\cat.png\" "
      "zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;Y2F0LnBuZw==&quot;}\" "
      "data-ke-src=\"../userdata\\attachment\\cat.png\" zvimgsrc=\"../userdata\\attachment\\cat.png\">"_s;

class ReplacePage : public EditorInHostTest
{
protected:
    ZvWebNoteHandler &handler() { return m_editor->handler(); }
    // Shows `html` in a fresh frame, the cache clearing that follows new content done.
    void show(const QString &html)
    {
        handler().SetEditorHtml(html);
        QCoreApplication::sendPostedEvents();
    }
    QString body() { return runInPage(u"Tavrik.editor.document().body.innerHTML"_s).toString(); }
    int marked()
    {
        return runScript(m_editor->page(), u"tavrikHighlighter.describe(true).hits"_s,
                         QWebEngineScript::ApplicationWorld)
            .toInt();
    }
    void pressUndo()
    {
        handler().SetEditorFocus();
        focusEditor();
        QTest::keyClick(m_editor->GetWebBrowseHwnd(), Qt::Key_Z, Qt::ControlModifier);
    }
};

struct Case
{
    QString html;
    QString keyword;
    bool matchCase;
    bool wholeWord;
    int replaced;
    QString after;
};

TEST_F(ReplacePage, ReplaceAllKeepsTheMarkupAndOneCtrlZPutsEveryHitBack)
{
    const Case cases[] = {
        {u"<p>a<b>b</b>c</p>"_s, u"ab"_s, true, false, 1, u"<p>X<b></b>c</p>"_s},
        {u"<p>one <b>two</b> <i>t<u>w</u>o</i></p>"_s, u"two"_s, true, false, 2,
         u"<p>one <b>X</b> <i>X<u></u></i></p>"_s},
        {u"<p>ab</p><p>cd</p>"_s, u"bc"_s, true, false, 0, u"<p>ab</p><p>cd</p>"_s},
        {u"<p>aaa</p>"_s, u"aa"_s, true, false, 1, u"<p>Xa</p>"_s},
        {u"<p>Cat cat CAT</p>"_s, u"cat"_s, true, false, 1, u"<p>Cat X CAT</p>"_s},
        {u"<p>Cat cat CAT</p>"_s, u"cat"_s, false, false, 3, u"<p>X X X</p>"_s},
        // Whole words: at the note's edges, beside punctuation, letters of any script, digits,
        // a letter across formatting, never across a block.
        {u"<p>cat catalog cat. xcat cat1 écat cat</p>"_s, u"cat"_s, true, true, 3,
         u"<p>X catalog X. xcat cat1 écat X</p>"_s},
        {u"<p>cat</p><p>cat<b>s</b> cat<b> </b>x<i>cat</i></p>"_s, u"cat"_s, true, true, 2,
         u"<p>X</p><p>cat<b>s</b> X<b> </b>x<i>cat</i></p>"_s},
        {u"<p>кот котик 😀cat cat😀</p>"_s, u"кот"_s, true, true, 1, u"<p>X котик 😀cat cat😀</p>"_s},
        {u"<p>😀cat cat𝐀</p>"_s, u"cat"_s, true, true, 1, u"<p>😀X cat𝐀</p>"_s},
    };
    for (const Case &c : cases) {
        show(c.html);
        ASSERT_EQ(body(), c.html);
        LogCapture log;
        EXPECT_EQ(handler().ReplaceAll(c.keyword, u"X"_s, c.matchCase, c.wholeWord), c.replaced)
            << c.html.toStdString();
        EXPECT_EQ(body(), c.after) << c.html.toStdString();
        EXPECT_EQ(log.lines(), Lines{});
        EXPECT_EQ(marked(), 0) << "the replaced hits stay unmarked";
        if (c.replaced == 0)
            continue;
        pressUndo();
        EXPECT_TRUE(QTest::qWaitFor([&] { return body() == c.html; }, 5000))
            << c.html.toStdString() << " came back as " << body().toStdString();
    }
}

TEST_F(ReplacePage, AttachmentsKeepTheirMarkupAndTheReplacementIsText)
{
    show(u"<p>cat"_s + Attachment + u"cat <a href=\"https://cat.example/\">cat</a></p>"_s);
    const QString before = body();
    const QString img
        = runInPage(u"Tavrik.editor.document().querySelector('img').outerHTML"_s).toString();
    ASSERT_TRUE(img.contains(u"cat.png"_s));
    EXPECT_EQ(handler().ReplaceAll(u"tc"_s, u"X"_s), 0) << "no hit runs over a picture";
    EXPECT_EQ(handler().ReplaceAll(u"cat"_s, u"<b>&amp;</b>"_s), 3);
    EXPECT_EQ(body(),
              u"<p>&lt;b&gt;&amp;amp;&lt;/b&gt;"_s + img
                  + u"&lt;b&gt;&amp;amp;&lt;/b&gt; <a href=\"https://cat.example/\">"
                    "&lt;b&gt;&amp;amp;&lt;/b&gt;</a></p>"_s);
    pressUndo();
    EXPECT_TRUE(QTest::qWaitFor([&] { return body() == before; }, 5000)) << body().toStdString();
}

TEST_F(ReplacePage, ReplaceCurrentReplacesTheCurrentHitAndMovesToTheNext)
{
    show(u"<p>one two one <i>one</i> two</p>"_s);
    ASSERT_EQ(handler().HighlightText(u"ONE"_s, false), 1);
    EXPECT_EQ(handler().ReplaceCurrent(u"1"_s), 0) << "no hit is current yet";
    EXPECT_EQ(handler().HighlightNext(false), 0);
    EXPECT_EQ(handler().HighlightNext(false), 1);
    EXPECT_EQ(handler().ReplaceCurrent(u"1"_s), 1);
    EXPECT_EQ(body(), u"<p>one two 1 <i>one</i> two</p>"_s);
    EXPECT_EQ(handler().HighlightCount(), 2);
    EXPECT_EQ(handler().HighlightCurrent(), 1) << "the hit after the replaced one";
    EXPECT_EQ(handler().ReplaceCurrent(QString()), 1);
    EXPECT_EQ(body(), u"<p>one two 1 <i></i> two</p>"_s);
    EXPECT_EQ(handler().HighlightCount(), 1);
    EXPECT_EQ(handler().HighlightCurrent(), 0) << "after the last comes the first";
    pressUndo();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return body() == u"<p>one two 1 <i>one</i> two</p>"_s; }, 5000))
        << body().toStdString();
}

TEST_F(ReplacePage, HitsLeftOrMadeByTheReplacementAreMarkedAgain)
{
    struct Left
    {
        QString html, keyword, replacement;
        bool matchCase;
        int replaced, marked;
        QString after;
    };
    const Left cases[] = {
        {u"<p>aabb</p>"_s, u"ab"_s, QString(), true, 1, 1, u"<p>ab</p>"_s},
        {u"<p>cat dog</p>"_s, u"cat"_s, u"bobcat"_s, true, 1, 1, u"<p>bobcat dog</p>"_s},
        {u"<p>cat Cat</p>"_s, u"cat"_s, u"CAT"_s, false, 2, 2, u"<p>CAT CAT</p>"_s},
        {u"<p>cat Cat</p>"_s, u"cat"_s, u"dog"_s, true, 1, 0, u"<p>dog Cat</p>"_s},
    };
    for (const Left &c : cases) {
        show(c.html);
        EXPECT_EQ(handler().ReplaceAll(c.keyword, c.replacement, c.matchCase), c.replaced)
            << c.html.toStdString();
        EXPECT_EQ(body(), c.after);
        EXPECT_EQ(handler().HighlightCount(), c.marked) << c.html.toStdString();
        EXPECT_EQ(marked(), c.marked) << c.html.toStdString();
    }
}

TEST_F(ReplacePage, HitsAreFoundInTextChangedSinceTheLastSearch)
{
    show(u"<p>cat</p><p>dog cat</p>"_s);
    ASSERT_EQ(handler().HighlightText(u"cat"_s), 1);
    EXPECT_EQ(handler().HighlightCount(), 2);
    const QString paragraphs = u"Tavrik.editor.document().body.children"_s;
    runInPage(paragraphs + u"[0].firstChild.data = 'a cat cat'"_s); // the text of a node changed
    EXPECT_EQ(handler().ReplaceAll(u"cat"_s, u"X"_s), 3);
    EXPECT_EQ(body(), u"<p>a X X</p><p>dog X</p>"_s);
    runInPage(paragraphs + u"[1].firstChild.data = ''; "_s + paragraphs
              + u"[1].append('cat', 'cat')"_s); // a node emptied, others added
    EXPECT_EQ(handler().HighlightText(u"cat"_s), 1);
    EXPECT_EQ(handler().HighlightCount(), 2);
    runInPage(paragraphs + u"[0].firstChild.data = 'cat'"_s);
    EXPECT_EQ(handler().ReplaceAll(u"catcat"_s, u"Y"_s), 1);
    EXPECT_EQ(body(), u"<p>cat</p><p>Y</p>"_s);
}

TEST_F(ReplacePage, ReadOnlyTooLongKeywordsAndTheCharacterLimitAreRefusedWithTheirLines)
{
    const QString longest(ZvWebNoteHandler::MaxHighlightKeywordLength, u'k');
    show(u"<p>"_s + longest + u"</p>"_s);
    {
        LogCapture log;
        EXPECT_EQ(handler().ReplaceAll(longest + u'k', u"X"_s), -1);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] ReplaceAll keyword too long: 257 characters, at most 256"_s});
    }
    EXPECT_EQ(handler().ReplaceAll(longest, u"X"_s), 1);
    EXPECT_EQ(body(), u"<p>X</p>"_s);

    show(u"<p>cat cat</p>"_s);
    ASSERT_EQ(handler().HighlightText(u"cat"_s), 1);
    ASSERT_EQ(handler().HighlightNext(false), 0);
    handler().SetReadOnly(1);
    {
        LogCapture log;
        EXPECT_EQ(handler().ReplaceAll(u"cat"_s, u"X"_s), -1);
        EXPECT_EQ(handler().ReplaceCurrent(u"X"_s), 0);
        EXPECT_EQ(log.lines(),
                  (Lines{u"[ERROR] ReplaceAll refused: the note is read-only"_s,
                         u"[ERROR] ReplaceCurrent refused: the note is read-only"_s}));
    }
    EXPECT_EQ(body(), u"<p>cat cat</p>"_s);
    handler().SetReadOnly(0);

    handler().SetEditorMaxChars(10);
    LogCapture log;
    EXPECT_EQ(handler().ReplaceAll(u"cat"_s, u"tiger"_s), -1);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] ReplaceText refused: the replacement is too long for "
                    "the note: 1 characters over the limit"_s});
    EXPECT_EQ(body(), u"<p>cat cat</p>"_s);
    EXPECT_EQ(handler().ReplaceAll(u"cat"_s, u"ox"_s), 2) << "shorter text always fits";
    EXPECT_EQ(body(), u"<p>ox ox</p>"_s);
}

} // namespace
