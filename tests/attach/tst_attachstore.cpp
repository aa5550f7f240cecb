// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Attachments without a page: the store and its thumbnail cards, the monitor of kept copies,
// adding files (drops, the file dialog, pasted files), and the clipboard's byte layouts, its
// place on the system clipboard, the editor's keys and what a paste refuses; the handler's calls
// into the page and the page's commands, with a browser that has no page.
#include "attach/attachadder_p.h"
#include "attach/attachfilemonitor.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/iattachfilelistsource.h"
#include "attach/syncfilemodifyevent.h"
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "clipboard/clipboardformats_p.h"
#include "clipboard/clipboardlayout_p.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "common/uilanguage.h"
#include "editor/attachresync_p.h"
#include "editorhost.h"
#include "fakebrowser.h"
#include "highlight/pagehighlighter_p.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "testhelpers.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QString HelloMd5 = u"5d41402abc4b2a76b9719d911017c592"_s; // md5 of "hello"
const QString Time = u"2026/03/04 05:06"_s;
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

namespace {

// The kept names of the files the page was asked to insert, in order.
QStringList addedNames(const FakeBrowser &browser)
{
    QStringList names;
    for (const QString &arg : browser.argsOf(u"AddPicToEditor"_s)) {
        const qsizetype at = arg.indexOf(u"\"exdata\" : \""_s) + 12;
        QString exdata = arg.mid(at, arg.indexOf(u'\n', at) - at - 2);
        exdata.replace(u"\\\""_s, u"\""_s);
        names.append(AttachMarkup::GetOrigNameFromJson(exdata.toUtf8()));
    }
    return names;
}

class Handler : public ZvWebNoteHandler
{
public:
    using ZvWebNoteHandler::Format;
    using ZvWebNoteHandler::OnDragEnter;
    using ZvWebNoteHandler::OnDragLeave;
    using ZvWebNoteHandler::OnDragOver;
    using ZvWebNoteHandler::OnDrop;
    using ZvWebNoteHandler::OnExecuteFun;
    using ZvWebNoteHandler::OnGetFunId;

    // Runs a page command as the browser delivers it: arguments last first.
    long command(const QString &name, const QString &json, const QString &exdata = QString())
    {
        QVariant result;
        return OnExecuteFun(1, {exdata, json, name}, result, QString());
    }
};

// An attachment element as the page keeps it.
QString attachElement(const QString &storeName, const QString &showName, const QString &origName)
{
    return u"<img class=\"userdata\\attachment\\"_s + storeName
        + u"\" src=\"../userdata\\attachment\\"_s + showName + u"\" zv_exdata='"_s
        + AttachMarkup::FormatOrigNameToJson(origName) + u"'>"_s;
}

class AddingTest : public ::testing::Test
{
protected:
    void SetUp() override { attach(handler); }
    // Connects a handler to the page, with a fresh note folder.
    void attach(ZvWebNoteHandler &h)
    {
        h.SetIEWebBrowser(&browser);
        h.SetCurNoteGuid(CreateGuidString());
    }

    QString makeFile(const QString &name, qint64 size, char fill = 'x')
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, QByteArray(size, fill)));
        return path;
    }
    DropFileInfo record(const QString &path)
    {
        DropFileInfo info;
        EXPECT_TRUE(DropFiles::BuildDropFileInfo(path, info)) << path.toStdString();
        return info;
    }
    // Puts one non-picture attachment into the page, recorded at `size` bytes.
    void holdAttachment(ZvWebNoteHandler &h, const QString &origName, quint64 size)
    {
        const QString store
            = QString::number(qHash(origName), 16).rightJustified(32, u'0') + u".txt"_s;
        browser.html += attachElement(store, store.left(32) + u".bmp"_s, origName);
        h.InitAttachFileSize({{store, size}, {store.left(32) + u".bmp"_s, 1}});
    }

    QTemporaryDir dir;
    FakeBrowser browser;
    Handler handler;
    RecordingPrompts prompts;
};

const QString TooLarge = u"最大支持上传10M附件！"_s;
const QString Folder = u"暂不支持文件夹粘贴！"_s;
const QString Empty = u"不能上传文件大小为0的附件！"_s;

TEST_F(AddingTest, BatchKeepsTheNoteWithinTenMebibytesSayingSoInTheChosenLanguage)
{
    const struct
    {
        quint64 existingRecorded; // recorded size of one attachment already in the note; 0: none
        std::vector<qint64> sizes; // -1: a folder
        QStringList added;
        QStringList messages;
    } cases[]
        = {{0, {10485760}, {u"f0.dat"_s}, {}},
           {0, {10485761}, {}, {TooLarge}},
           // 10,485,000 counted (recorded one more): 1,000 more passes the limit, 700 does not.
           {10485001, {1000, 700}, {u"f1.dat"_s}, {TooLarge}},
           {0, {5, -1, 7}, {u"f0.dat"_s, u"f2.dat"_s}, {Folder}},
           // each message once, in order
           {10485001, {0, 2000, -1, 0, -1, 3000, 9}, {u"f6.dat"_s}, {Folder, Empty, TooLarge}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sizes.front());
        Handler fresh;
        attach(fresh);
        browser.html.clear();
        browser.calls.clear();
        prompts.clear();
        if (c.existingRecorded)
            holdAttachment(fresh, u"old.txt"_s, c.existingRecorded);
        std::vector<DropFileInfo> batch;
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            const QString path = dir.filePath(u"f%1.dat"_s.arg(i));
            QFile::remove(path);
            QDir(path).removeRecursively();
            if (c.sizes[i] < 0)
                QDir().mkpath(path);
            else
                makeFile(u"f%1.dat"_s.arg(i), c.sizes[i], char('a' + i));
            batch.push_back(record(path));
        }
        fresh.AddDropFileToEditor(batch);
        EXPECT_EQ(addedNames(browser), c.added);
        EXPECT_EQ(prompts.messages(), c.messages);
    }

    // The limit's message is shown in the chosen language and logged as written.
    browser.html.clear();
    const DropFileInfo tooLarge = record(makeFile(u"big.dat"_s, 10485761));
    const std::pair<QString, QString> languages[] = {
        {u"en_GB"_s, u"A note can hold at most 10 MB of attachments."_s}, {u"zh_TW"_s, TooLarge}};
    for (const auto &[locale, shown] : languages) {
        EXPECT_EQ(UiLanguage::Set(locale), locale == u"en_GB" ? u"en"_s : u"zh_CN"_s);
        prompts.clear();
        LogCapture log;
        handler.AddDropFileToEditor({tooLarge});
        EXPECT_EQ(prompts.messages(), QStringList{shown}) << locale.toStdString();
        EXPECT_EQ(log.lines(), Lines{u"[MESSAGE] 最大支持上传10M附件！"_s});
    }
    UiLanguage::Reset();
    prompts.clear();
    handler.AddDropFileToEditor({tooLarge});
    EXPECT_EQ(prompts.messages(), QStringList{TooLarge});
}

