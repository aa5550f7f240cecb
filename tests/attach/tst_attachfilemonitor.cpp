// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The attachment monitor without a page, and its watcher on a real store.
#include "attach/attachfilemonitor.h"
#include "attach/iattachfilelistsource.h"
#include "attach/syncfilemodifyevent.h"
#include "common/commonutils.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <mutex>
#include <tuple>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QString NoteA = u"0123456789abcdef0123456789abcdef"_s;
const QString NoteB = u"fedcba9876543210fedcba9876543210"_s;

// Records what reached the monitor (from the watcher thread) and what it announced, and
// answers for the notes that are not open.
class Monitor : public QObject, public AttachFileMonitor, public IAttachFileListSource
{
public:
    using AttachFileMonitor::DoAttachFileSync;
    using AttachFileMonitor::GetAttachInfoFromPath;
    ~Monitor() override { Stop(); } // before the recording below is gone

    void OnEvent(const QString &path, quint32 action) override
    {
        {
            std::lock_guard lock(mutex);
            events.emplace_back(QFileInfo(path).fileName(), action);
        }
        AttachFileMonitor::OnEvent(path, action);
    }
    std::vector<std::pair<QString, quint32>> seen()
    {
        std::lock_guard lock(mutex);
        return events;
    }
    int GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files) override
    {
        files = notes.count(noteId) ? notes[noteId] : files;
        return int(notes.count(noteId));
    }
    std::vector<SyncFileModifyArg> announced()
    {
        QCoreApplication::sendPostedEvents(this);
        return args;
    }

    void customEvent(QEvent *event) override
    {
        if (event->type() == AttachFileModifyEvent)
            args.push_back(*static_cast<SyncFileModifyEvent *>(event)->arg());
    }
    std::mutex mutex;
    std::vector<std::pair<QString, quint32>> events;
    std::vector<SyncFileModifyArg> args;
    std::map<QString, std::vector<AttachmentFile>> notes;
};

AttachmentFile record(int kind, const QString &keptName, const QString &storeName)
{
    return {.storeName = storeName,
            .filePath = kind ? QString() : GetAttachRootDir() + u'/' + storeName,
            .keptName = keptName,
            .fileKind = kind};
}

class MonitorTest : public AppFolderTest
{
protected:
    void SetUp() override
    {
        AppFolderTest::SetUp();
        monitor.SetMsgReceiver(&monitor, AttachFileModifyEvent);
        monitor.SetFileListSource(&monitor);
        monitor.SetOpenNote(NoteA, {record(0, {}, u"aa.html"_s)});
    }
    QString keep(const QString &note, const QString &name, const QByteArray &bytes)
    {
        const QString path = m_root + note + u'/' + name;
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    // Waits for `count` reports, then long enough for a straggler.
    void settle(size_t count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return monitor.seen().size() >= count; }, 5000));
        QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
    }

    Monitor monitor;
};

TEST_F(MonitorTest, TakesFinishedWritesAndRenamesButNoTemporaryFiles)
{
    const std::tuple<quint32, QString, bool> cases[] = {
        {1, u"a.docx"_s, false}, {2, u"a.docx"_s, false}, {4, u"a.docx"_s, false},
        {3, u"a.docx"_s, true},  {5, u"b.docx"_s, true},  {3, u"c.TMP"_s, false},
        {5, u"d.tmp"_s, false},  {3, u"e.tmp2"_s, true},  {3, u"tmp"_s, true},
    };
    for (const auto &[action, name, taken] : cases) {
        const size_t before = monitor.announced().size();
        monitor.OnEvent(keep(NoteA, name, name.toUtf8()), action);
        const auto after = monitor.announced();
        ASSERT_EQ(after.size(), before + (taken ? 1 : 0)) << action << " " << name.toStdString();
    }
    monitor.SetMsgReceiver(nullptr, 0); // as when the editor is gone
    monitor.OnEvent(keep(NoteA, u"f.docx"_s, "f"), 3);
    EXPECT_EQ(monitor.announced().size(), 4u);
}

TEST_F(MonitorTest, ResolvesOnlyFilesDirectlyInANoteFolder)
{
    const QString r = GetAppDirectory() + u"userdata/attachment"_s;
    const std::tuple<QString, QString, QString> cases[] = {
        {r + u"/id/report.docx"_s, u"id"_s, u"report.docx"_s},
        {r + u"/0123456789abcdef0123456789abcdef.docx"_s, {}, {}},
        {r + u"/id/sub/x.txt"_s, {}, {}},
        {r + u"/../x.txt"_s, {}, {}},
        {r + u"/id\\x/y.txt"_s, {}, {}},
        {r + u"2/id/x.txt"_s, {}, {}},
    };
    for (const auto &[path, noteId, fileName] : cases) {
        QString id = u"stale"_s, name = u"stale"_s;
        Monitor::GetAttachInfoFromPath(path, id, name);
        EXPECT_EQ(std::make_pair(id, name), std::make_pair(noteId, fileName)) << path.toStdString();
    }
}

