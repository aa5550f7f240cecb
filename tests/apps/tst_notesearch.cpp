// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notestore.h"
#include "notewords.h"

#include "testhelpers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

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
}

TEST_F(NoteSearchTest, ATitleWordRanksAboveRepeatsInOtherTexts)
{
    write(u"title"_s, u"Garden"_s, u"seeds"_s);
    write(u"body"_s, u"Weekend"_s, u"garden garden garden, the garden and the garden shed"_s);
    write(u"once"_s, u"Misc"_s, u"a garden somewhere among many other words of a long text"_s);
    EXPECT_EQ(found(u"garden"_s), (Ids{u"title"_s, u"body"_s, u"once"_s}));
}

TEST_F(NoteSearchTest, QuerySyntaxIsSearchedAsPlainWords)
{
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

TEST_F(NoteSearchTest, WordsAndQueries)
{
    EXPECT_EQ(NoteWords::collect(u"x X x x x-ray, X! 2026 "_s), u"x X x x ray X 2026"_s);
    EXPECT_EQ(NoteWords::collect(u"包饺子。很好"_s), u"包饺 饺子 子 很好 好"_s);
    EXPECT_EQ(NoteWords::collect(u"𠀀𠀁 e\u0301t\u00e9"_s), u"𠀀𠀁 𠀁 e\u0301t\u00e9"_s);
    EXPECT_EQ(NoteWords::matchExpression(u"\"a\" OR *"_s), u"\"a\" \"OR\"*"_s);
    EXPECT_EQ(NoteWords::matchExpression(u"饺子很 好 x"_s), u"\"饺子\" \"子很\" \"好\"* \"x\"*"_s);
    EXPECT_EQ(NoteWords::matchExpression(u" *\"-() "_s), QString());
    const QString many = u"w "_s.repeated(NoteWords::MaxQueryWords + 1);
    EXPECT_EQ(NoteWords::matchExpression(many).count(u'"'), 2 * NoteWords::MaxQueryWords);
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

} // namespace
