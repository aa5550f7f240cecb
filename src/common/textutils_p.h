// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QtGlobal>

#include <cstdarg>
#include <cstddef>
#include <ctime>

// System calls behind the text utilities (textutils_linux.cpp).
namespace TAVRIKCORE::RICHEDITOR::Internal {

// The local broken-down time of `seconds` since 1970. False when the time cannot be shown.
bool localTime(qint64 seconds, std::tm &local);

// Prints into a stream that grows as needed and copies what fits into `buffer`; the
// characters kept, or -1 when the print itself fails (bad format, unconvertible argument).
int wideFormatTruncated(wchar_t *buffer, std::size_t capacity, const wchar_t *format, va_list args);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
