// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// What a user does with the demo on a real X display, with real keys (xdotool): typing into a
// note of the real tavrik-notes program that is then killed, and a new note after one with files.
#include "attachmentpane.h"
#include "mainwindow.h"
#include "notestore.h"
#include "samplenotebook.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int PageTimeoutMs = 30000;

QString xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(u"xdotool"_s, arguments);
    if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The note's text as last saved in `store` (its note files read from the attachment store).
QString savedText(NoteStore &store, const QString &id)
{
    QString text;
    for (const QString &name : store.noteFileNames(id)) {
        QString part;
        int version = 0;
        if (NoteHtmlRW::ReadHtmlTextFromFile(GetAttachRootDir() + u'/' + name, part, version))
            text += part;
    }
    return text;
}

class NotesJourney : public AppFolderTest
{
};

// Typing, a pause of a few seconds, then the program is killed: the sentence was autosaved.
TEST_F(NotesJourney, ASentenceTypedBeforeACrashIsThereAfterRestart)
{
    QTemporaryDir data;
    const QString notebook = data.filePath(u"notes.db"_s);
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TAVRIK_APP_DIR"_s, m_app.path());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    demo.setProcessEnvironment(environment);
    demo.start(QStringLiteral(TAVRIK_NOTES_PROGRAM), {u"--notebook"_s, notebook});
    ASSERT_TRUE(demo.waitForStarted());
    const auto stop = qScopeGuard([&] {
        demo.kill();
        demo.waitForFinished();
    });

    // The welcome note is open (its title is the window's) once the page has loaded.
    QString window;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            window = xdotool({u"search"_s, u"--name"_s, u"^Welcome to Tavrik Notes$"_s});
            return !window.isEmpty();
        },
        PageTimeoutMs))
        << "the demo did not open its welcome note";
    window = window.section(u'\n', 0, 0);
    xdotool({u"windowactivate"_s, u"--sync"_s, window});
    const QString geometry = xdotool({u"getwindowgeometry"_s, u"--shell"_s, window});
    const int width = geometry.section(u"WIDTH="_s, 1).section(u'\n', 0, 0).toInt();
    const int height = geometry.section(u"HEIGHT="_s, 1).section(u'\n', 0, 0).toInt();
    ASSERT_GT(width, 0) << geometry.toStdString();
    // Into the note's text, right of the list and above the attachments, then to its end.
    xdotool({u"mousemove"_s, u"--window"_s, window, QString::number(width * 3 / 4),
             QString::number(height / 4), u"click"_s, u"1"_s});
    QTest::qWait(500);
    xdotool({u"key"_s, u"--window"_s, window, u"ctrl+End"_s});
    const QString sentence = u"Typed just before the crash."_s;
    xdotool({u"type"_s, u"--delay"_s, u"40"_s, u" "_s + sentence});
    // A few seconds of rest, more than the pause that autosaves, less than the longest wait.
    QTest::qWait(4000);
    demo.kill();
    ASSERT_TRUE(demo.waitForFinished(10000));
    EXPECT_EQ(demo.exitStatus(), QProcess::CrashExit);

    NoteStore store(notebook);
    ASSERT_TRUE(store.open()) << store.lastError().toStdString();
    QString welcome;
    for (const auto &note : store.notes())
        welcome = note.title == u"Welcome to Tavrik Notes"_s ? note.id : welcome;
    ASSERT_FALSE(welcome.isEmpty());
    EXPECT_TRUE(savedText(store, welcome).contains(sentence))
        << savedText(store, welcome).toStdString();
}

// A new note after one with files starts with an empty pane; a file added shows at once.
TEST_F(NotesJourney, NewNoteAfterOneWithFilesListsOnlyItsOwn)
{
    QTemporaryDir data;
    NoteStore store(data.filePath(u"notes.db"_s));
    ASSERT_TRUE(store.open());
    ASSERT_EQ(SampleNotebook::populate(store), 4);
    RecordingPrompts prompts;
    MainWindow window(store);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isEditorReady(); }, PageTimeoutMs));
    AttachmentPane *pane = window.attachmentPane();
    ASSERT_EQ(pane->names().size(), 2);
    QPushButton *open = nullptr;
    for (QPushButton *button : pane->findChildren<QPushButton *>())
        open = button->text() == u"Open"_s ? button : open;
    ASSERT_NE(open, nullptr);

    const QString id = xdotool({u"getactivewindow"_s});
    xdotool({u"key"_s, u"--window"_s, id, u"ctrl+n"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->names().isEmpty(); }, 5000))
        << "the new note shows the files of the note before";
    EXPECT_FALSE(open->isEnabled());

    const QString file = data.filePath(u"checklist.txt"_s);
    ASSERT_TRUE(writeBytes(file, "pack, lock, leave"));
    window.editor()->InsertLocalFile(std::vector<QString>{file});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane->names().isEmpty(); }, 10000));
    EXPECT_EQ(pane->names(), QStringList{u"checklist.txt"_s});
    EXPECT_EQ(readBytes(pane->pathAt(0)), "pack, lock, leave");
}

} // namespace
