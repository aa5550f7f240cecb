// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The demo with a notebook that another computer changes through the heads folder.
#include "mainwindow.h"
#include "notebookcheck.h"
#include "notebooksync.h"
#include "notelistmodel.h"
#include "notestore.h"
#include "samplenotebook.h"

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "common/appdirectory.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "notehtml/notehtmlrw.h"
#include "noteversion.h"
#include "recordingprompts.h"
#include "store/noteheads.h"
#include "testhelpers.h"

#include <QDirIterator>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int Timeout = 30000;
const QString here = u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"_s;
const QString there = u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"_s;

class NoteSyncTest : public ::testing::Test
{
protected:
    // One application folder for the browser's profile; each test starts with an empty store.
    static void SetUpTestSuite()
    {
        s_app = new QTemporaryDir;
        SetAppDirectory(s_app->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        SetAppDirectory(QString());
        delete s_app;
    }
    void SetUp() override
    {
        QDir(GetAttachRootDir()).removeRecursively();
        ASSERT_TRUE(writeBytes(NoteHeads::DeviceIdPath(), here.toLatin1()));
        m_store = std::make_unique<NoteStore>(m_dir.filePath(u"notes.db"_s),
                                              NoteHeads::DefaultFolder(), here);
        ASSERT_TRUE(m_store->open()) << m_store->lastError().toStdString();
        ASSERT_EQ(SampleNotebook::populate(*m_store), 4);
        m_window = std::make_unique<MainWindow>(*m_store);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, Timeout));
        m_other = std::make_unique<NoteStore>(m_other_dir.filePath(u"notes.db"_s),
                                              NoteHeads::DefaultFolder(), there);
        ASSERT_TRUE(m_other->open());
    }
    void TearDown() override { m_window.reset(); }

    // The other computer saves `text`, and `markup` after it, as the note's new version.
    void saveElsewhere(const QString &id, const QString &text, const QString &markup = {})
    {
        ASSERT_TRUE(saveNoteVersion(*m_other, id, u"<p>"_s + text + u"</p>"_s + markup, text));
    }
    // The other computer adds the file `name` holding `bytes` to the note: its markup.
    QString attachElsewhere(const QString &id, const QString &name, const QByteArray &bytes)
    {
        const QString source = m_other_dir.filePath(name);
        DropFileInfo info;
        MAF_RESULT stored;
        if (!writeBytes(source, bytes) || !DropFiles::BuildDropFileInfo(source, info)
            || AttachStore::MoveAttFile(id, info, stored) != 1)
            return {};
        return AttachAdder::AttachmentMarkup(info, stored);
    }
    // Every file below the attachment root, by path.
    static QStringList storeFiles()
    {
        QStringList files;
        QDirIterator it(GetAttachRootDir(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        return files;
    }
    QString pageText()
    {
        return runScript(m_window->editor()->page(),
                         u"document.querySelector('iframe.ke-edit-iframe').contentDocument.body"
                         ".innerText"_s)
            .toString();
    }
    QString listed(const QString &id) const
    {
        auto *model = static_cast<NoteListModel *>(m_window->findChild<QListView *>()->model());
        return model->index(model->rowOf(id), 0).data().toString();
    }

    static inline QTemporaryDir *s_app = nullptr;
    RecordingPrompts m_prompts;
    QTemporaryDir m_dir;
    QTemporaryDir m_other_dir;
    std::unique_ptr<NoteStore> m_store;
    std::unique_ptr<NoteStore> m_other;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(NoteSyncTest, AnArrivalShowsInTheOpenNoteAndAConflictOpensAsANoteOfItsOwn)
{
    const QString plan = m_window->noteIdByTitle(u"Weekly plan"_s);
    ASSERT_TRUE(m_window->selectNote(plan));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pageText().contains(u"Monday"_s); }, Timeout));

    // Changed on the other computer, not here: the open note shows the new version.
    saveElsewhere(plan, u"Changed on the other computer"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return pageText().contains(u"Changed on the other computer"_s); }, Timeout));
    EXPECT_EQ(listed(plan), u"Weekly plan"_s);
    EXPECT_FALSE(m_window->notebookSync()->isVisible());

    // Typed here while the other computer changed the same version again: both are kept.
    ASSERT_TRUE(runScript(m_window->editor()->page(),
                          u"(function(){var d=document.querySelector('iframe.ke-edit-"
                          "iframe').contentDocument;d.body.focus();"
                          "return d.execCommand('insertText',false,'Typed here');})()"_s)
                    .toBool());
    // The other version alone holds a picture and an attached file.
    const QString files
        = attachElsewhere(plan, u"harbour.png"_s, pngBytes(filledImage(60, 40, Qt::darkCyan)))
        + attachElsewhere(plan, u"tides.txt"_s, "High water at six");
    ASSERT_EQ(files.count(u"<img"_s), 2);
    saveElsewhere(plan, u"Changed there again"_s, files);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(plan).startsWith(u"\u26A0 "_s); }, Timeout));
    EXPECT_EQ(listed(plan), u"\u26A0 Weekly plan"_s);
    EXPECT_TRUE(m_window->notebookSync()->isVisible());
    EXPECT_TRUE(pageText().contains(u"Typed here"_s));

    auto *open = m_window->notebookSync()->findChild<QPushButton *>(u"openOtherVersion"_s);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), u"Open the other version as a note"_s);
    open->click();
    const QString other = m_window->currentNoteId();
    ASSERT_NE(other, plan);
    EXPECT_EQ(listed(other), u"Weekly plan (other version)"_s);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pageText().contains(u"Changed there again"_s); }, Timeout));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return runScript(m_window->editor()->page(),
                             u"[...document.querySelector('iframe.ke-edit-iframe').contentDocument"
                             ".images].filter(i => i.complete && i.naturalWidth > 0).length"_s)
                       .toInt()
                == 2;
        },
        Timeout));
    EXPECT_EQ(listed(plan), u"Weekly plan"_s);
    EXPECT_FALSE(m_window->notebookSync()->isVisible());

    // Settled on the other computer as well; nothing is missing here.
    m_other->refreshFromHeads();
    EXPECT_FALSE(m_other->note(plan)->conflict);
    EXPECT_TRUE(m_other->note(other).has_value());
    EXPECT_EQ(
        NotebookCheck::Run(*m_store).report(),
        u"notebook check: clean (5 notes, %1 files)"_s.arg(NotebookCheck::Run(*m_store).files));
}

