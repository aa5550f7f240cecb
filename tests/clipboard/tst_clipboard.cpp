// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The clipboard's byte layouts.
#include "clipboard/clipboardlayout_p.h"
#include "notefixtures.h"

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

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
