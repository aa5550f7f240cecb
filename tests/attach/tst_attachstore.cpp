// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachstore.h"
#include "attach/filethumbnail.h"
#include "common/commonutils.h"
#include "logcapture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QString HelloMd5 = u"5d41402abc4b2a76b9719d911017c592"_s; // md5 of "hello"
const QString Time = u"2026/03/04 05:06"_s;

// Every case starts with an empty store in the program's application folder, which holds
// the built icons (and the log).
class AttachStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = GetAppDirectory() + u"userdata/attachment"_s;
        QDir(m_root).removeRecursively();
    }

    QString source(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_src.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    DropFileInfo record(const QString &name, const QByteArray &bytes, const QString &ext)
    {
        DropFileInfo info;
        info.srcPath = source(name, bytes);
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
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static ino_t inode(const QString &path)
    {
        struct stat st
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    }

    QTemporaryDir m_src;
    QString m_root;
};

} // namespace

TEST_F(AttachStoreTest, DocumentIsKeptAndGetsAThumbnailCard)
{
    LogCapture log;
    MAF_RESULT result;
    ASSERT_EQ(
        AttachStore::MoveAttFile(u"note1"_s, record(u"report.docx"_s, "hello", u"docx"_s), result),
        1);

    EXPECT_EQ(result.storeName, HelloMd5 + u".docx"_s);
    EXPECT_EQ(result.relPath, u"userdata\\attachment\\"_s + HelloMd5 + u".docx"_s);
    EXPECT_TRUE(QRegularExpression(u"^[0-9a-f]{32}\\.bmp$"_s).match(result.showName).hasMatch());
    EXPECT_EQ(result.showSrc, u"../userdata\\attachment\\"_s + result.showName);
    const QString card = m_root + u'/' + result.showName;
    EXPECT_EQ(CalcFileMd5(card) + u".bmp"_s, result.showName);
    EXPECT_EQ(result.showSize, QFileInfo(card).size());

    // Exactly the kept copy and the card; no temporary file is left.
    EXPECT_EQ(listing(), (QStringList{result.showName, u"note1"_s}));
    EXPECT_EQ(listing(u"/note1"_s), QStringList{u"report.docx"_s});
    EXPECT_EQ(contents(m_root + u"/note1/report.docx"_s), "hello");

    // The card is the one drawn for the file's name and its size line.
    const QString expected = m_src.filePath(u"expected.bmp"_s);
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(1, u"report.docx"_s, Time + u" 5B"_s, expected), 1);
    EXPECT_EQ(contents(card), contents(expected));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(AttachStoreTest, SamePictureTwiceMakesOneCopy)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    {
        QFile file(m_src.filePath(u"pic.png"_s));
        ASSERT_TRUE(image.save(&file, "PNG"));
    }
    png = contents(m_src.filePath(u"pic.png"_s));
    const DropFileInfo info = record(u"Holiday.PNG"_s, png, u"png"_s);
    const QString hash = CalcFileMd5(info.srcPath);

    LogCapture log;
    MAF_RESULT first;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, info, first), 1);
    EXPECT_EQ(first.storeName, hash + u".png"_s);
    EXPECT_EQ(first.showName, first.storeName);
    EXPECT_EQ(first.showSrc, u"../userdata\\attachment\\"_s + first.storeName);
    EXPECT_EQ(first.showSize, png.size());
    const ino_t copy = inode(m_root + u'/' + first.storeName);

    MAF_RESULT second;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, info, second), 1);
    EXPECT_EQ(second.showSrc, first.showSrc);
    EXPECT_EQ(inode(m_root + u'/' + first.storeName), copy) << "the picture copy was rewritten";
    EXPECT_EQ(listing(), (QStringList{first.storeName, u"n"_s}));
    EXPECT_EQ(listing(u"/n"_s), QStringList{u"Holiday.PNG"_s});
    EXPECT_EQ(contents(m_root + u'/' + first.storeName), png);
    EXPECT_TRUE(log.lines().empty());

    // Without a kept name the picture lies once, under its content name.
    DropFileInfo bare = info;
    bare.keptName.clear();
    ASSERT_EQ(AttachStore::MoveAttFile(u"other"_s, bare, second), 1);
    EXPECT_EQ(listing(), (QStringList{first.storeName, u"n"_s}));
}

