// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attachmentpane.h"
#include "mainwindow.h"
#include "notefind.h"
#include "noteimport.h"
#include "notelistmodel.h"
#include "notesearch.h"
#include "notestore.h"
#include "samplenotebook.h"
#include "storeactions.h"

#include "common/commonutils.h"
#include "common/uilanguage.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/czorvaupdownview.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "skin/editorprofile_p.h"
#include "testhelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int PageTimeoutMs = 30000;

class NotesAppTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_appDir = new QTemporaryDir;
        SetAppDirectory(s_appDir->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        SetAppDirectory(QString());
        delete s_appDir;
    }

    void SetUp() override
    {
        m_store = std::make_unique<NoteStore>(m_dbDir.filePath(u"notes.db"_s));
        ASSERT_TRUE(m_store->open()) << m_store->lastError().toStdString();
        QString error;
        ASSERT_EQ(SampleNotebook::populate(*m_store, &error), 4) << error.toStdString();
        m_window = std::make_unique<MainWindow>(*m_store);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, PageTimeoutMs));
    }

    void TearDown() override
    {
        m_window.reset();
        m_store.reset();
    }

    QVariant runInPage(const QString &script)
    {
        return runScript(m_window->editor()->page(), script);
    }
    // Types at the end of the note; each further argument starts a new paragraph.
    void type(const QString &text, const QString &nextParagraph = QString())
    {
        const QVariant typed = runInPage(
            u"(function(){var d=document.querySelector('iframe.ke-edit-iframe').contentDocument;"
            "d.body.focus();var r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
            "d.getSelection().removeAllRanges();d.getSelection().addRange(r);"
            "var ok=d.execCommand('insertText',false,'%1');"
            "if('%2'){d.execCommand('insertParagraph');ok=d.execCommand('insertText',false,'%2');}"
            "return ok;})()"_s.arg(text, nextParagraph));
        ASSERT_TRUE(typed.toBool());
    }

    // Evaluates `expression` on the editing frame's document.
    QVariant inFrame(const QString &expression)
    {
        return runInPage(u"document.querySelector('iframe.ke-edit-iframe').contentDocument"_s
                         + expression);
    }
    QString pageText() { return inFrame(u".body.innerText"_s).toString(); }

    QString statusText() const { return m_window->statusBar()->currentMessage(); }

    static QTemporaryDir *s_appDir;
    QTemporaryDir m_dbDir;
    RecordingPrompts m_prompts;
    std::unique_ptr<NoteStore> m_store;
    std::unique_ptr<MainWindow> m_window;
};

QTemporaryDir *NotesAppTest::s_appDir = nullptr;

TEST_F(NotesAppTest, OpensTheSampleNotebookOnItsWelcomeNoteCheckingSpellingInThePalette)
{
    EXPECT_EQ(SampleNotebook::populate(*m_store), 0) << "samples were added twice";
    const auto notes = m_store->notes();
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].title, u"Welcome to Tavrik Notes"_s);
    EXPECT_EQ(m_window->currentNoteId(), notes[0].id);
    EXPECT_EQ(runInPage(u"Tavrik.editor.maxChars()"_s).toInt(), MainWindow::NoteMaxChars);
    EXPECT_TRUE(pageText().contains(u"Welcome to Tavrik Notes"_s));
    // The welcome note shows a picture and a document card, both loaded from the store.
    const QString shown = u"Array.from(document.querySelector('iframe.ke-edit-iframe')"
                          ".contentDocument.querySelectorAll('img[zv_exdata]'))"_s;
    ASSERT_TRUE(
        waitForScript(m_window->editor()->page(),
                      shown + u".filter(i => i.complete && i.naturalWidth > 0).length == 2"_s));
    EXPECT_EQ(runInPage(shown + u".map(i => i.getAttribute('src').slice(-4)).join()"_s).toString(),
              u".png,.bmp"_s);

    // The editor checks spelling and follows the desktop palette.
    using Theme = TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl::Theme;
    auto *editor = m_window->editor();
    EXPECT_EQ(editor->spellCheckLanguages(), std::vector<QString>{u"en-US"_s});
    EXPECT_TRUE(inFrame(u".body.spellcheck"_s).toBool()) << "asked for before the page loaded";
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x26, 0x28, 0x2c));
    dark.setColor(QPalette::WindowText, QColor(0xe3, 0xe5, 0xe8));
    QApplication::setPalette(dark);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->theme() == Theme::Dark; }));
    EXPECT_TRUE(inFrame(u".documentElement.classList.contains('dark')"_s).toBool());
    QApplication::setPalette(light);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->theme() == Theme::Light; }));

    const QString plan = m_window->noteIdByTitle(u"Weekly plan"_s);
    ASSERT_TRUE(m_window->selectNote(plan));
    EXPECT_EQ(inFrame(u".querySelectorAll('table tr').length"_s).toInt(), 6);
    const QString reading = m_window->noteIdByTitle(u"Reading notes"_s);
    ASSERT_TRUE(m_window->selectNote(reading));
    EXPECT_TRUE(m_window->editor()->handler().IsReadOnly());
    // Every sample is a real note file in the attachment store.
    for (const auto &note : notes) {
        const auto names = m_store->noteFileNames(note.id);
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(QFile::exists(GetAttachRootDir() + u'/' + names.front()));
    }
}

