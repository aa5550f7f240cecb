// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The common helpers (encodings, hashes, folders, names, sizes, times, bounded printing) and the
// log.
#include "common/commonutils.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "common/singleton.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <future>
#include <limits>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;
using namespace Qt::StringLiterals;

TEST(Base64, EncodeGivesStandardPaddedTextAndDecodeGivesBytesAndCountWithItsQuirks)
{
    const std::pair<QByteArray, QByteArray> cases[]
        = {{QByteArray(), QByteArray()},
           {"f", "Zg=="},
           {"fo", "Zm8="},
           {"foo", "Zm9v"},
           {"foob", "Zm9vYg=="},
           {"foobar", "Zm9vYmFy"},
           {QByteArray(1, '\0'), "AA=="},
           {"\xFB\xFF\xBF", "+/+/"},
           {"\xE4\xB8\xAD\xE6\x96\x87.txt", "5Lit5paHLnR4dA=="}};
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(Base64Encode(bytes), text);
    EXPECT_EQ(Base64Encode("abc", 0), QByteArray());
    EXPECT_EQ(Base64Encode("abc", -5), QByteArray());
    EXPECT_EQ(Base64Encode(nullptr, 3), QByteArray());
    EXPECT_EQ(Base64Encode("abcdef", 4), QByteArray("YWJjZA=="));

    // Every length and byte decodes back.
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all.append(char(i));
    for (int length = 0; length <= all.size(); ++length) {
        const QByteArray bytes = all.right(length);
        QByteArray decoded;
        EXPECT_EQ(Base64Decode(Base64Encode(bytes), decoded), length);
        EXPECT_EQ(decoded, bytes) << "length " << length;
    }

    // Decoding gives the bytes and their count, with its quirks.
    // text, decoded bytes, count
    const std::tuple<QByteArray, QByteArray, int> decodings[]
        = {{"", "", 0},
           {"Zm9vYmFy", "foobar", 6},
           {"Zm8=", "fo", 2},
           {"Zg==", "f", 1},
           {"Zm9v\r\nYmFy\r\n", "foobar", 6},
           {"\x01Zm9v\x02Zg==", "foof", 4}, // control characters 1 and 2 are skipped
           {"Zm\r\n9v", "f`", 6}, // inside a group a line break is an ordinary character worth 0
           {"Zm*v", "f`/", 3}, // so is any character outside the alphabet
           {"\xFF\xFE\xFD\xFC", "", 3},
           {"Zg=A", "f", 2},
           {"Zm8AZm8=", "fo", 5}, // the output is cut at its first zero byte
           {"Zg", "f", 3}, // a group cut short by the end reads missing characters as worth 0
           {"Zm9vZ", "food", 6},
           {"Zm9", "fo@", 3}};
    for (const auto &[text, decodedBytes, count] : decodings) {
        QByteArray decoded("left over");
        EXPECT_EQ(Base64Decode(text, decoded), count) << text.toStdString();
        EXPECT_EQ(decoded, decodedBytes) << text.toStdString();
    }
}

TEST(HashesAndGuids, FileMd5AroundTheReadChunkAndGuidsOfThirtyTwoHexDigitsInFieldOrder)
{
    QTemporaryDir temp;
    // Chinese file name: the path must reach the system in its own encoding.
    const QString path = temp.filePath(QStringLiteral(u"附件 数据.bin"));
    ASSERT_TRUE(writeBytes(path, "abc"));
    EXPECT_EQ(CalcFileMd5(path), u"900150983cd24fb0d6963f7d28e17f72"_s);
    QByteArray pattern(8 * 1024 * 1024 + 3, Qt::Uninitialized);
    quint32 state = 20261205;
    for (char &c : pattern) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    for (qsizetype size : {0, 1, 63, 64, 65, 65535, 65536, 65537, 3 * 65536, 8 * 1024 * 1024 + 3}) {
        const QByteArray content = pattern.left(size);
        ASSERT_TRUE(writeBytes(path, content));
        EXPECT_EQ(CalcFileMd5(path), md5Hex(content)) << size << " bytes";
    }

    // A missing or unreadable file gives an empty text and one log line.
    const QString missing = temp.filePath(QStringLiteral("no such file.png"));
    LogCapture capture;
    EXPECT_EQ(CalcFileMd5(missing), QString());
    // A folder opens for reading but every read fails (EISDIR).
    EXPECT_EQ(CalcFileMd5(temp.path()), QString());
    EXPECT_THAT(
        capture.lines(),
        ElementsAre(u"[ERROR]: Open file('" + missing + u"') to calc file md5 failed!Error code:2.",
                    u"[ERROR] CalcFileMd5: Read file('" + temp.path()
                        + u"') failed!Error code:21."));

    // A GUID is thirty-two lower-case hex digits in field order.
    static const QRegularExpression shape(QStringLiteral("^[0-9a-f]{32}$"));
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) {
        const QString guid = CreateGuidString();
        ASSERT_TRUE(shape.match(guid).hasMatch()) << guid.toStdString();
        // A random GUID has version 4 in the third field's top digit and the variant in the
        // first of the eight bytes: both land at fixed places only in the right field order.
        EXPECT_EQ(guid.at(12), u'4') << guid.toStdString();
        EXPECT_TRUE(QStringLiteral("89ab").contains(guid.at(16))) << guid.toStdString();
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 200);
}

