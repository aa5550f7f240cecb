// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QByteArray>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Narrow text (note files, the zv_exdata payload, the log, JSON for the page) is written as
// UTF-8. Bytes that are not valid UTF-8 come from a legacy code page, GB18030 unless set.
TAVRIK_EXPORT QByteArray ToNarrow(const QString &text);
TAVRIK_EXPORT QString FromNarrow(const QByteArray &bytes);

// Names the legacy code page used for non-UTF-8 input ("GB18030", "CP1252", ...).
// Returns false and keeps the current one when the name is unknown.
TAVRIK_EXPORT bool SetLegacyCodePage(const QByteArray &name);
TAVRIK_EXPORT QByteArray LegacyCodePage();

} // namespace TAVRIKCORE::RICHEDITOR
