// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// One step of the note markup upgrade: turns HTML of the previous version into its version.
class TAVRIK_AUTOTEST_EXPORT IHtmlFileUpgrade
{
public:
    virtual ~IHtmlFileUpgrade() = default;

    // Writes the upgraded HTML to `output`; non-zero on success, 0 (output untouched) on failure.
    virtual int DoUpgrade(const QString &input, QString &output) = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
