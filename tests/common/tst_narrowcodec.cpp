// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/narrowcodec.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace TAVRIKCORE::RICHEDITOR;

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Puts the default legacy code page back after a test that changes it.
class NarrowCodecTest : public ::testing::Test
{
protected:
    void TearDown() override { ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("GB18030"))); }
};

} // namespace

TEST_F(NarrowCodecTest, WritesUtf8)
{
    EXPECT_EQ(ToNarrow(QStringLiteral(u"中文.txt")), QByteArray("\xE4\xB8\xAD\xE6\x96\x87.txt"));
    EXPECT_EQ(ToNarrow(QStringLiteral(u"😀")), QByteArray("\xF0\x9F\x98\x80"));
    EXPECT_EQ(ToNarrow(QString()), QByteArray());
}

TEST_F(NarrowCodecTest, ReadsUtf8AsIs)
{
    EXPECT_EQ(FromNarrow(QByteArray("\xE4\xB8\xAD\xE6\x96\x87.txt")), QStringLiteral(u"中文.txt"));
    EXPECT_EQ(FromNarrow(QByteArray("plain ascii")), QStringLiteral(u"plain ascii"));
    EXPECT_EQ(FromNarrow(QByteArray()), QString());
}

TEST_F(NarrowCodecTest, ReadsLegacyGb18030)
{
    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));
    EXPECT_EQ(FromNarrow(QByteArray("\xD6\xD0\xCE\xC4.txt")), QStringLiteral(u"中文.txt"));
    // A four-byte sequence outside the two-byte range.
    EXPECT_EQ(FromNarrow(QByteArray("a\x94\x39\xFC\x36z")), QStringLiteral(u"a😀z"));
}

TEST_F(NarrowCodecTest, UndecodableBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(FromNarrow(QByteArray("a\xFF"
                                    "b")),
              QStringLiteral(u"a\uFFFDb"));
    // A lead byte cut off by the end of the text.
    EXPECT_EQ(FromNarrow(QByteArray("\xD6\xD0\xD6")), QStringLiteral(u"中\uFFFD"));
}

TEST_F(NarrowCodecTest, LegacyCodePageCanBeChangedButNotToUnknownNames)
{
    EXPECT_FALSE(SetLegacyCodePage(QByteArrayLiteral("NO-SUCH-CODEPAGE")));
    EXPECT_FALSE(SetLegacyCodePage(QByteArray()));
    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));

    ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("CP1252")));
    EXPECT_EQ(LegacyCodePage(), QByteArray("CP1252"));
    EXPECT_EQ(FromNarrow(QByteArray("caf\xE9 \x80")), QStringLiteral(u"café €"));
    EXPECT_EQ(FromNarrow(QByteArray("\xC3\xA9")), QStringLiteral(u"é")) << "valid UTF-8 wins";
}