TEST_F(AddingTest, ExistingTotalCountsEachFileOneByteLessAndAnUnknownSizeRefusesTheBatch)
{
    // Three cards of 100 bytes with 2,000-byte thumbnails, and a picture listed twice.
    for (int i = 0; i < 3; ++i) {
        const QString store = u"%1.doc"_s.arg(i, 32, 10, QLatin1Char('0'));
        const QString thumb = u"%1.bmp"_s.arg(i + 10, 32, 10, QLatin1Char('0'));
        browser.html += attachElement(store, thumb, u"r%1.doc"_s.arg(i));
        handler.InitAttachFileSize({{store, 100}, {thumb, 2000}});
    }
    quint64 total = 7;
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 6294u);

    const QString picture = u"%1.png"_s.arg(99, 32, 10, QLatin1Char('0'));
    browser.html += attachElement(picture, picture, u"p.png"_s);
    handler.InitAttachFileSize({{picture, 1000}});
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 6294u + 1998u);

    browser.html.clear();
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 0u);

    const QString store = u"%1.txt"_s.arg(1, 32, 10, QLatin1Char('0'));
    const QString thumb = u"%1.bmp"_s.arg(2, 32, 10, QLatin1Char('0'));
    browser.html = attachElement(store, thumb, u"报告.txt"_s);
    const DropFileInfo file = record(makeFile(u"new.txt"_s, 3));

    // Absent, then low 32 bits zero, then negative as a 32-bit number.
    for (const std::optional<quint64> size :
         {std::optional<quint64>(), std::optional<quint64>(0x100000000ull),
          std::optional<quint64>(0x80000000ull)}) {
        Handler fresh;
        attach(fresh);
        if (size)
            fresh.InitAttachFileSize({{store, *size}, {thumb, 10}});
        prompts.clear();
        LogCapture log;
        quint64 known = 5;
        EXPECT_EQ(fresh.GetExistAttTotalSize(known), 0);
        fresh.AddDropFileToEditor({file});
        EXPECT_EQ(
            log.lines(),
            (Lines{u"[ERROR] 查询报告.txt附件大小失败！"_s, u"[ERROR] 查询报告.txt附件大小失败！"_s,
                   u"[ERROR] 获取笔记编辑器附件总大小失败！"_s,
                   u"[MESSAGE] 获取笔记编辑器附件总大小失败！"_s}));
        EXPECT_EQ(prompts.messages(), QStringList{u"获取笔记编辑器附件总大小失败！"_s});
    }
    EXPECT_TRUE(browser.argsOf(u"AddPicToEditor"_s).isEmpty());
}

TEST_F(AddingTest, PageCallTextBookkeepingAndRefusals)
{
    const QString png = dir.filePath(u"红.png"_s);
    ASSERT_TRUE(filledImage(4, 3, Qt::red).save(png));
    const QString txt = makeFile(u"notes.txt"_s, 300);
    const QString md5Png = CalcFileMd5(png);
    const QString md5Txt = CalcFileMd5(txt);

    browser.replies[u"AddPicToEditor"_s]
        = {std::nullopt, u"not json"_s, u"{\"result\":false,\"errmsg\":\"full\"}"_s};
    LogCapture log;
    handler.AddDropFileToEditor({record(png), record(txt), record(makeFile(u"z.txt"_s, 1))});

    const QStringList added = browser.argsOf(u"AddPicToEditor"_s);
    ASSERT_EQ(added.size(), 3);
    EXPECT_EQ(added.at(0),
              u"{\n\t\"exdata\" : \"{\\\"OrigName_B64\\\":\\\"57qiLnBuZw==\\\"}\",\n"
              "\t\"picpath\" : \"../userdata\\\\attachment\\\\"_s
                  + md5Png + u".png\",\n\t\"strData\" : \"userdata\\\\attachment\\\\"_s + md5Png
                  + u".png\",\n\t\"type\" : \"png\"\n}\n"_s);
    EXPECT_EQ(log.lines(),
              (Lines{u"添加附件到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！"_s,
                     u"添加附件到笔记编辑器，解析js返回json字符串失败！"_s,
                     u"添加附件到笔记编辑器，错误信息：full"_s}));

    // Sizes and times: the picture once, the card file and its thumbnail.
    const auto &sizes = handler.attachFileSizes();
    EXPECT_EQ(sizes.at(md5Png + u".png"_s), quint64(QFileInfo(png).size()));
    EXPECT_EQ(sizes.at(md5Txt + u".txt"_s), 300u);
    const auto &times = handler.GetAttachModifyCache();
    EXPECT_TRUE(times.count(md5Png + u".png红.png"_s));
    EXPECT_TRUE(times.count(md5Txt + u".txtnotes.txt"_s));
    int thumbs = 0;
    for (const auto &[name, size] : sizes) {
        if (name.endsWith(u".bmp"_s)) {
            ++thumbs;
            EXPECT_EQ(size, quint64(QFileInfo(GetAttachRootDir() + u'/' + name).size()));
            EXPECT_TRUE(times.count(name + name));
        }
    }
    EXPECT_EQ(thumbs, 2);
    EXPECT_EQ(sizes.size(), 5u);
}

TEST_F(AddingTest, BackslashNamesAreKeptAndStoreFailuresAreShown)
{
    // An ordinary Linux name: stored under a safe name, the markup keeps the name itself.
    const QString path = makeFile(u"report\\2024.txt"_s, 3);
    handler.AddDropFileToEditor({record(path)});
    EXPECT_EQ(addedNames(browser), QStringList{u"report\\2024.txt"_s});
    EXPECT_EQ(readBytes(GetAttachRootDir() + u'/' + handler.GetCurNoteGuid()
                        + u"/report\uFF3C2024.txt"_s),
              "xxx");
    EXPECT_EQ(prompts.messages(), QStringList{});

    // A full store: the user is told which file and why, and the page gets nothing.
    const auto restore = qScopeGuard([] { Internal::setWriteCallForTesting(nullptr); });
    Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    handler.AddDropFileToEditor({record(makeFile(u"a.txt"_s, 4))});
    EXPECT_EQ(prompts.messages(),
              QStringList{u"附件未能添加：\u201Ca.txt\u201D (No space left on device)"_s});
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);
}