// The page and icons are the program's own files: found beside the executable or in the
// installed data folder, never in the user's application folder.
TEST(AppDirectory, ProgramFilesComeFromTheProgramsFoldersInOrder)
{
    const auto restore
        = qScopeGuard([] { SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR")); });
    QTemporaryDir own;
    SetProgramDirectory(own.path());
    const QString beside = QCoreApplication::applicationDirPath() + u'/';
    const std::vector<QString> folders = GetProgramFileFolders();
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(folders[0], own.path() + u'/');
    EXPECT_EQ(folders[1], beside);
    EXPECT_EQ(folders[2], QDir::cleanPath(beside + u"../share/TavrikEditor"_s) + u'/');
    EXPECT_TRUE(folders[3].endsWith(u"/share/TavrikEditor/"_s)) << folders[3].toStdString();
    EXPECT_NE(folders[3], folders[2]) << "the library lies elsewhere in the build";
    for (const QString &folder : folders)
        EXPECT_NE(folder, GetAppDirectory());

    EXPECT_EQ(FindProgramFile(u"res/word.bmp"_s), QString());
    ASSERT_TRUE(writeBytes(own.filePath(u"res/word.bmp"_s), "BM"));
    EXPECT_EQ(FindProgramFile(u"res/word.bmp"_s), own.path() + u"/res/word.bmp"_s);
    EXPECT_EQ(FindProgramFile(u"res"_s), own.path() + u"/res"_s) << "folders are found too";

    SetProgramDirectory(QString());
    EXPECT_EQ(GetProgramFileFolders().front(), beside);
    EXPECT_EQ(FindProgramFile(u"res/word.bmp"_s), QString());
}

TEST(AppDirectory, FollowsEnvironmentOverrideAndRestores)
{
    const QString fromEnvironment = qEnvironmentVariable("TAVRIK_APP_DIR");
    if (fromEnvironment.isEmpty()) {
        // Started without an override: the folder of this executable.
        EXPECT_EQ(GetAppDirectory(), QCoreApplication::applicationDirPath() + u'/');
        return;
    }
    EXPECT_EQ(GetAppDirectory(),
              fromEnvironment.endsWith(u'/') ? fromEnvironment : fromEnvironment + u'/');
    for (const QString &folder : {u"/opt/notes"_s, u"/opt/notes/"_s}) {
        SetAppDirectory(folder);
        EXPECT_EQ(GetAppDirectory(), QStringLiteral("/opt/notes/"));
    }
    SetAppDirectory(QString());
    EXPECT_EQ(GetAppDirectory().chopped(1), QDir::cleanPath(fromEnvironment));

    // The same program without the environment variable reports its own folder.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TAVRIK_APP_DIR"));
    child.setProcessEnvironment(environment);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=AppDirectory.FollowsEnvironmentOverrideAndRestores")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
}

TEST_F(AppFolderTest, AttachRootAndAttachFilePaths)
{
    const QString attachRoot = m_app.path() + u"/userdata/attachment";
    ASSERT_TRUE(QDir(m_app.path() + u"/userdata").removeRecursively());
    EXPECT_EQ(GetAttachRootDir(), attachRoot);
    EXPECT_TRUE(QFileInfo(attachRoot).isDir()) << "created when missing";

    EXPECT_EQ(GetAttachFilePath(u"note1"_s, u"0123abcd.png"_s, QString()),
              attachRoot + u"/0123abcd.png");
    EXPECT_FALSE(QFileInfo::exists(attachRoot + u"/note1"));
    // A kept name lies in the note's folder, which is created; the file is not.
    EXPECT_EQ(GetAttachFilePath(u"note1"_s, u"0123abcd.png"_s, u"报告.png"_s),
              attachRoot + u"/note1/报告.png");
    EXPECT_TRUE(QFileInfo(attachRoot + u"/note1").isDir());
    EXPECT_FALSE(QFileInfo::exists(attachRoot + u"/note1/报告.png"));

    // The path is given even when the folder cannot be created.
    ASSERT_TRUE(QDir(m_app.path() + u"/userdata").removeRecursively());
    ASSERT_TRUE(writeBytes(m_app.path() + u"/userdata", "a file where a folder belongs"));
    EXPECT_EQ(GetAttachRootDir(), attachRoot);
    EXPECT_FALSE(QFileInfo::exists(attachRoot));
}

TEST(PathsAndNames, FoldersAreMadeAndFoundAndNamesSplitAtTheLastSeparatorAndDot)
{
    QTemporaryDir temp;
    const QString deep = temp.path() + u"/a/b/中文/c";
    EXPECT_EQ(MakeDirectories(deep), 1);
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_EQ(MakeDirectories(deep), 1);
    EXPECT_EQ(MakeDirectories(temp.path() + u"/x/y//"), 1);
    EXPECT_TRUE(QFileInfo(temp.path() + u"/x/y").isDir());
    EXPECT_EQ(MakeDirectories(QStringLiteral("/")), 1);

    const QString file = temp.filePath(QStringLiteral("plain.txt"));
    ASSERT_TRUE(writeBytes(file, "x"));
    EXPECT_EQ(MakeDirectories(file), 0) << "a file is in the way";
    EXPECT_EQ(MakeDirectories(file + u"/sub/deeper"), 0) << "a file as parent";
    EXPECT_EQ(MakeDirectories(QString()), 0);
    EXPECT_EQ(MakeDirectories(QStringLiteral("no-separator-and-missing")), 0);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("no-separator-and-missing")));
    EXPECT_EQ(MakeDirectories(temp.path() + u"/bad" + QChar(0) + u"name"), 0);
    EXPECT_FALSE(QFileInfo::exists(temp.path() + u"/bad"));

    const QString note = temp.filePath(QStringLiteral("note.html"));
    ASSERT_TRUE(writeBytes(note, QByteArray()));
    EXPECT_NE(IsFileExist(note), 0);
    EXPECT_NE(IsFileExist(temp.path()), 0);
    EXPECT_EQ(IsFileExist(temp.filePath(QStringLiteral("missing.html"))), 0);
    EXPECT_EQ(IsFileExist(QString()), 0);
    EXPECT_EQ(IsFileExist(note + QChar(0) + u"tail"), 0);

    QString longFile = temp.path();
    while (longFile.size() <= 300)
        longFile += u"/segment-of-forty-characters-0123456789";
    longFile += u"/note.txt";
    ASSERT_TRUE(writeBytes(longFile, "x"));
    EXPECT_NE(IsFileExist(longFile), 0);
    EXPECT_EQ(IsFileExist(longFile + u"x"), 0);

    // path, file name, extension, path without the extension
    const std::tuple<QString, QString, QString, QString> cases[]
        = {{u"/home/u/a.txt"_s, u"a.txt"_s, u"txt"_s, u"/home/u/a"_s},
           {u"userdata\\attachment\\ab12.png"_s, u"ab12.png"_s, u"png"_s,
            u"userdata\\attachment\\ab12"_s},
           {u"a/b\\c.JPG"_s, u"c.JPG"_s, u"JPG"_s, u"a/b\\c"_s},
           {u"noext"_s, u"noext"_s, u"noext"_s, u"noext"_s},
           {u"a.tar.gz"_s, u"a.tar.gz"_s, u"gz"_s, u"a.tar"_s},
           {u".bashrc"_s, u".bashrc"_s, u"bashrc"_s, QString()},
           {u"trailing."_s, u"trailing."_s, QString(), u"trailing"_s},
           {u"dir.d/file"_s, u"file"_s, u"d/file"_s, u"dir"_s},
           {u"folder/"_s, QString(), u"folder/"_s, u"folder/"_s},
           {u"说明.文档"_s, u"说明.文档"_s, u"文档"_s, u"说明"_s},
           {QString(), QString(), QString(), QString()}};
    for (const auto &[input, fileName, ext, withoutExt] : cases) {
        SCOPED_TRACE(input.toStdString());
        EXPECT_EQ(GetFileNameFromPath(input), fileName);
        EXPECT_EQ(GetFileExt(input), ext);
        EXPECT_EQ(RemoveFileExt(input), withoutExt);
    }

    const std::pair<QString, QString> folders[] = {{u"C:\\notes\\photos"_s, u"photos"_s},
                                                   {u"/home/u/相册/"_s, u"相册"_s},
                                                   {u"a\\b//"_s, u"b"_s},
                                                   {u"photos"_s, QString()},
                                                   {u"photos/"_s, QString()},
                                                   {QString(), QString()}};
    for (const auto &[path, name] : folders)
        EXPECT_EQ(GetFolderName(path), name) << "for " << path.toStdString();
    for (const QString &name : {u"a.txt"_s, u"..."_s, u".bashrc"_s, u"报告 v2.docx"_s})
        EXPECT_TRUE(IsSafeFileName(name)) << name.toStdString();
    for (const QString &name : {QString(), u"."_s, u".."_s, u"a/b"_s, u"a\\b"_s,
                                QString(u"a" + QString(QChar(0)) + u"b")})
        EXPECT_FALSE(IsSafeFileName(name)) << name.toStdString();

    // SplitString appends the pieces.
    // text, separator, pieces
    const std::tuple<QString, QString, std::vector<QString>> splits[]
        = {{u"a,,b,"_s, u","_s, {u"a"_s, QString(), u"b"_s}},
           {u","_s, u","_s, {QString()}},
           {u",,"_s, u","_s, {QString(), QString()}},
           {QString(), u","_s, {}},
           {u"abc"_s, u","_s, {u"abc"_s}},
           {u",a"_s, u","_s, {QString(), u"a"_s}},
           {u"note1\\file.png"_s, u"\\"_s, {u"note1"_s, u"file.png"_s}},
           {u"a::b::"_s, u"::"_s, {u"a"_s, u"b"_s}},
           {u"aaa"_s, u"aa"_s, {QString(), u"a"_s}},
           {u"x"_s, QString(), {u"x"_s}}};
    for (const auto &[text, separator, appended] : splits) {
        std::vector<QString> pieces{u"kept"_s};
        SplitString(text, separator, pieces);
        std::vector<QString> expected{u"kept"_s};
        expected.insert(expected.end(), appended.begin(), appended.end());
        EXPECT_EQ(pieces, expected) << text.toStdString();
    }
}

