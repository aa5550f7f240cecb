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
