// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QByteArray>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Narrow text (note files, the zv_exdata payload, the log, JSON for the page) is written as
// UTF-8. Reading decides per text (see DecodeNarrow); FromNarrow gives the text alone.
TAVRIK_EXPORT QByteArray ToNarrow(const QString &text);
TAVRIK_EXPORT QString FromNarrow(const QByteArray &bytes);

// How narrow bytes were read.
enum class NarrowReading {
    Utf8, // valid UTF-8 (ASCII included)
    Utf8Repaired, // UTF-8 but for a few invalid bytes, each replaced by U+FFFD
    Legacy, // the legacy code page (GB18030 unless set); bad bytes there become U+FFFD
};

struct NarrowText
{
    QString text;
    NarrowReading reading = NarrowReading::Utf8;
    qsizetype invalidBytes = 0; // bytes that were not part of a valid UTF-8 sequence
};

// Reads valid UTF-8 as UTF-8. Bytes holding invalid sequences are read as UTF-8 with the bad
// bytes replaced when the text also holds at least two valid multi-byte UTF-8 sequences per
// bad byte (a UTF-8 note damaged in a few places); otherwise, and when the text holds no
// multi-byte UTF-8 sequence at all, they come from the legacy code page (a note written with
// it throughout). Legacy text seldom forms valid multi-byte UTF-8: its lead bytes are mostly
// followed by bytes that cannot continue a sequence.
TAVRIK_EXPORT NarrowText DecodeNarrow(const QByteArray &bytes);

// Names the legacy code page used for non-UTF-8 input ("GB18030", "CP1252", ...).
// Returns false and keeps the current one when the name is unknown.
TAVRIK_EXPORT bool SetLegacyCodePage(const QByteArray &name);
TAVRIK_EXPORT QByteArray LegacyCodePage();

} // namespace TAVRIKCORE::RICHEDITOR
