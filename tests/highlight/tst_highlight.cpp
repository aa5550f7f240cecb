// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Search marks on the real editor page: which hits get marked, that each mark lies over its
// hit as the view scrolls, zooms, resizes and reflows, and that the note never changes.
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QTest>
#include <QWebEngineScript>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

class Highlight : public EditorPageSuite
{
protected:
    void SetUp() override
    {
        m_host.resize(800, 600);
        m_editor = new CZorvaEditorImpl;
        m_editor->SetZvEditorNotify(&m_host);
        ASSERT_EQ(m_editor->Create(&m_host, QRect(0, 0, 800, 600), 7, IEWebBrowser::StyleVisible),
                  1);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_editor->pageLoaded(); }, 30000));
    }

    int mark(const QString &keyword) { return m_editor->handler().HighlightText(keyword); }
    QVariant page(const QString &script) { return runScript(m_editor->page(), script); }
    // The highlighter's view of its marks (in the frame's viewport coordinates).
    QVariantMap marks(bool countOnly = false)
    {
        return runScript(m_editor->page(),
                         u"window.tavrikHighlighter?tavrikHighlighter.describe(%1):{hits:0}"_s.arg(
                             countOnly),
                         QWebEngineScript::ApplicationWorld)
            .toMap();
    }
    // The boxes the frame lays out for the text at `offsets` (of the body's text), `length` long.
    QVariantList boxes(const QList<int> &offsets, int length)
    {
        QStringList list;
        for (int offset : offsets)
            list << QString::number(offset);
        return page(uR"((function(offsets,n){const d=Tavrik.editor.document(),nodes=[];let s=0;
            const w=d.createTreeWalker(d.body,NodeFilter.SHOW_TEXT);
            for(let t=w.nextNode();t;t=w.nextNode()){nodes.push([t,s]);s+=t.data.length;}
            const at=(o,e)=>{for(const[t,b]of nodes)if(o<b+t.data.length||(e&&o==b+t.data.length))return[t,o-b];};
            const out=[];for(const o of offsets){const r=d.createRange();r.setStart(...at(o,0));r.setEnd(...at(o+n,1));
            for(const b of r.getClientRects())if(b.width>0&&b.height>0)out.push([b.left,b.top,b.width,b.height]);}
            return out;})([%1],%2))"_s.arg(list.join(u','))
                        .arg(length))
            .toList();
    }
    // True when the marks are drawn exactly over `expected`, within half a pixel.
    bool marksOver(const QVariantList &expected)
    {
        const QVariantMap now = marks();
        const QVariantList drawn = now.value(u"marks"_s).toList();
        if (!now.value(u"drawn"_s).toBool() || drawn.size() != expected.size())
            return false;
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            for (int k = 0; k < 4; ++k) {
                if (std::abs(drawn[i].toList()[k].toDouble() - expected[i].toList()[k].toDouble())
                    > 0.5)
                    return false;
            }
        }
        return true;
    }
    bool marksFollow(const QList<int> &offsets, int length)
    {
        return QTest::qWaitFor([&] { return marksOver(boxes(offsets, length)); }, 5000);
    }
    void show(const QString &html) { m_editor->handler().SetEditorHtml(html); }
    // The body's markup, character count and whether undo has anything to undo.
    QString noteState()
    {
        return page(u"(function(){const d=Tavrik.editor.document();return [d.body.innerHTML,"
                    "Tavrik.editor.charCount(),d.queryCommandEnabled('undo')].join('|');})()"_s)
            .toString();
    }

    EditorHost m_host;
    CZorvaEditorImpl *m_editor = nullptr;
};

