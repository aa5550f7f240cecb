// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Two devices' notebooks sharing one heads folder, as a sync engine makes them share it.
#include "common/durablefile_p.h"
#include "notestore.h"
#include "store/noteheads.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::NoteHead;
using TAVRIKCORE::RICHEDITOR::NoteHeads;

namespace {

const QString deviceA = u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"_s;
const QString deviceB = u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"_s;

QString version(int n)
{
    return u"%1.html"_s.arg(n, 32, 10, QChar(u'0'));
}

std::vector<NoteFile> saved(int n, const QString &picture = {})
{
    std::vector<NoteFile> files{
        {QString(), 0, u"t"_s, u"html"_s, version(n), u"/x/"_s + version(n)}};
    if (!picture.isEmpty())
        files.push_back({QString(), 1, u"t"_s, u"png"_s, picture, u"/x/"_s + picture, 1});
    return files;
}

// Two notes as an import adds them: the first with a picture and the times of its export.
std::vector<NewNote> importedNotes()
{
    const QString picture = u"ffffffffffffffffffffffffffffffff.png"_s;
    const QDateTime created(QDate(2023, 12, 30), QTime(10, 15, 0, 250), Qt::UTC);
    return {{u"n1"_s,
             u" Trip "_s,
             created,
             created.addSecs(3600),
             saved(1, picture),
             {{picture, 2048}},
             u"Pack the tent"_s},
            {u"n2"_s, u"Plan"_s, {}, {}, saved(2), {}, u"Book the ferry"_s}};
}

// The head as another notebook would write it: without the device and the time it was written.
std::string comparable(NoteHead head)
{
    head.device = deviceA;
    head.changedMs = 0;
    return NoteHeads::ToJson(head).toStdString();
}

class NotebookHeadsTest : public ::testing::Test
{
protected:
    // The note files of the versions, beside the heads as in the attachment store.
    void SetUp() override
    {
        for (int n = 1; n < 10; ++n) {
            QFile file(m_dir.filePath(version(n)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QString heads() const { return m_dir.path() + u"/heads"_s; }
    QString indexOf(const QString &device) const
    {
        return m_dir.path() + u"/"_s + device.left(1) + u"/notes.db"_s;
    }
    std::unique_ptr<NoteStore> openDevice(const QString &device)
    {
        auto store = std::make_unique<NoteStore>(indexOf(device), heads(), device);
        EXPECT_TRUE(store->open()) << store->lastError().toStdString();
        return store;
    }

    // A and B open, A wrote the note "n1" as version 1 and B has taken it.
    void sharePlan()
    {
        a = openDevice(deviceA);
        b = openDevice(deviceB);
        ASSERT_TRUE(a->addNote(u"n1"_s, u"Plan"_s));
        ASSERT_TRUE(a->saveNote(u"n1"_s, saved(1), {}, u"one"_s));
        b->refreshFromHeads();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<NoteStore> a;
    std::unique_ptr<NoteStore> b;
};

TEST_F(NotebookHeadsTest, ANoteMadeOnOneDeviceShowsOnTheOtherWithItsFiles)
{
    auto a = openDevice(deviceA);
    auto b = openDevice(deviceB);
    ASSERT_TRUE(a->addNote(u"n1"_s, u"Trip"_s));
    const QString picture = u"ffffffffffffffffffffffffffffffff.png"_s;
    ASSERT_TRUE(a->saveNote(u"n1"_s, saved(1, picture), {{picture, 2048}}, u"Pack the tent"_s));

    EXPECT_EQ(b->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    const auto note = b->note(u"n1"_s);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->title, u"Trip"_s);
    EXPECT_EQ(note->preview, u"Pack the tent"_s);
    EXPECT_EQ(note->modified, a->note(u"n1"_s)->modified);
    EXPECT_FALSE(note->conflict);
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(1)});
    ASSERT_EQ(b->files(u"n1"_s).size(), 2u);
    EXPECT_EQ(b->files(u"n1"_s)[1].storeName, picture);
    EXPECT_EQ(b->attachmentSizes(u"n1"_s).at(picture), 2048u);
    // Its words come from its note file, which the search reads.
    EXPECT_EQ(b->notesToIndex(), std::vector<QString>{u"n1"_s});
    EXPECT_TRUE(b->refreshFromHeads().empty());

    // An edit and a rename on B come back to A; a deletion on A leaves B.
    ASSERT_TRUE(b->saveNote(u"n1"_s, saved(2), {}, u"Pack the stove"_s));
    ASSERT_TRUE(b->renameNote(u"n1"_s, u"Trip north"_s));
    EXPECT_EQ(a->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    EXPECT_EQ(a->noteFileNames(u"n1"_s), std::vector<QString>{version(2)});
    EXPECT_EQ(a->note(u"n1"_s)->title, u"Trip north"_s);
    EXPECT_FALSE(a->note(u"n1"_s)->conflict);
    std::vector<QString> unused{u"left over"_s};
    ASSERT_TRUE(a->deleteNote(u"n1"_s, &unused));
    EXPECT_TRUE(unused.empty()) << "another device may still need the files";
    EXPECT_EQ(b->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    EXPECT_FALSE(b->note(u"n1"_s));
    EXPECT_EQ(b->noteCount(), 0);
}

TEST_F(NotebookHeadsTest, ChangesOfOneVersionOnBothDevicesKeepBothAndOneCanBecomeANote)
{
    ASSERT_NO_FATAL_FAILURE(sharePlan());
    // Both edit version 1 before either sees the other's change; B attaches a file.
    std::vector<NoteFile> withFile = saved(3);
    withFile.push_back({u"tides.txt"_s, 2, u"t"_s, u"txt"_s, u"%1.txt"_s.arg(QString(32, u'e')),
                        u"/b/userdata/attachment/n1/tides.txt"_s});
    ASSERT_TRUE(b->saveNote(u"n1"_s, withFile, {}, u"three"_s));
    QThread::msleep(2); // A's save is the newer one
    ASSERT_TRUE(a->saveNote(u"n1"_s, saved(2), {}, u"two"_s));
    EXPECT_EQ(a->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    EXPECT_EQ(b->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    for (NoteStore *store : {a.get(), b.get()}) {
        const auto note = store->note(u"n1"_s);
        ASSERT_TRUE(note);
        EXPECT_TRUE(note->conflict);
        EXPECT_TRUE(store->notes().front().conflict);
        // The newest save shows, the other is kept as the conflicting version.
        EXPECT_EQ(store->noteFileNames(u"n1"_s), std::vector<QString>{version(2)});
        ASSERT_EQ(store->conflicts(u"n1"_s).size(), 1u);
        EXPECT_EQ(store->conflicts(u"n1"_s)[0].noteFile, version(3));
    }
    EXPECT_FALSE(a->takeConflict(u"n1"_s, version(9), u"n2"_s, u"Plan (other)"_s));
    EXPECT_EQ(a->lastError(),
              u"Cannot open the other version of the note n1: there is no such "
              "version"_s);
    // The new note gets its own copy of the attached file, once that has arrived.
    EXPECT_FALSE(a->takeConflict(u"n1"_s, version(3), u"n2"_s, u"Plan (other)"_s));
    EXPECT_EQ(a->lastError(),
              u"Cannot open the other version of the note n1: the file %1/n1/tides.txt of that "
              "version cannot be copied; it may not have arrived yet"_s.arg(m_dir.path()));
    EXPECT_FALSE(a->note(u"n2"_s));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"n2"_s)));
    QDir().mkpath(m_dir.filePath(u"n1"_s));
    QFile tides(m_dir.filePath(u"n1/tides.txt"_s));
    ASSERT_TRUE(tides.open(QIODevice::WriteOnly) && tides.write("High water at six") == 17);
    tides.close();
    ASSERT_TRUE(a->takeConflict(u"n1"_s, version(3), u"n2"_s, u"Plan (other)"_s))
        << a->lastError().toStdString();
    QFile copy(m_dir.filePath(u"n2/tides.txt"_s));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "High water at six");
    EXPECT_EQ(a->files(u"n2"_s).back().filePath, copy.fileName());
    EXPECT_FALSE(a->note(u"n1"_s)->conflict);
    EXPECT_EQ(a->noteFileNames(u"n2"_s), std::vector<QString>{version(3)});
    EXPECT_EQ(a->note(u"n2"_s)->title, u"Plan (other)"_s);
    // Settled on B as well once A's heads arrive.
    b->refreshFromHeads();
    EXPECT_FALSE(b->note(u"n1"_s)->conflict);
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(2)});
    EXPECT_EQ(b->noteFileNames(u"n2"_s), std::vector<QString>{version(3)});
}

TEST_F(NotebookHeadsTest, AnOtherVersionsFileOutsideTheStoreIsNeverCopied)
{
    ASSERT_NO_FATAL_FAILURE(sharePlan());
    // A forged head names a real file beside the store through "..".
    QTemporaryDir outside;
    QFile secret(outside.filePath(u"id_rsa"_s));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly) && secret.write("key") == 3);
    secret.close();
    const QString forged
        = u"/b/userdata/attachment/../"_s + QFileInfo(outside.path()).fileName() + u"/id_rsa"_s;
    std::vector<NoteFile> files = saved(3);
    files.push_back({u"id_rsa"_s, 2, u"t"_s, QString(), QString(32, u'e'), forged});
    ASSERT_TRUE(b->saveNote(u"n1"_s, files, {}, u"three"_s));
    QThread::msleep(2);
    ASSERT_TRUE(a->saveNote(u"n1"_s, saved(2), {}, u"two"_s));
    a->refreshFromHeads();
    EXPECT_FALSE(a->takeConflict(u"n1"_s, version(3), u"n2"_s, u"Plan (other)"_s));
    EXPECT_EQ(a->lastError(),
              u"Cannot open the other version of the note n1: the file %1 of that version "
              "cannot be copied; it may not have arrived yet"_s.arg(forged));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"n2"_s)));
}

