// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Copy and paste between two notes on a real X server, with the keys a user presses (xdotool):
// a paragraph holding a picture and two cards is copied from one note and pasted twice into
// another, which then holds every file it shows, draws the pasted blocks at once, and stays
// whole once the first note is deleted and the store cleaned up.
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "store/storecheck.h"
#include "store/storecleanup.h"
#include "testhelpers.h"

#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QColor Green(0, 200, 0);

// In the program's application folder, which holds the file-type icons the cards show.
class CopyPasteJourney : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(GetAppDirectory() + u"userdata"_s).removeRecursively();
        m_root = GetAttachRootDir() + u'/';
        stageEditorPage(GetAppDirectory());
        m_host.resize(900, 700);
        ASSERT_TRUE(openEditor(&m_editor, &m_host, QRect(0, 0, 900, 700)));
        m_host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_host));
    }

    // Presses keys on the X server, as a user does ("ctrl+v", "End").
    static void keys(const QStringList &names)
    {
        QProcess xdotool;
        xdotool.start(u"xdotool"_s, QStringList{u"key"_s, u"--clearmodifiers"_s} + names);
        ASSERT_TRUE(xdotool.waitForFinished(10000) && xdotool.exitCode() == 0)
            << xdotool.readAllStandardError().toStdString();
    }
    QVariant js(const QString &script) { return runScript(m_editor.page(), script); }
    int attachments() { return js(u"Tavrik.editor.document().images.length"_s).toInt(); }
    // Pixels of the pasted picture's colour in the host window as the X server shows it now.
    int greenPixels()
    {
        const QImage shot = m_host.screen()->grabWindow(m_host.winId()).toImage();
        int count = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                count += shot.pixelColor(x, y) == Green;
        }
        return count;
    }
    // Saves the open note; the host's record of it.
    EditorHost::Save save()
    {
        const size_t before = m_host.saves.size();
        m_editor.SaveEditor();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_host.saves.size() > before; }));
        return m_host.saves.empty() ? EditorHost::Save() : m_host.saves.back();
    }
    // Dates everything in the store two hours back, so a clean-up may take what is unused.
    void age()
    {
        QDirIterator it(m_root, QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        const timespec when{time(nullptr) - 7200, 0};
        const timespec times[2] = {when, when};
        while (it.hasNext())
            ::utimensat(AT_FDCWD, QFile::encodeName(it.next()).constData(), times, 0);
    }

    QString m_root;
    QTemporaryDir m_in;
    RecordingPrompts m_prompts;
    EditorHost m_host;
    CZorvaEditorImpl m_editor;
};

TEST_F(CopyPasteJourney, ABlockPastedTwiceIntoAnotherNoteIsDrawnAtOnceAndOutlivesItsSource)
{
    const QString picture = m_in.filePath(u"pic.png"_s);
    ASSERT_TRUE(writeBytes(picture, pngBytes(filledImage(60, 40, Green))));
    ASSERT_TRUE(writeBytes(m_in.filePath(u"doc.pdf"_s), "%PDF-1.4 doc"));
    ASSERT_TRUE(writeBytes(m_in.filePath(u"notes.txt"_s), "notes"));

    // Note a: a line of text, the picture and two cards, selected and copied with the keys.
    m_editor.LoadEditor(u"a"_s, {}, {}, false);
    m_editor.GetWebBrowseHwnd()->setFocus();
    js(u"Tavrik.editor.focus()"_s);
    keys({u"T"_s, u"r"_s, u"i"_s, u"p"_s, u"space"_s});
    ASSERT_TRUE(waitForScript(m_editor.page(),
                              u"Tavrik.editor.document().body.textContent === 'Trip\\u00a0'"_s));
    m_editor.InsertLocalFile({picture, m_in.filePath(u"doc.pdf"_s), m_in.filePath(u"notes.txt"_s)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return attachments() == 3; }))
        << m_prompts.messages().join(u'|').toStdString();
    const EditorHost::Save source = save();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    keys({u"ctrl+a"_s, u"ctrl+c"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return clipboard->mimeData() && clipboard->mimeData()->html().contains(u"Trip"_s);
    }));

    // Note b: pasted twice, each block on screen with the caret after it before any other key.
    m_editor.LoadEditor(u"b"_s, {}, {}, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return attachments() == 0 && greenPixels() == 0; }));
    m_editor.GetWebBrowseHwnd()->setFocus();
    js(u"Tavrik.editor.focus()"_s);
    for (const int pasted : {1, 2}) {
        keys({u"ctrl+v"_s});
        ASSERT_TRUE(QTest::qWaitFor([&] { return attachments() == 3 * pasted; }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return greenPixels() >= pasted * 2000; }))
            << "paste " << pasted << " is not drawn";
        // The focused note's caret is collapsed right after what was pasted: before it the
        // blocks pasted so far, after it nothing.
        EXPECT_EQ(
            js(u"(function(){const d=Tavrik.editor.document(),s=d.getSelection();"
               "const before=d.createRange(),after=d.createRange();"
               "before.setStart(d.body,0);before.setEnd(s.focusNode,s.focusOffset);"
               "after.setStart(s.focusNode,s.focusOffset);after.setEnd(d.body,"
               "d.body.childNodes.length);return [d.hasFocus(),s.isCollapsed,"
               "before.toString(),before.cloneContents().querySelectorAll('img').length,"
               "after.toString(),after.cloneContents().querySelectorAll('img').length]"
               ".join('|');})()"_s)
                .toString(),
            u"true|true|%1|%2||0"_s.arg(QString(u"Trip\u00a0"_s).repeated(pasted)).arg(3 * pasted))
            << "the caret after paste " << pasted;
    }
    EXPECT_EQ(QDir(m_root + u"b"_s).entryList(QDir::Files),
              QStringList({u"doc.pdf"_s, u"notes.txt"_s, u"pic.png"_s}));
    const EditorHost::Save target = save();
    const std::map<QString, quint64> sizes = m_editor.handler().attachFileSizes();

    // Note a is deleted and the store cleaned up: b is whole, and reopens as it was saved.
    const LiveNote live{u"b"_s, target.files.at(0).filePath};
    age();
    const StoreCleanup::Result cleaned = StoreCleanup::Remove({live});
    EXPECT_TRUE(cleaned.error.isEmpty()) << cleaned.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_root + u"a"_s));
    EXPECT_FALSE(QFileInfo::exists(source.files.at(0).filePath));
    EXPECT_TRUE(StoreCheck::Run({live}).empty());
    QString saved;
    int version = 0;
    ASSERT_TRUE(NoteHtmlRW::ReadHtmlTextFromFile(live.noteFile, saved, version));
    m_editor.LoadEditor(u"b"_s, {target.files.at(0).storeName}, sizes, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return attachments() == 6; }));
    QString html, text;
    ASSERT_EQ(m_editor.handler().GetEditorContent(html, text), 1);
    EXPECT_EQ(html, saved);
    EXPECT_TRUE(waitForScript(m_editor.page(),
                              u"Array.from(Tavrik.editor.document().images)"
                              ".every(i => i.complete && i.naturalHeight > 0)"_s));
    std::vector<QString> names;
    ASSERT_EQ(AttachMarkup::ParseAttOrigFileNameList(html, names), 1);
    EXPECT_EQ(names,
              (std::vector<QString>{u"pic.png"_s, u"doc.pdf"_s, u"notes.txt"_s, u"pic.png"_s,
                                    u"doc.pdf"_s, u"notes.txt"_s}));
    EXPECT_EQ(m_prompts.messages(), QStringList());
}

} // namespace
