// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The demo with a notebook that another computer changes through the heads folder.
#include "mainwindow.h"
#include "notebookcheck.h"
#include "notebooksync.h"
#include "notelistmodel.h"
#include "notestore.h"
#include "samplenotebook.h"

#include "common/appdirectory.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "notehtml/notehtmlrw.h"
#include "store/noteheads.h"
#include "testhelpers.h"

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
    void SetUp() override
    {
        SetAppDirectory(m_app.path() + u'/');
        m_store = std::make_unique<NoteStore>(m_app.filePath(u"userdata/notes.db"_s),
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
    void TearDown() override
    {
        m_window.reset();
        SetAppDirectory(QString());
    }

    // The other computer saves `text` as the note's new version.
    void saveElsewhere(const QString &id, const QString &text)
    {
        NewAttachFile noteFile;
        int version = NOTE_HTML_VER_2;
        QString html = u"<p>"_s + text + u"</p>"_s;
        ASSERT_EQ(NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version), 1);
        const NoteFile file{QString(),        0, noteFile.modifyTime, u"html"_s, noteFile.storeName,
                            noteFile.filePath};
        ASSERT_TRUE(m_other->saveNote(id, {file}, {}, text));
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

    QTemporaryDir m_app;
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
    saveElsewhere(plan, u"Changed there again"_s);
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

} // namespace
