// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "logcapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <openssl/evp.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <ostream>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;
using namespace Qt::StringLiterals;

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << "bytes(" << bytes.toHex(' ').toStdString() << ')';
}

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(content) == content.size();
}

// MD5 computed in one call by OpenSSL, independent of how the file is streamed.
QString oneShotMd5(const QByteArray &content)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(content.constData(), size_t(content.size()), digest, &length, EVP_md5(), nullptr);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

// Points the application folder at a fresh temporary folder for one test.
class AppFolderFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.isValid());
        SetAppDirectory(m_temp.path());
    }
    void TearDown() override { SetAppDirectory(QString()); }
    QString root() const { return m_temp.path(); }

    QTemporaryDir m_temp;
};

} // namespace

// ---- Base64 ----

struct EncodeCase
{
    QByteArray bytes;
    QByteArray text;
};

class Base64EncodeTest : public ::testing::TestWithParam<EncodeCase>
{
};

TEST_P(Base64EncodeTest, GivesStandardPaddedText)
{
    const EncodeCase &c = GetParam();
    EXPECT_EQ(Base64Encode(c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Base64EncodeTest,
    ::testing::Values(EncodeCase{QByteArray(), QByteArray()}, EncodeCase{"f", "Zg=="},
                      EncodeCase{"fo", "Zm8="}, EncodeCase{"foo", "Zm9v"},
                      EncodeCase{"foob", "Zm9vYg=="}, EncodeCase{"fooba", "Zm9vYmE="},
                      EncodeCase{"foobar", "Zm9vYmFy"}, EncodeCase{bytesOf({0}), "AA=="},
                      EncodeCase{bytesOf({0xFB, 0xFF, 0xBF}), "+/+/"},
                      EncodeCase{QByteArray("\xE4\xB8\xAD\xE6\x96\x87.txt"), "5Lit5paHLnR4dA=="}));

TEST(Base64, EncodeOfNoBytesIsEmpty)
{
    EXPECT_EQ(Base64Encode("abc", 0), QByteArray());
    EXPECT_EQ(Base64Encode("abc", -5), QByteArray());
    EXPECT_EQ(Base64Encode(nullptr, 3), QByteArray());
    EXPECT_EQ(Base64Encode("abcdef", 4), QByteArray("YWJjZA=="));
}

struct DecodeCase
{
    const char *name;
    QByteArray text;
    QByteArray decoded;
    int count;
};

class Base64DecodeTest : public ::testing::TestWithParam<DecodeCase>
{
};

TEST_P(Base64DecodeTest, GivesBytesAndCount)
{
    const DecodeCase &c = GetParam();
    QByteArray decoded("left over");
    EXPECT_EQ(Base64Decode(c.text, decoded), c.count);
    EXPECT_EQ(decoded, c.decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Quirks, Base64DecodeTest,
    ::testing::Values(DecodeCase{"empty", "", "", 0}, DecodeCase{"plain", "Zm9vYmFy", "foobar", 6},
                      DecodeCase{"onePad", "Zm8=", "fo", 2}, DecodeCase{"twoPads", "Zg==", "f", 1},
                      DecodeCase{"crlfBetweenGroups", "Zm9v\r\nYmFy\r\n", "foobar", 6},
                      DecodeCase{"controlOneAndTwo", "\x01Zm9v\x02Zg==", "foof", 4},
                      DecodeCase{"onlyBreaks", "\r\n\r\n", "", 0},
                      // Inside a group a line break is an ordinary character worth 0.
                      DecodeCase{"breakInsideGroup", "Zm\r\n9v", "f`", 6},
                      DecodeCase{"nonAlphabetIsZero", "Zm*v", "f`/", 3},
                      DecodeCase{"bangBeforePads", "Z!==", "d", 1},
                      DecodeCase{"highBytesAreZero", "\xFF\xFE\xFD\xFC", "", 3},
                      DecodeCase{"padOnlyInThird", "Zg=A", "f", 2},
                      DecodeCase{"cutAtFirstZero", "Zm8AZm8=", "fo", 5},
                      DecodeCase{"allZero", "AAAA", "", 3},
                      // A group cut short by the end reads missing characters as worth 0.
                      DecodeCase{"trailingTwo", "Zg", "f", 3},
                      DecodeCase{"trailingOne", "Zm9vZ", "food", 6},
                      DecodeCase{"trailingThree", "Zm9", "fo@", 3}),
    [](const ::testing::TestParamInfo<DecodeCase> &info) { return std::string(info.param.name); });

TEST(Base64, RoundTripsEveryLengthAndByte)
{
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all.append(char(i));
    for (int length = 0; length <= all.size(); ++length) {
        const QByteArray bytes = all.right(length);
        QByteArray decoded;
        EXPECT_EQ(Base64Decode(Base64Encode(bytes), decoded), length);
        EXPECT_EQ(decoded, bytes) << "length " << length;
    }
}

TEST(Base64, DecodesLinesBrokenEverySeventySixCharacters)
{
    QByteArray bytes;
    for (int i = 0; i < 400; ++i)
        bytes.append(char(1 + i % 250));
    const QByteArray text = Base64Encode(bytes);
    QByteArray broken;
    for (qsizetype at = 0; at < text.size(); at += 76)
        broken += text.mid(at, 76) + "\r\n";
    QByteArray decoded;
    EXPECT_EQ(Base64Decode(broken, decoded), bytes.size());
    EXPECT_EQ(decoded, bytes);
}

// ---- MD5 of a file ----

TEST(CalcFileMd5, KnownVectors)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const struct
    {
        QByteArray content;
        const char *md5;
    } vectors[] = {{QByteArray(), "d41d8cd98f00b204e9800998ecf8427e"},
                   {"abc", "900150983cd24fb0d6963f7d28e17f72"},
                   {QByteArray(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"}};
    for (const auto &v : vectors) {
        const QString path = temp.filePath(QStringLiteral("vector"));
        ASSERT_TRUE(writeFile(path, v.content));
        EXPECT_EQ(CalcFileMd5(path), QLatin1String(v.md5)) << v.content.size() << " bytes";
    }
}

TEST(CalcFileMd5, SizesAroundTheReadChunkAndLargeFiles)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    // Chinese file name: the path must reach the system in its own encoding.
    const QString path = temp.filePath(QStringLiteral(u"附件 数据.bin"));
    QByteArray pattern(8 * 1024 * 1024 + 3, Qt::Uninitialized);
    quint32 state = 20261205;
    for (char &c : pattern) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    for (qsizetype size : {1, 63, 64, 65, 65535, 65536, 65537, 3 * 65536, 8 * 1024 * 1024 + 3}) {
        const QByteArray content = pattern.left(size);
        ASSERT_TRUE(writeFile(path, content));
        EXPECT_EQ(CalcFileMd5(path), oneShotMd5(content)) << size << " bytes";
    }
}

TEST(CalcFileMd5, MissingFileGivesEmptyTextAndOneLogLine)
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("no such file.png"));
    LogCapture capture;
    EXPECT_EQ(CalcFileMd5(path), QString());
    EXPECT_THAT(
        capture.lines(),
        ElementsAre(u"[ERROR]: Open file('" + path + u"') to calc file md5 failed!Error code:2."));
}

TEST(CalcFileMd5, UnreadableFileGivesEmptyTextAndReadError)
{
    QTemporaryDir temp;
    // A folder opens for reading but every read fails (EISDIR).
    LogCapture capture;
    EXPECT_EQ(CalcFileMd5(temp.path()), QString());
    EXPECT_THAT(capture.lines(),
                ElementsAre(u"[ERROR] CalcFileMd5: Read file('" + temp.path()
                            + u"') failed!Error code:21."));
}

// ---- GUID ----

TEST(CreateGuidString, ThirtyTwoLowerHexDigitsInFieldOrder)
{
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

// ---- Application and attachment folders ----

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

    SetAppDirectory(QStringLiteral("/opt/notes"));
    EXPECT_EQ(GetAppDirectory(), QStringLiteral("/opt/notes/"));
    SetAppDirectory(QStringLiteral("/opt/notes/"));
    EXPECT_EQ(GetAppDirectory(), QStringLiteral("/opt/notes/"));
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

TEST_F(AppFolderFixture, AttachRootIsCreatedWhenMissing)
{
    const QString expected = root() + u"/userdata/attachment";
    ASSERT_FALSE(QFileInfo::exists(expected));
    EXPECT_EQ(GetAttachRootDir(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(GetAttachRootDir(), expected);
}

TEST_F(AppFolderFixture, AttachRootIsReturnedEvenWhenItCannotBeCreated)
{
    ASSERT_TRUE(writeFile(root() + u"/userdata", "a file where a folder belongs"));
    EXPECT_EQ(GetAttachRootDir(), root() + u"/userdata/attachment");
    EXPECT_FALSE(QFileInfo::exists(root() + u"/userdata/attachment"));
}

TEST_F(AppFolderFixture, AttachFilePathCreatesNoteFolderOnlyForKeptName)
{
    const QString attachRoot = root() + u"/userdata/attachment";
    EXPECT_EQ(GetAttachFilePath(QStringLiteral("note1"), QStringLiteral("0123abcd.png"), QString()),
              attachRoot + u"/0123abcd.png");
    EXPECT_FALSE(QFileInfo::exists(attachRoot + u"/note1"));

    EXPECT_EQ(GetAttachFilePath(QStringLiteral("note1"), QStringLiteral("0123abcd.png"),
                                QStringLiteral(u"报告.png")),
              attachRoot + u"/note1/报告.png");
    EXPECT_TRUE(QFileInfo(attachRoot + u"/note1").isDir());
    EXPECT_FALSE(QFileInfo::exists(attachRoot + u"/note1/报告.png"));
}

// ---- Folders and existence ----

TEST(MakeDirectories, CreatesMissingParents)
{
    QTemporaryDir temp;
    const QString deep = temp.path() + u"/a/b/中文/c";
    EXPECT_EQ(MakeDirectories(deep), 1);
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_EQ(MakeDirectories(deep), 1);
    EXPECT_EQ(MakeDirectories(temp.path() + u"/x/y//"), 1);
    EXPECT_TRUE(QFileInfo(temp.path() + u"/x/y").isDir());
    EXPECT_EQ(MakeDirectories(QStringLiteral("/")), 1);
}

TEST(MakeDirectories, RefusesWhatCannotBecomeAFolder)
{
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("plain.txt"));
    ASSERT_TRUE(writeFile(file, "x"));
    EXPECT_EQ(MakeDirectories(file), 0) << "a file is in the way";
    EXPECT_EQ(MakeDirectories(file + u"/sub/deeper"), 0) << "a file as parent";
    EXPECT_FALSE(QFileInfo::exists(file + u"/sub"));
    EXPECT_EQ(MakeDirectories(QString()), 0);
    EXPECT_EQ(MakeDirectories(QStringLiteral("no-separator-and-missing")), 0);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("no-separator-and-missing")));
    EXPECT_EQ(MakeDirectories(temp.path() + u"/bad" + QChar(0) + u"name"), 0);
    EXPECT_FALSE(QFileInfo::exists(temp.path() + u"/bad"));
}

TEST(IsFileExist, FilesFoldersAndLongPaths)
{
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("note.html"));
    ASSERT_TRUE(writeFile(file, QByteArray()));
    EXPECT_NE(IsFileExist(file), 0);
    EXPECT_NE(IsFileExist(temp.path()), 0);
    EXPECT_EQ(IsFileExist(temp.filePath(QStringLiteral("missing.html"))), 0);
    EXPECT_EQ(IsFileExist(QString()), 0);
    EXPECT_EQ(IsFileExist(file + QChar(0) + u"tail"), 0);

    QString longFolder = temp.path();
    while (longFolder.size() <= 300)
        longFolder += u"/segment-of-forty-characters-0123456789";
    ASSERT_TRUE(QDir().mkpath(longFolder));
    const QString longFile = longFolder + u"/file.txt";
    ASSERT_GT(longFile.size(), 300);
    ASSERT_TRUE(writeFile(longFile, "x"));
    EXPECT_NE(IsFileExist(longFile), 0);
    EXPECT_EQ(IsFileExist(longFile + u"x"), 0);
}

// ---- Path and name text ----

struct NameCase
{
    QString input;
    QString fileName;
    QString ext;
    QString withoutExt;
};

class NameTextTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(NameTextTest, SplitsAtLastSeparatorAndDot)
{
    const NameCase &c = GetParam();
    EXPECT_EQ(GetFileNameFromPath(c.input), c.fileName);
    EXPECT_EQ(GetFileExt(c.input), c.ext);
    EXPECT_EQ(RemoveFileExt(c.input), c.withoutExt);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameTextTest,
    ::testing::Values(NameCase{u"/home/u/a.txt"_s, u"a.txt"_s, u"txt"_s, u"/home/u/a"_s},
                      NameCase{u"userdata\\attachment\\ab12.png"_s, u"ab12.png"_s, u"png"_s,
                               u"userdata\\attachment\\ab12"_s},
                      NameCase{u"a/b\\c.JPG"_s, u"c.JPG"_s, u"JPG"_s, u"a/b\\c"_s},
                      NameCase{u"noext"_s, u"noext"_s, u"noext"_s, u"noext"_s},
                      NameCase{u"a.tar.gz"_s, u"a.tar.gz"_s, u"gz"_s, u"a.tar"_s},
                      NameCase{u".bashrc"_s, u".bashrc"_s, u"bashrc"_s, QString()},
                      NameCase{u"trailing."_s, u"trailing."_s, QString(), u"trailing"_s},
                      NameCase{u"dir.d/file"_s, u"file"_s, u"d/file"_s, u"dir"_s},
                      NameCase{u"folder/"_s, QString(), u"folder/"_s, u"folder/"_s},
                      NameCase{u"说明.文档"_s, u"说明.文档"_s, u"文档"_s, u"说明"_s},
                      NameCase{QString(), QString(), QString(), QString()}));

struct SplitCase
{
    QString text;
    QString separator;
    std::vector<QString> pieces;
};

class SplitStringTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitStringTest, AppendsPieces)
{
    const SplitCase &c = GetParam();
    std::vector<QString> pieces{u"kept"_s};
    SplitString(c.text, c.separator, pieces);
    std::vector<QString> expected{u"kept"_s};
    expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
    EXPECT_EQ(pieces, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, SplitStringTest,
    ::testing::Values(SplitCase{u"a,,b,"_s, u","_s, {u"a"_s, QString(), u"b"_s}},
                      SplitCase{u","_s, u","_s, {QString()}},
                      SplitCase{u",,"_s, u","_s, {QString(), QString()}},
                      SplitCase{QString(), u","_s, {}}, SplitCase{u"abc"_s, u","_s, {u"abc"_s}},
                      SplitCase{u",a"_s, u","_s, {QString(), u"a"_s}},
                      SplitCase{u"note1\\file.png"_s, u"\\"_s, {u"note1"_s, u"file.png"_s}},
                      SplitCase{u"a::b::"_s, u"::"_s, {u"a"_s, u"b"_s}},
                      SplitCase{u"aaa"_s, u"aa"_s, {QString(), u"a"_s}},
                      SplitCase{u"x"_s, QString(), {u"x"_s}}));

// ---- Size and time text ----

class FormatFileSizeTest : public ::testing::TestWithParam<std::pair<quint64, const char *>>
{
};

TEST_P(FormatFileSizeTest, FallsToLowerUnitAtBoundaries)
{
    EXPECT_EQ(FormatFileSize(GetParam().first), QLatin1String(GetParam().second))
        << "for " << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FormatFileSizeTest,
    ::testing::Values(std::pair<quint64, const char *>{0, "0B"}, std::pair{quint64(1), "1B"},
                      std::pair{quint64(1024), "1024B"}, std::pair{quint64(1025), "1.00KB"},
                      std::pair{quint64(1030), "1.01KB"}, std::pair{quint64(1536), "1.50KB"},
                      std::pair{quint64(1048575), "1024.00KB"},
                      std::pair{quint64(1048576), "1024.00KB"},
                      std::pair{quint64(1048577), "1.00M"}, std::pair{quint64(3407872), "3.25M"},
                      std::pair{quint64(1073741824), "1024.00M"},
                      std::pair{quint64(1073741825), "1.00G"},
                      std::pair{quint64(5368709120), "5.00G"},
                      std::pair{std::numeric_limits<quint64>::max(), "17179869184.00G"}));

class LocalTimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedZone = qgetenv("TZ");
        m_hadZone = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "CST-8"); // eight hours east of UTC, no tz database needed
        tzset();
    }
    void TearDown() override
    {
        if (m_hadZone)
            qputenv("TZ", m_savedZone);
        else
            qunsetenv("TZ");
        tzset();
    }

    QByteArray m_savedZone;
    bool m_hadZone = false;
};