TEST_F(AddingTest, ListStopsAtTheFirstFileInUseOrInvalid)
{
    const QString first = makeFile(u"1.txt"_s, 4, '1');
    const QString second = makeFile(u"2.txt"_s, 4, '2');
    const QString third = makeFile(u"3.txt"_s, 4, '3');

    const int fd = ::open(QFile::encodeName(second).constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    handler.InsertLocalFile({first, second, third});
    ::close(fd);
    EXPECT_EQ(addedNames(browser), QStringList{u"1.txt"_s});
    EXPECT_EQ(prompts.messages(), QStringList{u"不能添加正在编辑的文件作为附件！"_s});

    // A record lock counts too.
    const int rfd = ::open(QFile::encodeName(third).constData(), O_RDWR);
    struct flock lock = {.l_type = F_RDLCK, .l_whence = SEEK_SET, .l_start = 0, .l_len = 0};
    ASSERT_EQ(::fcntl(rfd, F_SETLK, &lock), 0);
    EXPECT_EQ(DropFiles::CheckExclusiveOpen(third), DropFiles::OpenInUse);
    ::close(rfd);
    EXPECT_EQ(DropFiles::CheckExclusiveOpen(third), DropFiles::OpenOk);

    prompts.clear();
    const QString missing = dir.filePath(u"gone.txt"_s);
    handler.InsertLocalFile({missing, third});
    handler.InsertLocalFile({dir.path()});
    EXPECT_EQ(prompts.messages(),
              (QStringList{u"无效文件路径:"_s + missing, u"无效文件路径:"_s + dir.path()}));
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);

    // The dialog: chosen files in its order; cancelling adds nothing.
    prompts.clear();
    prompts.answerPaths({second, third});
    handler.OnAddAttachment();
    handler.OnAddAttachment();
    EXPECT_EQ(addedNames(browser), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s}));
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown().at(1).kind, RecordingPrompts::Shown::OpenFiles);
}

TEST_F(AddingTest, PipesDevicesAndUnopenableFilesAreRefusedByNameWithoutWaiting)
{
    const QString file = makeFile(u"ok.txt"_s, 5);
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString loop = dir.filePath(u"loop"_s);
    ASSERT_TRUE(QFile::link(loop, loop));
    const QList<QUrl> urls = {QUrl::fromLocalFile(pipe), QUrl::fromLocalFile(file),
                              QUrl::fromLocalFile(loop), QUrl::fromLocalFile(u"/dev/null"_s)};
    // Dropped: the pipe has no writer, so a blocking open would never return.
    QMimeData dropped;
    dropped.setUrls(urls);
    Qt::DropActions effect = Qt::CopyAction;
    LogCapture log;
    EXPECT_EQ(handler.OnDragEnter(&dropped, {}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDrop(&dropped, {}, {}, effect), S_OK);
    EXPECT_EQ(addedNames(browser), QStringList{u"ok.txt"_s});
    const QString notRegular = u"Only regular files can be attached; not attached: \u201C"_s + pipe
        + u"\u201D, \u201C/dev/null\u201D"_s;
    const QString unopenable
        = u"These files cannot be opened and were not attached: \u201C"_s + loop + u"\u201D"_s;
    EXPECT_EQ(prompts.messages(), (QStringList{notRegular, unopenable}));
    EXPECT_EQ(log.lines(), (Lines{u"[MESSAGE] "_s + notRegular, u"[MESSAGE] "_s + unopenable}));

    // Pasted, in Chinese: the same refusals.
    EXPECT_EQ(UiLanguage::Set(u"zh_CN"_s), u"zh_CN"_s);
    const auto reset = qScopeGuard([] { UiLanguage::Reset(); });
    prompts.clear();
    auto *listed = new QMimeData;
    listed->setUrls(urls);
    QGuiApplication::clipboard()->setMimeData(listed);
    EXPECT_EQ(handler.DoCtrlV(), S_OK);
    EXPECT_EQ(prompts.messages(),
              (QStringList{u"只能添加普通文件，未添加：\u201C"_s + pipe
                               + u"\u201D, \u201C/dev/null\u201D"_s,
                           u"以下文件无法打开，未添加：\u201C"_s + loop + u"\u201D"_s}));
    EXPECT_EQ(addedNames(browser), (QStringList{u"ok.txt"_s, u"ok.txt"_s}));
    EXPECT_EQ(DropFiles::ProbeFile(pipe), DropFiles::Probe::NotRegular);
}

TEST_F(AddingTest, DragsOfFilesAndImagesAreTakenOthersGoToThePage)
{
    const QString file = makeFile(u"d.txt"_s, 8);
    QDir().mkpath(dir.filePath(u"sub"_s));
    Qt::DropActions effect = Qt::CopyAction;

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.filePath(u"sub"_s)),
                   QUrl(u"https://example.org/x.txt"_s)});
    EXPECT_EQ(handler.OnDragEnter(&files, {}, {}, effect), S_OK);
    ASSERT_EQ(handler.dropFiles().size(), 2u);
    EXPECT_EQ(handler.dropFiles().at(1).displayName, u"sub"_s);
    EXPECT_EQ(handler.dropFiles().at(1).fileExt, u"dir"_s);
    EXPECT_EQ(handler.OnDragOver({}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDrop(&files, {}, {}, effect), S_OK);
    EXPECT_EQ(addedNames(browser), QStringList{u"d.txt"_s});
    EXPECT_EQ(prompts.messages(), QStringList{Folder});

    // An image leaves a temporary JPEG even when the drag leaves without a drop.
    QMimeData picture;
    picture.setData(u"image/png"_s, pngBytes(filledImage(5, 5, Qt::blue)));
    EXPECT_EQ(handler.OnDragEnter(&picture, {}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDragLeave(), S_OK);
    ASSERT_EQ(handler.dropFiles().size(), 1u);
    const DropFileInfo &temp = handler.dropFiles().at(0);
    EXPECT_TRUE(temp.isTemp);
    EXPECT_EQ(temp.fileExt, u"jpg"_s);
    EXPECT_TRUE(temp.srcPath.startsWith(GetTempDirectory()));
    EXPECT_EQ(QImage(temp.srcPath).size(), QSize(5, 5));
    QFile::remove(temp.srcPath);

    QMimeData text;
    text.setText(u"words"_s);
    EXPECT_EQ(handler.OnDragEnter(nullptr, {}, {}, effect), E_NOTIMPL);
    EXPECT_EQ(handler.OnDragEnter(&text, {}, {}, effect), E_NOTIMPL);
    EXPECT_TRUE(handler.dropFiles().empty());
    EXPECT_EQ(handler.OnDrop(&text, {}, {}, effect), E_NOTIMPL);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);
}

TEST_F(AddingTest, ReadOnlyEditorRefusesEveryWay)
{
    handler.SetReadOnly(1);
    ASSERT_EQ(handler.IsReadOnly(), 1);
    const QString file = makeFile(u"r.txt"_s, 8);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file)});
    Qt::DropActions effect = Qt::CopyAction;

    EXPECT_EQ(handler.OnDragEnter(&files, {}, {}, effect), 1);
    EXPECT_EQ(handler.OnDragEnter(nullptr, {}, {}, effect), 1);
    handler.AddDropFileToEditor({record(file)});
    handler.InsertLocalFile({file});
    prompts.answerPaths({file});
    handler.OnAddAttachment();

    EXPECT_TRUE(browser.argsOf(u"AddPicToEditor"_s).isEmpty());
    EXPECT_TRUE(prompts.shown().empty());
}

