// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Attachments without a page: the store and its thumbnail cards, the monitor of kept copies and
// what a change of a kept copy does to a note that is not open.
#include "attach/attachfilemonitor.h"
#include "attach/attachstore_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/iattachfilelistsource.h"
#include "attach/syncfilemodifyevent.h"
#include "bridge/editorevents.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "editor/attachresync_p.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notefixtures.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QString HelloMd5 = u"5d41402abc4b2a76b9719d911017c592"_s; // md5 of "hello"
const QString Md5Failed = u"[ERROR] ZvWebNoteHandler::MoveAttFile cal md5 code faild ! "_s;

// A disk with room for s_room more bytes; on the first write s_changing (when set) is rewritten.
qint64 s_room = 0;
QString s_changing;
ssize_t limitedWrite(int fd, const void *data, size_t count)
{
    if (!s_changing.isEmpty())
        writeBytes(std::exchange(s_changing, QString()), QByteArray(1 << 20, 'b'));
    if (s_room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = ::write(fd, data, size_t(std::min<qint64>(qint64(count), s_room)));
    s_room -= written;
    return written;
}

QString lastLine(const LogCapture &log)
{
    const Lines lines = log.lines();
    return lines.empty() ? QString() : lines.back();
}

// Every case starts with an empty store in the program's application folder, which holds
// the built icons and the log.
class AttachStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(m_root).removeRecursively(); }

    DropFileInfo record(const QString &name, const QByteArray &bytes, const QString &ext)
    {
        DropFileInfo info;
        info.srcPath = m_src.filePath(name);
        EXPECT_TRUE(writeBytes(info.srcPath, bytes));
        info.keptName = info.displayName = QFileInfo(name).fileName();
        info.fileExt = ext;
        info.fileSize = quint64(bytes.size());
        info.addTime = Time;
        return info;
    }
    QStringList listing(const QString &folder = QString()) const
    {
        return QDir(m_root + folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    void put(const QString &storePath, const QByteArray &bytes)
    {
        ASSERT_TRUE(writeBytes(m_root + storePath, bytes));
    }

    QTemporaryDir m_src;
    const QString m_root = GetAppDirectory() + u"userdata/attachment"_s;
};

} // namespace

TEST_F(AttachStoreTest, DocumentIsKeptWithAThumbnailCardAndImagesBecomeTemporaryJpegs)
{
    LogCapture log;
    MAF_RESULT result;
    ASSERT_EQ(
        AttachStore::MoveAttFile(u"note1"_s, record(u"report.docx"_s, "hello", u"docx"_s), result),
        1);
    EXPECT_EQ(result.storeName, HelloMd5 + u".docx"_s);
    EXPECT_EQ(result.relPath, u"userdata\\attachment\\"_s + HelloMd5 + u".docx"_s);
    EXPECT_TRUE(matches(u"[0-9a-f]{32}\\.bmp"_s, result.showName));
    EXPECT_EQ(result.showSrc, u"../userdata\\attachment\\"_s + result.showName);
    const QString card = m_root + u'/' + result.showName;
    EXPECT_EQ(CalcFileMd5(card) + u".bmp"_s, result.showName);
    EXPECT_EQ(result.showSize, QFileInfo(card).size());

    // Exactly the kept copy and the card, drawn from the name and the size line; nothing else.
    EXPECT_EQ(listing(), (QStringList{result.showName, u"note1"_s}));
    EXPECT_EQ(listing(u"/note1"_s), QStringList{u"report.docx"_s});
    EXPECT_EQ(readBytes(m_root + u"/note1/report.docx"_s), "hello");
    const QString expected = m_src.filePath(u"expected.bmp"_s);
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(1, u"report.docx"_s, Time + u" 5B"_s, expected), 1);
    EXPECT_EQ(readBytes(card), readBytes(expected));
    EXPECT_EQ(log.lines(), Lines{});

    // Images become temporary JPEG files.
    std::vector<DropFileInfo> files;
    const QImage empty;
    const QImage image = filledImage(16, 12, Qt::blue);
    EXPECT_EQ(AttachStore::SaveImage(nullptr, files), 0);
    EXPECT_EQ(AttachStore::SaveImage(&empty, files), 0);
    ASSERT_EQ(AttachStore::SaveImage(&image, files), 1);
    ASSERT_EQ(files.size(), 1u);
    const DropFileInfo info = files.front();
    EXPECT_TRUE(matches(u"[0-9a-f]{32}\\.jpg"_s, info.keptName));
    EXPECT_EQ(info.srcPath, GetTempDirectory() + info.keptName);
    EXPECT_EQ(info.displayName, info.keptName);
    EXPECT_FALSE(info.isDir);
    EXPECT_EQ(info.fileExt, u"jpg"_s);
    EXPECT_EQ(info.fileSize, quint64(QFileInfo(info.srcPath).size()));
    EXPECT_TRUE(readBytes(info.srcPath).startsWith("\xFF\xD8\xFF"));
    EXPECT_TRUE(matches(u"\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d"_s, info.addTime));
    EXPECT_TRUE(info.isTemp);

    files.push_back(record(u"keep.txt"_s, "k", u"txt"_s));
    AttachStore::DelTempFileFromList(files);
    EXPECT_FALSE(QFile::exists(info.srcPath));
    EXPECT_TRUE(QFile::exists(files.back().srcPath));
}