TEST_F(AttachStoreTest, ExistingFilesAreNeverOverwrittenButDamagedOnesAreRepaired)
{
    QDir().mkpath(m_root + u"/n"_s);
    QFile::copy(source(u"old"_s, "old bytes"), m_root + u"/n/a.txt"_s);
    const QString damaged = m_root + u'/' + HelloMd5 + u".jpg"_s;
    QFile::copy(source(u"junk"_s, "junk"), damaged);

    LogCapture log;
    MAF_RESULT result;
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"a.txt"_s, "hello", u"txt"_s), result), 1);
    EXPECT_EQ(contents(m_root + u"/n/a.txt"_s), "old bytes");
    EXPECT_TRUE(log.lines().empty());

    const ino_t card = inode(m_root + u'/' + result.showName);
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"b.txt"_s, "hello", u"txt"_s), result), 1);
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"a.txt"_s, "hello", u"txt"_s), result), 1);
    EXPECT_EQ(inode(m_root + u'/' + result.showName), card) << "a valid card was replaced";

    // A content-named file whose bytes do not match its name is replaced.
    ASSERT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"x.jpg"_s, "hello", u"jpg"_s), result), 1);
    EXPECT_EQ(contents(damaged), "hello");
    EXPECT_EQ(log.lines(),
              std::vector<QString>{u"[WARN] ZvWebNoteHandler::MoveAttFile replaced damaged file "_s
                                   + HelloMd5 + u".jpg"_s});
    const QStringList left = listing();
    EXPECT_TRUE(left.filter(u".tmp"_s).isEmpty()) << left.join(u' ').toStdString();
}

TEST_F(AttachStoreTest, FailuresAreLoggedOnce)
{
    // The source cannot be read.
    {
        LogCapture log;
        MAF_RESULT result;
        DropFileInfo info = record(u"gone.txt"_s, "x", u"txt"_s);
        QFile::remove(info.srcPath);
        EXPECT_EQ(AttachStore::MoveAttFile(u"n"_s, info, result), 0);
        const std::vector<QString> lines = log.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), u"[ERROR] ZvWebNoteHandler::MoveAttFile cal md5 code faild ! "_s);
    }
    // The note's folder cannot be made: a file is in the way.
    {
        GetAttachRootDir();
        QFile::copy(source(u"blocker"_s, "x"), m_root + u"/blocked"_s);
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(
            AttachStore::MoveAttFile(u"blocked"_s, record(u"a.txt"_s, "hello", u"txt"_s), result),
            0);
        EXPECT_EQ(
            log.lines(),
            std::vector<QString>{u"[ERROR] ZvWebNoteHandler::MoveAttFile copy file fald ! "_s});
    }
    // No icon for the card (no other case draws a sound file's card).
    {
        const QString icon = GetAppDirectory() + u"res/audio.bmp"_s;
        const QString aside = m_src.filePath(u"audio.bmp"_s);
        ASSERT_TRUE(QFile::rename(icon, aside));
        const auto restore = qScopeGuard([&] { QFile::rename(aside, icon); });
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(u"n"_s, record(u"song.mp3"_s, "la", u"mp3"_s), result),
                  0);
        EXPECT_EQ(log.lines(),
                  std::vector<QString>{
                      u"[ERROR] ZvWebNoteHandler::MoveAttFile create thumb pic faild ! "_s});
        EXPECT_EQ(contents(m_root + u"/n/song.mp3"_s), "la") << "the kept copy stays";
    }
    // The card's place is taken by a folder.
    {
        MAF_RESULT probe;
        ASSERT_EQ(AttachStore::MoveAttFile(u"p"_s, record(u"c.pdf"_s, "pdf", u"pdf"_s), probe), 1);
        QFile::remove(m_root + u'/' + probe.showName);
        QDir().mkpath(m_root + u'/' + probe.showName);
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(u"p"_s, record(u"c.pdf"_s, "pdf", u"pdf"_s), result), 0);
        const std::vector<QString> lines = log.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), u"[ERROR] ZvWebNoteHandler::MoveAttFile rename file fald ! "_s);
    }
    // The picture copy's place is taken by a folder.
    {
        const DropFileInfo info = record(u"p.gif"_s, "gif", u"gif"_s);
        QDir().mkpath(m_root + u'/' + CalcFileMd5(info.srcPath) + u".gif"_s);
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(u"g"_s, info, result), 0);
        const std::vector<QString> lines = log.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), u"[ERROR] ZvWebNoteHandler::MoveAttFile CopyFile file fald ! "_s);
        EXPECT_EQ(contents(m_root + u"/g/p.gif"_s), "gif");
    }
    EXPECT_TRUE(listing().filter(u".tmp"_s).isEmpty());
}