TEST_F(NotesAppTest, SwitchingSavesTheNoteLeftSearchOpensTheFoundNoteAndOlderNotebooksAreIndexed)
{
    const QString welcome = m_window->currentNoteId();
    const auto before = m_store->noteFileNames(welcome);
    type(u" Changed before switching."_s);
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    const auto after = m_store->noteFileNames(welcome);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after, before);
    EXPECT_TRUE(
        readBytes(GetAttachRootDir() + u'/' + after.front()).contains("Changed before switching."));

    ASSERT_TRUE(m_window->selectNote(welcome));
    EXPECT_TRUE(pageText().contains(u"Changed before switching."_s));

    // Search lists the last save and opens the found note with the word marked.
    type(u" Trip to Zanzibar."_s);
    m_window->editor()->SaveEditor();
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    NoteSearch *search = m_window->noteSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !search->isIndexing(); }, PageTimeoutMs));
    QTest::keyClicks(search->field(), u"zanz"_s);
    ASSERT_EQ(search->results()->count(), 1);
    EXPECT_EQ(search->results()->item(0)->text(), u"Welcome to Tavrik Notes"_s);
    QTest::keyClick(search->field(), Qt::Key_Return);
    EXPECT_EQ(m_window->currentNoteId(), welcome);
    QLineEdit *inNote = nullptr;
    for (QLineEdit *edit : m_window->findChildren<QLineEdit *>())
        inNote = edit->placeholderText() == u"Search in this note"_s ? edit : inNote;
    ASSERT_NE(inNote, nullptr);
    EXPECT_EQ(inNote->text(), u"Zanzibar"_s);

    QTest::keyClicks(search->field(), u" \"a\" OR *"_s);
    EXPECT_EQ(search->results()->count(), 0);
    QTest::keyClick(search->field(), Qt::Key_Escape);
    EXPECT_FALSE(search->isActive());
    EXPECT_FALSE(search->results()->isVisible());

    QTemporaryDir olderDir;
    NoteStore older(olderDir.filePath(u"notes.db"_s));
    ASSERT_TRUE(older.open()) << older.lastError().toStdString();
    ASSERT_EQ(SampleNotebook::populate(older), 4);
    {
        // As a notebook from before the index holds them after its first open.
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"older"_s);
        db.setDatabaseName(older.databasePath());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(u"UPDATE note_index SET words = ''"_s));
        ASSERT_TRUE(query.exec(u"UPDATE note_search SET complete = 0"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"older"_s);
    ASSERT_TRUE(older.search(u"sesame"_s).empty());
    NoteSearch indexer(older);
    ASSERT_TRUE(indexer.isIndexing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !indexer.isIndexing(); }, PageTimeoutMs));
    const auto found = older.search(u"sesame"_s);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].title, u"Dumplings 饺子"_s);
    EXPECT_TRUE(older.notesToIndex().empty());

    const QString id = found[0].id;
    {
        NoteSearch closing(older);
        ASSERT_TRUE(older.saveNote(id, older.files(id), {}, u"kept at exit"_s, false));
        closing.indexLater(id, u"kept at exit"_s);
    }
    EXPECT_EQ(older.search(u"exit"_s).size(), 1u) << "a save waiting at exit is indexed";
    EXPECT_TRUE(older.notesToIndex().empty());
}