TEST_F(AttachStoreTest, SamePictureTwiceMakesOneCopyValidFilesAreKeptDamagedOnesReplaced)
{
    const DropFileInfo info = record(u"Holiday.PNG"_s, "png bytes", u"png"_s);
    const QString storeName = CalcFileMd5(info.srcPath) + u".png"_s;
    LogCapture log;
    MAF_RESULT first, second;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, info, first), 1);
    EXPECT_EQ(first.storeName, storeName);
    EXPECT_EQ(first.showName, storeName);
    EXPECT_EQ(first.showSrc, u"../userdata\\attachment\\"_s + storeName);
    EXPECT_EQ(first.showSize, 9);
    const quint64 copy = inodeOf(m_root + u'/' + storeName);

    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, info, second), 1);
    EXPECT_EQ(second.showSrc, first.showSrc);
    EXPECT_EQ(inodeOf(m_root + u'/' + storeName), copy) << "the picture copy was rewritten";
    EXPECT_EQ(listing(), (QStringList{storeName, u"n"_s}));
    EXPECT_EQ(listing(u"/n"_s), QStringList{u"Holiday.PNG"_s});
    EXPECT_EQ(readBytes(m_root + u'/' + storeName), "png bytes");

    // Without a kept name the picture lies once, under its content name.
    DropFileInfo bare = info;
    bare.keptName.clear();
    ASSERT_EQ(AttachStore::MoveAttFile(u"other"_s, bare, second), 1);
    EXPECT_EQ(listing(), (QStringList{storeName, u"n"_s}));
    EXPECT_EQ(log.lines(), Lines{});

    // Valid files are never overwritten, damaged ones are replaced.
    put(u"/n/a.txt"_s, "old bytes");
    put(u'/' + HelloMd5 + u".jpg"_s, "junk");
    LogCapture replaced;
    MAF_RESULT kept;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"a.txt"_s, "hello", u"txt"_s), kept), 1);
    EXPECT_EQ(readBytes(m_root + u"/n/a.txt"_s), "old bytes");
    const quint64 card = inodeOf(m_root + u'/' + kept.showName);
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"a.txt"_s, "hello", u"txt"_s), kept), 1);
    EXPECT_EQ(inodeOf(m_root + u'/' + kept.showName), card) << "a valid card was replaced";
    EXPECT_EQ(replaced.lines(), Lines{});

    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"x.jpg"_s, "hello", u"jpg"_s), kept), 1);
    EXPECT_EQ(readBytes(m_root + u'/' + HelloMd5 + u".jpg"_s), "hello");
    EXPECT_EQ(replaced.lines(),
              Lines{u"[WARN] ZvWebNoteHandler::MoveAttFile replaced damaged file "_s + HelloMd5
                    + u".jpg"_s});
    EXPECT_EQ(listing().filter(u".tmp"_s), QStringList{});
}

