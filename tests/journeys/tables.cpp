// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Changing a table with the keys: the table bar reached with Alt+F10, a row and a column
// inserted, the column taken back with Ctrl+Z, the note saved with the row.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "common/commonutils.h"
#include "testhelpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::GetAttachRootDir;

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
            return readBytes(GetAttachRootDir() + u'/' + store().noteFileNames(id).front())
                .contains("<td>Lin</td><td><span style=\"color:#2e9d5b;\">Done</span></td></tr>\n"
                          "<tr><td><br></td><td><br></td><td><br></td><td><br></td></tr>"
                          "<tr><td>Tuesday</td>");
        },
        10000))
        << readBytes(GetAttachRootDir() + u'/' + store().noteFileNames(id).front()).toStdString();
    finishJourney();
}