TEST_F(AttachStoreTest, NamesThatWouldLeaveTheStoreAreRefused)
{
    struct Case
    {
        QString noteId, keptName, ext, logged;
    };
    const std::vector<Case> cases{
        {u"../escape"_s, u"a.txt"_s, u"txt"_s, u"../escape"_s},
        {u".."_s, u"a.txt"_s, u"txt"_s, u".."_s},
        {u"n"_s, u"../../a.txt"_s, u"txt"_s, u"../../a.txt"_s},
        {u"n"_s, u"sub\\a.txt"_s, u"txt"_s, u"sub\\a.txt"_s},
        {u"n"_s, u"."_s, u"txt"_s, u"."_s},
        {u"n"_s, u"a"_s + QChar(0) + u".txt"_s, u"txt"_s, u"a\\x00.txt"_s},
        {u"n"_s, u"a.txt"_s, u"txt/../../../x"_s, u"txt/../../../x"_s},
    };
    for (const Case &c : cases) {
        DropFileInfo info = record(u"a.txt"_s, "hello", c.ext);
        info.keptName = c.keptName;
        LogCapture log;
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(c.noteId, info, result), 0) << c.keptName.toStdString();
        EXPECT_EQ(log.lines(),
                  std::vector<QString>{
                      u"[ERROR] ZvWebNoteHandler::MoveAttFile unsafe name skipped: "_s + c.logged});
    }
    EXPECT_FALSE(QFileInfo::exists(m_root)) << "nothing may be written";
    EXPECT_FALSE(QFileInfo::exists(GetAppDirectory() + u"userdata/escape"_s));
    EXPECT_FALSE(QFileInfo::exists(GetAppDirectory() + u"x"_s));
    EXPECT_TRUE(AttachStore::isSafeName(u"a b(1).txt"_s));
    EXPECT_FALSE(AttachStore::isSafeName(QString()));
}

