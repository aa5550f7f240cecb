// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QByteArray>

namespace TAVRIKCORE::RICHEDITOR {

// Standard Base64 (RFC 4648 alphabet, '=' padding, no line breaks). A count of zero or
// less gives an empty text.
TAVRIK_EXPORT QByteArray Base64Encode(const char *data, int count);
inline QByteArray Base64Encode(const QByteArray &bytes)
{
    return Base64Encode(bytes.constData(), int(bytes.size()));
}

// Lenient decoder for texts such as file names. Reads groups of four characters; a single
// CR, LF, 0x01 or 0x02 before a group is skipped; characters outside the alphabet count as
// 0; a group cut short by the end of the text reads its missing characters as 0. Returns the
// number of bytes produced; `decoded` receives them up to the first zero byte.
TAVRIK_EXPORT int Base64Decode(const QByteArray &text, QByteArray &decoded);

} // namespace TAVRIKCORE::RICHEDITOR
