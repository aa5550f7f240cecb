// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Feeds arbitrary text to the lenient Base64 decoder and checks what must always hold.
#include "common/commonutils.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikFuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));

    // Any text decodes: at most three bytes per four characters started, none of them zero.
    QByteArray decoded;
    const int count = Base64Decode(input, decoded);
    check(count >= 0 && qsizetype(count) <= (input.size() + 3) / 4 * 3, "decoded count in range");
    check(decoded.size() <= count, "kept bytes within the count");
    check(!decoded.contains('\0'), "kept bytes stop before a zero");

    // The input as bytes survives a round trip up to its first zero byte.
    const QByteArray text = Base64Encode(input);
    check(text.size() == (input.size() + 2) / 3 * 4, "encoded length");
    QByteArray back;
    check(Base64Decode(text, back) == input.size(), "round trip count");
    const qsizetype zero = input.indexOf('\0');
    check(back == (zero < 0 ? input : input.left(zero)), "round trip bytes");

    // What the decoder kept encodes and decodes to itself.
    QByteArray again;
    check(Base64Decode(Base64Encode(decoded), again) == decoded.size() && again == decoded,
          "decoded bytes round trip");
    return 0;
}
