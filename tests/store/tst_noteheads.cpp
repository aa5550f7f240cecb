// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/syncenginefiles_p.h"
#include "store/noteheads.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QString deviceA = u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"_s;
const QString deviceB = u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"_s;
const QString v1 = u"11111111111111111111111111111111.html"_s;
const QString v2 = u"22222222222222222222222222222222.html"_s;
const QString v3 = u"33333333333333333333333333333333.html"_s;

NoteHead head(const QString &device, const QString &file, const QString &base, qint64 modified)
{
    NoteHead h;
    h.noteId = u"n1"_s;
    h.device = device;
    h.noteFile = file;
    h.base = base;
    if (!base.isEmpty())
        h.replaced.push_back({base, modified});
    h.title = u"Title on "_s + device.left(1);
    h.modifiedMs = modified;
    h.changedMs = modified;
    return h;
}

MergedNote mergeOne(const std::vector<NoteHead> &heads)
{
    const auto merged = NoteHeads::Merge(heads);
    EXPECT_EQ(merged.size(), 1u);
    return merged.begin()->second;
}

TEST(NoteHeadsMerge, AVersionMadeFromAnotherWinsWhateverItsTime)
{
    // B's clock is behind: its edit of A's version still wins, being made from it.
    const MergedNote note = mergeOne({head(deviceA, v1, {}, 5000), head(deviceB, v2, v1, 100)});
    EXPECT_FALSE(note.deleted);
    EXPECT_EQ(note.current.noteFile, v2);
    EXPECT_EQ(note.current.device, deviceB);
    EXPECT_TRUE(note.conflicts.empty());
    // A rename on A after it is kept though: the newest title.
    EXPECT_EQ(note.current.title, u"Title on a"_s);
}

TEST(NoteHeadsMerge, TwoVersionsFromTheSameBaseAreAConflictShowingTheNewest)
{
    const MergedNote note = mergeOne({head(deviceA, v2, v1, 300), head(deviceB, v3, v1, 200)});
    EXPECT_EQ(note.current.noteFile, v2);
    ASSERT_EQ(note.conflicts.size(), 1u);
    EXPECT_EQ(note.conflicts[0].noteFile, v3);
    EXPECT_EQ(note.conflicts[0].device, deviceB);

    // Once A's head descends from B's version too, the conflict is settled.
    NoteHead settled = head(deviceA, v2, v1, 300);
    settled.replaced.push_back({v3, 400});
    const MergedNote after = mergeOne({settled, head(deviceB, v3, v1, 200)});
    EXPECT_EQ(after.current.noteFile, v2);
    EXPECT_TRUE(after.conflicts.empty());
}

TEST(NoteHeadsMerge, DeletionWinsOnlyOverWhatItSaw)
{
    NoteHead gone = head(deviceA, v1, {}, 500);
    gone.deleted = true;
    EXPECT_TRUE(mergeOne({gone, head(deviceB, v1, {}, 100)}).deleted);
    // B changed the note without knowing of the deletion: nothing is lost.
    const MergedNote kept = mergeOne({gone, head(deviceB, v2, v1, 100)});
    EXPECT_FALSE(kept.deleted);
    EXPECT_EQ(kept.current.noteFile, v2);
    EXPECT_TRUE(kept.conflicts.empty());
    EXPECT_EQ(kept.current.title, u"Title on b"_s);
}

TEST(NoteHeadsMerge, ANoteNeverSavedGivesWayToAnySavedVersion)
{
    const MergedNote note = mergeOne({head(deviceA, {}, {}, 900), head(deviceB, v1, {}, 100)});
    EXPECT_EQ(note.current.noteFile, v1);
    EXPECT_TRUE(note.conflicts.empty());
}