TEST(SizeAndTimeText, FallToLowerUnitsRoundAsPrintfAndFormatWithinTheBuffer)
{
    const std::pair<quint64, const char *> cases[]
        = {{0, "0B"},
           {1024, "1024B"},
           {1025, "1.00KB"},
           {1030, "1.01KB"},
           {1152, "1.12KB"}, // ties go to the even digit, as "%.2f" prints them
           {1408, "1.38KB"},
           {1664, "1.62KB"},
           {1048576, "1024.00KB"},
           {1048577, "1.00M"},
           {3407872, "3.25M"},
           {1179648, "1.12M"},
           {1073741824, "1024.00M"},
           {1073741825, "1.00G"},
           {std::numeric_limits<quint64>::max(), "17179869184.00G"}};
    for (const auto &[size, text] : cases)
        EXPECT_EQ(FormatFileSize(size), QLatin1String(text)) << "for " << size;

    const auto restore = qScopeGuard([zone = qgetenv("TZ"), had = qEnvironmentVariableIsSet("TZ")] {
        had ? qputenv("TZ", zone) : qunsetenv("TZ");
        tzset();
    });
    qputenv("TZ", "CST-8"); // eight hours east of UTC, no tz database needed
    tzset();

    EXPECT_EQ(FormatTime(0, u"%Y-%m-%d %H:%M:%S"_s), u"1970-01-01 08:00:00"_s);
    EXPECT_EQ(FormatTime(1700000000, u"%Y年%m月%d日 %H:%M"_s), u"2023年11月15日 06:13"_s);
    EXPECT_EQ(FormatTime(0, QString()), QString());
    EXPECT_EQ(FormatTime(0, QString(127, u'x')), QString(127, u'x'));
    EXPECT_EQ(FormatTime(0, QString(128, u'x')), QString()) << "one character too long";
    EXPECT_EQ(FormatTime(0, QString(123, u'x') + u"%Y"), QString(123, u'x') + u"1970");
    EXPECT_EQ(FormatTime(0, QString(124, u'x') + u"%Y"), QString());
    EXPECT_EQ(FormatTime(std::numeric_limits<qint64>::max(), u"%Y"_s), QString());

    // The current time, as logs and records show it and as the time a file was added.
    const std::pair<QString, QString> clocks[] = {{GetCurTimeString(), u"yyyy-MM-dd HH:mm:ss"_s},
                                                  {GetAddTimeString(), u"yyyy/MM/dd HH:mm"_s}};
    for (const auto &[now, format] : clocks) {
        const QDateTime parsed = QDateTime::fromString(now, format);
        ASSERT_TRUE(parsed.isValid()) << now.toStdString();
        const qint64 utcOfText
            = QDateTime(parsed.date(), parsed.time(), Qt::UTC).toSecsSinceEpoch() - 8 * 3600;
        EXPECT_LE(std::llabs(utcOfText - qint64(std::time(nullptr))), 65) << now.toStdString();
    }
}