// The open note's search field: letter case ignored, which hit is current beside the field,
// Enter and F3 going forward, with Shift backward.
TEST_F(NotesAppTest, FindInNoteIgnoresCaseCountsTheHitsAndStepsThroughThem)
{
    type(u" Quokka one."_s, u"QUOKKA two, quokka three."_s);
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    NoteFind *find = m_window->noteFind();
    QTest::keyClicks(find->field(), u"qUoKkA"_s);
    EXPECT_EQ(find->countText(), u"1 of 3"_s);
    const auto current = [&] {
        return runScript(m_window->editor()->page(), u"tavrikHighlighter.describe(true).current"_s,
                         QWebEngineScript::ApplicationWorld)
            .toInt();
    };
    EXPECT_EQ(current(), 0);
    QTest::keyClick(find->field(), Qt::Key_Return);
    EXPECT_EQ(find->countText(), u"2 of 3"_s);
    QTest::keyClick(find->field(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(find->field(), Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(find->countText(), u"3 of 3"_s);
    EXPECT_EQ(current(), 2);
    // F3 from the note itself.
    m_window->editor()->setFocus();
    QWidget *note = m_window->editor()->GetWebBrowseHwnd();
    QTest::keyClick(note, Qt::Key_F3);
    EXPECT_EQ(find->countText(), u"1 of 3"_s);
    QTest::keyClick(note, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(find->countText(), u"3 of 3"_s);
    EXPECT_EQ(current(), 2);
    EXPECT_TRUE(pageText().contains(u"QUOKKA two, quokka three."_s)) << "the keys typed nothing";
    // Tab walks the find bar and then goes to the note list, never into the note.
    find->field()->setFocus();
    const QList<QWidget *> walk{find->matchCase(),        find->wholeWord(),
                                find->replacementField(), find->replaceButton(),
                                find->replaceAllButton(), m_window->findChild<QListView *>()};
    for (QWidget *next : walk) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_TRUE(pageText().contains(u"QUOKKA two, quokka three."_s));

    find->field()->setText(u"quokkas"_s);
    EXPECT_EQ(find->countText(), u"No matches"_s);
    QTest::keyClick(find->field(), Qt::Key_F3);
    EXPECT_EQ(find->countText(), u"No matches"_s);
    find->field()->clear();
    EXPECT_EQ(find->countText(), QString());
    // Another note is searched for the same text as it opens.
    find->field()->setText(u"MONDAY"_s);
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    EXPECT_EQ(find->countText(), u"1 of 1"_s);
}

// Replacing from the find bar: Match case and Whole word narrow the hits, Replace takes the
// current hit and moves on, Replace all the rest.
TEST_F(NotesAppTest, FindBarReplacesTheCurrentHitOrEveryHitFromTheKeyboard)
{
    type(u" Emu emu emus EMU."_s);
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    NoteFind *find = m_window->noteFind();
    EXPECT_EQ(find->matchCase()->text(), u"Match &case"_s);
    EXPECT_EQ(find->replacementField()->accessibleName(), u"Replace with"_s);
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    find->field()->setFocus();
    QTest::keyClicks(find->field(), u"emu"_s);
    EXPECT_EQ(find->countText(), u"1 of 4"_s);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    EXPECT_TRUE(find->wholeWord()->isChecked());
    EXPECT_EQ(find->countText(), u"1 of 3"_s);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Space);
    EXPECT_EQ(find->countText(), u"1 of 1"_s);
    press(Qt::Key_Space);
    EXPECT_EQ(find->countText(), u"1 of 3"_s);

    press(Qt::Key_H, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), find->replacementField());
    QTest::keyClicks(find->replacementField(), u"Kiwi"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(pageText().contains(u"Kiwi emu emus EMU."_s)) << pageText().toStdString();
    EXPECT_EQ(find->countText(), u"1 of 2"_s);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), find->replaceAllButton());
    press(Qt::Key_Space);
    EXPECT_TRUE(pageText().contains(u"Kiwi Kiwi emus Kiwi."_s)) << pageText().toStdString();
    EXPECT_EQ(find->countText(), u"2 replaced"_s);
}

TEST_F(NotesAppTest, DocumentCardOpensItsKeptCopyTheAttachDialogRemembersAndDeleteAsks)
{
    QStringList launched;
    m_window->setAttachmentLauncher([&](const QUrl &url) {
        launched.append(url.toLocalFile());
        return true;
    });
    inFrame(u".querySelector('img[zv_exdata][src$=\".bmp\"]')"
            ".dispatchEvent(new MouseEvent('dblclick', {bubbles: true}))"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !launched.isEmpty(); }, PageTimeoutMs));
    EXPECT_EQ(launched,
              QStringList{GetAttachRootDir() + u'/' + m_window->currentNoteId()
                          + u"/Packing list.txt"_s});
    EXPECT_TRUE(m_prompts.shown().empty());
    EXPECT_EQ(statusText(), u"Opened “Packing list.txt”"_s);

    // The attach dialog has one title and starts where files were last picked.
    QTemporaryDir picked;
    const QString file = picked.filePath(u"a.txt"_s);
    ASSERT_TRUE(writeBytes(file, "abc"));
    m_prompts.answerPaths({file});
    const QStringList welcomeFiles = m_window->attachmentPane()->names();
    m_window->attachFiles();
    EXPECT_EQ(m_window->attachmentPane()->names(), welcomeFiles + QStringList{u"a.txt"_s})
        << "the pane lists a file as soon as it is attached";
    m_window->attachFiles();
    ASSERT_EQ(m_prompts.shown().size(), 2u);
    for (const auto &dialog : m_prompts.shown()) {
        EXPECT_EQ(dialog.kind, RecordingPrompts::Shown::OpenFiles);
        EXPECT_EQ(dialog.title, u"Attach files"_s);
    }
    EXPECT_EQ(m_prompts.shown().at(1).text, picked.path());

    // Removed from the note (its name is base64 in the markup): gone from the pane once saved.
    runInPage(u"Tavrik.editor.document().querySelector('img[zv_exdata*=\"YS50eHQ\"]').remove()"_s);
    m_window->editor()->SaveEditor();
    EXPECT_EQ(m_window->attachmentPane()->names(), welcomeFiles);

    // Delete asks first and keeps the note on no.
    const QString id = m_window->noteIdByTitle(u"Dumplings 饺子"_s);
    ASSERT_TRUE(m_window->selectNote(id));
    const QString expected = u"Delete the note “Dumplings 饺子”?\n\n"
                             "Its text and its attachments are removed for good."_s;

    m_prompts.answerButton(QMessageBox::No);
    m_window->deleteCurrentNote();
    ASSERT_EQ(m_prompts.messages().size(), 1u);
    EXPECT_EQ(m_prompts.shown().back().text, expected);
    EXPECT_EQ(m_prompts.shown().back().title, u"Delete note"_s);
    EXPECT_TRUE(m_store->note(id).has_value());

    const QString noteFile = GetAttachRootDir() + u'/' + m_store->noteFileNames(id).front();
    m_prompts.answerButton(QMessageBox::Yes);
    m_window->deleteCurrentNote();
    EXPECT_FALSE(m_store->note(id).has_value());
    EXPECT_EQ(m_store->noteCount(), 3);
    EXPECT_FALSE(QFile::exists(noteFile)) << "the deleted note's file stayed in the store";
    EXPECT_FALSE(m_window->currentNoteId().isEmpty());
    EXPECT_NE(m_window->currentNoteId(), id);
    EXPECT_EQ(statusText(), u"Deleted “Dumplings 饺子”"_s);
}

