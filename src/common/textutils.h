// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

#include <cstddef>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// A new random GUID as 32 lower-case hex digits, no braces or dashes.
TAVRIK_EXPORT QString CreateGuidString();

// Appends the pieces of `text` cut at each `separator` to `pieces`. Consecutive separators
// give empty pieces; a trailing separator gives no empty last piece. An empty separator
// gives the whole text as one piece.
TAVRIK_EXPORT void SplitString(const QString &text, const QString &separator,
                               std::vector<QString> &pieces);

// "512B", "1.50KB", "3.25M", "1.00G"; an exact unit boundary falls to the lower unit.
TAVRIK_EXPORT QString FormatFileSize(quint64 size);

// Local time of `seconds` since 1970 formatted with a strftime pattern; empty when the
// pattern is empty, the result does not fit 128 characters or the time is invalid.
TAVRIK_EXPORT QString FormatTime(qint64 seconds, const QString &format);
// The current local time as "%Y-%m-%d %H:%M:%S".
TAVRIK_EXPORT QString GetCurTimeString();
// The current local time as "%Y/%m/%d %H:%M": the time a file was added, as records and
// thumbnail cards show it.
TAVRIK_EXPORT QString GetAddTimeString();

// Bounded printf into `buffer` that truncates to `capacity` (terminator included); the
// characters written, or -1 on a format error, a null buffer or a zero capacity.
TAVRIK_EXPORT int FormatPrint(char *buffer, std::size_t capacity, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
TAVRIK_EXPORT int FormatPrint(wchar_t *buffer, std::size_t capacity, const wchar_t *format, ...);

} // namespace TAVRIKCORE::RICHEDITOR
