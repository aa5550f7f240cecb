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

} // namespace

QByteArray ToNarrow(const QString &text)
{
    return text.toUtf8();
}

QString FromNarrow(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromUtf8(legacyToUtf8(bytes, LegacyCodePage()));
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
