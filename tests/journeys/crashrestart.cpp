// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The real tavrik-notes program killed a few seconds after the user stopped typing: what was
// typed has been autosaved.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(Journey, ASentenceTypedBeforeACrashIsThereAfterRestart)
{
    closeWindow(); // the notebook is the program's alone
    QTemporaryDir settings; // a first start: the first note opens
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TAVRIK_APP_DIR"_s, appFolder());
    environment.insert(u"XDG_CONFIG_HOME"_s, settings.path());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    demo.setProcessEnvironment(environment);
    demo.start(QStringLiteral(TAVRIK_NOTES_PROGRAM), {u"--notebook"_s, notebookPath()});
    ASSERT_TRUE(demo.waitForStarted());
    const auto stop = qScopeGuard([&] {
        demo.kill();
        demo.waitForFinished();
    });

    const auto ask = [](const QStringList &args) {
        QProcess tool;
        tool.start(u"xdotool"_s, args);
        tool.waitForFinished();
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    };
    // The window takes the open note's title once the page has loaded and shows it.
    QString id;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            id = ask({u"search"_s, u"--name"_s, u"^Welcome to Tavrik Notes$"_s});
            return !id.isEmpty();
        },
        30000))
        << "tavrik-notes did not open its welcome note";
    id = id.section(u'\n', 0, 0);
    // No window manager on the test's X server: the keyboard focus is given directly.
    ASSERT_TRUE(xdotool({u"windowfocus"_s, u"--sync"_s, id}));
    // Into the note (right of the list, above the attachments), then to its end.
    const QString size = ask({u"getwindowgeometry"_s, u"--shell"_s, id});
    const int width = size.section(u"WIDTH="_s, 1).section(u'\n', 0, 0).toInt();
    const int height = size.section(u"HEIGHT="_s, 1).section(u'\n', 0, 0).toInt();
    ASSERT_GT(width * height, 0) << size.toStdString();
    ASSERT_TRUE(xdotool({u"mousemove"_s, u"--window"_s, id, QString::number(width * 3 / 4),
                         QString::number(height / 4), u"click"_s, u"1"_s}));
    pressKeys(u"ctrl+End"_s);
    const QString sentence = u"Typed just before the crash."_s;
    typeText(u" "_s + sentence);
    // Longer than the pause after which a note saves itself; no focus change, no Ctrl+S.
    QTest::qWait(4000);
    demo.kill();
    ASSERT_TRUE(demo.waitForFinished(10000));
    EXPECT_EQ(demo.exitStatus(), QProcess::CrashExit);

    openWindow();
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    EXPECT_TRUE(jsUntil(note() + u".body.innerText.includes('"_s + sentence + u"')"_s))
        << "the sentence was lost";
    finishJourney();
}
