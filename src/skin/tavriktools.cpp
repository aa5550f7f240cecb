// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/tavriktools_p.h"

#include <QDir>

namespace TAVRIKCORE::RICHEDITOR::TAVRIKTOOLS {

int MakeDirectory(const QString &path)
{
    if (path.isEmpty())
        return 0;
    return QDir().mkpath(path) ? 1 : 0;
}

} // namespace TAVRIKCORE::RICHEDITOR::TAVRIKTOOLS
