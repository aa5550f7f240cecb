// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Capturing part of the screen into a note while writing it.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

TEST_F(Journey, CaptureKeyWorksWhileTypingTheSelectionIsThePictureAndUndoTakesItOut)
{
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    caretToNoteEnd();
    typeText(u"Screen:"_s);
    const int pictures = js(note() + u".images.length"_s).toInt();

    // The user drags from (100, 120) to (500, 420) and double-clicks the selection.
    bool opened = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        auto *capture = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible() || opened)
            return;
        opened = true;
        user.stop();
        xdotool({u"mousemove"_s, u"--sync"_s, u"100"_s, u"120"_s, u"mousedown"_s, u"1"_s,
                 u"mousemove"_s, u"--sync"_s, u"300"_s, u"300"_s, u"mousemove"_s, u"--sync"_s,
                 u"500"_s, u"420"_s, u"mouseup"_s, u"1"_s});
        xdotool({u"mousemove"_s, u"--sync"_s, u"300"_s, u"270"_s, u"click"_s, u"--repeat"_s, u"2"_s,
                 u"1"_s});
    });
    user.start(50);
    QTimer::singleShot(20000, &user, [&] {
        if (auto *capture = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            capture->reject();
    });
    pressKeys(u"ctrl+shift+a"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 10000)) << "Ctrl+Shift+A did nothing";
    ASSERT_TRUE(jsUntil(note() + u".images.length === "_s + QString::number(pictures + 1)));
    const QString last = note() + u".images["_s + QString::number(pictures) + u"]"_s;
    ASSERT_TRUE(jsUntil(last + u".complete && "_s + last + u".naturalWidth > 0"_s));
    // The selection drawn from a press starts 4 pixels inside the pressed point.
    EXPECT_EQ(js(last + u".naturalWidth"_s).toInt(), 396);
    EXPECT_EQ(js(last + u".naturalHeight"_s).toInt(), 296);

    // One undo takes the picture out, and the note is as it was before the capture.
    pressKeys(u"ctrl+z"_s);
    EXPECT_TRUE(jsUntil(note() + u".images.length === "_s + QString::number(pictures)));
    EXPECT_TRUE(jsUntil(note() + u".body.innerText.includes('Screen:')"_s));
    finishJourney();
}
