// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A note written with the keyboard's shortcuts alone: a checklist ticked with Ctrl+Enter,
// bold from typed marks and a code block, saved with Ctrl+S, previewed (after its title) with
// its boxes as text and exported as ODT with its boxes as characters.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(Journey, ANoteWrittenWithShortcutsKeepsItsChecklistAndCodeEverywhere)
{
    pressKeys(u"ctrl+n"_s);
    // xdotool types no line breaks: Return is pressed between the lines.
    const auto typeLines = [&](const QStringList &lines) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                pressKeys(u"Return"_s);
            typeText(lines[i]);
        }
    };
    typeLines({u"Trip"_s, u"[ ] Passport"_s, u"Tickets"_s});
    pressKeys(u"ctrl+Return"_s);
    pressKeys(u"Return"_s);
    typeLines({QString(), u"Take **cash**"_s, u"```js"_s, u"let a = 1;"_s});
    const QString written
        = u"<p>Trip</p><ul class=\"checklist\"><li data-checked=\"false\">Passport</li>"
          "<li data-checked=\"true\">Tickets</li></ul><p>Take&nbsp;<b>cash</b></p>"
          "<pre class=\"language-javascript\"><span class=\"hljs-keyword\">let</span> a = "
          "<span class=\"hljs-number\">1</span>;</pre>"_s;
    const auto html = [&] {
        return js(note() + u".body.innerHTML"_s).toString();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return html() == written; }, 10000)) << html().toStdString();

    pressKeys(u"ctrl+s"_s);
    const QString id = window().currentNoteId();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return store().note(id) && store().note(id)->preview.contains(u"let"_s); }, 10000));
    EXPECT_EQ(store().note(id)->title, u"Trip"_s);
    EXPECT_EQ(store().note(id)->preview, u"[ ] Passport [x] Tickets Take cash let a = 1;"_s);

    QTemporaryDir out;
    const QString odt = out.filePath(u"trip.odt"_s);
    ASSERT_TRUE(window().exportCurrentNoteTo(odt));
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, odt, u"content.xml"_s});
    ASSERT_TRUE(unzip.waitForFinished(10000));
    const QString content = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(content.contains(u"<text:p>\u2610 Passport</text:p>"_s)) << content.toStdString();
    EXPECT_TRUE(content.contains(u"<text:p>\u2611 Tickets</text:p>"_s)) << content.toStdString();

    restart();
    ASSERT_TRUE(openNoteTitled(u"Trip"_s));
    EXPECT_TRUE(jsUntil(note() + u".querySelector('li[data-checked=\"true\"]') !== null"_s));
    finishJourney();
}