TEST_F(LocalTimeTest, FormatsLocalTimeWithinTheBuffer)
{
    EXPECT_EQ(FormatTime(0, u"%Y-%m-%d %H:%M:%S"_s), u"1970-01-01 08:00:00"_s);
    EXPECT_EQ(FormatTime(1700000000, u"%Y/%m/%d %H:%M"_s), u"2023/11/15 06:13"_s);
    EXPECT_EQ(FormatTime(1700000000, u"%Y年%m月%d日"_s), u"2023年11月15日"_s);
    EXPECT_EQ(FormatTime(0, QString()), QString());
    EXPECT_EQ(FormatTime(0, QString(127, u'x')), QString(127, u'x'));
    EXPECT_EQ(FormatTime(0, QString(128, u'x')), QString()) << "one character too long";
    EXPECT_EQ(FormatTime(0, QString(123, u'x') + u"%Y"), QString(123, u'x') + u"1970");
    EXPECT_EQ(FormatTime(0, QString(124, u'x') + u"%Y"), QString());
    EXPECT_EQ(FormatTime(std::numeric_limits<qint64>::max(), u"%Y"_s), QString());
}

TEST_F(LocalTimeTest, CurrentTimeString)
{
    const QString now = GetCurTimeString();
    ASSERT_TRUE(
        QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"_s).match(now).hasMatch())
        << now.toStdString();
    const QDateTime parsed = QDateTime::fromString(now, u"yyyy-MM-dd HH:mm:ss"_s);
    const qint64 utcOfText
        = QDateTime(parsed.date(), parsed.time(), Qt::UTC).toSecsSinceEpoch() - 8 * 3600;
    EXPECT_LE(std::llabs(utcOfText - qint64(std::time(nullptr))), 5);
}

// ---- Bounded printing ----

TEST(FormatPrint, NarrowTruncatesToCapacity)
{
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
}

TEST(FormatPrint, WideTruncatesToCapacity)
{
    wchar_t buffer[8];
    EXPECT_EQ(FormatPrint(buffer, 8, L"%ls-%d", L"中文ab", 7), 6);
    EXPECT_STREQ(buffer, L"中文ab-7");
    EXPECT_EQ(FormatPrint(buffer, 8, L"%ls", L"1234567"), 7);
    EXPECT_STREQ(buffer, L"1234567");
    EXPECT_EQ(FormatPrint(buffer, 5, L"%ls-%d", L"中文ab", 7), 4);
    EXPECT_STREQ(buffer, L"中文ab");
    EXPECT_EQ(FormatPrint(buffer, 1, L"%d", 12345), 0);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(FormatPrint(buffer, 0, L"%d", 1), -1);
}

TEST(FormatPrint, WideConversionErrorIsMinusOne)
{
    // A narrow argument that is not valid in any locale cannot be widened.
    wchar_t buffer[64];
    EXPECT_EQ(FormatPrint(buffer, 64, L"name %s", "\xFF\xFE"), -1);
    EXPECT_STREQ(buffer, L"");
    wchar_t small[4];
    EXPECT_EQ(FormatPrint(small, 4, L"long text then %s", "\xFF\xFE"), -1);
    EXPECT_STREQ(small, L"");
}