TEST_F(AttachStoreTest, ClashingNamesAreNumbered)
{
    struct Case
    {
        std::vector<QString> note, added, expected;
    };
    const std::vector<Case> cases{
        {{}, {u"a.txt"_s}, {u"a.txt"_s}},
        {{u"a(2).txt"_s, u"a.txt"_s}, {u"a.txt"_s}, {u"a(3).txt"_s}},
        {{u"b.txt"_s}, {u"b(5).txt"_s}, {u"b(1).txt"_s}},
        {{u"C.txt"_s}, {u"c.txt"_s}, {u"c.txt"_s}},
        {{u"report.doc"_s}, {u"report.pdf"_s}, {u"report(1).pdf"_s}},
        {{u"report(3).doc"_s}, {u"report.doc"_s}, {u"report(4).doc"_s}},
        {{u"a.txt"_s, u"a(2).txt"_s, u"b(5).txt"_s, u"C.txt"_s},
         {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"C.txt"_s, u"a(2).txt"_s},
         {u"a(3).txt"_s, u"b(6).txt"_s, u"c.txt"_s, u"C(1).txt"_s, u"a(4).txt"_s}},
        // files of one batch do not clash with each other either
        {{}, {u"x.txt"_s, u"x.txt"_s, u"x.doc"_s}, {u"x.txt"_s, u"x(1).txt"_s, u"x(2).doc"_s}},
        // the number is read like atoi
        {{u"d( 7).txt"_s, u"e(x).txt"_s, u"f(-3).txt"_s},
         {u"d.txt"_s, u"e.txt"_s, u"f.txt"_s},
         {u"d(8).txt"_s, u"e(1).txt"_s, u"f(-2).txt"_s}},
        {{u"README"_s, u""_s}, {u"README"_s}, {u"README(1)"_s}},
    };
    for (const Case &c : cases) {
        std::vector<DropFileInfo> files;
        for (const QString &name : c.added) {
            DropFileInfo info;
            info.keptName = info.displayName = name;
            files.push_back(info);
        }
        AttachStore::DoAttSameName(files, c.note);
        std::vector<QString> kept, shown;
        for (const DropFileInfo &info : files) {
            kept.push_back(info.keptName);
            shown.push_back(info.displayName);
        }
        EXPECT_EQ(kept, c.expected) << c.added.front().toStdString();
        EXPECT_EQ(shown, c.expected);
    }
}

TEST_F(AttachStoreTest, EveryAddedFileIsKept)
{
    // Two new files of one name, and a name left on disk by an attachment no longer in the note.
    QDir().mkpath(m_root + u"/n"_s);
    QFile::copy(source(u"stale"_s, "stale"), m_root + u"/n/notes.txt"_s);
    QFile::copy(source(u"same"_s, "same"), m_root + u"/n/same.txt"_s);
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
    EXPECT_EQ(contents(m_root + u"/n/notes.txt"_s), "stale");
    EXPECT_EQ(contents(m_root + u"/n/notes(1).txt"_s), "first");
    EXPECT_EQ(contents(m_root + u"/n/notes(2).txt"_s), "second");
    EXPECT_EQ(contents(m_root + u"/n/same.txt"_s), "same");
}

TEST_F(AttachStoreTest, ImagesBecomeTemporaryJpegFiles)
{
    std::vector<DropFileInfo> files;
    EXPECT_EQ(AttachStore::SaveImage(nullptr, files), 0);
    const QImage empty;
    EXPECT_EQ(AttachStore::SaveImage(&empty, files), 0);
    EXPECT_TRUE(files.empty());

    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_EQ(AttachStore::SaveImage(&image, files), 1);
    ASSERT_EQ(files.size(), 1u);
    const DropFileInfo info = files.front();
    EXPECT_TRUE(QRegularExpression(u"^[0-9a-f]{32}\\.jpg$"_s).match(info.keptName).hasMatch());
    EXPECT_EQ(info.srcPath, GetTempDirectory() + info.keptName);
    EXPECT_EQ(info.displayName, info.keptName);
    EXPECT_FALSE(info.isDir);
    EXPECT_EQ(info.fileExt, u"jpg"_s);
    EXPECT_EQ(info.fileSize, quint64(QFileInfo(info.srcPath).size()));
    EXPECT_TRUE(contents(info.srcPath).startsWith("\xFF\xD8\xFF"));
    EXPECT_TRUE(QRegularExpression(u"^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d$"_s)
                    .match(info.addTime)
                    .hasMatch());
    EXPECT_TRUE(info.isTemp);

    const QString kept = source(u"keep.txt"_s, "k");
    DropFileInfo notTemp;
    notTemp.srcPath = kept;
    files.push_back(notTemp);
    AttachStore::DelTempFileFromList(files);
    EXPECT_FALSE(QFile::exists(info.srcPath));
    EXPECT_TRUE(QFile::exists(kept));
}
