// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attachmentopener.h"
#include "common/commonutils.h"
#include "notebookcheck.h"
#include "notebooklock.h"
#include "notestore.h"
#include "notewords.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// A note file and an attached file of the note `noteId`, as the editor reports them.
NoteFile noteFile(const QString &storeName)
{
    const QString path = u"/app/userdata/attachment/"_s + storeName;
    return NoteFile{QString(), 0, u"2026-12-05 16:40:00"_s, u"html"_s, storeName, path};
}

NoteFile attachment(const QString &noteId, const QString &storeName, const QString &origName)
{
    const QString path = u"/app/userdata/attachment/"_s + noteId + u'/' + origName;
    const QString ext = storeName.section(u'.', -1);
    return NoteFile{origName, 2, u"2026-12-05 16:41:07"_s, ext, storeName, path};
}

class NoteStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(store.open()) << store.lastError().toStdString(); }
    QString dbPath() const { return m_dir.path() + u"/userdata/notes.db"_s; }

    QTemporaryDir m_dir;
    NoteStore store{dbPath()};
};

TEST_F(NoteStoreTest, CreatesTheDatabaseKeepsNotesAcrossSessionsAndDeletesThem)
{
    EXPECT_EQ(store.noteCount(), 0);
    ASSERT_TRUE(store.addNote(u"a1"_s, u"  Shopping list \t"_s));
    ASSERT_TRUE(store.setReadOnly(u"a1"_s, true));
    NoteStore again(dbPath());
    ASSERT_TRUE(again.open()) << again.lastError().toStdString();
    const auto note = again.note(u"a1"_s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->title, u"Shopping list"_s);
    EXPECT_TRUE(note->readOnly);
    EXPECT_EQ(note->created, note->modified);
    EXPECT_TRUE(note->preview.isEmpty());
    EXPECT_FALSE(again.note(u"missing"_s).has_value());

    // A deletion reports only the files no other note uses.
    ASSERT_TRUE(store.addNote(u"a"_s, u"A"_s));
    ASSERT_TRUE(store.addNote(u"b"_s, u"B"_s));
    ASSERT_TRUE(
        store.saveNote(u"a"_s,
                       {noteFile(u"same.html"_s), attachment(u"a"_s, u"s.pdf"_s, u"s.pdf"_s),
                        attachment(u"a"_s, u"only.doc"_s, u"only.doc"_s)},
                       {{u"s.pdf"_s, 1}}, {}));
    ASSERT_TRUE(store.saveNote(
        u"b"_s, {noteFile(u"same.html"_s), attachment(u"b"_s, u"s.pdf"_s, u"s.pdf"_s)},
        {{u"s.pdf"_s, 1}}, {}));

    std::vector<QString> unused{u"stale"_s};
    ASSERT_TRUE(store.deleteNote(u"a"_s, &unused));
    EXPECT_EQ(unused, std::vector<QString>{u"/app/userdata/attachment/a/only.doc"_s});
    EXPECT_FALSE(store.note(u"a"_s).has_value());
    EXPECT_TRUE(store.files(u"a"_s).empty());
    EXPECT_TRUE(store.attachmentSizes(u"a"_s).empty());

    ASSERT_TRUE(store.deleteNote(u"b"_s, &unused));
    EXPECT_EQ(unused,
              (std::vector<QString>{u"/app/userdata/attachment/same.html"_s,
                                    u"/app/userdata/attachment/b/s.pdf"_s}));
    EXPECT_EQ(store.noteCount(), 1);
}

TEST_F(NoteStoreTest, RefusesBadIdsTitlesAndUnknownNotes)
{
    EXPECT_FALSE(store.addNote(QString(), u"x"_s));
    EXPECT_EQ(store.lastError(), u"Cannot add a note: it has no id"_s);
    ASSERT_TRUE(store.addNote(u"a1"_s, u"First"_s));
    EXPECT_FALSE(store.addNote(u"a1"_s, u"Again"_s));
    EXPECT_TRUE(store.lastError().startsWith(u"Cannot add the note a1: "_s));

    EXPECT_FALSE(store.renameNote(u"a1"_s, u" \t "_s));
    EXPECT_EQ(store.lastError(), u"Cannot rename the note: the title is empty"_s);
    EXPECT_FALSE(store.renameNote(u"zz"_s, u"New"_s));
    EXPECT_EQ(store.lastError(), u"Cannot rename the note zz: there is no such note"_s);
    EXPECT_FALSE(store.setReadOnly(u"zz"_s, true));
    EXPECT_EQ(store.lastError(), u"Cannot change the note zz: there is no such note"_s);
    EXPECT_FALSE(store.deleteNote(u"zz"_s));
    EXPECT_EQ(store.lastError(), u"Cannot delete the note zz: there is no such note"_s);
    EXPECT_FALSE(store.saveNote(u"zz"_s, {noteFile(u"f.html"_s)}, {}, {}));
    EXPECT_EQ(store.lastError(), u"Cannot save the note zz: there is no such note"_s);

    ASSERT_TRUE(store.renameNote(u"a1"_s, u" Renamed 笔记 "_s));
    EXPECT_EQ(store.note(u"a1"_s)->title, u"Renamed 笔记"_s);
    EXPECT_EQ(store.noteCount(), 1);
}

