// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArray>

#include <string>

// System calls behind the log (log4c_linux.cpp).
namespace TAVRIKCORE::RICHEDITOR::Internal {

// Opens the log file at the native `path` for appending; a missing file is created and a file
// larger than `maxSize` bytes is started afresh. The open descriptor, or -1 when the file
// cannot be opened or an oversized one cannot be deleted.
int openLogFile(const QByteArray &path, qint64 maxSize);

// Writes `bytes` to the log file `fd` and closes it. A failed write loses them: the log has
// nowhere to report its own failures.
void writeLogFile(int fd, const std::string &bytes);

// The kernel's id of the calling thread.
unsigned currentThreadId();

} // namespace TAVRIKCORE::RICHEDITOR::Internal