TEST_F(NotesAppTest, NewNoteLeftEmptyIsDiscardedOrSavedAndTitledAfterItsFirstLine)
{
    m_window->newNote();
    const QString empty = m_window->currentNoteId();
    EXPECT_EQ(statusText(), u"New note: start typing; the first line becomes its title"_s);
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    EXPECT_FALSE(m_store->note(empty).has_value());
    EXPECT_EQ(m_store->noteCount(), 4);
    EXPECT_EQ(statusText(), QString()) << "the new note's hint stayed";

    // Typed but not saved yet: the question names the first line, and the note stays.
    m_window->newNote();
    type(u"Groceries"_s);
    m_prompts.answerButton(QMessageBox::No);
    m_window->deleteCurrentNote();
    EXPECT_EQ(m_prompts.messages(),
              QStringList{u"Delete the note “Groceries”?\n\n"
                          "Its text and its attachments are removed for good."_s});
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    EXPECT_FALSE(m_window->noteIdByTitle(u"Groceries"_s).isEmpty());
    EXPECT_EQ(m_store->noteCount(), 5);

    // A new note is saved and titled after its first line.
    m_window->newNote();
    const QString id = m_window->currentNoteId();
    ASSERT_EQ(m_store->noteCount(), 6);
    EXPECT_EQ(m_store->note(id)->title, u"Untitled note"_s);
    type(u"Groceries"_s, u"milk,  bread"_s);
    m_window->editor()->SaveEditor();
    const auto note = m_store->note(id);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->title, u"Groceries"_s);
    EXPECT_EQ(note->preview, u"milk, bread"_s) << "the preview repeats the title";
    const auto files = m_store->files(id);
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front().fileKind, 0);
    EXPECT_EQ(m_store->notes().front().id, id);
    EXPECT_TRUE(statusText().startsWith(u"Saved “Groceries” at "_s)) << statusText().toStdString();
}