const QByteArray EmptyLayout
    = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000172\r\n"
      "StartFragment:00000111\r\nEndFragment:00000136\r\n<html><body>\r\n"
      "<!--StartFragment -->\r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>";
const QString HtmlFormat = u"application/x-qt-windows-mime;value=\"HTML Format\""_s;

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

TEST(ClipboardLayout, HtmlFormatAndFileListBytesAndFragmentOffsetsOutOfPlace)
{
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(""), EmptyLayout);
    // Non-ASCII counts in bytes; a zero byte ends the fragment.
    const QByteArray fragment = u"<b>笔记</b>"_s.toUtf8();
    const QByteArray layout = *ClipboardLayout::buildHtmlFormat(QByteArray(fragment + '\0' + "x"));
    EXPECT_EQ(layout.mid(41, 8) + layout.mid(87, 8), "0000018500000149") << "172 + 13 bytes";
    EXPECT_EQ(ClipboardLayout::htmlFragment(layout),
              QByteArray("<!--StartFragment -->\r\n" + fragment + "\r\n"));
    // The offsets have eight digits: the largest text is 99,999,999 bytes.
    QByteArray large(99999999 - 172, 'x');
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(large).value_or("").mid(41, 8), "99999999");
    EXPECT_FALSE(ClipboardLayout::buildHtmlFormat(large.append('x')));

    const QString first = u"/tmp/a.txt"_s, both = first + QChar(0) + u"/home/笔记/b"_s;
    const QByteArray block = ClipboardLayout::buildFileList({first, both.mid(11)});
    const QByteArray names(reinterpret_cast<const char *>(both.utf16()), 2 * both.size());
    EXPECT_EQ(block,
              QByteArray::fromHex("1400000000000000000000000000000001000000") + names
                  + QByteArray(4, '\0'))
        << "22 + 2 x 11 + 2 x 11 bytes, little-endian UTF-16";
    EXPECT_EQ(ClipboardLayout::dropEffect(), QByteArray::fromHex("01000000"));

    // Fragment offsets out of place.
    const QByteArray tail = "\r\n<html><body>abcdef</body></html>"; // 36 bytes of text
    for (const char *header :
         {"EndFragment:10", "StartFragment:x EndFragment:10", "StartFragment:-1 EndFragment:10",
          "StartFragment:20 EndFragment:10", "StartFragment:10 EndFragment:67",
          "StartFragment:4294967306 EndFragment:10"})
        EXPECT_FALSE(ClipboardLayout::htmlFragment(QByteArray(header + tail))) << header;
    EXPECT_EQ(ClipboardLayout::htmlFragment("StartFragment: +3\nEndFragment:\t7 <p>"), "rtFr");
    EXPECT_FALSE(
        ClipboardLayout::htmlFragment(QByteArray("StartFragment:0 EndFragment:31\0 x", 33)));
}

struct Keys : ZvWebNoteHandler, QObject
{
    long key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        const QKeyEvent event(type, key, modifiers);
        return OnTranslateAccelerator(&event);
    }
    // Presses and releases `key` with Control; the press's answer.
    long click(int key)
    {
        const long pressed = this->key(QEvent::KeyPress, key);
        this->key(QEvent::KeyRelease, key);
        return pressed;
    }
    // Counts the copy notifications posted to the browser's inner window.
    bool eventFilter(QObject *, QEvent *event) override
    {
        copyNotifications += event->type() == CopyNotifyEvent;
        return false;
    }
    int copyNotifications = 0;
};

TEST(ClipboardFormats, EachWriteReplacesTheClipboardAndReadsBackAndKeysRouteInOrder)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"before"_s);
    EXPECT_FALSE(WriteClipboardFileList({}));
    EXPECT_EQ(clipboard->text(), u"before"_s);
    ASSERT_TRUE(WriteClipboardFileList({u"/tmp/a b.txt"_s, u"/tmp/笔记"_s}));
    EXPECT_EQ(clipboard->mimeData()->formats(),
              QStringList({u"text/uri-list"_s, u"x-special/gnome-copied-files"_s,
                           u"application/x-qt-windows-mime;value=\"CF_HDROP\""_s,
                           u"application/x-qt-windows-mime;value=\"Preferred DropEffect\""_s}));
    EXPECT_EQ(clipboard->mimeData()->data(u"x-special/gnome-copied-files"_s),
              "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/%E7%AC%94%E8%AE%B0");
    QByteArray fragment;
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));

    ASSERT_TRUE(WriteClipboardHtml(""));
    EXPECT_EQ(clipboard->mimeData()->formats(), QStringList({u"text/html"_s, HtmlFormat}));
    EXPECT_EQ(clipboard->mimeData()->data(HtmlFormat), EmptyLayout);
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, "<!--StartFragment -->\r\n\r\n");

    // Without the layout, plain HTML is the fragment; a broken layout is not passed over.
    auto *data = new QMimeData;
    data->setHtml(u"<i>ü</i>"_s);
    clipboard->setMimeData(data);
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, u"<i>ü</i>"_s.toUtf8());
    data->setData(HtmlFormat, "StartFragment:5 EndFragment:2");
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));

    // The editor's keys are routed in table order.
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    browser.inner.installEventFilter(&handler);
    using P = QEvent::Type;
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_F5, Qt::NoModifier), S_OK);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::ShiftModifier), S_OK) << "F5 still down";
    EXPECT_EQ(handler.key(P::KeyRelease, Qt::Key_F5, Qt::NoModifier), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::NoModifier), E_NOTIMPL);
    for (const int key : {Qt::Key_O, Qt::Key_P, Qt::Key_N, Qt::Key_F}) {
        EXPECT_EQ(handler.click(key), key == Qt::Key_F ? E_NOTIMPL : S_OK) << key;
        EXPECT_EQ(handler.key(P::KeyRelease, key), E_NOTIMPL);
    }
    // Control+C, then V pressed while C is held: both act as Control+C.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_C), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), E_NOTIMPL);
    QCoreApplication::sendPostedEvents(&browser.inner, CopyNotifyEvent);
    EXPECT_EQ(handler.copyNotifications, 2);
    handler.key(P::KeyRelease, Qt::Key_Control, Qt::NoModifier);

    // A listed path that climbs out is not taken, so nothing is added.
    auto *listed = new QMimeData;
    listed->setUrls({QUrl::fromLocalFile(u"/tmp/x/../a.txt"_s)});
    QGuiApplication::clipboard()->setMimeData(listed);
    LogCapture log;
    EXPECT_EQ(handler.click(Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(log.lines(), Lines({u"[ERROR] File path with \"..\" skipped: /tmp/x/../a.txt"_s}));

    // Read-only: paste and cut are the browser's (which refuses them).
    QGuiApplication::clipboard()->setImage(filledImage(2, 2, Qt::red));
    handler.SetReadOnly(1);
    EXPECT_EQ(handler.click(Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(handler.click(Qt::Key_D), E_NOTIMPL);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s), QStringList());
}

// Asked before a key press whether the key is a shortcut, the hook claims exactly the keys whose
// press it will take, so the browser keeps no edit command of its own for them; asking acts on
// nothing.
TEST(KeyHook, TheShortcutQuestionClaimsExactlyTheKeysTheHookTakes)
{
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    const auto claims = [&](int key) {
        return handler.key(QEvent::ShortcutOverride, key) == S_OK;
    };
    WriteClipboardHtml("<p>plain</p>");
    EXPECT_FALSE(claims(Qt::Key_V)) << "plain HTML is the browser's to paste";
    WriteClipboardHtml(
        R"(<img class="userdata\attachment\0123.bin" zv_exdata='{"OrigName_B64":"YS5iaW4="}'>)");
    EXPECT_TRUE(claims(Qt::Key_V));
    for (const int key : {Qt::Key_D, Qt::Key_O, Qt::Key_P, Qt::Key_N})
        EXPECT_TRUE(claims(key)) << key;
    for (const int key : {Qt::Key_C, Qt::Key_F, Qt::Key_A})
        EXPECT_FALSE(claims(key)) << key;
    EXPECT_EQ(handler.key(QEvent::ShortcutOverride, Qt::Key_V, Qt::NoModifier), E_NOTIMPL);
    handler.SetReadOnly(1);
    EXPECT_FALSE(claims(Qt::Key_V));
    EXPECT_FALSE(claims(Qt::Key_D));
    EXPECT_TRUE(claims(Qt::Key_O));
    QCoreApplication::processEvents();
    EXPECT_EQ(browser.functions, QStringList(u"jsProcessor"_s)) << "only the read-only switch";
}

// Answers as RecordingPrompts does, while a modal window holds the focus as a message box
// would: the releases of the keys still down go to it.
struct ModalPrompts : RecordingPrompts
{
    QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override
    {
        QDialog modal;
        modal.setModal(true);
        modal.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&modal));
        return RecordingPrompts::messageBox(parent, text, title, buttons);
    }
};

