// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/base64.h"

#include <array>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr char s_alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of each byte in the alphabet; everything else (padding included) counts as 0.
constexpr std::array<unsigned char, 256> decodeTable()
{
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(s_alphabet[i])] = static_cast<unsigned char>(i);
    return table;
}

constexpr std::array<unsigned char, 256> s_values = decodeTable();

bool skippedBeforeGroup(char c)
{
    return c == '\r' || c == '\n' || c == '\x01' || c == '\x02';
}

} // namespace

QByteArray Base64Encode(const char *data, int count)
{
    if (!data || count <= 0)
        return {};
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    QByteArray out((qsizetype(count) + 2) / 3 * 4, Qt::Uninitialized);
    char *dst = out.data();
    int i = 0;
    for (; i + 2 < count; i += 3) {
        const unsigned triple = unsigned(in[i]) << 16 | unsigned(in[i + 1]) << 8 | in[i + 2];
        *dst++ = s_alphabet[triple >> 18];
        *dst++ = s_alphabet[triple >> 12 & 0x3F];
        *dst++ = s_alphabet[triple >> 6 & 0x3F];
        *dst++ = s_alphabet[triple & 0x3F];
    }
    if (i < count) {
        const bool two = i + 1 < count;
        const unsigned triple = unsigned(in[i]) << 16 | (two ? unsigned(in[i + 1]) << 8 : 0u);
        *dst++ = s_alphabet[triple >> 18];
        *dst++ = s_alphabet[triple >> 12 & 0x3F];
        *dst++ = two ? s_alphabet[triple >> 6 & 0x3F] : '=';
        *dst++ = '=';
    }
    return out;
}

int Base64Decode(const QByteArray &text, QByteArray &decoded)
{
    const qsizetype length = text.size();
    const char *src = text.constData();
    QByteArray bytes;
    bytes.reserve(length / 4 * 3 + 3);
    for (qsizetype i = 0; i < length;) {
        if (skippedBeforeGroup(src[i])) {
            ++i;
            continue;
        }
        // A group cut short by the end of the text reads its missing characters as NUL:
        // outside the alphabet, so worth 0, and not '=', so they still produce bytes.
        char group[4] = {};
        for (int k = 0; k < 4 && i + k < length; ++k)
            group[k] = src[i + k];
        i += 4;
        const auto value = [&group](int k) {
            return unsigned(s_values[static_cast<unsigned char>(group[k])]);
        };
        bytes.append(char(value(0) << 2 | value(1) >> 4));
        if (group[2] != '=')
            bytes.append(char((value(1) & 0xF) << 4 | value(2) >> 2));
        if (group[3] != '=')
            bytes.append(char((value(2) & 0x3) << 6 | value(3)));
    }
    const qsizetype zero = bytes.indexOf('\0');
    decoded = zero < 0 ? bytes : bytes.left(zero);
    return int(bytes.size());
}

} // namespace TAVRIKCORE::RICHEDITOR
