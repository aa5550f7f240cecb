// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// MD5 of a file's bytes as 32 lower-case hex digits, streamed in constant memory.
// Empty text (and one log line) when the file cannot be opened.
TAVRIK_EXPORT QString CalcFileMd5(const QString &path);

} // namespace TAVRIKCORE::RICHEDITOR
