// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Writing in the sample notebook: typing into notes, moving between them, closing the program
// and opening it again.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(Journey, TypingInTwoNotesAndRestartingKeepsEveryWord)
{
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    caretToNoteEnd();
    pressKeys(u"Return"_s);
    typeText(u"Typed on the real keyboard."_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('Typed on the real keyboard.')"_s));

    // Leaving a note saves it.
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    const QString welcome = window().noteIdByTitle(u"Welcome to Tavrik Notes"_s);
    EXPECT_TRUE(savedNote(welcome).contains("Typed on the real keyboard."));
    caretToNoteEnd();
    typeText(u" Second note."_s);

    restart();
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    EXPECT_TRUE(jsUntil(note() + u".body.innerText.includes('Second note.')"_s));
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    EXPECT_TRUE(jsUntil(note() + u".body.innerText.includes('Typed on the real keyboard.')"_s));
    finishJourney();
}
