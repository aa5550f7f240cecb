// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Tables and pictures changed through the real editor page: the table bar's commands, the
// picture bar and its handles, the keys, and the exact markup after each step and its undo.
#include "bridge/editorcontextmenu_p.h"
#include "logcapture.h"
#include "skin/iewebbrowser.h"
#include "testhelpers.h"

#include <QColor>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// A table with a cell over two columns (b) and one over two rows (c):
//   a b b
//   c d e
//   c f g
const QString Before = u"<p>Before</p>"_s;
const QString After = u"<p>After</p>"_s;
const QString Head = u"<table border=\"1\" style=\"width: 100%;\"><tbody>"_s;
const QString Tail = u"</tbody></table>"_s;
const QString RowA
    = u"<tr><td width=\"120\" style=\"color: red;\">a</td><td colspan=\"2\">b</td></tr>"_s;
const QString RowC = u"<tr><td rowspan=\"2\">c</td><td>d</td><td>e</td></tr>"_s;
const QString RowF = u"<tr><td>f</td><td>g</td></tr>"_s;
const QString Note = Before + Head + RowA + RowC + RowF + Tail + After;

QString table(const QString &rows)
{
    return Before + Head + rows + Tail + After;
}

// An attachment picture 40x20 pixels in a line of text.
QString picture(const QString &extra = QString())
{
    const QString png = QString::fromLatin1(pngBytes(filledImage(40, 20, Qt::blue)).toBase64());
    return u"<img src=\"data:image/png;base64,"_s + png
        + u"\" class=\"userdata\\attachment\\0cc1.png\" zv_exdata=\"{&quot;OrigName_B64&quot;:"
          "&quot;YS5wbmc=&quot;}\" data-ke-src=\"../userdata\\attachment\\0cc1.png\" "
          "zvimgsrc=\"../userdata\\attachment\\0cc1.png\""_s
        + extra + u">"_s;
}

class TablesPage : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new QWidget;
        window->resize(960, 640);
        view = showBuiltEditorPage(window);
        ASSERT_TRUE(view) << "the editor page did not load";
    }
    static void TearDownTestSuite() { delete window; }

    static QVariant js(const QString &script) { return runScript(view->page(), script); }
    static bool waitUntil(const QString &condition)
    {
        return waitForScript(view->page(), condition);
    }
    void setContent(const QString &html)
    {
        js(u"jsProcessor('SetEditorContent', "_s + jsString(html) + u")"_s);
    }
    // The note as it is saved.
    QString html()
    {
        const QString reply = js(u"jsProcessor('GetEditorContent', '{}')"_s).toString();
        return QJsonDocument::fromJson(reply.toUtf8()).object().value(u"ehtml"_s).toString();
    }
    // Puts the caret at `offset` in the first text of the cell holding exactly `text`.
    void caretIn(const QString &text, int offset = 0) { selectBetween(text, offset, text, offset); }
    void selectBetween(const QString &from, int start, const QString &to, int end)
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           u"const "
           u"cell=t=>Array.from(d.querySelectorAll('td,th')).find(c=>c.textContent===t).firstChild;"
           u"const r=d.createRange();r.setStart(cell(%1),%2);r.setEnd(cell(%3),%4);"
           u"d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s
               .arg(jsString(from))
               .arg(start)
               .arg(jsString(to))
               .arg(end));
    }
    // Clicks a button of the bar once the bar shows it enabled.
    void press(const QString &bar, const QString &command)
    {
        const QString button
            = u"document.querySelector('#%1 [data-command=\"%2\"]')"_s.arg(bar, command);
        ASSERT_TRUE(
            waitUntil(u"!document.getElementById('%1').hidden && !%2.disabled"_s.arg(bar, button)))
            << command.toStdString();
        js(button + u".click()"_s);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(view->focusProxy(), key, modifiers);
    }
    bool htmlIs(const QString &markup)
    {
        return waitUntil(u"Tavrik.editor.document().body.innerHTML === "_s + jsString(markup));
    }

    static inline QWidget *window = nullptr;
    static inline IEWebBrowser *view = nullptr;
};

