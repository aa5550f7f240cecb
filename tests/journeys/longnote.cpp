// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Typing in a long note: the keys edit the block at the caret alone, Ctrl+Z and Ctrl+Y take
// the typing back and make it again, a selection made with the keys reaches over blocks, and
// the note is saved byte for byte as typed.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(Journey, TypingInALongNoteIsSavedAsTypedAndTakenBackWithCtrlZ)
{
    window().newNote();
    clickInNote(u"body"_s);
    QByteArray page = "<p>Opening line</p><p>Second line</p>";
    for (int i = 0; i < 500; ++i)
        page += "<p>Filler text of a long note, one of many lines, <b>some bold</b>.</p>";
    ASSERT_TRUE(offerClipboard(u"text/html"_s, page));
    pressKeys(u"ctrl+v"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.textContent.length > 25000"_s));
    const QString opening = note() + u".querySelector('p').textContent"_s;
    ASSERT_EQ(js(opening), u"Opening line"_s);
    clickInNote(u"p"_s);
    pressKeys(u"End"_s);
    typeText(u" and more"_s);
    ASSERT_TRUE(jsUntil(opening + u" === 'Opening line and more'"_s))
        << js(opening).toString().toStdString();
    EXPECT_TRUE(js(note() + u".documentElement.classList.contains('narrow')"_s).toBool())
        << "typed in the block alone";

    pressKeys(u"ctrl+z"_s);
    EXPECT_TRUE(jsUntil(opening + u" === 'Opening line'"_s))
        << js(opening).toString().toStdString();
    pressKeys(u"ctrl+y"_s);
    EXPECT_TRUE(jsUntil(opening + u" === 'Opening line and more'"_s));

    // Shift+Down from the end of the longer first line selects to the end of the second.
    pressKeys(u"shift+Down"_s);
    const QString selected = u"JSON.stringify("_s + note() + u".getSelection().toString())"_s;
    EXPECT_TRUE(jsUntil(selected + u" === '\"\\\\nSecond line\"'"_s))
        << js(selected).toString().toStdString();
    typeText(u"X"_s);
    const QString start = u"<p>Opening line and moreX</p><p>Filler text"_s;
    EXPECT_TRUE(jsUntil(note() + u".body.innerHTML.startsWith('"_s + start + u"')"_s));

    pressKeys(u"ctrl+s"_s);
    const QString id = window().currentNoteId();
    const auto saved = [&] {
        return savedNote(id);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved().contains(start.toUtf8()); }, 10000))
        << saved().left(200).toStdString();
    EXPECT_FALSE(saved().contains("Second line"));
    EXPECT_FALSE(saved().contains("narrow"));
    EXPECT_FALSE(saved().contains("contenteditable"));
    finishJourney();
}