TEST(ClipboardFormats, KeysReleasedInAModalMessageBoxAreNotHeldAfterIt)
{
    ModalPrompts prompts;
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    handler.SetCurNoteGuid(CreateGuidString());
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder"_s));
    auto *listed = new QMimeData;
    listed->setUrls({QUrl::fromLocalFile(dir.filePath(u"folder"_s))});
    QGuiApplication::clipboard()->setMimeData(listed);

    using P = QEvent::Type;
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), S_OK);
    EXPECT_EQ(prompts.messages(), QStringList{Folder});
    // Control and V were let go in the message box; Control is pressed again with A, then O.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_Control), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_O), S_OK);
    EXPECT_EQ(prompts.messages(), QStringList{Folder}) << "no paste after the message box";
    // Keys held in this window still count: O and V together are V.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), S_OK);
    EXPECT_EQ(prompts.messages(), (QStringList{Folder, Folder}));
}

// The page for the highlighter: records the scripts run in the application world.
struct HighlighterPage : FakeBrowser
{
    int ExecAppScript(const QString &expression, QVariant &result) override
    {
        scripts.append(expression);
        if (expression == u"!!window.tavrikHighlighter"_s)
            result = defined;
        else
            result = expression.startsWith(u"(function(){"_s) ? (defined = true) : 1;
        return 0;
    }
    QStringList scripts;
    bool defined = false;
};

TEST(Highlighter, AKeywordIsSentOnceAndOneTooLongIsRefusedBeforeThePage)
{
    HighlighterPage page;
    const QString longest(ZvWebNoteHandler::MaxHighlightKeywordLength, u'k');
    for (int round = 0; round < 2; ++round) {
        page.scripts.clear();
        EXPECT_EQ(Internal::MarkKeyword(page, longest), 1);
        EXPECT_EQ(page.scripts.filter(longest).size(), 1) << "round " << round;
        EXPECT_EQ(page.scripts.size(), round == 0 ? 3 : 2) << "the highlighter is sent once";
    }

    ZvWebNoteHandler handler;
    handler.SetIEWebBrowser(&page);
    page.scripts.clear();
    LogCapture log;
    EXPECT_EQ(handler.HighlightText(longest + u'k'), 0);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] HighlightText keyword too long: 257 characters, at most 256"_s});
    EXPECT_EQ(page.scripts, QStringList());
}

using PasteLimit = AppFolderTest;

TEST_F(PasteLimit, ExactlyTenMebibytes)
{
    const QString attachment
        = uR"(<img class="userdata\attachment\0123.bin" zv_exdata='{"OrigName_B64":"YS5iaW4="}'>)"_s;
    for (const qint64 size : {10485761, 10485760}) {
        // The note shows a.bin (recorded as one byte, which counts as none) and pastes it.
        FakeBrowser browser;
        browser.html = attachment;
        Keys handler;
        handler.SetIEWebBrowser(&browser);
        handler.SetCurNoteGuid(u"note"_s);
        handler.InitAttachFileSize({{u"0123.bin"_s, 1}});
        QFile file(GetAttachFilePath(u"note"_s, u"0123.bin"_s, u"a.bin"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        file.close();
        WriteClipboardHtml(attachment.toUtf8());
        RecordingPrompts prompts;
        EXPECT_EQ(handler.click(Qt::Key_V), S_OK) << "the editor pastes, once the key is handled";
        EXPECT_EQ(prompts.messages(), QStringList()) << "nothing happens inside the key hook";
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return !prompts.messages().isEmpty() || !browser.argsOf(u"PasteHtml"_s).isEmpty();
        }));
        const QStringList added = QDir(m_root + u"note"_s).entryList(QDir::Files);
        if (size > 10485760) {
            EXPECT_EQ(prompts.messages(), QStringList(u"最大支持上传10M附件！"_s));
            EXPECT_EQ(added, QStringList(u"a.bin"_s));
            EXPECT_EQ(browser.argsOf(u"PasteHtml"_s), QStringList());
        } else {
            EXPECT_EQ(prompts.messages(), QStringList());
            EXPECT_EQ(added, QStringList(u"a.bin"_s)) << "the note's own file is not copied";
            EXPECT_EQ(handler.attachFileSizes().size(), 3u) << "a.bin, now by content, its card";
            const QString html
                = QJsonDocument::fromJson(browser.argsOf(u"PasteHtml"_s).value(0).toUtf8())
                      .object()
                      .value(u"html"_s)
                      .toString();
            const QString shown = uR"(\.\./userdata\\attachment\\[0-9a-f]{32}\.bmp)"_s;
            EXPECT_TRUE(matches(
                uR"(<!--StartFragment -->\r\n<img class="userdata\\attachment\\)"_s
                    + CalcFileMd5(file.fileName())
                    + uR"(\.bin" zv_exdata="\{&quot;OrigName_B64&quot;:&quot;YS5iaW4=&quot;\}" src="%1" data-ke-src="%1" zvimgsrc="%1">\r\n)"_s
                          .arg(shown),
                html))
                << html.toStdString();
        }
    }
}