TEST_F(NoteSyncTest, ANoteWhosePictureIsStillOnItsWayCompletesWhenItArrives)
{
    const QString plan = m_window->noteIdByTitle(u"Weekly plan"_s);
    ASSERT_TRUE(m_window->selectNote(plan));
    // The other computer adds a picture; the engine brings its note before the picture.
    const QStringList before = storeFiles();
    const QString markup
        = attachElsewhere(plan, u"harbour.png"_s, pngBytes(filledImage(60, 40, Qt::darkCyan)));
    ASSERT_FALSE(markup.isEmpty());
    QTemporaryDir away;
    QStringList onTheirWay;
    for (const QString &path : storeFiles()) {
        if (!before.contains(path)) {
            onTheirWay << path;
            ASSERT_TRUE(QFile::rename(path, away.filePath(QString::number(onTheirWay.size()))));
        }
    }
    ASSERT_FALSE(onTheirWay.isEmpty());
    saveElsewhere(plan, u"A view of the harbour"_s, markup);
    const QString picture
        = u"[...document.querySelector('iframe.ke-edit-iframe')"
          ".contentDocument.images].some(i => i.complete && i.naturalWidth > 0)"_s;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pageText().contains(u"A view of the harbour"_s); }, Timeout));
    EXPECT_FALSE(runScript(m_window->editor()->page(), picture).toBool());
    const NotebookCheck waiting = NotebookCheck::Run(*m_store);
    EXPECT_TRUE(waiting.clean()) << waiting.report().toStdString();
    EXPECT_EQ(waiting.waiting(), size_t(onTheirWay.size()));
    EXPECT_TRUE(
        waiting.report().endsWith(u"; %1 file(s) waiting for sync"_s.arg(onTheirWay.size())))
        << waiting.report().toStdString();

    for (int i = 0; i < onTheirWay.size(); ++i)
        ASSERT_TRUE(QFile::rename(away.filePath(QString::number(i + 1)), onTheirWay[i]));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return runScript(m_window->editor()->page(), picture).toBool(); }, Timeout));
    EXPECT_TRUE(pageText().contains(u"A view of the harbour"_s));
    EXPECT_FALSE(m_window->notebookSync()->isVisible());
}

TEST_F(NoteSyncTest, ANoteDeletedHereWhileChangedThereComesBackWithTheChangeAndItsFiles)
{
    const QString welcome = m_window->noteIdByTitle(u"Welcome to Tavrik Notes"_s);
    const QString folder = GetAttachRootDir() + u'/' + welcome;
    const QStringList kept = QDir(folder).entryList(QDir::Files);
    ASSERT_FALSE(kept.isEmpty());
    QString html;
    int version = 0;
    ASSERT_TRUE(NoteHtmlRW::ReadHtmlTextFromFile(
        GetAttachRootDir() + u'/' + m_other->noteFileNames(welcome).front(), html, version));

    // Deleted here; the other computer, not knowing it yet, changes the same version.
    ASSERT_TRUE(m_window->selectNote(welcome));
    m_prompts.answerButton(QMessageBox::Yes);
    m_window->deleteCurrentNote();
    ASSERT_FALSE(m_store->note(welcome));
    ASSERT_TRUE(
        saveNoteVersion(*m_other, welcome, u"<p>Changed there</p>"_s + html, u"Changed there"_s));

    ASSERT_TRUE(QTest::qWaitFor([&] { return m_store->note(welcome).has_value(); }, Timeout));
    EXPECT_EQ(m_store->noteFileNames(welcome), m_other->noteFileNames(welcome));
    EXPECT_EQ(listed(welcome), u"Welcome to Tavrik Notes"_s);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), kept);
    m_other->refreshFromHeads();
    EXPECT_TRUE(m_other->note(welcome).has_value()) << "the deletion took the change there";
    const NotebookCheck check = NotebookCheck::Run(*m_store);
    EXPECT_EQ(check.report(), u"notebook check: clean (4 notes, %1 files)"_s.arg(check.files));
}

} // namespace