TEST_F(NotebookHeadsTest, AHeldNoteKeepsItsVersionAndItsSaveBecomesAConflict)
{
    ASSERT_NO_FATAL_FAILURE(sharePlan());
    ASSERT_TRUE(a->saveNote(u"n1"_s, saved(2), {}, u"two"_s));
    b->setHeldNote(u"n1"_s); // open on B with unsaved typing
    EXPECT_TRUE(b->refreshFromHeads().empty());
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(1)});
    QThread::msleep(2);
    ASSERT_TRUE(b->saveNote(u"n1"_s, saved(3), {}, u"three"_s));
    b->setHeldNote({});
    b->refreshFromHeads();
    EXPECT_TRUE(b->note(u"n1"_s)->conflict);
    ASSERT_EQ(b->conflicts(u"n1"_s).size(), 1u);
    EXPECT_EQ(b->conflicts(u"n1"_s)[0].noteFile, version(2));
}

TEST_F(NotebookHeadsTest, AVersionWaitsForItsNoteFileToArrive)
{
    ASSERT_NO_FATAL_FAILURE(sharePlan());
    ASSERT_TRUE(QFile::remove(m_dir.filePath(version(2))));
    ASSERT_TRUE(a->saveNote(u"n1"_s, saved(2), {}, u"two"_s));
    EXPECT_TRUE(b->refreshFromHeads().empty());
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(1)});
    QFile arrived(m_dir.filePath(version(2)));
    ASSERT_TRUE(arrived.open(QIODevice::WriteOnly));
    arrived.close();
    EXPECT_EQ(b->refreshFromHeads(), std::vector<QString>{u"n1"_s});
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(2)});
    EXPECT_FALSE(b->note(u"n1"_s)->conflict);
}

