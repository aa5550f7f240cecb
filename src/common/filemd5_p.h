// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <cstddef>
#include <functional>

namespace TAVRIKCORE::RICHEDITOR::Internal {

struct FileReadFailure
{
    bool atOpen = false; // the file could not be opened (else a read failed)
    int error = 0; // errno
};

// Reads the file at `path` from start to end, 64 KiB at a time, handing each piece to
// `consume`, in constant memory (filemd5_linux.cpp). False, with `failure` filled, when the
// file cannot be opened or read.
bool readFileInPieces(const QString &path,
                      const std::function<void(const unsigned char *, size_t)> &consume,
                      FileReadFailure &failure);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
