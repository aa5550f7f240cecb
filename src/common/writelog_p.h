// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/log4c.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Writes one line to the product's log.
inline void writeLog(const QString &line)
{
    CLog4C::GetInstance()->WriteLog(line);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
