// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// The byte blocks the editor exchanges with the clipboard, built and read without a clipboard.
//
// "HTML Format": a header of "Name:value" lines with byte offsets into the whole text, then an
// HTML document around the fragment:
//     Version:0.9 / StartHTML / EndHTML / StartFragment / EndFragment (eight digits each)
//     <html><body>CRLF<!--StartFragment -->CRLF  fragment
//     CRLF<!--EndFragment-->CRLF</body>CRLF</html>
// File list: a 20-byte little-endian header (names at 20, drop point 0,0, non-client 0, wide
// names 1) followed by each path in UTF-16LE with its zero character, then one more zero.
// Drop effect: four bytes, little-endian.
class TAVRIK_AUTOTEST_EXPORT ClipboardLayout
{
public:
    static constexpr qsizetype HtmlHeaderSize = 134;
    static constexpr qsizetype HtmlTrailerSize = 36;
    // The offsets have eight digits, so no "HTML Format" text may pass this many bytes.
    static constexpr qsizetype MaxHtmlFormatSize = 99999999;
    static constexpr quint32 DropEffectCopy = 1;

    // The whole "HTML Format" text for `fragment` (up to its first zero byte), without a
    // terminating zero: header, fragment, CR LF, trailer, with the four offsets filled in.
    // Nothing when the text would pass MaxHtmlFormatSize.
    static std::optional<QByteArray> buildHtmlFormat(QByteArrayView fragment);

    // The fragment of an "HTML Format" text: the bytes between the StartFragment and
    // EndFragment offsets of its header. The text counts up to its first zero byte. Nothing
    // when either label or its number is missing, a number does not fit 32 bits, start is
    // negative, end is before start, or end lies past the text.
    static std::optional<QByteArray> htmlFragment(QByteArrayView data);

    // The file-list block for `paths`, in order: 22 + 2 x sum(length + 1) bytes. Empty for an
    // empty list.
    static QByteArray buildFileList(const std::vector<QString> &paths);

    // The four bytes of a preferred drop effect.
    static QByteArray dropEffect(quint32 effect = DropEffectCopy);
};

} // namespace TAVRIKCORE::RICHEDITOR