TEST_F(NotebookHeadsTest, AMissingOrDamagedIndexIsRebuiltFromTheHeads)
{
    {
        auto a = openDevice(deviceA);
        ASSERT_TRUE(a->addNote(u"n1"_s, u"Kept"_s));
        ASSERT_TRUE(a->saveNote(u"n1"_s, saved(1), {}, u"kept text"_s));
        ASSERT_TRUE(a->setReadOnly(u"n1"_s, true));
    }
    auto check = [&](const char *what) {
        auto a = openDevice(deviceA);
        const auto note = a->note(u"n1"_s);
        ASSERT_TRUE(note) << what;
        EXPECT_EQ(note->title, u"Kept"_s) << what;
        EXPECT_TRUE(note->readOnly) << what;
        EXPECT_EQ(note->preview, u"kept text"_s) << what;
        EXPECT_EQ(a->noteFileNames(u"n1"_s), std::vector<QString>{version(1)}) << what;
    };
    ASSERT_TRUE(QFile::remove(indexOf(deviceA)));
    check("missing");
    QFile damaged(indexOf(deviceA));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(8192, 'x'));
    damaged.close();
    check("damaged");
}

TEST_F(NotebookHeadsTest, NotesOfANotebookFromBeforeTheHeadsGetHeads)
{
    {
        NoteStore old(indexOf(deviceA));
        ASSERT_TRUE(old.open());
        ASSERT_TRUE(old.addNote(u"n1"_s, u"Old"_s));
        ASSERT_TRUE(old.saveNote(u"n1"_s, saved(1), {}, u"old text"_s));
    }
    auto a = openDevice(deviceA);
    const auto head = NoteHeads(heads()).read(deviceA, u"n1"_s);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->noteFile, version(1));
    EXPECT_EQ(head->title, u"Old"_s);
    auto b = openDevice(deviceB);
    EXPECT_EQ(b->noteFileNames(u"n1"_s), std::vector<QString>{version(1)});
}