TEST_F(MonitorTest, AnnouncesChangedKeptCopiesWithTheirNote)
{
    const QString oldHash = u"11111111111111111111111111111111"_s;
    monitor.notes[NoteB] = {record(0, {}, u"bb.html"_s), record(1, {}, u"t.bmp"_s),
                            record(2, u"plan.txt"_s, oldHash + u".txt"_s)};
    const QString plan = keep(NoteB, u"plan.txt"_s, "new plan");
    monitor.DoAttachFileSync(plan);
    ASSERT_EQ(monitor.announced().size(), 1u);
    const SyncFileModifyArg arg = monitor.announced().front();
    EXPECT_EQ(
        std::tuple(arg.changedPath, arg.fileSize, arg.noteId, arg.changedFile.storeName,
                   arg.newHash, arg.noteFile.filePath),
        std::tuple(plan, 8, NoteB, oldHash + u".txt"_s, CalcFileMd5(plan), m_root + u"bb.html"_s));

    // Content the note already names, a note nobody knows, a file the note does not list, a
    // kept copy that is a link: nothing.
    monitor.notes[NoteB][2].storeName = arg.newHash + u".txt"_s;
    monitor.DoAttachFileSync(plan);
    monitor.DoAttachFileSync(keep(u"cccccccccccccccccccccccccccccccc"_s, u"x.txt"_s, "x"));
    monitor.DoAttachFileSync(keep(NoteB, u"other.txt"_s, "o"));
    const QString outside = m_app.filePath(u"secret.txt"_s);
    ASSERT_TRUE(writeBytes(outside, "secret"));
    ASSERT_TRUE(QDir().mkpath(m_root + NoteA));
    ASSERT_TRUE(QFile::link(outside, m_root + NoteA + u"/link.txt"_s));
    monitor.DoAttachFileSync(m_root + NoteA + u"/link.txt"_s);
    EXPECT_EQ(monitor.announced().size(), 1u);

    // Gone before it could be hashed: logged, nothing announced.
    LogCapture log;
    QFile::remove(plan);
    monitor.notes[NoteB][2].storeName = oldHash + u".txt"_s;
    monitor.DoAttachFileSync(plan);
    EXPECT_EQ(monitor.announced().size(), 1u);
    EXPECT_EQ(log.lines().back(),
              u"[ERROR] AttachFileMonitor::DoAttachFileSync cal md5 code faild ! "_s + plan);

    // After a lost event queue: only the kept copies that differ from their note's list.
    const QString same = keep(NoteB, u"same.txt"_s, "same");
    const QString edited = keep(NoteB, u"edited.txt"_s, "edited");
    monitor.notes[NoteB]
        = {record(0, {}, u"bb.html"_s), record(2, u"same.txt"_s, CalcFileMd5(same) + u".txt"_s),
           record(2, u"edited.txt"_s, oldHash + u".txt"_s)};
    monitor.RescanKeptCopies(); // unlisted files and the link are left alone
    ASSERT_EQ(monitor.announced().size(), 2u);
    EXPECT_EQ(monitor.announced().back().changedPath, edited);

    // A name holding a backslash is kept on disk with a look-alike in its place.
    monitor.notes[NoteB].push_back(record(2, u"report\\2024.txt"_s, oldHash + u".txt"_s));
    monitor.DoAttachFileSync(keep(NoteB, u"report\uFF3C2024.txt"_s, "report"));
    ASSERT_EQ(monitor.announced().size(), 3u);
    EXPECT_EQ(monitor.announced().back().changedFile.keptName, u"report\\2024.txt"_s);
}

TEST_F(MonitorTest, WatcherReportsEditsOfExistingFilesOnceTheyAreQuiet)
{
    const QString renamed = keep(NoteA, u"photo.png"_s, "v1");
    ASSERT_EQ(monitor.Start(), 1);
    ASSERT_TRUE(writeBytes(m_root + NoteA + u"/photo.png.tmp"_s, "v2"));
    ASSERT_EQ(::rename(QFile::encodeName(m_root + NoteA + u"/photo.png.tmp"_s),
                       QFile::encodeName(renamed)),
              0);
    // A file placed under a new name is no edit; a note folder made later is watched.
    ASSERT_TRUE(writeBytes(m_root + NoteA + u"/new.tmp"_s, "n"));
    QFile::rename(m_root + NoteA + u"/new.tmp"_s, m_root + NoteA + u"/new.txt"_s);
    ASSERT_TRUE(QDir().mkpath(m_root + NoteB));
    QTest::qWait(100);
    const QString later = keep(NoteB, u"later.txt"_s, "v1");
    settle(1);
    ASSERT_TRUE(writeBytes(later, "v2"));
    settle(2);
    auto seen = monitor.seen();
    std::sort(seen.begin(), seen.end());
    const std::vector<std::pair<QString, quint32>> expected{{u"later.txt"_s, 3},
                                                            {u"photo.png"_s, 5}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(monitor.announced().size(), 1u); // note B is unknown to the source
}

} // namespace