TEST_F(NoteStoreTest, SaveReplacesTheFileListAndSizesAndNeedsTheNoteFileFirst)
{
    const QString id = u"0123456789abcdef0123456789abcdef"_s;
    ASSERT_TRUE(store.addNote(id, u"Trip"_s));
    EXPECT_TRUE(store.files(id).empty());
    EXPECT_TRUE(store.noteFileNames(id).empty());

    const NoteFile image{QString(), 1, u"t"_s, u"png"_s, u"b2.png"_s, u"/app/b2.png"_s, 1};
    const std::vector<NoteFile> first
        = {noteFile(u"aa.html"_s), attachment(id, u"c3.pdf"_s, u"行程 'plan'.pdf"_s), image,
           noteFile(u"bb.html"_s)};
    const std::map<QString, quint64> sizes = {{u"b2.png"_s, 0}, {u"c3.pdf"_s, 5'368'709'120ULL}};
    ASSERT_TRUE(store.saveNote(id, first, sizes, u"x"_s)) << store.lastError().toStdString();

    const auto saved = store.files(id);
    ASSERT_EQ(saved.size(), first.size());
    const auto fields = [](const NoteFile &f) {
        return std::tuple(f.origName, f.fileKind, f.modifyTime, f.fileExt, f.storeName, f.filePath,
                          f.isImageSrc);
    };
    for (size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(fields(saved[i]), fields(first[i])) << "at " << i;
    EXPECT_EQ(store.noteFileNames(id), (std::vector<QString>{u"aa.html"_s, u"bb.html"_s}));
    EXPECT_EQ(store.attachmentSizes(id), sizes);

    ASSERT_TRUE(store.saveNote(id, {noteFile(u"cc.html"_s)}, {}, u"y"_s));
    ASSERT_EQ(store.files(id).size(), 1u);
    EXPECT_EQ(store.noteFileNames(id), std::vector<QString>{u"cc.html"_s});
    EXPECT_TRUE(store.attachmentSizes(id).empty());

    ASSERT_TRUE(store.addNote(u"n"_s, u"N"_s));
    ASSERT_TRUE(store.saveNote(u"n"_s, {noteFile(u"keep.html"_s)}, {{u"k.png"_s, 4}}, u"kept"_s));

    const std::vector<std::vector<NoteFile>> bad
        = {{}, {attachment(u"n"_s, u"a.txt"_s, u"a.txt"_s), noteFile(u"x.html"_s)}, {noteFile({})}};
    for (const auto &files : bad) {
        EXPECT_FALSE(store.saveNote(u"n"_s, files, {}, u"lost"_s));
        EXPECT_EQ(store.lastError(),
                  u"Cannot save the note n: its file list does not start with the note file"_s);
    }
    EXPECT_EQ(store.noteFileNames(u"n"_s), std::vector<QString>{u"keep.html"_s});
    EXPECT_EQ(store.attachmentSizes(u"n"_s).at(u"k.png"_s), 4u);
    EXPECT_EQ(store.note(u"n"_s)->preview, u"kept"_s);
}

TEST_F(NoteStoreTest, PreviewIsTheSimplifiedTextCutAtItsLimitAndASavedNoteMovesUp)
{
    ASSERT_TRUE(store.addNote(u"n"_s, u"N"_s));
    const QString exact(NoteStore::PreviewLength, u'a');
    const std::pair<QString, QString> cases[]
        = {{u"  Line one\n\n\tline two  "_s, u"Line one line two"_s},
           {exact, exact},
           {exact + u'b', QString(NoteStore::PreviewLength - 1, u'a') + QChar(0x2026)},
           {QString(), QString()}};
    for (const auto &[text, preview] : cases) {
        ASSERT_TRUE(store.saveNote(u"n"_s, {noteFile(u"f.html"_s)}, {}, text));
        EXPECT_EQ(store.note(u"n"_s)->preview, preview) << text.toStdString();
    }

    ASSERT_TRUE(store.addNote(u"old"_s, u"Old"_s));
    QThread::msleep(5);
    ASSERT_TRUE(store.addNote(u"new"_s, u"New"_s));
    auto notes = store.notes();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].id, u"new"_s);

    QThread::msleep(5);
    ASSERT_TRUE(store.saveNote(u"old"_s, {noteFile(u"o.html"_s)}, {}, u"text"_s));
    notes = store.notes();
    EXPECT_EQ(notes[0].id, u"old"_s);
    EXPECT_GT(notes[0].modified, notes[0].created);
}

TEST_F(NoteStoreTest, OpenRefusesWithAReasonReadingChangesNothingAndOneProgramHoldsIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + u"/userdata"_s, {}));
    NoteStore blocked(dir.path() + u"/userdata/notes.db"_s);
    EXPECT_FALSE(blocked.open());
    EXPECT_EQ(blocked.lastError(),
              u"Cannot open the notebook: cannot create the folder "_s + dir.path()
                  + u"/userdata"_s);
    EXPECT_FALSE(blocked.isOpen());

    const QString path = m_dir.path() + u"/newer.db"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(u"PRAGMA user_version = 7"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"newer"_s);
    const QString refused = u"Cannot open the notebook "_s + path
        + u": it was written by a newer version (schema 7)"_s;
    NoteStore newer(path);
    EXPECT_FALSE(newer.open());
    EXPECT_EQ(newer.lastError(), refused);
    NoteStore reader(path);
    EXPECT_FALSE(reader.openForReading());
    EXPECT_EQ(reader.lastError(), refused);

    ASSERT_TRUE(store.addNote(u"a1"_s, u"Plan"_s));
    ASSERT_TRUE(store.saveNote(u"a1"_s, {noteFile(u"n1.html"_s)}, {}, u"text"_s));
    const QByteArray before = readBytes(dbPath());
    // The demo in the middle of a save: its write transaction is open.
    QSqlDatabase writer = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"writer"_s);
    writer.setDatabaseName(dbPath());
    ASSERT_TRUE(writer.open() && writer.transaction());
    ASSERT_TRUE(QSqlQuery(writer).exec(u"UPDATE notes SET title = 'Plan 2' WHERE id = 'a1'"_s));
    NoteStore snapshot(dbPath());
    ASSERT_TRUE(snapshot.openForReading()) << snapshot.lastError().toStdString();
    EXPECT_EQ(snapshot.noteFileNames(u"a1"_s), std::vector<QString>{u"n1.html"_s});
    EXPECT_FALSE(snapshot.addNote(u"b2"_s, u"Not written"_s));
    writer.rollback();
    writer.close();
    writer = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"writer"_s);
    EXPECT_EQ(readBytes(dbPath()), before);

    const QString empty = m_dir.path() + u"/empty.db"_s;
    NoteStore none(empty);
    EXPECT_FALSE(none.openForReading());
    EXPECT_FALSE(QFile::exists(empty));

    // A notebook is held by one program at a time.
    const QString heldPath = m_dir.path() + u"/held/notes.db"_s;
    const QString busy = u"The notebook "_s + heldPath
        + u" is already open in another Tavrik Notes window.\n\n"
          "Switch to that window to go on with your notes."_s;
    {
        NotebookLock first(heldPath);
        ASSERT_TRUE(first.lock()) << first.errorText().toStdString();
        EXPECT_TRUE(QFile::exists(heldPath + u".lock"_s));
        NotebookLock second(heldPath);
        EXPECT_FALSE(second.lock());
        EXPECT_EQ(second.errorText(), busy);
    }
    NotebookLock later(heldPath);
    EXPECT_TRUE(later.lock()) << "the lock outlived its holder";
}

class NoteSearchTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(store.open()) << store.lastError().toStdString(); }
    QString dbPath() const { return m_dir.path() + u"/notes.db"_s; }
    // Adds the note and saves `text` as its text.
    void write(const QString &id, const QString &title, const QString &text)
    {
        if (!store.note(id))
            ASSERT_TRUE(store.addNote(id, title));
        const NoteFile file{QString(), 0, u"t"_s, u"html"_s, id + u".html"_s, u"/n.html"_s, 0};
        ASSERT_TRUE(store.saveNote(id, {file}, {}, text)) << store.lastError().toStdString();
    }
    std::vector<QString> found(const QString &text) const
    {
        std::vector<QString> ids;
        for (const NoteInfo &note : store.search(text))
            ids.push_back(note.id);
        return ids;
    }

    QTemporaryDir m_dir;
    NoteStore store{dbPath()};
};

using Ids = std::vector<QString>;

TEST_F(NoteSearchTest, FindsTheWordsOfTheLastSaveByPrefixUntilTheNoteIsRemoved)
{
    write(u"a"_s, u"Shopping"_s, u"Apples and pears"_s);
    write(u"b"_s, u"Trip"_s, u"Café in Zürich"_s);
    EXPECT_EQ(found(u"PEARS"_s), Ids{u"a"_s});
    write(u"a"_s, u"Shopping"_s, u"Bananas only"_s);
    EXPECT_EQ(found(u"pears"_s), Ids{});
    EXPECT_EQ(found(u"banan"_s), Ids{u"a"_s});
    EXPECT_EQ(found(u"bananas onl"_s), Ids{u"a"_s});
    EXPECT_EQ(found(u"banan only"_s), Ids{}) << "only the last word is a prefix";
    EXPECT_EQ(found(u"cafe zurich"_s), Ids{u"b"_s});
    EXPECT_EQ(store.matchedWord(u"b"_s, u"zur"_s), u"Zürich"_s);
    EXPECT_EQ(store.matchedWord(u"a"_s, u"shop"_s), u"Shopping"_s) << "from the title";
    EXPECT_EQ(store.matchedWord(u"a"_s, u"kiwi"_s), QString());

    ASSERT_TRUE(store.renameNote(u"b"_s, u"Holiday 假期旅行"_s));
    EXPECT_EQ(found(u"holiday"_s), Ids{u"b"_s});
    EXPECT_EQ(found(u"旅行"_s), Ids{u"b"_s});
    EXPECT_EQ(found(u"trip"_s), Ids{});
    ASSERT_TRUE(store.deleteNote(u"a"_s));
    EXPECT_EQ(found(u"bananas"_s), Ids{});
    EXPECT_TRUE(store.lastError().isEmpty()) << store.lastError().toStdString();

    // How texts become words and queries.
    EXPECT_EQ(NoteWords::collect(u"x X x x x-ray, X! 2026 "_s), u"x X x x ray X 2026"_s);
    EXPECT_EQ(NoteWords::collect(u"包饺子。很好"_s), u"包饺 饺子 子 很好 好"_s);
    EXPECT_EQ(NoteWords::collect(u"𠀀𠀁 e\u0301t\u00e9"_s), u"𠀀𠀁 𠀁 e\u0301t\u00e9"_s);
    EXPECT_EQ(NoteWords::matchExpression(u"\"a\" OR *"_s), u"\"a\" \"OR\"*"_s);
    EXPECT_EQ(NoteWords::matchExpression(u"饺子很 好 x"_s), u"\"饺子\" \"子很\" \"好\"* \"x\"*"_s);
    EXPECT_EQ(NoteWords::matchExpression(u" *\"-() "_s), QString());
    const QString many = u"w "_s.repeated(NoteWords::MaxQueryWords + 1);
    EXPECT_EQ(NoteWords::matchExpression(many).count(u'"'), 2 * NoteWords::MaxQueryWords);
}

