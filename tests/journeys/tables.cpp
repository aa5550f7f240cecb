// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Changing a table with the keys and the editor's menu: the table bar reached with Alt+F10, a
// column from the menu taken back with Ctrl+Z, the note saved with the change.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "testhelpers.h"

#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::GetAttachRootDir;

TEST_F(Journey, ATableChangedFromItsBarAndTheMenuIsSavedAndUndoneAStepAtATime)
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

    // The menu of a right click in a cell (on words spelt right, so the menu starts with the
    // table): its fourth entry puts a column to the right.
    const QVariantList xy = js(u"(function(){const f=Tavrik.editor.frame().getBoundingClientRect();"
                               "const r=%1.querySelector('%2').getBoundingClientRect();"
                               "return [f.x+r.x+r.width/2,f.y+r.y+r.height/2];})()"_s.arg(
                                   note(), u"table tr:nth-child(2) td:nth-child(2)"_s))
                                .toList();
    ASSERT_EQ(xy.size(), 2);
    const QPoint at
        = editor().GetWebBrowseHwnd()->mapToGlobal(QPoint(xy[0].toInt(), xy[1].toInt()));
    ASSERT_TRUE(xdotool({u"mousemove"_s, u"--sync"_s, QString::number(at.x()),
                         QString::number(at.y()), u"click"_s, u"3"_s}));
    for (int i = 0; i < 4; ++i)
        pressKeys(u"Down"_s);
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows[1].cells.length === 5"_s));
    pressKeys(u"ctrl+z"_s);
    ASSERT_TRUE(jsUntil(note() + u".querySelector('table').rows[1].cells.length === 4"_s));
    EXPECT_EQ(js(note() + u".querySelector('table').rows.length"_s).toInt(), 7);

    pressKeys(u"ctrl+s"_s);
    const QString id = window().noteIdByTitle(u"Weekly plan"_s);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return readBytes(GetAttachRootDir() + u'/' + store().noteFileNames(id).front())
                .contains("<td>Lin</td><td><span style=\"color:#2e9d5b;\">Done</span></td></tr>"
                          "<tr><td><br></td><td><br></td><td><br></td><td><br></td></tr>");
        },
        10000))
        << readBytes(GetAttachRootDir() + u'/' + store().noteFileNames(id).front()).toStdString();
    finishJourney();
}