TEST_F(AttachStoreTest, FailuresAreLogged)
{
    MAF_RESULT result;
    {
        DropFileInfo gone = record(u"gone.txt"_s, "x", u"txt"_s);
        QFile::remove(gone.srcPath);
        LogCapture log;
        EXPECT_EQ(AttachStore::MoveAttFile(u"n"_s, gone, result), 0);
        EXPECT_EQ(lastLine(log),
                  Md5Failed + u"No such file or directory (errno 2): "_s + gone.srcPath);
    }
    {
        put(u"/blocked"_s, "a file where the note's folder belongs");
        LogCapture log;
        EXPECT_EQ(
            AttachStore::MoveAttFile(u"blocked"_s, record(u"a.txt"_s, "hello", u"txt"_s), result),
            0);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] ZvWebNoteHandler::MoveAttFile copy file fald ! Not a "
                        "directory (errno 20): "_s
                        + m_root + u"/blocked/a.txt"_s});
    }
    {
        // No icon for a sound file's card (no other case draws one).
        // Taken from this program's own copy of the icons, not the build's shared ones.
        SetProgramDirectory(GetAppDirectory());
        const QString icon = GetAppDirectory() + u"res/audio.bmp"_s;
        ASSERT_TRUE(QFile::rename(icon, m_src.filePath(u"audio.bmp"_s)));
        const auto restore = qScopeGuard([&] {
            QFile::rename(m_src.filePath(u"audio.bmp"_s), icon);
            SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR"));
        });
        LogCapture log;
        EXPECT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"song.mp3"_s, "la", u"mp3"_s), result),
                  0);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] ZvWebNoteHandler::MoveAttFile create thumb pic faild ! "_s});
        EXPECT_EQ(readBytes(m_root + u"/n/song.mp3"_s), "la") << "the kept copy stays";
    }
    {
        // The places of the card and of a picture copy are taken by folders.
        ASSERT_EQ(AttachStore::MoveAttFile(u"p"_s, record(u"c.pdf"_s, "pdf", u"pdf"_s), result), 1);
        QFile::remove(m_root + u'/' + result.showName);
        QDir().mkpath(m_root + u'/' + result.showName);
        const DropFileInfo gif = record(u"p.gif"_s, "gif", u"gif"_s);
        QDir().mkpath(m_root + u'/' + CalcFileMd5(gif.srcPath) + u".gif"_s);
        LogCapture log;
        EXPECT_EQ(AttachStore::MoveAttFile(u"p"_s, record(u"c.pdf"_s, "pdf", u"pdf"_s), result), 0);
        EXPECT_EQ(lastLine(log),
                  u"[ERROR] ZvWebNoteHandler::MoveAttFile rename file fald ! Is a "
                  "directory (errno 21): "_s
                      + m_root + u'/' + result.showName);
        EXPECT_EQ(AttachStore::MoveAttFile(u"g"_s, gif, result), 0);
        EXPECT_TRUE(lastLine(log).startsWith(
            u"[ERROR] ZvWebNoteHandler::MoveAttFile CopyFile file fald ! Is a directory (errno 21)"_s));
    }
    EXPECT_EQ(listing().filter(u".tmp"_s), QStringList{});
}

TEST_F(AttachStoreTest, StoredNamesAreTheHashesOfTheBytesWrittenAndAFullDiskFails)
{
    const auto restore = qScopeGuard([] { Internal::setWriteCallForTesting(nullptr); });
    Internal::setWriteCallForTesting(limitedWrite);
    MAF_RESULT result;
    const QString full = u"! No space left on device (errno 28): "_s + m_root + u'/';
    for (const qint64 room :
         {0, 5, 100}) { // no room for the kept copy, for the card, for all of it
        QDir(m_root + u"/n"_s).removeRecursively();
        s_room = room;
        LogCapture log;
        int error = 0;
        const DropFileInfo info = record(u"a.txt"_s, "hello", u"txt"_s);
        EXPECT_EQ(AttachStore::MoveAttFile(u"n"_s, info, result, &error), 0);
        EXPECT_EQ(error, ENOSPC);
        const QString cardPattern = QRegularExpression::escape(
            u"[ERROR] ZvWebNoteHandler::MoveAttFile create thumb pic faild "_s + full);
        EXPECT_TRUE(room ? matches(cardPattern + u"[0-9a-f]{32}\\.bmp"_s, lastLine(log))
                         : lastLine(log)
                            == u"[ERROR] ZvWebNoteHandler::MoveAttFile copy file fald "_s + full
                                + u"n/a.txt"_s)
            << lastLine(log).toStdString();
        EXPECT_EQ(listing().filter(QRegularExpression(u"\\.(bmp|tmp)$"_s)), QStringList{});
    }
    // A card cut short is not left behind looking whole.
    const QString card = m_src.filePath(u"card.bmp"_s);
    ASSERT_TRUE(writeBytes(card, "old card"));
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(1, u"a.txt"_s, Time, card), 0);
    EXPECT_FALSE(QFileInfo::exists(card));

    // A source rewritten while it is copied: the store names what it got.
    DropFileInfo changing = record(u"growing.txt"_s, QByteArray(1 << 20, 'a'), u"txt"_s);
    changing.keptName.clear();
    s_changing = changing.srcPath;
    s_room = 1 << 30;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, changing, result), 1);
    EXPECT_EQ(CalcFileMd5(m_root + u'/' + result.storeName) + u".txt"_s, result.storeName);
}