TEST_F(NoteSearchTest, ATitleWordRanksFirstAndQuerySyntaxIsSearchedAsPlainWords)
{
    write(u"title"_s, u"Garden"_s, u"seeds"_s);
    write(u"body"_s, u"Weekend"_s, u"garden garden garden, the garden and the garden shed"_s);
    write(u"once"_s, u"Misc"_s, u"a garden somewhere among many other words of a long text"_s);
    EXPECT_EQ(found(u"garden"_s), (Ids{u"title"_s, u"body"_s, u"once"_s}));

    write(u"or"_s, u"One"_s, u"a or b, near the orange"_s);
    write(u"ab"_s, u"Two"_s, u"a b c"_s);
    const std::pair<QString, Ids> cases[] = {
        {u"\"a\" OR *"_s, {u"or"_s}},  {u"NEAR(a b"_s, {u"or"_s}},
        {u"-b"_s, {u"ab"_s, u"or"_s}}, {u"c AND"_s, {}},
        {u"((( \" * - ^ : +"_s, {}},   {u"\"\"\""_s, {}},
    };
    for (const auto &[text, ids] : cases) {
        EXPECT_EQ(found(text), ids) << text.toStdString();
        EXPECT_TRUE(store.lastError().isEmpty()) << store.lastError().toStdString();
    }
}

