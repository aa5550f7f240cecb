// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/narrowcodec.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct LegacyCodec
{
    std::mutex mutex;
    QByteArray name = QByteArrayLiteral("GB18030");
};

LegacyCodec &legacyCodec()
{
    static LegacyCodec codec;
    return codec;
}

bool iconvKnows(const QByteArray &name)
{
    iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd == iconv_t(-1))
        return false;
    iconv_close(cd);
    return true;
}

// Converts legacy bytes to UTF-8 with iconv; undecodable bytes become U+FFFD.
QByteArray legacyToUtf8(const QByteArray &bytes, const QByteArray &codePage)
{
    iconv_t cd = iconv_open("UTF-8", codePage.constData());
    if (cd == iconv_t(-1))
        return QString::fromUtf8(bytes).toUtf8();
    QByteArray out(bytes.size() * 4 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *dst = out.data();
    size_t outLeft = size_t(out.size());
    static const char replacement[] = "\xEF\xBF\xBD";
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft < sizeof(replacement))
            break; // cannot happen with 4 bytes out per byte in; stop rather than loop
        // An invalid or truncated sequence: replace one byte and go on.
        ++in;
        --inLeft;
        for (char c : QByteArrayView(replacement, 3))
            *dst++ = c;
        outLeft -= 3;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out.truncate(dst - out.data());
    return out;
}

struct Utf8Census
{
    qsizetype multiByte = 0; // valid sequences of two to four bytes
    qsizetype invalid = 0; // bytes that start no valid sequence
};

// Counts valid multi-byte sequences and invalid bytes, with UTF-8's own limits (no overlong
// forms, no surrogates, nothing above U+10FFFF).
Utf8Census utf8Census(const QByteArray &bytes)
{
    Utf8Census census;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned low = 0x80, high = 0xbf; // range of the second byte
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        }
        bool valid = length > 0 && i + length <= size && data[i + 1] >= low && data[i + 1] <= high;
        for (int k = 2; valid && k < length; ++k)
            valid = data[i + k] >= 0x80 && data[i + k] <= 0xbf;
        if (valid) {
            ++census.multiByte;
            i += length;
        } else {
            ++census.invalid;
            ++i;
        }
    }
    return census;
}

} // namespace

QByteArray ToNarrow(const QString &text)
{
    return text.toUtf8();
}

QString FromNarrow(const QByteArray &bytes)
{
    return DecodeNarrow(bytes).text;
}

NarrowText DecodeNarrow(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {std::move(text), NarrowReading::Utf8, 0};
    const Utf8Census census = utf8Census(bytes);
    if (census.multiByte > 0 && census.invalid * 2 <= census.multiByte)
        return {std::move(text), NarrowReading::Utf8Repaired, census.invalid};
    return {QString::fromUtf8(legacyToUtf8(bytes, LegacyCodePage())), NarrowReading::Legacy,
            census.invalid};
}

bool SetLegacyCodePage(const QByteArray &name)
{
    if (name.isEmpty() || !iconvKnows(name))
        return false;
    LegacyCodec &codec = legacyCodec();
    std::lock_guard lock(codec.mutex);
    codec.name = name;
    return true;
}

QByteArray LegacyCodePage()
{
    LegacyCodec &codec = legacyCodec();
    std::lock_guard lock(codec.mutex);
    return codec.name;
}

} // namespace TAVRIKCORE::RICHEDITOR