TEST(NarrowText, WrittenUtf8ReadUtf8OrLegacyAndPrintedWithinCapacityUnlessNotWidened)
{
    EXPECT_EQ(ToNarrow(QStringLiteral(u"中文.txt")), QByteArray("\xE4\xB8\xAD\xE6\x96\x87.txt"));
    EXPECT_EQ(ToNarrow(QStringLiteral(u"😀")), QByteArray("\xF0\x9F\x98\x80"));
    EXPECT_EQ(ToNarrow(QString()), QByteArray());

    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));
    using enum NarrowReading;
    const std::tuple<QByteArray, QString, NarrowReading, int> cases[] = {
        {"\xE4\xB8\xAD\xE6\x96\x87.txt", QStringLiteral(u"中文.txt"), Utf8, 0},
        {QByteArray(), QString(), Utf8, 0},
        {"\xD6\xD0\xCE\xC4.txt", QStringLiteral(u"中文.txt"), Legacy, 4},
        {"a\x94\x39\xFC\x36z", QStringLiteral(u"a😀z"), Legacy, 2}, // four bytes, outside two-byte
        {"a\xFF"
         "b",
         QStringLiteral(u"a\uFFFDb"), Legacy, 1}, // no UTF-8 sequence at all
        {"\xD6\xD0\xD6", QStringLiteral(u"中\uFFFD"), Legacy, 3}, // a lead byte cut off by the end
        // UTF-8 but for a few bad bytes: two valid sequences per bad byte at least.
        {"\xE4\xB8\xAD\xFF\xE6\x96\x87", QStringLiteral(u"中\uFFFD文"), Utf8Repaired, 1},
        {"\xF0\x9F\x98\x80\xC3\xA9\xE4", QStringLiteral(u"😀é\uFFFD"), Utf8Repaired, 1},
        {"\xE4\xB8\xAD\xFF\xE6\x96\x87\xFF", QStringLiteral(u"涓\uFFFD\uFFFD鏂\uFFFD\uFFFD"),
         Legacy, 2},
        {"\xD6\xD0\xCE\xC4\xC3\xA9", QStringLiteral(u"中文茅"), Legacy, 4},
    };
    for (const auto &[bytes, text, reading, invalid] : cases) {
        const NarrowText decoded = DecodeNarrow(bytes);
        EXPECT_EQ(decoded.text, text) << bytes.toHex().toStdString();
        EXPECT_EQ(decoded.reading, reading) << bytes.toHex().toStdString();
        EXPECT_EQ(decoded.invalidBytes, invalid) << bytes.toHex().toStdString();
        EXPECT_EQ(FromNarrow(bytes), text);
    }

    EXPECT_FALSE(SetLegacyCodePage(QByteArrayLiteral("NO-SUCH-CODEPAGE")));
    EXPECT_FALSE(SetLegacyCodePage(QByteArray()));
    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));

    ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("CP1252")));
    EXPECT_EQ(LegacyCodePage(), QByteArray("CP1252"));
    EXPECT_EQ(FromNarrow(QByteArray("caf\xE9 \x80")), QStringLiteral(u"café €"));
    EXPECT_EQ(FromNarrow(QByteArray("\xC3\xA9")), QStringLiteral(u"é")) << "valid UTF-8 wins";
    ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("GB18030")));

    // Bounded printing truncates to the capacity; wide printing fails on bad narrow text.
    char buffer[8];
    EXPECT_EQ(FormatPrint(buffer, sizeof buffer, "%d-%s", 42, "hi"), 5);
    EXPECT_STREQ(buffer, "42-hi");
    EXPECT_EQ(FormatPrint(buffer, sizeof buffer, "%s", "1234567"), 7);
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_EQ(FormatPrint(buffer, sizeof buffer, "%s", "12345678"), 7);
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_EQ(FormatPrint(buffer, 1, "%s", "abc"), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(FormatPrint(buffer, 0, "%s", "abc"), -1);
    EXPECT_EQ(FormatPrint(static_cast<char *>(nullptr), 8, "%s", "abc"), -1);

    wchar_t wide[8];
    EXPECT_EQ(FormatPrint(wide, 8, L"%ls-%d", L"中文ab", 7), 6);
    EXPECT_STREQ(wide, L"中文ab-7");
    EXPECT_EQ(FormatPrint(wide, 8, L"%ls", L"1234567"), 7);
    EXPECT_STREQ(wide, L"1234567");
    EXPECT_EQ(FormatPrint(wide, 5, L"%ls-%d", L"中文ab", 7), 4);
    EXPECT_STREQ(wide, L"中文ab");
    EXPECT_EQ(FormatPrint(wide, 1, L"%d", 12345), 0);
    EXPECT_STREQ(wide, L"");
    EXPECT_EQ(FormatPrint(wide, 0, L"%d", 1), -1);
    // A narrow argument that is not valid in any locale cannot be widened.
    EXPECT_EQ(FormatPrint(wide, 8, L"name %s", "\xFF\xFE"), -1);
    EXPECT_STREQ(wide, L"");
    wchar_t small[4];
    EXPECT_EQ(FormatPrint(small, 4, L"long text then %s", "\xFF\xFE"), -1);
    EXPECT_STREQ(small, L"");
}