TEST(NoteHeads, JsonKeepsEveryFieldAndRefusesOtherText)
{
    NoteHead h = head(deviceA, v2, v1, 1733500000123);
    h.noteId = u"0123456789abcdef0123456789abcdef"_s;
    h.title = u"Einkauf – 买菜 \"quoted\""_s;
    h.createdMs = 1733400000000;
    h.readOnly = true;
    h.preview = u"Milk\nbread"_s;
    h.files.push_back({QString(), 0, u"t"_s, u"html"_s, v2, u"/a/"_s + v2, 0});
    h.files.push_back({u"plan.pdf"_s, 2, u"t2"_s, u"pdf"_s,
                       u"44444444444444444444444444444444.pdf"_s, u"/a/n/plan.pdf"_s, 1});
    h.sizes[u"44444444444444444444444444444444.pdf"_s] = 5000000000ull;
    QString error;
    const auto back = NoteHeads::FromJson(NoteHeads::ToJson(h), error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(back->noteId, h.noteId);
    EXPECT_EQ(back->device, deviceA);
    EXPECT_EQ(back->noteFile, v2);
    EXPECT_EQ(back->base, v1);
    ASSERT_EQ(back->replaced.size(), 1u);
    EXPECT_EQ(back->replaced[0].noteFile, v1);
    EXPECT_EQ(back->replaced[0].replacedMs, 1733500000123);
    EXPECT_EQ(back->title, h.title);
    EXPECT_EQ(back->createdMs, 1733400000000);
    EXPECT_EQ(back->changedMs, 1733500000123);
    EXPECT_TRUE(back->readOnly);
    EXPECT_FALSE(back->deleted);
    EXPECT_EQ(back->preview, h.preview);
    ASSERT_EQ(back->files.size(), 2u);
    EXPECT_EQ(back->files[1].origName, u"plan.pdf"_s);
    EXPECT_EQ(back->files[1].fileKind, 2);
    EXPECT_EQ(back->files[1].filePath, u"/a/n/plan.pdf"_s);
    EXPECT_EQ(back->files[1].isImageSrc, 1);
    EXPECT_EQ(back->sizes, h.sizes);

    for (const QByteArray &bad : {QByteArray("[]"), QByteArray("{\"format\": 2}"),
                                  QByteArray("{\"format\": 1, "
                                             "\"note\": \"../x\"}")}) {
        EXPECT_FALSE(NoteHeads::FromJson(bad, error)) << bad.constData();
    }
}

TEST(NoteHeads, KeepsNoMoreThanTheNewestReplacedVersions)
{
    NoteHead h = head(deviceA, v2, {}, 1);
    for (int i = 0; i < NoteHeads::MaxReplaced + 1; ++i)
        h.replaced.push_back({u"%1.html"_s.arg(i, 32, 10, QChar(u'0')), i});
    QString error;
    const auto back = NoteHeads::FromJson(NoteHeads::ToJson(h), error);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->replaced.size(), size_t(NoteHeads::MaxReplaced));
    EXPECT_EQ(back->replaced.front().replacedMs, 1);
}

TEST(NoteHeads, WritesEachDeviceFolderAndReadsEveryHeadButSyncEngineFiles)
{
    QTemporaryDir dir;
    const NoteHeads heads(dir.path() + u"/heads"_s);
    QString error;
    ASSERT_TRUE(heads.write(head(deviceA, v1, {}, 1), error)) << error.toStdString();
    ASSERT_TRUE(heads.write(head(deviceB, v2, v1, 2), error));
    EXPECT_TRUE(QFile::exists(dir.path() + u"/heads/"_s + deviceA + u"/n1.json"_s));
    // A head half carried by Syncthing, and one damaged.
    QFile tmp(dir.path() + u"/heads/"_s + deviceA + u"/.syncthing.n2.json.tmp"_s);
    ASSERT_TRUE(tmp.open(QIODevice::WriteOnly));
    tmp.write("{\"format\":");
    tmp.close();
    QFile::copy(tmp.fileName(), dir.path() + u"/heads/"_s + deviceA + u"/n3.json"_s);

    std::vector<QString> problems;
    const std::vector<NoteHead> all = heads.readAll(&problems);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].device, deviceA);
    EXPECT_EQ(all[1].device, deviceB);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              u"The head "_s + dir.path() + u"/heads/"_s + deviceA + u"/n3.json cannot be read"_s);

    NoteHead bad = head(u"not-a-device"_s, v1, {}, 1);
    EXPECT_FALSE(heads.write(bad, error));
    EXPECT_EQ(error, u"Cannot write the head of the note n1: not a device id or note id"_s);
}

TEST(NoteHeads, TheDeviceIdIsMadeOnceAndKept)
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/userdata/device-id"_s;
    QString error;
    const QString id = NoteHeads::DeviceId(path, error);
    EXPECT_EQ(id.size(), 32);
    EXPECT_EQ(NoteHeads::DeviceId(path, error), id);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("garbage");
    file.close();
    const QString fresh = NoteHeads::DeviceId(path, error);
    EXPECT_EQ(fresh.size(), 32);
    EXPECT_NE(fresh, id);
}

TEST(SyncEngineFiles, NamesOfTheEnginesAreKnownAndStoreNamesAreNot)
{
    for (const char *name :
         {".syncthing.0123.html.tmp", "~syncthing~0123.png.tmp", ".stfolder", ".stignore",
          ".stversions", ".sync_0a1b2c.db", ".sync_0a1b2c.db-wal", "._sync_x.db",
          ".owncloudsync.log", ".nextcloudsync.log", "0123.png.partial"}) {
        EXPECT_TRUE(Internal::isSyncEngineFile(QString::fromLatin1(name))) << name;
    }
    for (const char *name : {"0123456789abcdef0123456789abcdef.html", "syncthing.tmp",
                             ".syncthing.html", "n1.json", "db.sync_"}) {
        EXPECT_FALSE(Internal::isSyncEngineFile(QString::fromLatin1(name))) << name;
    }
}

} // namespace
