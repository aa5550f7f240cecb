// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A note written and saved in the program opens again, after a restart, as the file the editor
// saved: the page takes it without a second sanitising.
#include "journey.h"

#include "editor/savednotes_p.h"
#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::Internal::SavedNotes;

TEST_F(Journey, ANoteSavedHereOpensAsSavedAfterRestart)
{
    QFile::remove(SavedNotes::recordPath());
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    caretToNoteEnd();
    const QString sentence = u"Opened again as it was written."_s;
    typeText(u" "_s + sentence);
    pressKeys(u"ctrl+s"_s);
    ASSERT_TRUE(
        QTest::qWaitFor([] { return readBytes(SavedNotes::recordPath()).size() == 65; }, 10000))
        << "the save was not recorded";

    restart();
    ASSERT_TRUE(openNoteTitled(u"Reading notes"_s));
    // Counts the page's openings of saved note files from here on.
    ASSERT_TRUE(js(u"(function () { const editor = Tavrik.editor; "
                   "const set = editor.setSavedContent; window.savedOpens = 0; "
                   "editor.setSavedContent = function (html) { ++window.savedOpens; "
                   "return set.call(editor, html); }; return true; })()"_s)
                    .toBool());
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    EXPECT_TRUE(jsUntil(note() + u".body.innerText.includes('"_s + sentence + u"')"_s))
        << "the sentence was lost";
    EXPECT_EQ(js(u"window.savedOpens"_s).toInt(), 1);
    finishJourney();
}
