// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The store's check and clean-up in a notebook that a sync engine shares between devices.
#include "store/noteheads.h"
#include "store/storecheck.h"
#include "store/storecleanup.h"
#include "storenotebook.h"

#include <QDateTime>
#include <QProcess>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QString here = u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"_s;
const QString there = u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"_s;

class StoreHeadsTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(writeBytes(NoteHeads::DeviceIdPath(), here.toLatin1() + '\n'));
    }
    // The head of note `noteId` on `device` holding `noteFile` (with `files` listed) and the
    // versions it replaced `minutesAgo`.
    void writeHead(const QString &device, const QString &noteId, const QString &noteFile,
                   const std::vector<std::pair<QString, int>> &replaced = {},
                   const std::vector<NoteHeadFile> &files = {}, bool deleted = false)
    {
        NoteHead head;
        head.noteId = noteId;
        head.device = device;
        head.noteFile = noteFile;
        head.deleted = deleted;
        head.modifiedMs = QDateTime::currentMSecsSinceEpoch() - 7200 * 1000;
        for (const auto &[file, minutes] : replaced)
            head.replaced.push_back(
                {file, QDateTime::currentMSecsSinceEpoch() - qint64(minutes) * 60 * 1000});
        head.files = files;
        QString error;
        ASSERT_TRUE(NoteHeads(NoteHeads::DefaultFolder()).write(head, error))
            << error.toStdString();
    }
};

TEST_F(StoreHeadsTest, CleanupKeepsWhatAnyDevicesHeadNeedsAndRecentlyReplacedVersions)
{
    const Added old = attach(b, u"old.png"_s, pngBytes(filledImage(4, 3, Qt::red)));
    const QString otherDevices = save(u"<p>B as the other device has it</p>"_s + old.element);
    const QString recent = save(u"<p>A replaced ten minutes ago</p>"_s);
    const QString stale = save(u"<p>A replaced two hours ago</p>"_s);
    const QString current = save(u"<p>A now</p>"_s);
    const QString deletedLongAgo = save(u"<p>C deleted</p>"_s);
    // A sync engine's files: one being written into the root, one into a note folder.
    ASSERT_TRUE(writeBytes(root + u".syncthing."_s + current + u".tmp"_s, "half"));
    ASSERT_TRUE(writeBytes(root + b + u"/~syncthing~old.png.tmp"_s, "half"));
    ASSERT_TRUE(QDir().mkpath(root + u".stfolder"_s));
    age();
    writeHead(here, a, current, {{stale, 120}, {recent, 10}});
    writeHead(there, b, otherDevices);
    writeHead(here, u"cccccccccccccccccccccccccccccccc"_s, deletedLongAgo, {}, {}, true);

    // The host knows only its own note A: B's note and picture stay for the other device.
    const std::vector<LiveNote> live = {{a, current}};
    const StoreCleanup::Result listed = StoreCleanup::List(live);
    EXPECT_EQ(named(listed.items),
              sorted({u"note-file "_s + stale, u"note-file "_s + deletedLongAgo}));
    EXPECT_TRUE(listed.problems.empty());
    const StoreCleanup::Result removed = StoreCleanup::Remove(live);
    EXPECT_EQ(named(removed.items), named(listed.items));
    for (const QString &kept :
         QStringList{otherDevices, recent, current, old.store, b + u"/old.png"_s,
                     u".syncthing."_s + current + u".tmp"_s, b + u"/~syncthing~old.png.tmp"_s,
                     u".stfolder"_s}) {
        EXPECT_TRUE(QFileInfo::exists(root + kept)) << kept.toStdString();
    }
    EXPECT_EQ(named(StoreCheck::Run(live)), QStringList());
}

TEST_F(StoreHeadsTest, CheckTellsFilesWaitingForSyncApartFromDamage)
{
    const Added photo = attach(a, u"photo.png"_s, pngBytes(filledImage(4, 3, Qt::blue)));
    const QString mine = save(u"<p>A</p>"_s + photo.element);
    writeHead(here, a, mine);
    // The other device saved a version whose note file and picture are still on their way.
    const QString coming = u"0123456789abcdef0123456789abcdef.html"_s;
    const QString picture = u"fedcba9876543210fedcba9876543210.png"_s;
    writeHead(there, b, coming, {},
              {{QString(), 0, u"t"_s, u"html"_s, coming, root + coming, 0},
               {QString(), 1, u"t"_s, u"png"_s, picture, root + picture, 1}});
    ASSERT_TRUE(QFile::remove(root + photo.store)); // damage here

    const std::vector<StoreFinding> findings = StoreCheck::Run({{a, mine}});
    EXPECT_EQ(named(findings),
              sorted({u"missing "_s + photo.store, u"waiting for sync "_s + coming,
                      u"waiting for sync "_s + picture}));
    for (const StoreFinding &f : findings) {
        if (f.path == root + coming)
            EXPECT_EQ(f.detail,
                      u"the current version of the note %1 on the device %2"_s.arg(b, there));
        if (f.path == root + picture)
            EXPECT_EQ(f.detail, u"referenced by "_s + root + coming);
    }
    // Nothing the waiting version lists goes, and the clean-up is not held up by it.
    ASSERT_TRUE(writeBytes(root + picture, "arrived before its note"));
    age();
    const StoreCleanup::Result listed = StoreCleanup::List({{a, mine}});
    EXPECT_TRUE(listed.items.empty()) << named(listed.items).join(u", "_s).toStdString();
    EXPECT_TRUE(StoreCleanup::Remove({{a, mine}}).error.isEmpty());

#ifdef TAVRIK_STORE_PROGRAM
    ASSERT_TRUE(QFile::remove(root + picture));
    const QString list = m_src.filePath(u"live.txt"_s);
    ASSERT_TRUE(writeBytes(list, a.toUtf8() + '\t' + mine.toUtf8() + '\n'));
    QProcess program;
    program.start(QStringLiteral(TAVRIK_STORE_PROGRAM),
                  {u"--app-dir"_s, GetAppDirectory(), u"--live"_s, list, u"check"_s});
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(output.endsWith(u"1 finding(s), 2 file(s) waiting for sync\n"_s))
        << output.toStdString();
    EXPECT_TRUE(output.contains(u"waiting for sync\t%1%2\tthe current version of the note %3 on "
                                "the device %4\n"_s.arg(root, coming, b, there)))
        << output.toStdString();
#endif
}

} // namespace