TEST_F(NotesAppTest, ExportWritesTheSavedNoteReadOnlyAndRenameAreKeptAndChineseIsShown)
{
    QTemporaryDir out;
    type(u" Exported line."_s);
    const QString path = out.filePath(u"welcome.mht"_s);
    ASSERT_TRUE(m_window->exportCurrentNoteTo(path)) << statusText().toStdString();
    EXPECT_TRUE(readBytes(path).contains("Exported line."));
    EXPECT_EQ(statusText(), u"Exported to "_s + QDir::toNativeSeparators(path));
    // A name ending in .odt asks for an OpenDocument text; its first entry names the format.
    const QString odt = out.filePath(u"welcome.odt"_s);
    ASSERT_TRUE(m_window->exportCurrentNoteTo(odt)) << statusText().toStdString();
    EXPECT_TRUE(readBytes(odt).contains("mimetypeapplication/vnd.oasis.opendocument.text"));
    // The menu's DOCX entry asks for a name and writes a Word document there.
    const QList<QAction *> actions = m_window->findChildren<QAction *>();
    const auto exportAction = std::find_if(actions.begin(), actions.end(), [](QAction *action) {
        return action->text() == u"&Export"_s && action->menu();
    });
    ASSERT_NE(exportAction, actions.end());
    QStringList entries;
    for (const QAction *entry : (*exportAction)->menu()->actions())
        entries << entry->text();
    EXPECT_EQ(entries,
              (QStringList{u"As &MHT document…"_s, u"As &ODT document…"_s, u"As &DOCX document…"_s,
                           u"As &PDF…"_s, u"As Mar&kdown folder…"_s}));
    const QString docx = out.filePath(u"welcome.docx"_s);
    m_prompts.clear();
    m_prompts.answerPaths({docx});
    (*exportAction)->menu()->actions().at(2)->trigger();
    ASSERT_EQ(m_prompts.shown().size(), 1u);
    EXPECT_EQ(m_prompts.shown().front().title, u"Export to DOCX"_s);
    EXPECT_EQ(m_prompts.shown().front().filter, u"Word documents (*.docx)"_s);
    EXPECT_TRUE(m_prompts.shown().front().text.endsWith(u".docx"_s));
    EXPECT_EQ(statusText(), u"Exported to "_s + QDir::toNativeSeparators(docx));
    EXPECT_TRUE(readBytes(docx).startsWith("PK\3\4"));
    EXPECT_TRUE(readBytes(docx).contains("Exported line.</w:t>"));
    // A name ending in .pdf asks for a PDF; a folder that does not exist is reported.
    const QString pdf = out.filePath(u"welcome.pdf"_s);
    ASSERT_TRUE(m_window->exportCurrentNoteTo(pdf)) << statusText().toStdString();
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF-"));
    EXPECT_FALSE(m_window->exportCurrentNoteTo(out.filePath(u"gone/welcome.pdf"_s)));
    EXPECT_EQ(statusText(), u"Export failed: 文件夹 %1 不存在。"_s.arg(out.filePath(u"gone"_s)));

    // The read-only switch and a rename are kept with the note.
    const QString id = m_window->currentNoteId();
    m_window->setCurrentReadOnly(true);
    EXPECT_TRUE(m_store->note(id)->readOnly);
    EXPECT_TRUE(m_window->editor()->handler().IsReadOnly());
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    EXPECT_FALSE(m_window->editor()->handler().IsReadOnly());
    ASSERT_TRUE(m_window->selectNote(id));
    EXPECT_TRUE(m_window->editor()->handler().IsReadOnly());
    m_window->setCurrentReadOnly(false);
    EXPECT_FALSE(m_store->note(id)->readOnly);

    auto *list = m_window->findChild<QListView *>();
    ASSERT_NE(list, nullptr);
    const QModelIndex current = list->currentIndex();
    EXPECT_TRUE(list->model()->setData(current, u"  Hello again  "_s, Qt::EditRole));
    EXPECT_EQ(m_store->note(id)->title, u"Hello again"_s);
    EXPECT_FALSE(list->model()->setData(current, u"   "_s, Qt::EditRole));
    EXPECT_EQ(statusText(), u"Cannot rename the note: the title is empty"_s);
    EXPECT_EQ(m_store->note(id)->title, u"Hello again"_s);

    // Chinese reaches the menus, the editor page and the note list.
    m_window.reset();
    const auto restore = qScopeGuard([] {
        UiLanguage::Reset();
        TAVRIKCORE::RICHEDITOR::Internal::EditorProfile::get()->setHttpAcceptLanguage(QString());
    });
    UiLanguage::AddCatalogue(u"tavriknotes"_s);
    ASSERT_EQ(UiLanguage::Set(u"zh_CN"_s), u"zh_CN"_s);
    m_window = std::make_unique<MainWindow>(*m_store);
    m_window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, PageTimeoutMs));
    EXPECT_EQ(m_window->menuBar()->actions().at(0)->text(), u"文件(&F)"_s);
    EXPECT_EQ(runInPage(u"[document.querySelector('[data-id=\"bold\"]').dataset.tip,"
                        "document.querySelector('[data-id=\"block\"] option').textContent,"
                        "document.getElementById('status-mode').textContent]"_s)
                  .toStringList(),
              (QStringList{u"粗体 (Ctrl+B)"_s, u"正文"_s, u"正在编辑"_s}));
    EXPECT_EQ(AttachmentPane::sizeText(512), u"512 字节"_s);
    const QString usage = m_window->attachmentPane()->usageText();
    EXPECT_TRUE(usage.startsWith(u"2 个文件，已用 "_s) && usage.endsWith(u" KiB，共 10 MiB"_s))
        << usage.toStdString();
    m_window->noteFind()->field()->setText(u"Tavrik"_s);
    EXPECT_TRUE(m_window->noteFind()->countText().startsWith(u"第 1 个，共 "_s));
    m_window->newNote();
    EXPECT_EQ(m_store->note(m_window->currentNoteId())->title, u"无标题笔记"_s);
    // A refused paste says by how much, in Chinese too.
    m_window->editor()->handler().SetEditorMaxChars(3);
    runInPage(
        u"(function(){const dt=new DataTransfer();dt.setData('text/plain','12345');"
        "document.querySelector('iframe.ke-edit-iframe').contentDocument.body.dispatchEvent("
        "new ClipboardEvent('paste',{clipboardData:dt,bubbles:true,cancelable:true}));})()"_s);
    EXPECT_EQ(runInPage(u"document.getElementById('status-message').textContent"_s).toString(),
              u"粘贴的内容过长：超出笔记字数上限 2 个字符"_s);
}

