// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Markdown in and out: part of a recipe copied as Markdown from the editor's menu with the
// keys and read back by another program; the text pasted into a new note turns into its
// heading and list, Ctrl+Z gives back the plain text, Paste as Markdown from the Edit menu with
// the keys converts it again; the note saved, exported as note.md and reopened exactly.
#include "journey.h"

#include "mainwindow.h"
#include "markdownactions.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Dough = u"### Dough\n\n- 500 g flour\n- 250 ml cold water\n- a pinch of salt"_s;
const QString Converted = u"<p>Shopping</p><h3>Dough</h3><ul><li>500 g flour</li>"
                          "<li>250 ml cold water</li><li>a pinch of salt</li></ul>"_s;

// The clipboard's text as another program reads it.
QString clipboardThroughXclip()
{
    QProcess xclip;
    xclip.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s});
    // The event loop runs meanwhile: this program owns the clipboard and answers xclip.
    QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000);
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

} // namespace

TEST_F(Journey, MarkdownCopiedFromOneNoteIsPastedIntoAnotherAndTakenBackToText)
{
    ASSERT_TRUE(openNoteTitled(u"Dumplings 饺子"_s));
    clickInNote(u"h3"_s);
    js(u"(d => { const r = d.createRange(); r.setStart(d.querySelector('h3').firstChild, 0);"
       " const l = d.querySelector('ul').lastElementChild; r.setEnd(l, l.childNodes.length);"
       " d.getSelection().removeAllRanges(); d.getSelection().addRange(r); })(%1)"_s.arg(note()));
    pressKeys(u"Menu"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, 10000));
    pressKeys(u"m"_s); // Copy as &Markdown
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }));
    QString copied;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (copied = clipboardThroughXclip()) == Dough; }, 10000))
        << copied.toStdString();

    // Into a new note, from another program: clearly Markdown, so converted.
    pressKeys(u"ctrl+n"_s);
    typeText(u"Shopping"_s);
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".hasFocus() && "_s + note()
                        + u".body.innerHTML === '<p>Shopping</p><p><br></p>'"_s));
    ASSERT_TRUE(offerClipboard(u"UTF8_STRING"_s, Dough.toUtf8()));
    pressKeys(u"ctrl+v"_s);
    const auto html = [&] {
        return js(note() + u".body.innerHTML"_s).toString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return html() == Converted; }, 10000))
        << html().toStdString();

    // Ctrl+Z: the text as a plain paste puts it, a paragraph a line.
    pressKeys(u"ctrl+z"_s);
    const QString plain = u"<p>Shopping</p><p>### Dough</p><p><br></p><p>- 500 g flour</p>"
                          "<p>- 250 ml cold water</p><p>- a pinch of salt</p>"_s;
    EXPECT_TRUE(QTest::qWaitFor([&] { return html() == plain; }, 10000)) << html().toStdString();

    // Taken back altogether, then pasted as Markdown from the Edit menu with the keys.
    pressKeys(u"ctrl+z"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !html().contains(u"Dough"_s); }, 10000))
        << html().toStdString();
    pressKeys(u"alt+e"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, 10000));
    pressKeys(u"k"_s); // Paste as Mar&kdown
    EXPECT_TRUE(QTest::qWaitFor([&] { return html() == Converted; }, 10000))
        << html().toStdString();

    pressKeys(u"ctrl+s"_s);
    const QString id = window().currentNoteId();
    const auto saved = [&] {
        return savedNote(id);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return saved().contains(Converted.toUtf8()); }, 10000))
        << saved().toStdString();

    QTemporaryDir out;
    auto *markdown = window().findChild<MarkdownActions *>();
    ASSERT_TRUE(markdown);
    ASSERT_TRUE(markdown->exportCurrentNoteInto(out.path()));
    EXPECT_EQ(readBytes(out.filePath(u"Shopping/note.md"_s)),
              (u"Shopping\n\n"_s + Dough + u'\n').toUtf8());

    restart();
    ASSERT_TRUE(openNoteTitled(u"Shopping"_s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return html() == Converted; }, 10000))
        << html().toStdString();
    finishJourney();
}
