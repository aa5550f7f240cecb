// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notebooklock.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QFile>
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

TEST_F(NoteStoreTest, CreatesTheDatabaseAndKeepsNotesAcrossSessions)
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

TEST_F(NoteStoreTest, SaveReplacesTheFileListAndSizes)
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
}

TEST_F(NoteStoreTest, SaveRefusesAListWithoutTheNoteFileFirst)
{
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

TEST_F(NoteStoreTest, PreviewIsTheSimplifiedTextCutAtItsLimit)
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
}

TEST_F(NoteStoreTest, SavedNoteMovesToTheTopOfTheList)
{
    ASSERT_TRUE(store.addNote(u"old"_s, u"Old"_s));
    QThread::msleep(5);
    ASSERT_TRUE(store.addNote(u"new"_s, u"New"_s));
    auto notes = store.notes();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].id, u"new"_s);

    QThread::msleep(5);
    ASSERT_TRUE(store.saveNote(u"old"_s, {noteFile(u"o.html"_s)}, {}, u"text"_s));
    notes = store.notes();
    EXPECT_EQ(notes[0].id, u"old"_s);
    EXPECT_GT(notes[0].modified, notes[0].created);
}

TEST_F(NoteStoreTest, DeleteReportsOnlyFilesNoOtherNoteUses)
{
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
    EXPECT_EQ(store.noteCount(), 0);
}

TEST_F(NoteStoreTest, OpenFailsWithAReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + u"/userdata"_s, {}));
    NoteStore blocked(dir.path() + u"/userdata/notes.db"_s);
    EXPECT_FALSE(blocked.open());
    EXPECT_EQ(blocked.lastError(),
              u"Cannot open the notebook: cannot create the folder "_s + dir.path()
                  + u"/userdata"_s);
    EXPECT_FALSE(blocked.isOpen());
}

TEST_F(NoteStoreTest, RefusesANotebookFromANewerVersion)
{
    const QString path = m_dir.path() + u"/newer.db"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(u"PRAGMA user_version = 7"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"newer"_s);
    NoteStore newer(path);
    EXPECT_FALSE(newer.open());
    EXPECT_EQ(newer.lastError(),
              u"Cannot open the notebook "_s + path
                  + u": it was written by a newer version (schema 7)"_s);
    NoteStore reader(path);
    EXPECT_FALSE(reader.openForReading());
    EXPECT_EQ(reader.lastError(),
              u"Cannot open the notebook "_s + path
                  + u": it was written by a newer version (schema 7)"_s);
}

TEST_F(NoteStoreTest, OpeningForReadingChangesNothingAndWaitsForAWriter)
{
    ASSERT_TRUE(store.addNote(u"a1"_s, u"Plan"_s));
    ASSERT_TRUE(store.saveNote(u"a1"_s, {noteFile(u"n1.html"_s)}, {}, u"text"_s));
    const QByteArray before = readBytes(dbPath());
    // The demo in the middle of a save: its write transaction is open.
    QSqlDatabase writer = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"writer"_s);
    writer.setDatabaseName(dbPath());
    ASSERT_TRUE(writer.open() && writer.transaction());
    ASSERT_TRUE(QSqlQuery(writer).exec(u"UPDATE notes SET title = 'Plan 2' WHERE id = 'a1'"_s));
    NoteStore reader(dbPath());
    ASSERT_TRUE(reader.openForReading()) << reader.lastError().toStdString();
    EXPECT_EQ(reader.noteFileNames(u"a1"_s), std::vector<QString>{u"n1.html"_s});
    EXPECT_FALSE(reader.addNote(u"b2"_s, u"Not written"_s));
    writer.rollback();
    writer.close();
    writer = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"writer"_s);
    EXPECT_EQ(readBytes(dbPath()), before);

    const QString empty = m_dir.path() + u"/empty.db"_s;
    NoteStore none(empty);
    EXPECT_FALSE(none.openForReading());
    EXPECT_FALSE(QFile::exists(empty));
}

TEST_F(NoteStoreTest, ANotebookIsHeldByOneProgramAtATime)
{
    const QString path = m_dir.path() + u"/held/notes.db"_s;
    const QString busy = u"The notebook "_s + path
        + u" is already open in another Tavrik Notes window.\n\n"
          "Switch to that window to go on with your notes."_s;
    {
        NotebookLock first(path);
        ASSERT_TRUE(first.lock()) << first.errorText().toStdString();
        EXPECT_TRUE(QFile::exists(path + u".lock"_s));
        NotebookLock second(path);
        EXPECT_FALSE(second.lock());
        EXPECT_EQ(second.errorText(), busy);
    }
    NotebookLock later(path);
    EXPECT_TRUE(later.lock()) << "the lock outlived its holder";
}

} // namespace