// View > Theme gives the program a dark or light palette of its own, kept in the settings; the
// note's bytes stay as they were and the checked Read-only icon is drawn to be seen.
TEST_F(NotesAppTest, ThemeChoiceIsKeptDrawsTheCheckedIconInThePaletteAndKeepsTheNote)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(u"TavrikEditorTest"_s);
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([] {
        QSettings().clear();
        QCoreApplication::setOrganizationName(QString());
        QStandardPaths::setTestModeEnabled(false);
    });
    const auto choose = [&](const QString &name) {
        for (QAction *action : m_window->findChildren<QAction *>()) {
            if (action->data() == name)
                action->trigger();
        }
    };
    using Theme = CZorvaEditorImpl::Theme;
    const QString markup = u"Tavrik.editor.content().html"_s;
    const QString before = runInPage(markup).toString();
    choose(u"dark"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_window->editor()->theme() == Theme::Dark; }));
    EXPECT_EQ(QSettings().value(u"view/theme"_s).toString(), u"dark"_s);
    EXPECT_EQ(runInPage(markup).toString(), before);
    EXPECT_EQ(m_window->splitView()->splitterBar().grab().toImage().pixelColor(0, 0),
              QApplication::palette().color(QPalette::Window));

    QAction *readOnly = nullptr;
    for (QAction *action : m_window->findChildren<QAction *>())
        readOnly = action->text() == u"Read-&only"_s ? action : readOnly;
    ASSERT_NE(readOnly, nullptr);
    const QImage checked = readOnly->icon().pixmap(24, QIcon::Normal, QIcon::On).toImage();
    EXPECT_EQ(checked.pixelColor(12, 16), QApplication::palette().color(QPalette::HighlightedText));
    const QImage unchecked = readOnly->icon().pixmap(24, QIcon::Normal, QIcon::Off).toImage();
    EXPECT_EQ(unchecked.pixelColor(12, 16), QApplication::palette().color(QPalette::WindowText));

    m_window->close();
    QApplication::setPalette(desktop);
    m_window = std::make_unique<MainWindow>(*m_store);
    m_window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, PageTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_window->editor()->theme() == Theme::Dark; }))
        << "the choice is kept between runs";
    choose(u"system"_s);
    EXPECT_EQ(QApplication::palette(), desktop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_window->editor()->theme() == Theme::Light; }));
    EXPECT_EQ(QSettings().value(u"view/theme"_s).toString(), u"system"_s);
}

// The File menu's store upkeep: a sound notebook, a clean-up that removes only after a yes,
// and the open note exported as a folder.
TEST_F(NotesAppTest, StoreMenuChecksCleansAfterYesOnlyAndExportsAFolder)
{
    auto *actions = m_window->findChild<StoreActions *>();
    ASSERT_TRUE(actions);
    actions->checkAction()->trigger();
    EXPECT_EQ(
        m_prompts.messages(),
        QStringList{u"The notebook is sound: every file its notes need is there and intact."_s});
    const QString unused = GetAttachRootDir() + u"/5d41402abc4b2a76b9719d911017c592.txt"_s;
    ASSERT_TRUE(writeBytes(unused, "hello"));
    const timespec hoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(unused).constData(), hoursAgo, 0), 0);
    m_prompts.clear();
    m_prompts.answerButton(QMessageBox::No);
    actions->cleanAction()->trigger();
    EXPECT_TRUE(QFile::exists(unused));
    m_prompts.answerButton(QMessageBox::Yes);
    actions->cleanAction()->trigger();
    EXPECT_FALSE(QFile::exists(unused));
    const QStringList shown = m_prompts.messages();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].startsWith(u"1 file(s) (5B) belong to no note any more. Remove them?\n\n"
                                    "store-file: "_s
                                    + unused))
        << shown[0].toStdString();
    EXPECT_EQ(shown[2], u"Removed 1 file(s), 5B freed."_s);

    QTemporaryDir out;
    const QString title = MainWindow::fileNameFor(m_store->note(m_window->currentNoteId())->title);
    ASSERT_TRUE(actions->exportCurrentNoteInto(out.path()));
    const QString page = out.filePath(title + u'/' + title + u".html"_s);
    EXPECT_EQ(statusText(), u"Exported to "_s + page);
    EXPECT_TRUE(readBytes(page).contains("<img src=\""));
}