TEST_F(Highlight, MarksEveryVisibleHitAsPlainCaseSensitiveText)
{
    const QString tenThousand(10000, u'x');
    const std::tuple<QString, QString, QList<int>> cases[] = {
        {u"<p>abab</p>"_s, u"ab"_s, {0, 2}},
        {u"<p>aaa</p>"_s, u"aa"_s, {0, 1}},
        {u"<p>Abc abc</p>"_s, u"ABC"_s, {}},
        {u"<p>x<span style=\"display:none\">key</span><span style=\"visibility:hidden\">key</span>"
         "<i style=\"display:none\"><b>key</b></i>key</p>"_s,
         u"key"_s,
         {10}},
        {u"<p>x<span hidden>key</span><b><i>key</i></b></p>"_s, u"key"_s, {4}},
        {u"<p>a<b>b</b>c</p><p>d</p>"_s, u"abc"_s, {0}},
        {u"<p>a<b>b</b>c</p><p>d</p>"_s, u"cd"_s, {}},
        {u"<p>a<b>a</b>a<i>aab</i>ab<u>c</u></p>"_s, u"aa"_s, {0, 1, 2, 3}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"a.*b"_s, {2}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"<b>"_s, {11}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"\"\\'\""_s, {15}},
        {u"<p>\"+(window.hacked=1)+\"</p>"_s, u"\"+(window.hacked=1)+\""_s, {0}},
        {u"<p dir=\"rtl\">שלום עולם שלום</p>"_s, u"שלום"_s, {0, 10}},
        {u"<p>a\uFFFDb 😀</p>"_s, QString(QChar(0xD800)), {}},
        {u"<p>a\uFFFDb 😀</p>"_s, u"😀"_s, {4}},
        {u"<p>"_s + tenThousand + u"x</p>"_s, tenThousand, {0, 1}},
        {u"<p>"_s + tenThousand + u"</p>"_s, tenThousand + u'x', {}},
    };
    for (const auto &[html, keyword, offsets] : cases) {
        show(html);
        LogCapture log;
        EXPECT_EQ(mark(keyword), 1);
        EXPECT_EQ(log.lines(), Lines{});
        EXPECT_EQ(marks().value(u"hits"_s).toInt(), offsets.size()) << html.left(120).toStdString();
        EXPECT_TRUE(marksOver(boxes(offsets, int(keyword.size())))) << html.left(120).toStdString();
    }
    EXPECT_EQ(page(u"typeof window.hacked"_s).toString(), u"undefined"_s);
    EXPECT_EQ(
        runScript(m_editor->page(), u"typeof window.hacked"_s, QWebEngineScript::ApplicationWorld)
            .toString(),
        u"undefined"_s);
}

TEST_F(Highlight, ScrollsTheFirstVisibleHitToTheTopAndTheMarkCoversItsText)
{
    QString filler;
    for (int i = 0; i < 60; ++i)
        filler += u"<p>line</p>"_s;
    show(u"<p style=\"display:none\">key</p>"_s + filler + u"<p>the key here</p>"_s + filler);
    ASSERT_EQ(mark(u"key"_s), 1);
    const int first = 3 + 60 * 4 + 4;
    EXPECT_NEAR(boxes({first}, 3).value(0).toList().value(1).toDouble(), 0, 1);
    EXPECT_TRUE(marksFollow({first}, 3));

    page(u"Tavrik.editor.frame().contentWindow.scrollBy(0,-37)"_s);
    ASSERT_TRUE(marksFollow({first}, 3));
    const QVariantList box = boxes({first}, 3).value(0).toList();
    const QVariantList origin
        = page(u"(function(){const f=Tavrik.editor.frame(),r=f.getBoundingClientRect();"
               "return [r.left+f.clientLeft,r.top+f.clientTop];})()"_s)
              .toList();
    const QRect hit
        = QRectF(box[0].toDouble() + origin[0].toDouble(), box[1].toDouble() + origin[1].toDouble(),
                 box[2].toDouble(), box[3].toDouble())
              .toAlignedRect()
              .adjusted(1, 1, -1, -1);
    QTest::qWait(300);
    const QImage shot = m_editor->grab().toImage();
    int yellow = 0, dark = 0, yellowBelow = 0;
    for (int y = hit.top(); y <= hit.bottom(); ++y) {
        for (int x = hit.left(); x <= hit.right(); ++x) {
            const QColor in = shot.pixelColor(x, y),
                         below = shot.pixelColor(x, y + hit.height() + 4);
            yellow += in.red() > 235 && in.green() > 235 && std::abs(in.blue() - 0x11) < 24;
            dark += in.red() < 140 && in.green() < 140;
            yellowBelow += below.blue() < 100;
        }
    }
    EXPECT_GT(yellow, hit.width() * hit.height() / 3) << "no #FFFF11 over the hit";
    EXPECT_GT(dark, 0) << "the hit's text is hidden by its mark";
    EXPECT_EQ(yellowBelow, 0);
}

