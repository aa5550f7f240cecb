// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace TavrikFuzz {

// Stops the run with a message when a property that must always hold is broken.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A scratch application folder (log, attachment store) for the whole run.
inline QString scratchAppDirectory()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tavrik-fuzz-XXXXXX"));
    return folder.path() + QLatin1Char('/');
}

} // namespace TavrikFuzz
