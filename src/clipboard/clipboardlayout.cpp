// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/clipboardlayout_p.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr char HtmlHeader[] = "Version:0.9\r\n"
                              "StartHTML:00000000\r\n"
                              "EndHTML:00000000\r\n"
                              "StartFragment:00000000\r\n"
                              "EndFragment:00000000\r\n"
                              "<html><body>\r\n"
                              "<!--StartFragment -->\r\n";
constexpr char HtmlTrailer[] = "<!--EndFragment-->\r\n</body>\r\n</html>";
static_assert(sizeof(HtmlHeader) - 1 == ClipboardLayout::HtmlHeaderSize);
static_assert(sizeof(HtmlTrailer) - 1 == ClipboardLayout::HtmlTrailerSize);

// Where each offset's eight digits sit in the header.
constexpr qsizetype StartHtmlAt = 23;
constexpr qsizetype EndHtmlAt = 41;
constexpr qsizetype StartFragmentAt = 65;
constexpr qsizetype EndFragmentAt = 87;
constexpr qsizetype FileListHeaderSize = 20;

QByteArrayView untilZero(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.first(zero);
}

void patchOffset(QByteArray &text, qsizetype at, qsizetype value)
{
    const QByteArray digits = QByteArray::number(value).rightJustified(8, '0');
    std::memcpy(text.data() + at, digits.constData(), 8);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal number after the first `label`, read as a C library reads "%d": blanks
// skipped, an optional sign, then digits.
std::optional<qint32> numberAfter(QByteArrayView text, QByteArrayView label)
{
    const qsizetype found = text.indexOf(label);
    if (found < 0)
        return std::nullopt;
    qsizetype at = found + label.size();
    while (at < text.size() && isBlank(text.at(at)))
        ++at;
    bool negative = false;
    if (at < text.size() && (text.at(at) == '+' || text.at(at) == '-'))
        negative = text.at(at++) == '-';
    qint64 value = 0;
    const qsizetype digitsStart = at;
    for (; at < text.size() && text.at(at) >= '0' && text.at(at) <= '9'; ++at) {
        value = value * 10 + (text.at(at) - '0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    if (at == digitsStart)
        return std::nullopt;
    value = negative ? -value : value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

std::optional<QByteArray> ClipboardLayout::buildHtmlFormat(QByteArrayView fragment)
{
    const QByteArrayView body = untilZero(fragment);
    if (body.size() > MaxHtmlFormatSize - HtmlHeaderSize - 2 - HtmlTrailerSize)
        return std::nullopt;
    QByteArray text;
    text.reserve(HtmlHeaderSize + body.size() + 2 + HtmlTrailerSize);
    text.append(HtmlHeader).append(body).append("\r\n").append(HtmlTrailer);
    // Each offset is where its marker first occurs, so a fragment holding "<!--EndFrag" ends
    // there for a reader.
    patchOffset(text, StartHtmlAt, text.indexOf("<html>"));
    patchOffset(text, EndHtmlAt, text.size());
    patchOffset(text, StartFragmentAt, text.indexOf("<!--StartFrag"));
    patchOffset(text, EndFragmentAt, text.indexOf("<!--EndFrag"));
    return text;
}

std::optional<QByteArray> ClipboardLayout::htmlFragment(QByteArrayView data)
{
    const QByteArrayView text = untilZero(data);
    const std::optional<qint32> start = numberAfter(text, "StartFragment:");
    const std::optional<qint32> end = numberAfter(text, "EndFragment:");
    if (!start || !end || *start < 0 || *end < *start || *end > text.size())
        return std::nullopt;
    return text.sliced(*start, *end - *start).toByteArray();
}

QByteArray ClipboardLayout::buildFileList(const std::vector<QString> &paths)
{
    if (paths.empty())
        return QByteArray();
    qsizetype size = FileListHeaderSize + 2;
    for (const QString &path : paths)
        size += 2 * (path.size() + 1);
    QByteArray block(size, '\0');
    char *out = block.data();
    qToLittleEndian<quint32>(FileListHeaderSize, out);
    qToLittleEndian<quint32>(1, out + 16); // names are UTF-16
    out += FileListHeaderSize;
    for (const QString &path : paths) {
        for (const QChar c : path) {
            qToLittleEndian<quint16>(c.unicode(), out);
            out += 2;
        }
        out += 2; // the name's zero character
    }
    return block;
}

QByteArray ClipboardLayout::dropEffect(quint32 effect)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(effect, bytes.data());
    return bytes;
}

} // namespace TAVRIKCORE::RICHEDITOR