namespace {

constexpr qint64 cap = 10485760;

CLog4C *logger()
{
    return CLog4C::GetInstance();
}

// Messages of the whole file at `path`, without their prefixes.
Lines messagesIn(const QString &path)
{
    Lines messages;
    for (const QByteArray &line : readBytes(path).split('\n')) {
        if (!line.isEmpty())
            messages.push_back(LogCapture::messageOf(QString::fromUtf8(line)));
    }
    return messages;
}

qint64 logSize()
{
    logger()->Flush();
    return QFileInfo(logger()->FilePath()).size();
}

QByteArray tidHex()
{
    return QByteArray::number(qulonglong(::gettid()), 16);
}

const QRegularExpression
    linePattern(uR"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3}) TID:0x([0-9a-f]+) (.*)$)"_s);

} // namespace

TEST(Log4C, LinesCarryTimeThreadAndEscapedUtf8MessageAndKeepTheirOrderAcrossThreads)
{
    const qint64 before = logSize();
    const QDateTime earliest = QDateTime::currentDateTime().addMSecs(-1);
    logger()->WriteLog(u"[ERROR] 附件 wörld"_s);
    const QDateTime latest = QDateTime::currentDateTime().addMSecs(1);

    logger()->Flush();
    const QByteArray bytes = readBytes(logger()->FilePath()).mid(before);
    ASSERT_EQ(bytes.count('\n'), 1) << bytes.constData();
    ASSERT_TRUE(bytes.endsWith("\n"));
    const QRegularExpressionMatch match = linePattern.match(QString::fromUtf8(bytes.chopped(1)));
    ASSERT_TRUE(match.hasMatch()) << bytes.constData();
    const QDateTime stamp = QDateTime::fromString(match.captured(1), u"yyyy-MM-dd HH:mm:ss:zzz"_s);
    EXPECT_LE(earliest, stamp);
    EXPECT_GE(latest, stamp);
    EXPECT_EQ(match.captured(2).toLatin1(), tidHex());
    EXPECT_EQ(match.captured(3).toUtf8(), "[ERROR] \xE9\x99\x84\xE4\xBB\xB6 w\xC3\xB6rld");

    // Control characters, separators and the backslash are escaped, so no line can be forged.
    const QString cases[][2] = {
        {QString(), QString()}, // an empty message adds no line
        {u"a\r\nb"_s, u"a\\r\\nb"_s},
        {u"col\tcol\x1b[31mred del\x7f"_s, u"col\\tcol\\x1b[31mred del\\x7f"_s},
        {u"nul\0end\x01\x1f "_s, u"nul\\x00end\\x01\\x1f "_s},
        // A typed backslash-n reads back apart from an escaped line break.
        {u"userdata\\attachment\\new.png"_s, u"userdata\\\\attachment\\\\new.png"_s},
        {u"C1 \u0080 nel\u0085csi\u009b[2J \u009f, not \u00a0\u00ff"_s,
         u"C1 \\u0080 nel\\u0085csi\\u009b[2J \\u009f, not \u00a0\u00ff"_s},
        {u"\u2027 a\u2028b\u2029c \u202a"_s, u"\u2027 a\\u2028b\\u2029c \u202a"_s},
        {u"ok\n2026-01-01 00:00:00:000 TID:0x1 [ERROR] forged"_s,
         u"ok\\n2026-01-01 00:00:00:000 TID:0x1 [ERROR] forged"_s},
    };
    for (const auto &[message, written] : cases) {
        const qint64 start = logSize();
        logger()->WriteLog(message);
        logger()->WriteLog(u"next"_s);
        logger()->Flush();
        const QList<QByteArray> lines = readBytes(logger()->FilePath()).mid(start).split('\n');
        Lines messages;
        for (const QByteArray &line : lines)
            messages.push_back(LogCapture::messageOf(QString::fromUtf8(line)));
        EXPECT_EQ(messages,
                  (written.isEmpty() ? Lines{u"next"_s, {}} : Lines{written, u"next"_s, {}}))
            << "for " << message.toStdString();
        // Read back through the escapes, the message is what was written.
        LogCapture log;
        logger()->WriteLog(message);
        EXPECT_EQ(log.lines(), message.isEmpty() ? Lines{} : Lines{message});
    }

    // Lines from several threads keep their order and their thread id.
    constexpr int threads = 4;
    constexpr int perThread = 400;
    const qint64 threadsStart = logSize();
    std::vector<QByteArray> tids(threads);
    std::atomic<int> ready{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t, &tids, &ready] {
            tids[size_t(t)] = tidHex();
            ++ready;
            while (ready.load() < threads)
                std::this_thread::yield();
            for (int i = 0; i < perThread; ++i)
                logger()->WriteLog(
                    u"worker %1 line %2 ---------------------------------"_s.arg(t).arg(i));
        });
    }
    for (std::thread &worker : workers)
        worker.join();

    logger()->Flush();
    const QList<QByteArray> threadLines
        = readBytes(logger()->FilePath()).mid(threadsStart).trimmed().split('\n');
    ASSERT_EQ(threadLines.size(), threads * perThread);
    std::map<int, int> next;
    const QRegularExpression message(u"^worker (\\d) line (\\d+) -{33}$"_s);
    for (const QByteArray &line : threadLines) {
        const QRegularExpressionMatch whole = linePattern.match(QString::fromUtf8(line));
        ASSERT_TRUE(whole.hasMatch()) << line.constData();
        const QRegularExpressionMatch parts = message.match(whole.captured(3));
        ASSERT_TRUE(parts.hasMatch()) << line.constData();
        const int t = parts.captured(1).toInt();
        EXPECT_EQ(parts.captured(2).toInt(), next[t]++) << line.constData();
        EXPECT_EQ(whole.captured(2).toLatin1(), tids[size_t(t)]) << line.constData();
    }
}

