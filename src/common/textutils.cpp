// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/textutils.h"

#include "common/textutils_p.h"

#include <QUuid>

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <string>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr quint64 s_kib = quint64(1) << 10;
constexpr quint64 s_mib = quint64(1) << 20;
constexpr quint64 s_gib = quint64(1) << 30;

} // namespace

QString CreateGuidString()
{
    // Id128: the 32-bit field, the two 16-bit fields, then the eight bytes, in lower-case hex.
    return QUuid::createUuid().toString(QUuid::Id128);
}

void SplitString(const QString &text, const QString &separator, std::vector<QString> &pieces)
{
    qsizetype start = 0;
    if (!separator.isEmpty()) {
        for (qsizetype found; (found = text.indexOf(separator, start)) >= 0;
             start = found + separator.size())
            pieces.push_back(text.mid(start, found - start));
    }
    const QString rest = text.mid(start);
    if (!rest.isEmpty() && rest != separator)
        pieces.push_back(rest);
}

QString FormatFileSize(quint64 size)
{
    // std::to_chars rounds the exact binary value to nearest, ties to even, as "%.2f" does
    // (1.125 gives "1.12"), and always writes '.', whatever the process locale says.
    const auto scaled = [size](quint64 unit) {
        char text[32];
        const auto printed = std::to_chars(text, text + sizeof text, double(size) / double(unit),
                                           std::chars_format::fixed, 2);
        return QString::fromLatin1(text, printed.ptr - text);
    };
    if (size > s_gib)
        return scaled(s_gib) + u'G';
    if (size > s_mib)
        return scaled(s_mib) + u'M';
    if (size > s_kib)
        return scaled(s_kib) + u"KB";
    return QString::number(size) + u'B';
}

QString FormatTime(qint64 seconds, const QString &format)
{
    if (format.isEmpty())
        return {};
    std::tm local;
    if (!Internal::localTime(seconds, local))
        return {};
    const std::wstring pattern = format.toStdWString();
    wchar_t text[128];
    const size_t length = std::wcsftime(text, 128, pattern.c_str(), &local);
    return length == 0 ? QString() : QString::fromWCharArray(text, qsizetype(length));
}

QString GetCurTimeString()
{
    return FormatTime(qint64(std::time(nullptr)), QStringLiteral("%Y-%m-%d %H:%M:%S"));
}

QString GetAddTimeString()
{
    return FormatTime(qint64(std::time(nullptr)), QStringLiteral("%Y/%m/%d %H:%M"));
}

int FormatPrint(char *buffer, std::size_t capacity, const char *format, ...)
{
    if (!buffer || capacity == 0 || !format)
        return -1;
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, capacity, format, args);
    va_end(args);
    if (length < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return size_t(length) < capacity ? length : int(capacity - 1);
}

int FormatPrint(wchar_t *buffer, std::size_t capacity, const wchar_t *format, ...)
{
    if (!buffer || capacity == 0 || !format)
        return -1;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vswprintf(buffer, capacity, format, args);
    va_end(args);
    if (length < 0) {
        // vswprintf fails both on errors and when the text does not fit; print again
        // without a limit to tell them apart and keep the part that fits.
        length = Internal::wideFormatTruncated(buffer, capacity, format, again);
    }
    va_end(again);
    return length;
}

} // namespace TAVRIKCORE::RICHEDITOR