TEST_F(AttachStoreTest, StaleFilesInTheMakingAreRemoved)
{
    // A stored "<md5>.tmp" attachment, a fresh file in the making and a user's name stay.
    const QString stale = CreateGuidString() + u".tmp"_s, fresh = CreateGuidString() + u".tmp"_s;
    const int old = AttachStore::StaleTemporaryFileSeconds + 60;
    for (const auto &[name, age] : {std::pair{QString(HelloMd5 + u".tmp"_s), old},
                                    {stale, old},
                                    {fresh, old - 120},
                                    {u"notes.tmp"_s, old}}) {
        put(u'/' + name, "hello");
        QFile file(m_root + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFile::FileModificationTime);
    }
    LogCapture log;
    EXPECT_EQ(AttachStore::RemoveStaleTemporaryFiles(), 1);
    EXPECT_EQ(log.lines(), Lines{u"[INFO] AttachStore removed a stale temporary file: "_s + stale});
    EXPECT_EQ(listing().size(), 3);
}

TEST_F(AttachStoreTest, NamesThatWouldLeaveTheStoreAreRefused)
{
    const QString nul = u"a"_s + QChar(0) + u".txt"_s;
    const std::vector<std::tuple<QString, QString, QString, QString>> cases{
        // note id, kept name, extension, what the log shows
        {u"../escape"_s, u"a.txt"_s, u"txt"_s, u"../escape"_s},
        {u".."_s, u"a.txt"_s, u"txt"_s, u".."_s},
        {u"n"_s, u"../../a.txt"_s, u"txt"_s, u"../../a.txt"_s},
        {u"n"_s, u"."_s, u"txt"_s, u"."_s},
        {u"n"_s, nul, u"txt"_s, nul}, // written escaped, read back through the escapes
        {u"n"_s, u"a.txt"_s, u"txt/../../../x"_s, u"txt/../../../x"_s}};
    for (const auto &[noteId, keptName, ext, logged] : cases) {
        DropFileInfo info = record(u"a.txt"_s, "hello", ext);
        info.keptName = keptName;
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(noteId, info, result), 0);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] ZvWebNoteHandler::MoveAttFile unsafe name skipped: "_s + logged});
    }
    EXPECT_FALSE(QFileInfo::exists(m_root)) << "nothing may be written";
    EXPECT_FALSE(QFileInfo::exists(GetAppDirectory() + u"userdata/escape"_s));
}

TEST_F(AttachStoreTest, ClashingNamesAreNumberedAndEveryAddedFileIsKept)
{
    const std::vector<std::tuple<QString, QString, QString>> cases{
        // names in the note, names added, names kept (separated by '|')
        {u""_s, u"a.txt"_s, u"a.txt"_s},
        {u"a(2).txt|a.txt"_s, u"a.txt"_s, u"a(3).txt"_s},
        {u"b.txt"_s, u"b(5).txt"_s, u"b(1).txt"_s},
        {u"C.txt"_s, u"c.txt"_s, u"c.txt"_s},
        {u"report.doc"_s, u"report.pdf"_s, u"report(1).pdf"_s},
        {u"report(3).doc"_s, u"report.doc"_s, u"report(4).doc"_s},
        {u"a.txt|a(2).txt|b(5).txt|C.txt"_s, u"a.txt|b.txt|c.txt|C.txt|a(2).txt"_s,
         u"a(3).txt|b(6).txt|c.txt|C(1).txt|a(4).txt"_s},
        // a batch is named as if its files were added one by one
        {u""_s, u"x.txt|x.doc|x.txt"_s, u"x.txt|x(1).doc|x(2).txt"_s},
        {u""_s, u"a(2).txt|a.txt"_s, u"a(2).txt|a(3).txt"_s},
        // the number is read like atoi; a name without a '.' counts as a whole
        {u"d( 7).txt|e(x).txt|f(-3).txt"_s, u"d.txt|e.txt|f.txt"_s,
         u"d(8).txt|e(1).txt|f(-2).txt"_s},
        {u"README"_s, u"README"_s, u"README(1)"_s}};
    for (const auto &[note, added, expected] : cases) {
        std::vector<QString> noteNames;
        for (const QString &name : note.split(u'|'))
            noteNames.push_back(name);
        std::vector<DropFileInfo> files;
        for (const QString &name : added.split(u'|')) {
            files.emplace_back();
            files.back().keptName = files.back().displayName = name;
        }
        AttachStore::DoAttSameName(files, noteNames);
        QStringList kept, shown;
        for (const DropFileInfo &info : files) {
            kept << info.keptName;
            shown << info.displayName;
        }
        EXPECT_EQ(kept.join(u'|'), expected) << added.toStdString();
        EXPECT_EQ(shown.join(u'|'), expected);
    }

    // Two new files of one name, and names left in the note's folder by removed attachments.
    put(u"/n/notes.txt"_s, "stale");
    put(u"/n/same.txt"_s, "same");
    std::vector<DropFileInfo> files{record(u"one/notes.txt"_s, "first", u"txt"_s),
                                    record(u"two/notes.txt"_s, "second", u"txt"_s),
                                    record(u"same.txt"_s, "same", u"txt"_s)};
    AttachStore::DoAttSameName(files, {}, u"n"_s);
    EXPECT_EQ(files[0].keptName, u"notes(1).txt"_s);
    EXPECT_EQ(files[1].keptName, u"notes(2).txt"_s);
    EXPECT_EQ(files[2].keptName, u"same.txt"_s) << "an identical file on disk is reused";
    for (const DropFileInfo &info : files) {
        MAF_RESULT result;
        ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, info, result), 1);
    }
    EXPECT_EQ(readBytes(m_root + u"/n/notes.txt"_s), "stale");
    EXPECT_EQ(readBytes(m_root + u"/n/notes(1).txt"_s), "first");
    EXPECT_EQ(readBytes(m_root + u"/n/notes(2).txt"_s), "second");
    EXPECT_EQ(readBytes(m_root + u"/n/same.txt"_s), "same");
}