using Events = std::vector<QEvent::Type>;

// Records the cache-clearing events a widget receives.
struct EventRecorder : QObject
{
    explicit EventRecorder(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == ClearEditorCacheEvent)
            seen.push_back(event->type());
        return false;
    }
    Events seen;
};

class HandlerTest : public ::testing::Test
{
protected:
    HandlerTest()
    {
        handler.SetIEWebBrowser(&browser);
        handler.SetNotify(&host);
    }
    FakeBrowser browser;
    EventRecorder innerEvents{&browser.inner};
    Handler handler;
    EditorHost host;
};

// ---- calls into the page -------------------------------------------------------------

const QVariant Refused = u"{\"result\":false,\"errmsg\":\"忙 busy\"}"_s;

// The replies a page call can get, each with the log line it leaves (an index into
// CallCase::lines; -1: none). An empty optional fails the call itself.
const std::pair<std::optional<QVariant>, int> Replies[]
    = {{QVariant(u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":\"<p>中\\\"</p>\","
                 u"/* comment */ \"etext\":\"中\\\"\"}"_s),
        -1},
       {Refused, 2},
       {QVariant(u"result=true"_s), 1},
       {QVariant(QString()), 1},
       {QVariant(1), 1},
       {std::nullopt, 0}};

struct CallCase
{
    QString method;
    QString argText;
    std::function<int(ZvWebNoteHandler &)> run; // the call's result, -1 when it has none
    Lines lines; // call failed, bad reply, refused
};

Lines linesOf(const QString &prefix, const QString &refused)
{
    return {prefix + u"，js方法调用失败！，ErrMsg:unknow error ！"_s,
            prefix + u"，解析js返回json字符串失败！"_s, refused + u"忙 busy"_s};
}

std::vector<CallCase> callCases()
{
    StTableData table{1, 1, {{{u"s"_s, u"v"_s, u"9"_s}}}};
    return {
        {u"SetEditorMode"_s, u"{\"readonly\":true }"_s,
         [](ZvWebNoteHandler &h) { return h.SetReadOnly(1), -1; },
         linesOf(u"设置笔记编辑器只读模式"_s, u"设置笔记编辑器只读模式失败，错误信息："_s)},
        {u"SetEditorMaxChars"_s, u"{\"size\":10000 }"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorMaxChars(10000), -1; },
         linesOf(u"设置笔记编辑器最大字符数"_s, u"设置笔记编辑器最大字符数失败，错误信息："_s)},
        {u"SetEditorContent"_s, u"<p class=\"a\">中\\</p>"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorHtml(u"<p class=\"a\">中\\</p>"_s), -1; },
         linesOf(u"设置笔记编辑器内容"_s, u"设置笔记编辑器内容失败，错误信息："_s)},
        {u"GetEditorContent"_s, u"{}"_s,
         [](ZvWebNoteHandler &h) {
             QString html = u"old"_s, text = u"old"_s;
             const int ok = h.GetEditorContent(html, text);
             EXPECT_EQ(html, ok ? u"<p>中\"</p>"_s : u"old"_s);
             EXPECT_EQ(text, ok ? u"中\""_s : u"old"_s);
             return ok;
         },
         linesOf(u"[ERROR] 获取笔记编辑器内容"_s, u"[ERROR] 获取笔记编辑器内容失败，错误信息："_s)},
        {u"SelectedAttach"_s, u"{\"keyword\":\"ab12.png报告\"}"_s,
         [](ZvWebNoteHandler &h) { return h.SelectedAttach(u"ab12.png报告"_s); },
         linesOf(u"选中笔记附件失败"_s, u"选中笔记附件失败，错误信息："_s)},
        {u"ModifyAttachAtrr"_s,
         u"{\"zv_exdata\":{\"OrigName_B64\":\"5oql5ZGKLmRvY3g=\"},"
         u"\"ClassValue\":\"userdata\\\\attachment\\\\new.docx\",\"SrcValue\":\"../\\\"t\\\".bmp\"}"_s,
         [](ZvWebNoteHandler &h) {
             return h.UpdateHtmlAttachAttr(u"报告.docx"_s, u"userdata\\attachment\\new.docx"_s,
                                           u"../\"t\".bmp"_s);
         },
         linesOf(u"[ERROR] 修改附件class属性值失败"_s,
                 u"[ERROR] 修改附件class属性值失败，错误信息："_s)},
        {u"InsertTable"_s,
         u"{\n\t\"colNum\" : 1,\n\t\"rowList\" : \n\t[\n\t\t{\n\t\t\t\"colList\" : \n\t\t\t[\n"
         u"\t\t\t\t{\n\t\t\t\t\t\"style\" : \"s\",\n\t\t\t\t\t\"value\" : \"v\",\n"
         u"\t\t\t\t\t\"width\" : \"9\"\n\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 1\n}\n"_s,
         [table](ZvWebNoteHandler &h) { return h.InsertTable(table), -1; },
         linesOf(u"添加构建信息到笔记编辑器"_s, u"添加构建信息到笔记编辑器，错误信息："_s)}};
}

} // namespace