TEST(Log4C, FileAtTheCapIsAppendedToPastItStartedAfreshAndInTheWayWaitedFor)
{
    const QString path = logger()->FilePath();
    logger()->Flush();

    ASSERT_TRUE(writeBytes(path, QByteArray(cap, '\0')));
    logger()->WriteLog(u"at cap"_s);
    logger()->Flush();
    QByteArray bytes = readBytes(path);
    ASSERT_GT(bytes.size(), cap);
    EXPECT_EQ(bytes.left(cap), QByteArray(cap, '\0'));
    EXPECT_EQ(LogCapture::messageOf(QString::fromUtf8(bytes.mid(cap).chopped(1))), u"at cap"_s);

    // Now above the cap: the next pass deletes it and writes only its own lines.
    logger()->WriteLog(u"fresh 1"_s);
    logger()->WriteLog(u"fresh 2"_s);
    logger()->Flush();
    EXPECT_EQ(messagesIn(path), (Lines{u"fresh 1"_s, u"fresh 2"_s}));

    ASSERT_TRUE(writeBytes(path, QByteArray(cap + 1, '\0')));
    logger()->WriteLog(u"past cap"_s);
    logger()->Flush();
    EXPECT_EQ(messagesIn(path), Lines{u"past cap"_s});

    // With nothing queued a pass still creates a missing file, empty.
    ASSERT_TRUE(QFile::remove(path));
    logger()->Flush();
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(QFileInfo(path).size(), 0);

    // The log file's place is taken by a folder: it cannot be opened for appending and, once its
    // size passes the cap, cannot be deleted either. Lines wait until it is gone.
    for (const bool overCap : {false, true}) {
        logger()->Flush();
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QDir().mkdir(path));
        if (overCap) {
            // Grow the folder past the cap with hard links to one file.
            const QString seed = path + u"/seed"_s;
            ASSERT_TRUE(writeBytes(seed, "x"));
            const QByteArray longName(200, 'n');
            struct stat info;
            for (int i = 0;
                 ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_size <= cap;
                 ++i) {
                const QByteArray name
                    = QFile::encodeName(path) + '/' + QByteArray::number(i) + longName;
                if (i == 2000000
                    || ::link(QFile::encodeName(seed).constData(), name.constData()) != 0) {
                    QDir(path).removeRecursively();
                    GTEST_SKIP() << "this file system does not let a folder grow past the cap";
                }
            }
        }
        logger()->WriteLog(u"kept 1"_s);
        logger()->Flush();
        logger()->WriteLog(u"kept 2"_s);
        logger()->Flush();
        EXPECT_TRUE(QFileInfo(path).isDir()) << "over cap: " << overCap;

        ASSERT_TRUE(QDir(path).removeRecursively());
        logger()->Flush();
        EXPECT_EQ(messagesIn(path), (Lines{u"kept 1"_s, u"kept 2"_s})) << "over cap: " << overCap;
    }
}