namespace {

const QString NoteA = u"0123456789abcdef0123456789abcdef"_s;
const QString NoteB = u"fedcba9876543210fedcba9876543210"_s;

// The attachment monitor without a page, and its watcher on a real store.
//
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
        ++asked;
        if (onAsk)
            onAsk();
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
    std::atomic<int> asked{0};
    std::function<void()> onAsk; // runs at each question, on the asking thread
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

TEST_F(MonitorTest, TakesFinishedWritesButNoTemporaryFilesDirectlyInANoteFolder)
{
    const std::tuple<quint32, QString, bool> cases[] = {
        {1, u"a.docx"_s, false},
        {2, u"a.docx"_s, false},
        {4, u"a.docx"_s, false},
        {3, u"a.docx"_s, true},
        {5, u"b.docx"_s, true},
        {3, u"c.TMP"_s, false},
        {5, u"d.tmp"_s, false},
        {3, u"e.tmp2"_s, true},
        {3, u"tmp"_s, true},
        // A sync engine's files in the making.
        {3, u".syncthing.g.docx.tmp"_s, false},
        {5, u"~syncthing~h.docx.tmp"_s, false},
        {3, u"i.docx.partial"_s, false},
        {3, u".stignore"_s, false},
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

    // Only files directly in a note folder are resolved.
    const QString r = GetAppDirectory() + u"userdata/attachment"_s;
    const std::tuple<QString, QString, QString> paths[] = {
        {r + u"/id/report.docx"_s, u"id"_s, u"report.docx"_s},
        {r + u"/0123456789abcdef0123456789abcdef.docx"_s, {}, {}},
        {r + u"/id/sub/x.txt"_s, {}, {}},
        {r + u"/../x.txt"_s, {}, {}},
        {r + u"/id\\x/y.txt"_s, {}, {}},
        {r + u"2/id/x.txt"_s, {}, {}},
    };
    for (const auto &[path, noteId, fileName] : paths) {
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
    // What a sync engine left half written when it stopped is never reported.
    keep(NoteA, u".syncthing.half.pdf.tmp"_s, "half");
    keep(NoteA, u"~syncthing~half.pdf.tmp"_s, "half");
    keep(NoteA, u"half.pdf.partial"_s, "half");
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

TEST_F(MonitorTest, WatcherWatchesTheStoreAgainWhenItComesBackAndSaysWhenItLostIt)
{
    ASSERT_TRUE(QDir().mkpath(m_root + NoteA));
    ASSERT_EQ(monitor.Start(), 1);
    const QString root = m_root.chopped(1);
    const QString lost = u"[ERROR] AttachFileMonitor lost the store folder "_s + root
        + u"; watching for it to come back"_s;
    const QString again = u"[INFO] AttachFileMonitor watches "_s + root + u" again"_s;
    LogCapture log;
    const auto times = [&](const QString &line) {
        const Lines lines = log.lines();
        return std::count(lines.begin(), lines.end(), line);
    };
    const auto logged = [&](const QString &line) {
        return QTest::qWaitFor([&] { return times(line) > 0; }, 5000);
    };

    ASSERT_TRUE(QDir(root).removeRecursively());
    EXPECT_TRUE(logged(lost));
    // A link in its place is not followed.
    ASSERT_TRUE(QFile::link(m_app.path(), root));
    EXPECT_TRUE(logged(u"[ERROR] AttachFileMonitor cannot watch "_s + root
                       + u": not a folder (symbolic links are never followed)"_s));
    ASSERT_TRUE(QFile::remove(root));
    ASSERT_TRUE(QDir().mkpath(root));
    EXPECT_TRUE(logged(again));
    ASSERT_TRUE(QDir().mkpath(m_root + NoteA));
    QTest::qWait(100);
    const QString path = keep(NoteA, u"back.txt"_s, "v1");
    QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
    ASSERT_TRUE(writeBytes(path, "v2"));
    settle(1);
    EXPECT_EQ(monitor.seen(), (std::vector<std::pair<QString, quint32>>{{u"back.txt"_s, 3}}));
    EXPECT_EQ(times(lost), 1);
}

TEST_F(MonitorTest, ARescanStopsBetweenFilesWhenAskedFromAnotherThread)
{
    constexpr int Notes = 40;
    for (int i = 0; i < Notes; ++i) {
        const QString note = u"%1"_s.arg(i, 32, 10, QChar(u'0'));
        keep(note, u"f.txt"_s, "f");
        monitor.notes[note] = {record(0, {}, u"n.html"_s)};
    }
    EXPECT_EQ(monitor.RescanKeptCopies([] { return false; }),
              AttachFileMonitor::RescanResult::Finished);
    EXPECT_EQ(monitor.asked, Notes);

    // Stop is asked, from another thread, while the fifth file is being compared.
    monitor.asked = 0;
    std::atomic<bool> stop{false};
    monitor.onAsk = [&] {
        if (monitor.asked == 5)
            std::thread([&] { stop = true; }).join();
    };
    AttachFileMonitor::RescanResult result{};
    std::thread rescan([&] { result = monitor.RescanKeptCopies([&] { return stop.load(); }); });
    rescan.join();
    EXPECT_EQ(result, AttachFileMonitor::RescanResult::Stopped);
    EXPECT_EQ(monitor.asked, 5);
}

constexpr quint16 White = 0x7FFF;
constexpr quint16 Frame = (25 << 10) | (25 << 5) | 25; // 0xC8C8C8 in 5-5-5

int advance(const QString &text)
{
    return QFontMetrics(FileThumbnail::thumbnailFont()).horizontalAdvance(text);
}

// A text measuring exactly `px`: a run of 'm', then runs of two narrower characters.
QString textOfWidth(int px)
{
    QString prefix;
    while (advance(prefix + u'm') <= px - 40)
        prefix += u'm';
    const QString pool = u"il.,:|!1tfjrIae"_s;
    for (QChar a : pool) {
        for (QChar b : pool) {
            for (int i = 0; i <= 40; ++i) {
                for (int j = 0; j <= 4; ++j) {
                    const QString text = prefix + QString(i, a) + QString(j, b);
                    if (!text.isEmpty() && advance(text) == px)
                        return text;
                }
            }
        }
    }
    ADD_FAILURE() << "no text of width " << px;
    return {};
}

struct Card
{
    QByteArray bytes;
    int width() const { return qFromLittleEndian<qint32>(bytes.constData() + 18); }
    int stride() const { return (width() * 2 + 3) & ~3; }
    quint16 pixel(int x, int y) const // rows are stored bottom-up
    {
        return qFromLittleEndian<quint16>(bytes.constData() + 54 + (47 - y) * stride() + 2 * x);
    }
};

class FileThumbnailTest : public ::testing::Test
{
protected:
    Card draw(const QString &name, const QString &info)
    {
        const QString path = m_dir.filePath(u"card.bmp"_s);
        int size = -1;
        EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_WORD, name, info, path, &size), 1);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        Card card{file.readAll()};
        EXPECT_EQ(size, card.bytes.size());
        return card;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FileThumbnailTest, WidthStrideAndHeadersFollowTheLongerLineCutWithAnEllipsis)
{
    const QByteArray rest = QByteArray::fromHex("30000000 0100 1000") + QByteArray(24, '\0');
    const std::vector<std::tuple<int, int, int, QByteArray>> cases{
        // name width, info width, file size, file header + info header up to the height
        {10, 10, 6582, QByteArray::fromHex("424d b6190000 00000000 36000000 28000000 44000000")},
        {11, 10, 6774, QByteArray::fromHex("424d 761a0000 00000000 36000000 28000000 45000000")},
        {4, 30, 8502, QByteArray::fromHex("424d 36210000 00000000 36000000 28000000 58000000")},
        {741, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 1f030000")},
        {742, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 20030000")},
        {743, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 20030000")}};
    for (const auto &[nameWidth, infoWidth, fileSize, header] : cases) {
        SCOPED_TRACE(nameWidth);
        const Card card = draw(textOfWidth(nameWidth), textOfWidth(infoWidth));
        ASSERT_EQ(card.bytes.size(), fileSize);
        EXPECT_EQ(card.bytes.left(54).toHex(), QByteArray(header + rest).toHex());
        const int pad = card.stride() - 2 * card.width();
        for (int row = 0; row < 48; ++row)
            EXPECT_EQ(card.bytes.mid(54 + row * card.stride() + 2 * card.width(), pad),
                      QByteArray(pad, '\0'));
    }
    EXPECT_EQ(draw(QString(), QString()).width(), 58);

    const QString longName = textOfWidth(60).repeated(15); // 900 pixels
    const QString elided
        = QFontMetrics(FileThumbnail::thumbnailFont()).elidedText(longName, Qt::ElideRight, 742);
    ASSERT_TRUE(elided.endsWith(QChar(0x2026)));
    const Card cut = draw(longName, longName);
    EXPECT_EQ(cut.width(), 800);
    EXPECT_EQ(cut.bytes, draw(elided, longName).bytes);

    int size = -1;
    const QString path = m_dir.filePath(u"missing/card.bmp"_s);
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, path, &size), 0);
    EXPECT_EQ(size, -1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FileThumbnailTest, BackgroundFrameIconAndTheTextOfTimeAndSize)
{
    const QString name = u"季度报告 Quarterly.docx"_s;
    const QString info = u"2026/03/04 05:06 1.50KB"_s;
    const Card card = draw(name, info);
    const int w = card.width();
    ASSERT_EQ(w, std::max(advance(name), advance(info)) + 58);
    EXPECT_EQ(card.bytes, draw(name, info).bytes) << "the same card must give the same bytes";

    for (int x = 0; x < w; ++x) {
        const quint16 edge = (x == 0 || x == w - 1) ? White : Frame; // corners are cut
        ASSERT_EQ(card.pixel(x, 0), edge) << x;
        ASSERT_EQ(card.pixel(x, 47), edge) << x;
    }
    for (int y = 1; y < 47; ++y) {
        ASSERT_EQ(card.pixel(0, y), Frame) << y;
        ASSERT_EQ(card.pixel(w - 1, y), Frame) << y;
    }
    const QImage icon
        = QImage(FindProgramFile(u"res/word.bmp"_s)).convertToFormat(QImage::Format_RGB555);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    // Everything else is the icon at (6, 8), white, or text inside its two boxes.
    int inked[3] = {0, 0, 0}; // name, info, first (CJK) character of the name
    for (int y = 1; y < 47; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            const quint16 p = card.pixel(x, y);
            if (x >= 6 && x < 38 && y >= 8 && y < 40) {
                ASSERT_EQ(p, reinterpret_cast<const quint16 *>(icon.constScanLine(y - 8))[x - 6]);
                continue;
            }
            if (p == White)
                continue;
            const bool inName = y >= 8 && y < 22 && x >= 50 && x < w - 8;
            const bool inInfo = y >= 26 && y < 40 && x >= 50 && x < w - 8;
            ASSERT_TRUE(inName || inInfo) << "ink outside the text boxes at " << x << "," << y;
            EXPECT_GE(p & 31, 0x44 >> 3) << "darker than the text colour";
            ++inked[inName ? 0 : 1];
            inked[2] += inName && x < 60;
        }
    }
    EXPECT_GT(inked[0], 20);
    EXPECT_GT(inked[1], 20);
    EXPECT_GT(inked[2], 10);

    // The info line: the time and the size.
    EXPECT_EQ(FileThumbnail::FormatFileInfo(2048, u"2026/01/02 03:04"_s),
              u"2026/01/02 03:04 2.00KB"_s);
    EXPECT_EQ(FileThumbnail::FormatFileInfo(0, u"t"_s), u"t 0B"_s);
    EXPECT_EQ(FileThumbnail::FormatFileInfo(-1, u"t"_s), u"t 17179869184.00G"_s)
        << "widened with its sign";
    const QString before = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    const QString now = FileThumbnail::FormatFileInfo(1024, QString());
    const QString after = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    EXPECT_TRUE(now == before + u" 1024B"_s || now == after + u" 1024B"_s) << now.toStdString();
}

TEST(FileClassifier, EveryListedExtensionInAnyCasePicturesBySubstringAndTheRecordedOne)
{
    const std::vector<std::tuple<FILE_TYPE, QString, QString>> kinds{
        {FT_WORD, u"doc docx dotx dotm"_s, u"word.bmp"_s},
        {FT_EXCEL, u"xls xlsx xlsm xltx xlsb xlam"_s, u"excel.bmp"_s},
        {FT_PPT, u"ppt pptx pptm ppsx potx"_s, u"ppt.bmp"_s},
        {FT_TEXT, u"txt xml sql"_s, u"text.bmp"_s},
        {FT_PDF, u"pdf"_s, u"pdf.bmp"_s},
        {FT_ZIP, u"zip rar 7z iso tar cab bz2 jar"_s, u"zip.bmp"_s},
        {FT_IMAGE, u"jpg png bmp gif jpeg psd tiff tga"_s, u"image.bmp"_s},
        {FT_VIDEO, u"avi wmv flv 3gp mkv mov rmvb mp4"_s, u"video.bmp"_s},
        {FT_AUDIO, u"mp3 wav wma ogg"_s, u"audio.bmp"_s},
        {FT_HTML, u"html"_s, u"html.bmp"_s},
        {FT_UNKNOW, u"htm tif docm unknow .doc do pdfx dir"_s, u"unknow.bmp"_s},
    };
    for (const auto &[type, exts, icon] : kinds) {
        for (const QString &ext : exts.split(u' ')) {
            QString mixed = ext;
            for (qsizetype i = 0; i < mixed.size(); i += 2)
                mixed[i] = mixed[i].toUpper();
            for (const QString &spelling : {ext, ext.toUpper(), mixed})
                EXPECT_EQ(FileClassifier::GetFileTypeByExt(spelling), type)
                    << spelling.toStdString();
        }
        EXPECT_EQ(FileClassifier::iconFileName(type), icon);
    }
    EXPECT_EQ(FileClassifier::GetFileTypeByExt(QString()), FT_UNKNOW);
    EXPECT_EQ(FileClassifier::iconFileName(11), u"unknow.bmp"_s);
    EXPECT_EQ(FileClassifier::iconFileName(-1), u"unknow.bmp"_s);

    // Fragments of "jpg jpeg gif bmp png" count; an empty extension occurs everywhere.
    for (const QString &name : {u"photo.JPEG"_s, u"a.Png"_s, u"/home/u/x.GIF"_s, u"a.bmp"_s,
                                u"a.pe"_s, u"a.jp"_s, u"name."_s, u"a.g g"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 1) << name.toStdString();
    // psd and tiff get the image icon but are not shown as pictures.
    for (const QString &name : {u"layers.psd"_s, u"scan.tiff"_s, u"README"_s, u"a.jpgx"_s,
                                u"dir.jpg/file"_s, u"a.unknow"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 0) << name.toStdString();

    EXPECT_EQ(FileClassifier::GetFileStuffx(u"report.Final.PDF"_s), u"pdf"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"README"_s), u"unknow"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"name."_s), u""_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"报告.DOCX"_s), u"docx"_s);
}

TEST_F(MonitorTest, AChangeToANoteNotOpenRewritesTheNoteFileTheHostHoldsWhenItIsHandled)
{
    const QString oldHash = u"11111111111111111111111111111111"_s;
    const QString element = attachElement(oldHash + u".txt"_s, oldHash + u".bmp"_s, u"plan.txt"_s);
    const auto listed = [&](const QString &html) {
        QString content = html + element;
        NewAttachFile noteFile;
        EXPECT_EQ(NoteHtmlRW::SaveHtmlTextToFile(content, noteFile, nullptr), 1);
        return std::vector<AttachmentFile>{record(0, {}, noteFile.storeName),
                                           record(2, u"plan.txt"_s, oldHash + u".txt"_s)};
    };
    // The watcher looks while the host holds the earlier save ...
    monitor.notes[NoteB] = listed(u"<p>first words</p>"_s);
    const QString plan = keep(NoteB, u"plan.txt"_s, "plan B");
    monitor.DoAttachFileSync(plan);
    ASSERT_EQ(monitor.announced().size(), 1u);
    const SyncFileModifyArg arg = monitor.announced().front();
    // ... and the user's later edits are saved before the change is handled.
    monitor.notes[NoteB] = listed(u"<p>first words, then more</p>"_s);

    EditorHost host;
    const QString store = Internal::AttachResync::newStoreName(arg);
    ASSERT_EQ(Internal::AttachResync::updateStoredNote(arg, monitor, store, u"s.bmp"_s,
                                                       u"2026-01-02 03:04:05"_s, &host),
              1);
    ASSERT_EQ(host.saves.size(), 1u);
    const QString written = QString::fromUtf8(readBytes(host.saves[0].files.front().filePath));
    EXPECT_TRUE(written.contains(u"<p>first words, then more</p>"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"userdata\\attachment\\"_s + store)) << written.toStdString();

    // A note the host no longer knows is left alone.
    monitor.notes.erase(NoteB);
    EXPECT_EQ(Internal::AttachResync::updateStoredNote(arg, monitor, store, u"s.bmp"_s,
                                                       u"2026-01-02 03:04:05"_s, &host),
              0);
    EXPECT_EQ(host.saves.size(), 1u);
}