TEST(HandlerCalls, EveryCallSendsItsTextLogsEachKindOfFailureAndFormatsScriptValues)
{
    for (const CallCase &call : callCases()) {
        for (const auto &[reply, line] : Replies) {
            SCOPED_TRACE(call.method.toStdString() + " reply "
                         + reply.value_or(u"none"_s).toString().toStdString());
            FakeBrowser page;
            Handler handler;
            handler.SetIEWebBrowser(&page);
            page.replies[call.method].push_back(reply);
            LogCapture log;

            const int result = call.run(handler);

            EXPECT_EQ(page.functions, QStringList{u"jsProcessor"_s});
            EXPECT_EQ(page.calls, (std::vector<QVariantList>{{call.method, call.argText}}));
            EXPECT_EQ(log.lines(), line < 0 ? Lines{} : Lines{call.lines[size_t(line)]});
            const bool accepted = line < 0;
            if (result != -1)
                EXPECT_EQ(result, accepted ? 1 : 0);
            EXPECT_EQ(handler.IsReadOnly(), call.method == u"SetEditorMode" && accepted);
            EXPECT_EQ(handler.editorMaxChars(),
                      call.method == u"SetEditorMaxChars" && accepted ? 10000 : 3000);
        }
    }

    // Format gives each script value its text.
    const std::pair<QVariant, QString> values[]
        = {{QVariant(), u""_s},
           {QVariant::fromValue(nullptr), u""_s},
           {QVariant::fromValue(short(-3)), u"-3"_s},
           {QVariant(-7), u"-7"_s},
           {QVariant(2147483647), u"2147483647"_s},
           {QVariant(4294967295u), u"-1"_s},
           {QVariant(qlonglong(0x100000005LL)), u"5"_s},
           {QVariant(qulonglong(0x180000000ULL)), u"-2147483648"_s},
           {QVariant(1.5f), u"1.5000"_s},
           {QVariant(1.5), u"1.50000000"_s},
           {QVariant(QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6))), u"2024-02-03 04:05:06"_s},
           {QVariant(QDateTime()), u"Invalid DateTime"_s},
           {QVariant(u"中 \"q\" \\"_s), u"中 \"q\" \\"_s},
           {QVariant(false), u"FALSE"_s},
           {QVariant(QByteArray("\xe4\xb8\xad")), u"中"_s},
           {QVariant::fromValue<signed char>(5), u"UN_KNOW"_s},
           {QVariant(QVariantList{1}), u"UN_KNOW"_s},
           {QVariant(QChar(u'x')), u"UN_KNOW"_s}};
    for (const auto &[value, text] : values)
        EXPECT_EQ(Handler::Format(value), text) << "for " << value.typeName();
}

// Content replies are read straight from the page's wide text; what that reader does not take
// (comments, trailing commas, lone surrogates, raw control characters, text after the object)
// is read as before.
TEST_F(HandlerTest, RepliesGiveTextsExactlyMessagesClearTheCacheAndOnlyChangesAreSent)
{
    QString big;
    while (big.size() < 1 << 20)
        big += u"<p>note \"中文\" \\ text</p>\n"_s;
    const QByteArray quoted = QJsonDocument(QJsonArray{big}).toJson(QJsonDocument::Compact);
    const QString bigJson = QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
    const QString lone = u"<"_s + QChar(0xd800) + u">"_s;
    const struct
    {
        QString reply;
        int ok;
        QString html, text;
    } cases[] = {
        {uR"({"result":true,"ehtml":"a\"b\\c\/d\b\f\n\r\t\u00e9\uD83D\ude00中😀","etext":"t"})"_s, 1,
         u"a\"b\\c/d\b\f\n\r\t\u00e9\U0001F600中\U0001F600"_s, u"t"_s},
        {uR"({"ehtml":"first","result":true,"ehtml":"second","etext":12})"_s, 1, u"second"_s,
         u"12"_s},
        {uR"({"ehtml":"first","result":1,"ehtml":["x"],"etext":true})"_s, 1, QString(), u"true"_s},
        {uR"( { "n" : {"a":[1,-2.5e3,{"b":null}],"ehtml":"in"} , "result" : true , "ehtml" : "" } )"_s,
         1, QString(), QString()},
        {uR"({"result":true,"ehtml":"x",})"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"x"} tail)"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"a)"_s + QChar(1) + uR"(b"})"_s, 1, u"a\u0001b"_s, QString()},
        {uR"({"result":true,"ehtml":"\ud800x"})"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":true,"ehtml":")"_s + lone + uR"("})"_s, 1, u"<\uFFFD>"_s, QString()},
        {uR"({"result":true,"ehtml":"x")"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":false,"ehtml":"x"})"_s, 0, u"old"_s, u"old"_s},
        {u"{\"result\":true,\"etext\":\"t\",\"ehtml\":"_s + bigJson + u'}', 1, big, u"t"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.left(80).toStdString());
        browser.replies[u"GetEditorContent"_s].push_back(QVariant(c.reply));
        QString html = u"old"_s, text = u"old"_s;
        EXPECT_EQ(handler.GetEditorContent(html, text), c.ok);
        EXPECT_EQ(html, c.html);
        EXPECT_EQ(text, c.text);
    }

    // Forwarded messages clear the cache or copy, and nothing else.
    browser.calls.clear();
    LogCapture log;
    browser.replies[u"ClearEditorCache"_s].push_back(std::nullopt);
    handler.WinMessageNotify(nullptr, 2258, 0, 0); // a failed call has no line of its own
    handler.WinMessageNotify(nullptr, 2258, 0, 0);
    handler.WinMessageNotify(nullptr, 8004, 0, 0);
    for (int other : {0, 8, 2224, 2257, 2259, 8003, 8005})
        handler.WinMessageNotify(nullptr, other, 1, 1);

    const QVariantList clear{u"ClearEditorCache"_s, QString()};
    EXPECT_EQ(browser.calls, (std::vector<QVariantList>{clear, clear}));
    EXPECT_EQ(log.lines(), Lines{});

    browser.calls.clear();
    handler.SetReadOnly(0); // already writable
    EXPECT_EQ(handler.SelectedAttach(QString()), 0); // nothing to select
    EXPECT_TRUE(browser.calls.empty());

    browser.replies[u"SetEditorMode"_s].push_back(Refused);
    handler.SetReadOnly(7);
    handler.SetReadOnly(7); // the refusal left the mode as it was, so this is sent again
    handler.SetReadOnly(7); // accepted before: nothing to send
    handler.SetReadOnly(0);
    ASSERT_EQ(browser.calls.size(), 3u);
    EXPECT_EQ(browser.calls[1].value(1), u"{\"readonly\":true }"_s);
    EXPECT_EQ(browser.calls[2].value(1), u"{\"readonly\":false }"_s);
    EXPECT_EQ(handler.IsReadOnly(), 0);

    // A table without rows or cells keeps its shape.
    browser.calls.clear();
    StTableData table{3, 0, {}};
    handler.InsertTable(table);
    table.rowNum = 2;
    table.rowList = {{}, {{u"<b>"_s, u"中\"\\"_s, u""_s}}};
    handler.InsertTable(table);

    ASSERT_EQ(browser.calls.size(), 2u);
    EXPECT_EQ(browser.calls[0].value(1), u"{\n\t\"colNum\" : 3,\n\t\"rowNum\" : 0\n}\n"_s);
    // The writer escapes non-ASCII text; the page reads the same characters back.
    EXPECT_EQ(browser.calls[1].value(1),
              u"{\n\t\"colNum\" : 3,\n\t\"rowList\" : \n\t[\n\t\tnull,\n\t\t{\n"
              u"\t\t\t\"colList\" : \n\t\t\t[\n\t\t\t\t{\n\t\t\t\t\t\"style\" : \"<b>\",\n"
              u"\t\t\t\t\t\"value\" : \"\\u4e2d\\\"\\\\\",\n\t\t\t\t\t\"width\" : \"\"\n"
              u"\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 2\n}\n"_s);
}

