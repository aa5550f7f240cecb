// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/narrowcodec.h"
#include "testhelpers.h"

using namespace TAVRIKCORE::RICHEDITOR;

TEST(NarrowCodec, WritesUtf8AndReadsUtf8OrLegacyGb18030)
{
    EXPECT_EQ(ToNarrow(QStringLiteral(u"中文.txt")), QByteArray("\xE4\xB8\xAD\xE6\x96\x87.txt"));
    EXPECT_EQ(ToNarrow(QStringLiteral(u"😀")), QByteArray("\xF0\x9F\x98\x80"));
    EXPECT_EQ(ToNarrow(QString()), QByteArray());

    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));
    const std::pair<QByteArray, QString> cases[] = {
        {"\xE4\xB8\xAD\xE6\x96\x87.txt", QStringLiteral(u"中文.txt")},
        {QByteArray(), QString()},
        {"\xD6\xD0\xCE\xC4.txt", QStringLiteral(u"中文.txt")},
        {"a\x94\x39\xFC\x36z", QStringLiteral(u"a😀z")}, // four bytes, outside the two-byte range
        {"a\xFF"
         "b",
         QStringLiteral(u"a\uFFFDb")},
        {"\xD6\xD0\xD6", QStringLiteral(u"中\uFFFD")}, // a lead byte cut off by the end
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(FromNarrow(bytes), text) << bytes.toHex().toStdString();
}

TEST(NarrowCodec, LegacyCodePageCanBeChangedButNotToUnknownNames)
{
    EXPECT_FALSE(SetLegacyCodePage(QByteArrayLiteral("NO-SUCH-CODEPAGE")));
    EXPECT_FALSE(SetLegacyCodePage(QByteArray()));
    EXPECT_EQ(LegacyCodePage(), QByteArray("GB18030"));

    ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("CP1252")));
    EXPECT_EQ(LegacyCodePage(), QByteArray("CP1252"));
    EXPECT_EQ(FromNarrow(QByteArray("caf\xE9 \x80")), QStringLiteral(u"café €"));
    EXPECT_EQ(FromNarrow(QByteArray("\xC3\xA9")), QStringLiteral(u"é")) << "valid UTF-8 wins";
    ASSERT_TRUE(SetLegacyCodePage(QByteArrayLiteral("GB18030")));
}