TEST_F(NoteSearchTest, ANotebookWithoutIndexIsIndexedOnOpen)
{
    write(u"old"_s, u"Recipe"_s, u"flour water salt, then knead the dough"_s);
    write(u"new"_s, u"Fresh"_s, u"dough"_s);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
        db.setDatabaseName(dbPath());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QString &statement :
             {u"DROP TRIGGER note_index_add"_s, u"DROP TRIGGER note_index_title"_s,
              u"DROP TRIGGER note_index_drop"_s, u"DROP TABLE note_index"_s,
              u"DROP TABLE note_search"_s, u"PRAGMA user_version = 1"_s})
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"old"_s);

    NoteStore reopened(dbPath());
    ASSERT_TRUE(reopened.open()) << reopened.lastError().toStdString();
    EXPECT_EQ(reopened.search(u"recipe"_s).size(), 1u) << "titles at once";
    EXPECT_EQ(reopened.search(u"salt"_s).size(), 1u) << "previews at once";
    ASSERT_EQ(reopened.notesToIndex(), (Ids{u"old"_s, u"new"_s}));
    ASSERT_TRUE(reopened.indexNoteText(u"old"_s, u"flour water salt, then yeast"_s, true));
    const NoteFile file{QString(), 0, u"t"_s, u"html"_s, u"n.html"_s, u"/n.html"_s, 0};
    ASSERT_TRUE(reopened.saveNote(u"new"_s, {file}, {}, u"saved meanwhile"_s));
    ASSERT_TRUE(reopened.indexNoteText(u"new"_s, u"stale file text"_s, true));
    EXPECT_EQ(reopened.search(u"yeast"_s).size(), 1u);
    EXPECT_EQ(reopened.search(u"meanwhile"_s).size(), 1u);
    EXPECT_TRUE(reopened.search(u"stale"_s).empty()) << "a later save is kept";
    EXPECT_TRUE(reopened.notesToIndex().empty());

    ASSERT_TRUE(reopened.saveNote(u"new"_s, {file}, {}, u"indexed later"_s, false));
    EXPECT_EQ(reopened.notesToIndex(), Ids{u"new"_s});
    EXPECT_EQ(reopened.search(u"meanwhile"_s).size(), 1u) << "the words of the save before";
    ASSERT_TRUE(reopened.indexNoteText(u"new"_s, u"indexed later"_s));
    ASSERT_TRUE(reopened.indexNoteText(u"new"_s, u"once more"_s));
    EXPECT_EQ(reopened.search(u"more"_s).size(), 1u);
    EXPECT_TRUE(reopened.notesToIndex().empty());
}

class AttachmentOpenerTest : public ::testing::Test
{
protected:
    QString makeFile(const QString &name, bool executable = false)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, "content"));
        if (executable)
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }

    AttachmentOpener opener()
    {
        return AttachmentOpener(m_prompts, [this](const QUrl &url) {
            m_launched.push_back(url);
            return m_launchSucceeds;
        });
    }

    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    std::vector<QUrl> m_launched;
    bool m_launchSucceeds = true;
};