// Runs in a child process only: logs and exits at once, long before the writer thread wakes.
TEST(Log4C, DISABLED_ChildLogsAndExits)
{
    while (!QFileInfo::exists(logger()->FilePath()))
        QThread::msleep(5);
    logger()->WriteLog(u"last 1"_s);
    logger()->WriteLog(u"last 2"_s);
}

TEST(Log4C, QueuedLinesAreWrittenWhenTheProcessExits)
{
    QTemporaryDir dir;
    // posix_spawn rather than QProcess: the thread sanitizer does not follow QProcess's fork.
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    char alsoDisabled[] = "--gtest_also_run_disabled_tests";
    char filter[] = "--gtest_filter=Log4C.DISABLED_ChildLogsAndExits";
    char *arguments[] = {const_cast<char *>(program.constData()), alsoDisabled, filter, nullptr};
    const QByteArray ownAppDir = qgetenv("TAVRIK_APP_DIR");
    qputenv("TAVRIK_APP_DIR", QFile::encodeName(dir.path()));
    pid_t child = 0;
    const int spawned
        = ::posix_spawn(&child, program.constData(), nullptr, nullptr, arguments, environ);
    qputenv("TAVRIK_APP_DIR", ownAppDir);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    EXPECT_EQ(messagesIn(dir.filePath(u"ZorvaEditor.log"_s)), (Lines{u"last 1"_s, u"last 2"_s}));
}