// File > Import… brings an Evernote export in: each note in the list with its time, its picture
// shown in the editor, what was left out said in the result, in Chinese too; the notebook stays
// sound.
TEST_F(NotesAppTest, ImportAddsTheExportsNotesListsWhatWasLeftOutAndTheNotebookStaysSound)
{
    const QByteArray picture = pngBytes(filledImage(24, 16, Qt::darkGreen));
    const QString hash = md5Hex(picture);
    QTemporaryDir in;
    const QString enex = in.filePath(u"trip.enex"_s);
    ASSERT_TRUE(writeBytes(
        enex,
        (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><en-export><note><title>Harbour walk"
         "</title><content><![CDATA[<en-note><div>Boats</div><en-media hash=\""_s
         + hash
         + u"\" type=\"image/png\"/><en-media hash=\"0123\"/></en-note>]]></content>"
           "<created>20231230T101500Z</created><updated>20240102T083000Z</updated>"
           "<resource><data encoding=\"base64\">"_s
         + QString::fromLatin1(picture.toBase64())
         + u"</data><mime>image/png</mime><resource-attributes><file-name>boats.png"
           "</file-name></resource-attributes></resource><resource><data>AAAA</data>"
           "<resource-attributes><file-name>odd.bin</file-name></resource-attributes>"
           "</resource></note></en-export>"_s)
            .toUtf8()));
    QAction *import = nullptr;
    for (QAction *action : m_window->menuBar()->actions().at(0)->menu()->actions()) {
        if (action->text() == u"&Import…"_s)
            import = action;
    }
    ASSERT_TRUE(import);
    m_prompts.answerPaths({enex});
    import->trigger();
    ASSERT_EQ(m_prompts.shown().size(), size_t(2));
    EXPECT_EQ(m_prompts.shown()[0].filter,
              u"Evernote exports and web pages (*.enex *.html *.htm)"_s);
    EXPECT_EQ(m_prompts.shown()[1].title, u"Import"_s);
    EXPECT_EQ(
        m_prompts.shown()[1].text,
        u"Imported 1 note(s).\n\nLeft out:\nodd.bin in “Harbour walk”: its bytes do not match its hash"_s);

    const QString id = m_window->noteIdByTitle(u"Harbour walk"_s);
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(m_store->note(id)->created, QDateTime(QDate(2023, 12, 30), QTime(10, 15), Qt::UTC));
    EXPECT_EQ(m_store->note(id)->modified, QDateTime(QDate(2024, 1, 2), QTime(8, 30), Qt::UTC));
    EXPECT_EQ(m_store->note(id)->preview, u"Boats"_s);
    ASSERT_TRUE(m_window->selectNote(id));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return inFrame(u".querySelector('img[src$=\"%1.png\"]')?.naturalWidth"_s.arg(hash))
                       .toInt()
                == 24;
        },
        PageTimeoutMs));
    // The note exported as a folder comes back from that folder as the same note file.
    QTemporaryDir out;
    auto *actions = m_window->findChild<StoreActions *>();
    ASSERT_TRUE(actions->exportCurrentNoteInto(out.path()));
    const NoteImport::Report again
        = NoteImport(*m_store).importFiles({out.filePath(u"Harbour walk"_s)});
    ASSERT_EQ(again.noteIds.size(), 1);
    EXPECT_TRUE(again.skipped.empty());
    EXPECT_EQ(m_store->noteFileNames(again.noteIds.front()), m_store->noteFileNames(id));
    // A notebook that cannot be written keeps no half note and says why.
    NoteStore reading(m_store->databasePath());
    ASSERT_TRUE(reading.openForReading());
    LogCapture log;
    const NoteImport::Report refused = NoteImport(reading).importFiles({enex});
    EXPECT_TRUE(refused.noteIds.isEmpty());
    ASSERT_EQ(refused.skipped.size(), size_t(2));
    EXPECT_EQ(NoteImport::skipLine(refused.skipped[1]),
              u"Harbour walk: could not be stored in the notebook"_s);
    EXPECT_EQ(log.lines().back(),
              u"[ERROR] Import could not store the note \"Harbour walk\": "_s
                  + refused.skipped[1].detail);
    EXPECT_FALSE(refused.skipped[1].detail.isEmpty());
    m_prompts.clear();
    actions->checkAction()->trigger();
    EXPECT_EQ(
        m_prompts.messages(),
        QStringList{u"The notebook is sound: every file its notes need is there and intact."_s});

    const auto restore = qScopeGuard([] { UiLanguage::Reset(); });
    UiLanguage::AddCatalogue(u"tavriknotes"_s);
    ASSERT_EQ(UiLanguage::Set(u"zh_CN"_s), u"zh_CN"_s);
    NoteImport::Report report;
    report.noteIds << id;
    report.skipped.push_back({ImportSkip::Reason::TooLarge, u"笔记"_s, u"big.mov"_s, QString()});
    EXPECT_EQ(
        NoteImport::reportText(report),
        u"已导入 1 篇笔记。\n\n未导入：\n“笔记”中的 big.mov：超过一篇笔记附件总计 10 MB 的上限"_s);
}

// The pane lists the open note's files: none for a new note, and a file added, or taken out,
// at once, before anything else saves the note.
TEST_F(NotesAppTest, PaneShowsTheOpenNotesFilesFromItsFirstMomentOn)
{
    AttachmentPane *pane = m_window->attachmentPane();
    auto *list = pane->findChild<QTreeWidget *>();
    QPushButton *open = nullptr;
    for (QPushButton *button : pane->findChildren<QPushButton *>())
        open = button->text() == u"Open"_s ? button : open;
    ASSERT_TRUE(list && open);
    m_window->newNote();
    ASSERT_EQ(pane->names(), QStringList());

    QTemporaryDir picked;
    const QString file = picked.filePath(u"agenda.txt"_s);
    ASSERT_TRUE(writeBytes(file, "1. autosave"));
    const size_t before = m_store->notes().size();
    m_window->editor()->InsertLocalFile(std::vector<QString>{file});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane->names().isEmpty(); }, 10000))
        << "the added file is not listed";
    EXPECT_EQ(pane->names(), QStringList{u"agenda.txt"_s});
    EXPECT_EQ(m_store->notes().size(), before);
    list->setCurrentItem(list->topLevelItem(0));
    ASSERT_TRUE(open->isEnabled());

    runInPage(u"Tavrik.editor.document().querySelector('img[zv_exdata]').remove()"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->names().isEmpty(); }, 10000))
        << "the removed file is still listed";
    EXPECT_FALSE(open->isEnabled());
}