TEST_F(TablesPage, RowsAndColumnsGoInAndOutAroundSpansAndEachIsOneUndoStep)
{
    struct Case
    {
        const char *command;
        QString cell;
        QString result;
    };
    const std::vector<Case> cases{
        {"rowBelow", u"d"_s,
         table(RowA
               + u"<tr><td rowspan=\"3\">c</td><td>d</td><td>e</td></tr>"
                 "<tr><td><br></td><td><br></td></tr>"_s
               + RowF)},
        {"rowAbove", u"a"_s,
         table(
             u"<tr><td width=\"120\" style=\"color: red;\"><br></td><td colspan=\"2\"><br></td></tr>"_s
             + RowA + RowC + RowF)},
        {"columnLeft", u"d"_s,
         table(u"<tr><td width=\"120\" style=\"color: red;\">a</td><td><br></td><td "
               u"colspan=\"2\">b</td></tr>"
               "<tr><td rowspan=\"2\">c</td><td><br></td><td>d</td><td>e</td></tr>"
               "<tr><td><br></td><td>f</td><td>g</td></tr>"_s)},
        {"columnRight", u"d"_s,
         table(u"<tr><td width=\"120\" style=\"color: red;\">a</td><td colspan=\"3\">b</td></tr>"
               "<tr><td rowspan=\"2\">c</td><td>d</td><td><br></td><td>e</td></tr>"
               "<tr><td>f</td><td><br></td><td>g</td></tr>"_s)},
        {"deleteRow", u"d"_s, table(RowA + u"<tr><td>c</td><td>f</td><td>g</td></tr>"_s)},
        {"deleteColumn", u"e"_s,
         table(u"<tr><td width=\"120\" style=\"color: red;\">a</td><td>b</td></tr>"
               "<tr><td rowspan=\"2\">c</td><td>d</td></tr><tr><td>f</td></tr>"_s)},
        {"deleteTable", u"g"_s, Before + After},
        {"headerRow", u"a"_s,
         Before + QString(Head).replace(u"<tbody>"_s, u"<thead>"_s)
             + u"<tr><th width=\"120\" style=\"color: red;\" scope=\"col\">a</th>"
               "<th colspan=\"2\" scope=\"col\">b</th></tr></thead><tbody>"_s
             + RowC + RowF + Tail + After},
        {"splitCell", u"c"_s,
         table(
             RowA
             + u"<tr><td>c</td><td>d</td><td>e</td></tr><tr><td><br></td><td>f</td><td>g</td></tr>"_s)},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.command);
        setContent(Note);
        caretIn(step.cell);
        press(u"table-bar"_s, QString::fromLatin1(step.command));
        EXPECT_EQ(html(), step.result);
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(htmlIs(Note)) << html().toStdString();
        key(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_TRUE(htmlIs(step.result)) << html().toStdString();
        EXPECT_EQ(html(), html()) << "saving twice gives the same markup";
    }
    // A header row goes back to plain cells exactly.
    setContent(Note);
    caretIn(u"b"_s);
    press(u"table-bar"_s, u"headerRow"_s);
    press(u"table-bar"_s, u"headerRow"_s);
    EXPECT_EQ(html(), Note);
    // A table of one row: its body goes with the row into the head and comes back.
    const QString oneRow = u"<table><tbody><tr><td>x</td></tr></tbody></table>"_s;
    setContent(oneRow);
    caretIn(u"x"_s);
    press(u"table-bar"_s, u"headerRow"_s);
    EXPECT_EQ(html(), u"<table><thead><tr><th scope=\"col\">x</th></tr></thead></table>"_s);
    press(u"table-bar"_s, u"headerRow"_s);
    EXPECT_EQ(html(), oneRow);
}

