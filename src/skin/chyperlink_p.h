// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Opens links with the system's handler.
class TAVRIK_AUTOTEST_EXPORT CHyperLink
{
public:
    // Opens `address` when it is an http, https or ftp address with a host, or a mailto
    // address (scheme in any letter case). Anything else (javascript:, file:, data:, relative
    // or empty addresses, ...) is refused and logged. Returns 1 when the system took the
    // address, else 0.
    static int OpenLink(const QString &address);
};

} // namespace TAVRIKCORE::RICHEDITOR