TEST_F(HandlerTest, SizesKeepTheFirstValueTimesAreKeyedByBothNamesAndNewContentEmptiesBoth)
{
    for (const QString &html : {u"<p>x</p>"_s, QString()}) {
        handler.InitAttachFileSize({{u"a.png"_s, 10}});
        handler.RecordAttachModifyTime(u"a.png"_s, u"a.png"_s, u"2024-01-01 00:00:00"_s);
        browser.calls.clear();

        handler.SetEditorHtml(html);

        EXPECT_TRUE(handler.attachFileSizes().empty());
        EXPECT_TRUE(handler.GetAttachModifyCache().empty());
        EXPECT_EQ(browser.calls, (std::vector<QVariantList>{{u"SetEditorContent"_s, html}}));
        // Posted, so delivered only once the event loop runs after the call.
        EXPECT_TRUE(innerEvents.seen.empty());
        QCoreApplication::sendPostedEvents(&browser.inner);
        EXPECT_EQ(innerEvents.seen, Events{ClearEditorCacheEvent});
        innerEvents.seen.clear();
    }

    handler.InitAttachFileSize({{u"a.png"_s, 5}, {u"b.png"_s, 0}});
    handler.InitAttachFileSize({{u"a.png"_s, 9}, {u"A.png"_s, 7}});
    EXPECT_EQ(handler.attachFileSizes(),
              (std::map<QString, quint64>{{u"A.png"_s, 7}, {u"a.png"_s, 5}, {u"b.png"_s, 0}}));

    handler.RecordAttachModifyTime(u"ab.png"_s, u"x.png"_s, u"2024-01-01 00:00:00"_s);
    handler.RecordAttachModifyTime(u"ab.pn"_s, u"gx.png"_s, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(handler.GetAttachModifyCache(),
              (std::map<QString, QString>{{u"ab.pngx.png"_s, u"2024-01-03 00:00:00"_s}}));

    // The cached key; the same key without an original name; a file without a cached time.
    std::vector<NewAttachFile> files(3);
    files[0].storeName = files[2].storeName = u"ab.png"_s;
    files[0].origName = u"x.png"_s;
    files[1].storeName = u"ab.pngx.png"_s;
    ZvWebNoteHandler::UpdateAttModifyTimeField(u"ignored"_s, files, handler.GetAttachModifyCache());
    EXPECT_EQ(files[0].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(files[1].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_TRUE(matches(u"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}"_s, files[2].modifyTime))
        << files[2].modifyTime.toStdString();
}

// ---- page commands -------------------------------------------------------------------

TEST_F(HandlerTest, CommandsNeedIdOneThreeArgumentsAndJsonAndUnknownOnesStayQuiet)
{
    RecordingPrompts prompts;
    LogCapture log;
    EXPECT_EQ(handler.OnGetFunId(u"CppProcessor"_s), 1);
    for (const QString &name : {u"cppprocessor"_s, u"CppProcessor "_s, QString()})
        EXPECT_EQ(handler.OnGetFunId(name), -1) << name.toStdString();
    QVariant result;
    const QString json = u"{\"msg\":\"x\"}"_s;
    EXPECT_EQ(handler.OnExecuteFun(2, {u""_s, json, u"ZvMessageBox"_s}, result, {}), -1);
    EXPECT_EQ(handler.OnExecuteFun(1, {}, result, {}), S_OK);
    EXPECT_FALSE(result.isValid());
    for (const QString &name : {u"zvmessagebox"_s, u"DblClickAttachment"_s, u"ScreenCapture"_s,
                                u"ZvMessageBox "_s, QString()})
        handler.command(name, json);
    handler.command(u"AddAttachment"_s, u"{broken"_s); // reads no JSON at all
    handler.command(u"OnRightClickAttach"_s,
                    u"{\"current_attach\":{\"class_value\":\"a\\\\b.png\"},\"range_html\":\"\"}"_s);
    handler.command(u"WriteEditorLog"_s, u"{\"type\":\"info\",\"msg\":\"hi\"}"_s);
    EXPECT_EQ(log.lines(), Lines{u"[ERROR] js调用OnCppProcessor传递参数个数不正确！"_s});
    // Only the file dialog of "AddAttachment" (cancelled).
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().at(0).kind, RecordingPrompts::Shown::OpenFiles);
    EXPECT_TRUE(browser.calls.empty());

    // Commands with bad JSON log their own line and do nothing.
    for (const QString &command :
         {u"DbClickAttachment"_s, u"OpenHyperLink"_s, u"ZvMessageBox"_s, u"OnRightClickAttach"_s,
          u"WriteEditorLog"_s, u"SreenCapture"_s}) {
        // The double-click command is spelled "DbClick..." although its log line says "DblClick".
        const QString name = command == u"DbClickAttachment" ? u"DblClickAttachment"_s : command;
        for (const QString &text : {u"{\"msg\":"_s, QString(), u"[1]"_s, u"\"text\""_s}) {
            LogCapture badJson;
            EXPECT_EQ(handler.command(command, text), S_OK);
            EXPECT_EQ(badJson.lines(),
                      Lines{u"[ERROR] 解析"_s + name + u"方法，json参数字串失败！"_s})
                << text.toStdString();
        }
    }
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(HandlerTest, CommandsActOnTheirArguments)
{
    RecordingPrompts prompts;
    QGuiApplication::setApplicationDisplayName(u"笔记"_s);
    handler.SetCurNoteGuid(u"n1"_s);
    const QString exdata = ZvWebNoteHandler::FormatOrigNameToJson(u"季度 \"报告\".docx"_s);

    // A path without folders, no readable original name, no path at all.
    handler.command(u"DbClickAttachment"_s, u"{\"path\":\"plain.txt\"}"_s, u"not json"_s);
    handler.command(u"DbClickAttachment"_s, u"{/* no path */}"_s, exdata);
    EXPECT_EQ(host.opened, QStringList({u"n1|plain.txt|"_s, u"n1||季度 \"报告\".docx"_s}));

    // A message box shows the text as given, with the application's title.
    handler.command(u"ZvMessageBox"_s, u"{\"msg\":\"<b>保存</b> \\\"q\\\" \\\\\"}"_s);
    handler.command(u"ZvMessageBox"_s, u"{}"_s);
    EXPECT_EQ(prompts.messages(), (QStringList{u"<b>保存</b> \"q\" \\"_s, QString()}));
    EXPECT_EQ(prompts.shown().at(0).title, u"笔记"_s);
    EXPECT_EQ(prompts.shown().at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}