TEST_F(TablesPage, MergingTakesTheWholeRectangleOfSpannedCellsAndSplittingGivesItBack)
{
    // d to g: one cell over two columns; the row left empty folds into the one above.
    setContent(Note);
    selectBetween(u"d"_s, 0, u"g"_s, 1);
    press(u"table-bar"_s, u"mergeCells"_s);
    const QString merged
        = table(RowA + u"<tr><td>c</td><td colspan=\"2\">d<br>e<br>f<br>g</td></tr>"_s);
    EXPECT_EQ(html(), merged);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(Note)) << html().toStdString();

    // a to d reaches b's and c's spans: the whole table becomes one cell.
    selectBetween(u"a"_s, 0, u"d"_s, 1);
    press(u"table-bar"_s, u"mergeCells"_s);
    const QString whole = table(
        u"<tr><td style=\"color: red;\" colspan=\"3\">a<br>b<br>c<br>d<br>e<br>f<br>g</td></tr>"_s);
    EXPECT_EQ(html(), whole);
    caretIn(u"abcdefg"_s);
    press(u"table-bar"_s, u"splitCell"_s);
    EXPECT_EQ(
        html(),
        table(u"<tr><td style=\"color: red;\">a<br>b<br>c<br>d<br>e<br>f<br>g</td>"
              "<td style=\"color: red;\"><br></td><td style=\"color: red;\"><br></td></tr>"_s));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(whole)) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(Note)) << html().toStdString();

    // One cell merges with nothing and a plain cell splits into nothing.
    caretIn(u"d"_s);
    EXPECT_TRUE(waitUntil(u"!document.getElementById('table-bar').hidden"_s));
    EXPECT_TRUE(js(u"document.querySelector('#table-bar [data-command=\"mergeCells\"]').disabled"_s)
                    .toBool());
    EXPECT_FALSE(js(u"Tavrik.tables.exec('splitCell')"_s).toBool());
    EXPECT_EQ(html(), Note);
}

TEST_F(TablesPage, DraggingAColumnBorderStoresItsWidthOnTheColumnsCellsAsOneUndoStep)
{
    setContent(Note);
    const int width = js(u"Math.round(Tavrik.editor.document().querySelector('td')"
                         u".getBoundingClientRect().width + 40)"_s)
                          .toInt();
    js(u"(function(){const d=Tavrik.editor.document();const a=d.querySelector('td');"
       u"const r=a.getBoundingClientRect();const at=(t,type,x)=>t.dispatchEvent(new "
       u"MouseEvent(type,"
       u"{bubbles:true,cancelable:true,button:0,clientX:x,clientY:r.y+3}));"
       u"at(a,'mousedown',r.right-1);at(d,'mousemove',r.right+39);at(d,'mouseup',r.right+39);})()"_s);
    const QString w = QString::number(width);
    EXPECT_EQ(html(),
              table(u"<tr><td width=\""_s + w
                    + u"\" style=\"color: red;\">a</td>"
                      u"<td colspan=\"2\">b</td></tr><tr><td rowspan=\"2\" width=\""_s
                    + w + u"\">c</td><td>d</td><td>e</td></tr>"_s + RowF));
    caretIn(u"d"_s);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(Note)) << html().toStdString();
}

// Everything the commands store passes the sanitiser as it is, so a note opened again, pasted
// or written by another program keeps it.
TEST_F(TablesPage, StoredFormsPassTheSanitiserUnchanged)
{
    const QString stored
        = u"<table><colgroup><col width=\"96\"><col style=\"width: 40px;\"></colgroup><tbody>"
          "<tr><th scope=\"col\" colspan=\"2\">h</th></tr><tr><td rowspan=\"2\" width=\"50\">a</td>"
          "<td style=\"width: 30px;\">b</td></tr><tr><td>c</td></tr></tbody></table><p>x"_s
        + picture(u" width=\"60\" height=\"30\" align=\"left\""_s)
        + u"</p><p style=\"text-align: center;\">"_s + picture() + u"</p>"_s;
    setContent(stored);
    EXPECT_EQ(html(), stored);
}