// The pane copies the open note's files out byte for byte, and a second start of a program
// that keeps its session opens the same note with the same split.
TEST_F(NotesAppTest, AttachmentPaneWarnsBeforeItIsFullAndKeepsTheSessionBetweenRuns)
{
    AttachmentPane *pane = m_window->attachmentPane();
    const QStringList welcomeFiles = pane->names();
    ASSERT_EQ(welcomeFiles, (QStringList{u"Harbour at dusk.png"_s, u"Packing list.txt"_s}));
    QTemporaryDir out;
    const QString copy = out.filePath(u"copy"_s);
    ASSERT_TRUE(pane->saveCopy(1, copy));
    EXPECT_EQ(readBytes(copy), readBytes(pane->pathAt(1)));
    const QString badTarget = out.filePath(u"no/such/folder/copy"_s);
    EXPECT_FALSE(pane->saveCopy(1, badTarget));
    ASSERT_EQ(m_prompts.messages().size(), 1);
    EXPECT_TRUE(m_prompts.messages().front().startsWith(
        u"“"_s + welcomeFiles[1] + u"” could not be copied to “"_s + badTarget + u"”: "_s))
        << m_prompts.messages().front().toStdString();
    EXPECT_FALSE(pane->saveCopy(2, copy)) << "no third row";
    ASSERT_TRUE(m_window->selectNote(m_window->noteIdByTitle(u"Weekly plan"_s)));
    EXPECT_EQ(pane->names(), QStringList());

    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(u"TavrikEditorTest"_s);
    const auto restore = qScopeGuard([] {
        QSettings().clear();
        QCoreApplication::setOrganizationName(QString());
        QStandardPaths::setTestModeEnabled(false);
    });
    m_window->splitView()->SetBottomHeight(300);
    m_window->resize(900, 640);
    m_window->splitView()->splitterBar().FoldBar(1);
    m_window->close();
    m_window = std::make_unique<MainWindow>(*m_store);
    m_window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, PageTimeoutMs));
    EXPECT_EQ(m_window->size(), QSize(900, 640));
    EXPECT_EQ(m_window->splitView()->bottomHeight(), 300);
    EXPECT_TRUE(m_window->splitView()->splitterBar().isFolded()) << "the pane stays folded";
    EXPECT_EQ(m_window->currentNoteId(), m_window->noteIdByTitle(u"Weekly plan"_s));

    // The pane warns before the note's attachment allowance runs out: each stored file once,
    // pictures included, the note file and the cards' pictures never.
    const quint64 limit = 10485760;
    UiLanguage::AddCatalogue(u"tavriknotes"_s);
    ASSERT_EQ(UiLanguage::Set(u"en"_s), u"en"_s);
    const auto english = qScopeGuard([] { UiLanguage::Reset(); });
    const auto usage = [](quint64 picture, quint64 document) {
        AttachmentPane pane;
        const std::vector<NoteFile> files = {{QString(), 0, {}, u"html"_s, u"n.html"_s, {}, 0},
                                             {QString(), 1, {}, u"png"_s, u"p.png"_s, {}, 1},
                                             {u"p.png"_s, 2, {}, u"png"_s, u"p.png"_s, {}, 0},
                                             {u"d.txt"_s, 2, {}, u"txt"_s, u"d.txt"_s, {}, 0},
                                             {QString(), 1, {}, u"bmp"_s, u"c.bmp"_s, {}, 1}};
        pane.setAttachments(u"note"_s, files,
                            {{u"n.html"_s, 5'000'000},
                             {u"p.png"_s, picture},
                             {u"d.txt"_s, document},
                             {u"c.bmp"_s, 32'822}});
        return pane.usageText();
    };
    const auto shown = [](const char16_t *used, const char16_t *warning) -> QString {
        const QString share = u"2 files, "_s + QString::fromUtf16(used) + u" of 10 MiB"_s;
        return *warning ? share + u" – "_s + QString::fromUtf16(warning) : share;
    };
    EXPECT_EQ(usage(1024, 1024), shown(u"2.0 KiB", u""));
    EXPECT_EQ(usage(400, 623), shown(u"1023 bytes", u""));
    EXPECT_EQ(usage(4608, 4608), shown(u"9.0 KiB", u""));
    EXPECT_EQ(usage(limit * 9 / 10 - 1, 0), shown(u"9.0 MiB", u""));
    EXPECT_EQ(usage(limit * 9 / 10 - 1, 1), shown(u"9.0 MiB", u"nearly full"));
    EXPECT_EQ(usage(limit - 1, 0), shown(u"10 MiB", u"nearly full"));
    EXPECT_EQ(usage(limit - 1, 1), shown(u"10 MiB", u"full, no more files can be added"));
    EXPECT_EQ(AttachmentPane::sizeText(1), u"1 byte"_s);
    EXPECT_EQ(AttachmentPane::sizeText(quint64(3) << 30), u"3.0 GiB"_s);
}

} // namespace