TEST_F(AttachmentOpenerTest, RecognisesRunnableFilesWarnsBeforeThemAndOpensOnlyKeptCopies)
{
    // name, executable bit, runnable
    const std::tuple<QString, bool, bool> cases[]
        = {{u"install.sh"_s, false, true},    {u"SETUP.EXE"_s, false, true},
           {u"tool.AppImage"_s, false, true}, {u"app.desktop"_s, false, true},
           {u"script.Py"_s, false, true},     {u"payload.run"_s, false, true},
           {u"firmware.bin"_s, false, true},  {u"noextension"_s, true, true},
           {u"report.pdf"_s, true, true},     {u"report.pdf.txt"_s, false, false},
           {u"photo.jpg"_s, false, false},    {u"notes.sh.txt"_s, false, false},
           {u"README"_s, false, false}};
    for (const auto &[name, executable, runnable] : cases)
        EXPECT_EQ(AttachmentOpener::isRunnable(makeFile(name, executable)), runnable)
            << name.toStdString();

    const QString root = TAVRIKCORE::RICHEDITOR::GetAttachRootDir() + u'/';
    ASSERT_TRUE(writeBytes(root + u"n1/报告 (1).docx"_s, "kept"));
    ASSERT_TRUE(writeBytes(root + u"n2/secret.txt"_s, "other note"));
    const QString store = u"0123456789abcdef0123456789abcdef.docx"_s;
    const struct
    {
        QString keptName;
        QString opened;
    } copies[] = {{u"报告 (1).docx"_s, root + u"n1/报告 (1).docx"_s},
                  {u"gone.docx"_s, root + store},
                  {u"../n2/secret.txt"_s, root + store},
                  {u".."_s, root + store},
                  {QString(), root + store}};
    for (const auto &c : copies)
        EXPECT_EQ(AttachmentOpener::keptCopyPath(u"n1"_s, store, c.keptName), c.opened)
            << c.keptName.toStdString();

    const QString path = makeFile(u"a1b2.sh"_s);
    m_prompts.answerButton(QMessageBox::No);
    EXPECT_FALSE(opener().open(nullptr, path, u"setup.sh"_s));
    EXPECT_TRUE(m_launched.empty());
    ASSERT_EQ(m_prompts.shown().size(), 1u);
    const auto &warning = m_prompts.shown().front();
    EXPECT_EQ(warning.text,
              u"“setup.sh” is a program or script. Opening it can run code on this "
              "computer.\n\nOpen it only if you trust where it came from. Open it "
              "anyway?"_s);
    EXPECT_EQ(warning.title, u"Open attachment"_s);
    EXPECT_EQ(warning.buttons, QMessageBox::Yes | QMessageBox::No);

    m_prompts.answerButton(QMessageBox::Yes);
    EXPECT_TRUE(opener().open(nullptr, path, u"setup.sh"_s));
    EXPECT_EQ(m_launched, std::vector<QUrl>{QUrl::fromLocalFile(path)});

    // Documents open without asking.
    const QString plan = makeFile(u"Plan 2026.xlsx"_s);
    EXPECT_TRUE(opener().open(nullptr, plan, u"Plan 2026.xlsx"_s));
    EXPECT_EQ(m_prompts.shown().size(), 2u);
    EXPECT_EQ(m_launched.back(), QUrl::fromLocalFile(plan));

    m_prompts.clear();
    m_launched.clear();
    EXPECT_FALSE(opener().open(nullptr, m_dir.filePath(u"gone.pdf"_s), u"Urlaub.pdf"_s));
    m_launchSucceeds = false;
    EXPECT_FALSE(opener().open(nullptr, makeFile(u"x.odd"_s), u"data.odd"_s));
    EXPECT_EQ(m_prompts.messages(),
              (QStringList{u"The attachment “Urlaub.pdf” is no longer in the note's folder."_s,
                           u"No program on this computer opens “data.odd”."_s}));
    EXPECT_EQ(m_launched.size(), 1u);
}

} // namespace

TEST_F(NoteStoreTest, TheNotebookCheckNamesTheNoteEachFindingIsAbout)
{
    using namespace TAVRIKCORE::RICHEDITOR;
    SetAppDirectory(m_dir.path() + u'/');
    const auto restore = qScopeGuard([] { SetAppDirectory(QString()); });
    const QString root = GetAttachRootDir() + u'/';
    const QString id = u"0123456789abcdef0123456789abcdef"_s;
    ASSERT_TRUE(store.addNote(id, u"Trip"_s));
    ASSERT_TRUE(store.saveNote(id, {noteFile(u"aa.html"_s)}, {}, u"x"_s));
    ASSERT_TRUE(writeBytes(root + u"stray name.txt"_s, "x"));

    const NotebookCheck check = NotebookCheck::Run(store);
    ASSERT_EQ(check.findings.size(), 2u) << check.report().toStdString();
    EXPECT_EQ(check.report(),
              u"notebook check: 2 problem(s) (1 notes, 1 files)\n  "_s + check.describe(0)
                  + u"\n  "_s + check.describe(1));
    EXPECT_EQ(check.describe(0),
              u"Trip: "_s + StoreFindingKindName(check.findings[0].kind) + u": "_s + root
                  + u"aa.html ("_s + check.findings[0].detail + u')');
    EXPECT_EQ(check.describe(1),
              StoreFindingKindName(check.findings[1].kind) + u": "_s + root + u"stray name.txt ("_s
                  + check.findings[1].detail + u')');
}
