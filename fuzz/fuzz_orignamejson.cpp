// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Reads original names out of arbitrary zv_exdata texts, and checks that every name survives
// the trip into its zv_exdata text and back.
#include "fuzzcheck.h"
#include "notehtml/attachmarkup_p.h"

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikFuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = AttachMarkup::GetOrigNameFromJson(bytes);
    check(!name.contains(QChar(0)), "a name ends at its first NUL");

    const QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar(0)))
        return 0;
    const QString json = AttachMarkup::FormatOrigNameToJson(text);
    check(json.startsWith(QLatin1String("{\"OrigName_B64\":\"")) && json.endsWith(QLatin1String("\"}")),
          "zv_exdata text shape");
    check(AttachMarkup::GetOrigNameFromJson(json.toUtf8()) == text, "name round trip");
    return 0;
}
