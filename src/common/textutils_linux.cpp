// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/textutils_p.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool localTime(qint64 seconds, std::tm &local)
{
    const std::time_t when = std::time_t(seconds);
    return qint64(when) == seconds && ::localtime_r(&when, &local);
}

int wideFormatTruncated(wchar_t *buffer, std::size_t capacity, const wchar_t *format, va_list args)
{
    wchar_t *text = nullptr;
    size_t size = 0;
    FILE *stream = ::open_wmemstream(&text, &size);
    if (!stream) {
        buffer[0] = L'\0';
        return -1;
    }
    const int length = std::vfwprintf(stream, format, args);
    std::fclose(stream);
    int kept = -1;
    if (length >= 0) {
        kept = int(std::min<size_t>(size, capacity - 1));
        std::wmemcpy(buffer, text, size_t(kept));
    }
    buffer[kept < 0 ? 0 : kept] = L'\0';
    std::free(text);
    return kept;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
