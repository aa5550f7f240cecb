// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Replacing from the find bar with the keys: every "done" of the weekly plan becomes
// "Finished" inside its coloured span, the note is saved so, and Ctrl+Z in the note takes the
// whole replacement back.
#include "journey.h"

#include "mainwindow.h"
#include "notefind.h"
#include "notestore.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(Journey, EveryHitReplacedFromTheFindBarIsSavedAndOneCtrlZTakesItBack)
{
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    const QString id = window().noteIdByTitle(u"Weekly plan"_s);
    const auto saved = [&] {
        return savedNote(id);
    };
    QLineEdit *field = window().noteFind()->field();
    click(field, field->rect().center());
    typeText(u"done"_s);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window().noteFind()->countText() == u"1 of 2"_s; }, 10000));
    pressKeys(u"ctrl+h"_s);
    typeText(u"Finished"_s);
    pressKeys(u"Tab"_s); // Replace
    pressKeys(u"Tab"_s); // Replace all
    pressKeys(u"space"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerHTML.split('>Finished</span>').length === 3"_s));
    EXPECT_EQ(window().noteFind()->countText(), u"2 replaced"_s);

    pressKeys(u"ctrl+s"_s);
    const QByteArray row = "<td>Lin</td><td><span style=\"color:#2e9d5b;\">Finished</span></td>";
    EXPECT_TRUE(QTest::qWaitFor([&] { return saved().contains(row); }, 10000))
        << saved().toStdString();

    clickInNote(u"h2"_s);
    pressKeys(u"ctrl+z"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerHTML.split('>Done</span>').length === 3"_s));
    pressKeys(u"ctrl+s"_s);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return saved().contains(
                "<td>Lin</td><td><span style=\"color:#2e9d5b;\">Done</span></td>");
        },
        10000))
        << saved().toStdString();
    finishJourney();
}