TEST_F(Highlight, MarksFollowZoomResizeAndTyping)
{
    show(u"<p>one key two key</p>"_s);
    ASSERT_EQ(mark(u"key"_s), 1);
    m_editor->setZoomFactor(1.5);
    EXPECT_TRUE(marksFollow({4, 12}, 3));
    m_editor->resize(180, 600);
    EXPECT_TRUE(marksFollow({4, 12}, 3));
    page(u"(function(){const d=Tavrik.editor.document();Tavrik.editor.focus();"
         "d.getSelection().collapse(d.body.firstChild.firstChild,0);"
         "d.execCommand('insertText',false,'more ');})()"_s);
    EXPECT_TRUE(marksFollow({9, 17}, 3));
    // A new search sees the typed text.
    EXPECT_EQ(mark(u"more"_s), 1);
    EXPECT_TRUE(marksOver(boxes({0}, 4)));
}

TEST_F(Highlight, OnlyTheNewestKeywordIsMarkedUntilCancelledOrReplaced)
{
    show(u"<p>one two one</p>"_s);
    const QString state = noteState();
    EXPECT_EQ(mark(u"one"_s), 1);
    EXPECT_EQ(mark(u"two"_s), 1);
    EXPECT_TRUE(marksOver(boxes({4}, 3)));
    EXPECT_EQ(mark(QString()), 1);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
    EXPECT_EQ(page(u"document.querySelectorAll('tavrik-marks').length"_s).toInt(), 0);

    ASSERT_EQ(mark(u"one"_s), 1);
    QTest::keyClick(m_editor->GetWebBrowseHwnd(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0) << "Control+F keeps the marks";
    ASSERT_EQ(mark(u"one"_s), 1);
    EXPECT_EQ(m_editor->handler().CancleHighlight(), 1);
    EXPECT_EQ(m_editor->handler().CancleHighlight(), 1);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
    EXPECT_EQ(noteState(), state);

    ASSERT_EQ(mark(u"one"_s), 1);
    show(u"<p>one</p>"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return marks().value(u"hits"_s).toInt() == 0; }, 5000));
}

TEST_F(Highlight, TheNoteAndItsSavedFileStayAsTheyWere)
{
    for (bool withMarks : {false, true}) {
        m_editor->LoadEditor(u"n1"_s, {}, {}, false);
        page(u"(function(){const d=Tavrik.editor.document();Tavrik.editor.focus();"
             "d.execCommand('insertText',false,'alpha beta alpha');})()"_s);
        const QString before = noteState();
        if (withMarks)
            ASSERT_EQ(mark(u"alpha"_s), 1);
        EXPECT_EQ(noteState(), before);
        m_editor->SaveEditor();
    }
    ASSERT_EQ(m_host.saves.size(), 2u);
    EXPECT_EQ(m_host.saves[1].files.at(0).filePath, m_host.saves[0].files.at(0).filePath);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 2) << "saving removed the marks";
}

TEST_F(Highlight, NoPageOrNoEditingFrameMarksNothing)
{
    ZvWebNoteHandler bare;
    EXPECT_EQ(bare.CancleHighlight(), 1);
    EXPECT_EQ(bare.HighlightText(u"a"_s), 0);
    show(u"<p>a</p>"_s);
    page(u"Tavrik.editor.frame().className='KE-Edit-IFRAME'"_s);
    EXPECT_EQ(mark(u"a"_s), 1);
    page(u"Tavrik.editor.frame().className='ke-edit-iframe2'"_s);
    EXPECT_EQ(mark(u"a"_s), 0);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
}

TEST_F(Highlight, HundredThousandHitsAreAllMarked)
{
    show(u"<p>"_s + QString(u"k "_s).repeated(100000) + u"</p>"_s);
    ASSERT_EQ(mark(u"k"_s), 1);
    EXPECT_EQ(page(u"1+1"_s).toInt(), 2);
    EXPECT_EQ(marks(true).value(u"hits"_s).toInt(), 100000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return marks(true).value(u"drawn"_s).toBool(); }, 120000));
    EXPECT_EQ(marks(true).value(u"marks"_s).toInt(), 100000);
}

} // namespace
