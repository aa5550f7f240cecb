// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Changing a table with the keys and the editor's menu: the table bar reached with Alt+F10, a
// row and a column inserted, the column taken back with Ctrl+Z; a row inserted from the menu
// of a right click in a cell, chosen with the keys; each note saved with its row.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList EditingEntries{u"Cut"_s,
                                 u"Copy"_s,
                                 u"Paste"_s,
                                 u"Paste as plain text"_s,
                                 u"Select all"_s,
                                 QString(),
                                 u"Copy as &Markdown"_s,
                                 u"Paste as Mar&kdown"_s};
const QStringList TableEntries{
    u"Insert row above"_s, u"Insert row below"_s, u"Insert column left"_s, u"Insert column right"_s,
    u"Delete row"_s,       u"Delete column"_s,    u"Delete table"_s,       u"Merge cells"_s,
    u"Split cell"_s,       u"Header row"_s};

QMenu *shownMenu()
{
    QMenu *menu = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] { return menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, 10000);
    return shown ? menu : nullptr;
}

// The entries' texts, a separator as an empty one; `disabled` gets those that cannot be chosen.
QStringList textsOf(const QMenu *menu, QStringList *disabled = nullptr)
{
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        texts << action->text();
        if (disabled && !action->isEnabled())
            *disabled << action->text();
    }
    return texts;
}

} // namespace

TEST_F(Journey, ATableChangedFromItsBarIsSavedAndUndoneAStepAtATime)
{
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    const QString lin = u"table tr:nth-child(2) td:nth-child(3)"_s; // Monday's owner
    clickInNote(lin);
    ASSERT_TRUE(jsUntil(u"!document.getElementById('table-bar').hidden"_s));
    pressKeys(u"alt+F10"_s);
    pressKeys(u"Right"_s); // Insert row below
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows.length === 7"_s));
    pressKeys(u"Escape"_s);

    // A column from the bar, taken back with Ctrl+Z: the row stays.
    pressKeys(u"alt+F10"_s);
    for (int i = 0; i < 3; ++i)
        pressKeys(u"Right"_s); // Insert column right
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows[1].cells.length === 5"_s));
    pressKeys(u"Escape"_s);
    pressKeys(u"ctrl+z"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows[1].cells.length === 4"_s));
    EXPECT_EQ(js(note() + u".querySelector('table').rows.length"_s).toInt(), 7);

    pressKeys(u"ctrl+s"_s);
    const QString id = window().noteIdByTitle(u"Weekly plan"_s);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return savedNote(id).contains(
                "<td>Lin</td><td><span style=\"color:#2e9d5b;\">Done</span></td></tr>\n"
                "<tr><td><br></td><td><br></td><td><br></td><td><br></td></tr>"
                "<tr><td>Tuesday</td>");
        },
        10000))
        << savedNote(id).toStdString();
    finishJourney();
}

TEST_F(Journey, ARowInsertedFromTheMenuOfACellIsSavedAndTheMenuOffersNoTableOutsideItOrReadOnly)
{
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    const QString monday = u"table tr:nth-child(2) td:nth-child(1)"_s;
    const QString wednesday = u"table tr:nth-child(4) td:nth-child(1)"_s;

    // Outside the table the menu edits only.
    clickInNote(u"p"_s, 3);
    QMenu *menu = shownMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(textsOf(menu), EditingEntries);
    pressKeys(u"Escape"_s);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }));

    // The caret on Monday; the right click on Wednesday's day is where the row goes below.
    clickInNote(monday);
    clickInNote(wednesday, 3);
    menu = shownMenu();
    ASSERT_TRUE(menu);
    QStringList disabled;
    EXPECT_EQ(textsOf(menu, &disabled), TableEntries + QStringList{QString()} + EditingEntries);
    // Of the editing entries, Paste depends on what the clipboard holds.
    QStringList disabledTable;
    for (const QString &text : disabled) {
        if (TableEntries.contains(text))
            disabledTable << text;
    }
    EXPECT_EQ(disabledTable, (QStringList{u"Merge cells"_s, u"Split cell"_s}));
    const auto picked = [&] {
        return menu->activeAction() && menu->activeAction()->text() == u"Insert row below"_s;
    };
    for (int i = 0; i < TableEntries.size() && !picked(); ++i)
        pressKeys(u"Down"_s);
    ASSERT_TRUE(menu->activeAction());
    ASSERT_EQ(menu->activeAction()->text(), u"Insert row below"_s);
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows.length === 7"_s));
    EXPECT_EQ(js(note() + u".querySelector('table').rows[4].innerHTML"_s).toString(),
              u"<td><br></td><td><br></td><td><br></td><td><br></td>"_s);

    pressKeys(u"ctrl+s"_s);
    const QString id = window().noteIdByTitle(u"Weekly plan"_s);
    const auto savedFile = [&] {
        return savedNote(id);
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return savedFile().contains(
                "<td><span style=\"color:#d98a1c;\">In progress</span></td></tr>\n"
                "<tr><td><br></td><td><br></td><td><br></td><td><br></td></tr>"
                "<tr><td>Thursday</td>");
        },
        10000))
        << savedFile().toStdString();

    // A note that cannot change: the same cell's menu copies and selects, nothing more.
    window().setCurrentReadOnly(true);
    clickInNote(wednesday, 3);
    menu = shownMenu();
    ASSERT_TRUE(menu);
    disabled.clear();
    EXPECT_EQ(textsOf(menu, &disabled), EditingEntries);
    EXPECT_EQ(disabled,
              (QStringList{u"Cut"_s, u"Copy"_s, u"Paste"_s, u"Paste as plain text"_s,
                           u"Copy as &Markdown"_s, u"Paste as Mar&kdown"_s}));
    pressKeys(u"Escape"_s);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }));
    window().setCurrentReadOnly(false);
    finishJourney();
}