TEST_F(TablesPage, TheContextMenuOffersWhatTheCaretsTableAllowsAndRunsItThroughThePage)
{
    const auto section = EditorContextMenu::tableSection(view);
    EditorContextMenu::Target target;
    target.editable = true;
    setContent(Note);
    caretIn(u"c"_s);
    const auto entries = section(target);
    QStringList texts;
    QStringList disabled;
    for (const auto &entry : entries) {
        texts << entry.text;
        if (!entry.enabled)
            disabled << entry.text;
    }
    EXPECT_EQ(texts,
              (QStringList{u"Insert row above"_s, u"Insert row below"_s, u"Insert column left"_s,
                           u"Insert column right"_s, u"Delete row"_s, u"Delete column"_s,
                           u"Delete table"_s, u"Merge cells"_s, u"Split cell"_s, u"Header row"_s}));
    EXPECT_EQ(disabled, QStringList{u"Merge cells"_s});
    ASSERT_EQ(entries.size(), 10u);
    entries[8].run(); // split c
    EXPECT_EQ(html(),
              table(RowA
                    + u"<tr><td>c</td><td>d</td><td>e</td></tr>"
                      "<tr><td><br></td><td>f</td><td>g</td></tr>"_s));

    // A command that cannot run at the caret (any more) is refused by the page and logged;
    // nothing is offered outside a table or in a note that cannot change.
    caretIn(u"a"_s);
    LogCapture log;
    entries[8].run();
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] EditorContextMenu, changing the table failed: the table command "
                    "\"splitCell\" cannot run here"_s});
    setContent(u"<p>plain</p>"_s);
    EXPECT_TRUE(section(target).empty());
    setContent(Note);
    caretIn(u"d"_s);
    target.editable = false;
    EXPECT_TRUE(section(target).empty());
}

TEST_F(TablesPage, TabSelectsTheNextCellShiftTabPutsTheCaretInThePreviousAndTheBarIsReachedByKeys)
{
    setContent(Note);
    caretIn(u"e"_s, 1);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(waitUntil(
        u"(s => s.isCollapsed && s.anchorNode.textContent === 'd' && s.anchorOffset === 0)"
        u"(Tavrik.editor.document().getSelection())"_s));
    key(Qt::Key_Tab);
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().getSelection().toString() === 'e'"_s));
    // Tab in the last cell adds a row with a cell for each column, which one undo takes away.
    const QString newRow = u"<tr><td><br></td><td><br></td><td><br></td></tr>"_s;
    caretIn(u"g"_s, 1);
    key(Qt::Key_Tab);
    EXPECT_TRUE(htmlIs(table(RowA + RowC + RowF + newRow))) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(Note)) << html().toStdString();

    // Alt+F10 goes to the table bar, the arrows walk it, Enter runs, Escape goes back.
    caretIn(u"f"_s);
    ASSERT_TRUE(waitUntil(u"!document.getElementById('table-bar').hidden"_s));
    EXPECT_EQ(js(u"document.getElementById('table-bar').getAttribute('aria-label')"_s), u"Table"_s);
    key(Qt::Key_F10, Qt::AltModifier);
    EXPECT_TRUE(waitUntil(u"document.activeElement.dataset.command === 'rowAbove'"_s));
    key(Qt::Key_Right);
    EXPECT_TRUE(waitUntil(u"document.activeElement.dataset.command === 'rowBelow'"_s));
    key(Qt::Key_Return);
    EXPECT_TRUE(htmlIs(table(RowA + RowC + RowF + newRow))) << html().toStdString();
    key(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil(u"document.activeElement === Tavrik.editor.frame()"_s));

    // Outside a table the bar is gone; in read-only mode too.
    setContent(u"<p>plain</p>"_s);
    EXPECT_TRUE(waitUntil(u"document.getElementById('table-bar').hidden"_s));
}