TEST_F(NotebookHeadsTest, NotesAddedInOneCommitAreThoseAddedOneByOneWithTheirOwnTimes)
{
    auto a = openDevice(deviceA);
    const std::vector<NewNote> notes = importedNotes();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    ASSERT_TRUE(a->addNotes(notes)) << a->lastError().toStdString();
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const QString singleHeads = m_dir.path() + u"/single-heads"_s;
    NoteStore single(m_dir.path() + u"/single/notes.db"_s, singleHeads, deviceB);
    ASSERT_TRUE(single.open());
    for (const NewNote &note : notes) {
        ASSERT_TRUE(single.addNote(note.id, note.title));
        ASSERT_TRUE(single.saveNote(note.id, note.files, note.sizes, note.plainText));
        if (note.modified.isValid())
            ASSERT_TRUE(single.setModified(note.id, note.modified));
    }
    for (const NewNote &note : notes) {
        const auto head = NoteHeads(heads()).read(deviceA, note.id);
        const auto singleHead = NoteHeads(singleHeads).read(deviceB, note.id);
        ASSERT_TRUE(head && singleHead);
        NoteHead sameTimes = *singleHead;
        sameTimes.createdMs = head->createdMs;
        if (!note.modified.isValid())
            sameTimes.modifiedMs = head->modifiedMs;
        EXPECT_EQ(comparable(*head), comparable(sameTimes));
        EXPECT_EQ(a->note(note.id)->preview, single.note(note.id)->preview);
    }
    EXPECT_EQ(a->search(u"tent"_s).front().id, u"n1"_s);
    EXPECT_EQ(a->search(u"ferry"_s).front().id, u"n2"_s);
    EXPECT_TRUE(a->notesToIndex().empty());

    // The export's times, also when the index is made again from the heads; none given is now.
    ASSERT_TRUE(QFile::remove(indexOf(deviceA)));
    a = openDevice(deviceA);
    EXPECT_EQ(a->note(u"n1"_s)->created, notes[0].created);
    EXPECT_EQ(a->note(u"n1"_s)->modified, notes[0].created.addSecs(3600));
    const NoteInfo plan = *a->note(u"n2"_s);
    EXPECT_EQ(plan.created, plan.modified);
    EXPECT_TRUE(plan.created >= before && plan.created <= after)
        << plan.created.toString().toStdString();
}

TEST_F(NotebookHeadsTest, NotesAddedTogetherAreAddedAllOrNone)
{
    auto a = openDevice(deviceA);
    std::vector<NewNote> notes = importedNotes();
    notes[1].files.erase(notes[1].files.begin());
    EXPECT_FALSE(a->addNotes(notes));
    EXPECT_EQ(a->lastError(),
              u"Cannot add the note n2: its file list does not start with the note file"_s);

    // A head that cannot be placed takes the other notes' heads and the index's rows with it.
    notes = importedNotes();
    const QString folder = heads() + u'/' + deviceA;
    ASSERT_TRUE(QDir().mkpath(folder + u"/n2.json"_s));
    EXPECT_FALSE(a->addNotes(notes));
    EXPECT_EQ(a->lastError(),
              u"Cannot record the new notes: Cannot write the heads of 2 new notes in "_s + heads()
                  + u": File exists"_s);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());
    EXPECT_EQ(a->noteCount(), 0);
    ASSERT_TRUE(QDir(folder + u"/n2.json"_s).removeRecursively());

    ASSERT_TRUE(a->addNote(u"n2"_s, u"Taken"_s));
    EXPECT_FALSE(a->addNotes(notes));
    EXPECT_TRUE(a->lastError().startsWith(u"Cannot add the note n2: UNIQUE constraint failed"_s))
        << a->lastError().toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"n2.json"_s});
    EXPECT_EQ(a->noteCount(), 1);
}

// A crash while the heads are being written leaves none of the notes: no head is in place
// before every one is on disk, and the index's open transaction is rolled back.
TEST_F(NotebookHeadsTest, ACrashWhileNotesAreAddedLeavesTheNotebookAsItWas)
{
    {
        auto a = openDevice(deviceA);
        ASSERT_TRUE(a->addNote(u"kept"_s, u"Kept"_s));
    }
    EXPECT_EXIT(
        {
            auto a = openDevice(deviceA);
            TAVRIKCORE::RICHEDITOR::Internal::setWriteCallForTesting(
                [](int fd, const void *data, size_t count) -> ssize_t {
                    static int writes = 0;
                    if (++writes == 2)
                        ::_exit(3);
                    return ::write(fd, data, count);
                });
            a->addNotes(importedNotes());
        },
        ::testing::ExitedWithCode(3), "");
    auto a = openDevice(deviceA);
    EXPECT_EQ(a->noteCount(), 1);
    std::vector<QString> problems;
    EXPECT_EQ(NoteHeads(heads()).readAll(&problems).size(), 1u);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(a->addNotes(importedNotes())) << a->lastError().toStdString();
}

} // namespace