TEST(Log4C, DestructionWritesQueuedLinesLeavesTheRegistryAndWaitsAtMostThreeSeconds)
{
    logger()->Flush();
    const int registered = SingletonRegistryCount();
    QTemporaryDir dir;
    SetAppDirectory(dir.path());
    delete CLog4C::GetInstance();
    EXPECT_EQ(SingletonRegistryCount(), registered - 1);

    // Many threads racing for the first instance all get the same one.
    std::vector<CLog4C *> seen(8);
    std::vector<std::thread> racers;
    for (size_t i = 0; i < seen.size(); ++i)
        racers.emplace_back([i, &seen] { seen[i] = CLog4C::GetInstance(); });
    for (std::thread &racer : racers)
        racer.join();
    for (CLog4C *instance : seen)
        EXPECT_EQ(instance, seen.front());
    EXPECT_EQ(SingletonRegistryCount(), registered);

    CLog4C *fresh = CLog4C::GetInstance();
    const QString path = dir.filePath(u"ZorvaEditor.log"_s);
    EXPECT_EQ(fresh->FilePath(), path);
    while (!QFileInfo::exists(path))
        QThread::msleep(5);
    fresh->WriteLog(u"before destruction"_s);
    delete fresh;
    EXPECT_EQ(SingletonRegistryCount(), registered - 1);
    EXPECT_EQ(messagesIn(path), Lines{u"before destruction"_s});

    SetAppDirectory(QString());
    EXPECT_EQ(CLog4C::GetInstance()->FilePath(), GetAppDirectory() + u"ZorvaEditor.log"_s);
    EXPECT_EQ(SingletonRegistryCount(), registered);

    // The log file is a pipe nobody reads, so the writer's pass blocks opening it. Destruction
    // waits at most 3000 ms; the writer then writes the queued lines once the pipe is read.
    logger()->Flush();
    QTemporaryDir fifoDir;
    const QByteArray pipe = QFile::encodeName(fifoDir.filePath(u"ZorvaEditor.log"_s));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    SetAppDirectory(fifoDir.path());
    delete CLog4C::GetInstance();
    CLog4C *stuck = CLog4C::GetInstance();
    stuck->WriteLog(u"queued while stuck"_s);

    auto destroyed = std::make_shared<std::promise<void>>();
    std::future<void> done = destroyed->get_future();
    std::thread([stuck, destroyed] {
        delete stuck;
        destroyed->set_value();
    }).detach();
    const bool returned = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    SetAppDirectory(QString());
    // Read end and a write end of our own: the writer's opens no longer block, reads never end.
    const int reader = ::open(pipe.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    QByteArray written;
    for (int i = 0; i < 1000 && !written.contains('\n'); ++i) {
        char chunk[256];
        const ssize_t got = ::read(reader, chunk, sizeof chunk);
        if (got > 0)
            written.append(chunk, got);
        else
            QThread::msleep(10);
    }
    EXPECT_TRUE(returned) << "the destructor waited for the writer without a limit";
    done.wait();
    EXPECT_EQ(LogCapture::messageOf(QString::fromUtf8(written.trimmed())), u"queued while stuck"_s);
    // `reader` stays open: the writer's last pass may still open the pipe after this test.
}
