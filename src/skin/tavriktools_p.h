// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR::TAVRIKTOOLS {

// Creates the folder `path` and any missing parents. Returns 1 when the folder exists
// afterwards, else 0 (empty path, a file in the way, no permission).
TAVRIK_AUTOTEST_EXPORT int MakeDirectory(const QString &path);

} // namespace TAVRIKCORE::RICHEDITOR::TAVRIKTOOLS