TEST_F(TablesPage,
       PicturesAreAlignedAndResizedAsPlainAttributesKeepingTheirOwnAndNothingOfTheHandles)
{
    const QString note = u"<p>Text before "_s + picture() + u" text after</p>"_s;
    setContent(note);
    ASSERT_TRUE(waitUntil(u"Tavrik.editor.document().querySelector('img').complete"_s));
    js(u"Tavrik.editor.document().querySelector('img').click();Tavrik.editor.focus()"_s);

    press(u"picture-bar"_s, u"right"_s);
    const QString right
        = u"<p>Text before "_s + picture(u" align=\"right\""_s) + u" text after</p>"_s;
    EXPECT_EQ(html(), right);
    EXPECT_EQ(js(u"document.querySelector('#picture-bar [data-command=\"right\"]')"
                 u".getAttribute('aria-pressed')"_s),
              u"true"_s);
    // Centred: a paragraph of its own between the text before and after it.
    press(u"picture-bar"_s, u"center"_s);
    const QString centred = u"<p>Text before </p><p style=\"text-align: center;\">"_s + picture()
        + u"</p><p> text after</p>"_s;
    EXPECT_EQ(html(), centred);
    press(u"picture-bar"_s, u"inline"_s);
    EXPECT_EQ(html(), u"<p>Text before </p><p>"_s + picture() + u"</p><p> text after</p>"_s);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(centred)) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(right)) << html().toStdString();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(note)) << html().toStdString();

    // A corner keeps the proportions, Shift frees them; each drag is one undo step.
    js(u"Tavrik.editor.document().querySelector('img').click()"_s);
    ASSERT_TRUE(waitUntil(u"!document.querySelector('.picture-frame').hidden"_s));
    const auto drag = [&](int dx, int dy, bool shift) {
        js(u"(function(){const h=document.querySelector('.picture-frame .se');"
           u"const r=h.getBoundingClientRect();const at=(type,x,y)=>h.dispatchEvent(new "
           u"PointerEvent(type,"
           u"{bubbles:true,cancelable:true,button:0,pointerId:1,clientX:r.x+x,clientY:r.y+y,"
           u"shiftKey:%3}));"
           u"at('pointerdown',0,0);at('pointermove',%1,%2);at('pointerup',%1,%2);})()"_s.arg(dx)
               .arg(dy)
               .arg(shift ? u"true"_s : u"false"_s));
    };
    drag(20, 3, false);
    const QString larger
        = u"<p>Text before "_s + picture(u" width=\"60\" height=\"30\""_s) + u" text after</p>"_s;
    EXPECT_EQ(html(), larger);
    drag(-30, 5, true);
    EXPECT_EQ(html(),
              QString(u"<p>Text before "_s + picture(u" width=\"30\" height=\"35\""_s)
                      + u" text after</p>"_s));
    // Shown at the size it has, as its handles are.
    const QString shown = u"(e => { const r = e.getBoundingClientRect(); "
                          "return r.width + 'x' + r.height; })(%1)"_s;
    EXPECT_EQ(js(shown.arg(u"Tavrik.editor.document().querySelector('img')"_s)), u"30x35"_s);
    EXPECT_EQ(js(shown.arg(u"document.querySelector('.picture-frame')"_s)), u"30x35"_s);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(htmlIs(larger)) << html().toStdString();
    press(u"picture-bar"_s, u"originalSize"_s);
    EXPECT_EQ(html(), note);
    EXPECT_EQ(html(), html()) << "saving twice gives the same markup";
    // The handles and bars live outside the note's frame.
    EXPECT_EQ(
        js(u"Tavrik.editor.document().querySelectorAll('.picture-frame,.context-bar').length"_s)
            .toInt(),
        0);
}

} // namespace
