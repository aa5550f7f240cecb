// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/ihtmlfileupgrade_p.h"
#include "tavrik_autotest_export_p.h"

namespace TAVRIKCORE::RICHEDITOR {

// Upgrades version-1 markup to version 2: every img without a (non-empty) zv_exdata whose class
// holds a path (a '\' or '/') gets zv_exdata naming the class's file name as original name.
class TAVRIK_AUTOTEST_EXPORT HtmlVer_1_To_2 : public IHtmlFileUpgrade
{
public:
    // 1 on success. When no element needed a change the output is the input text itself, not
    // re-serialized; otherwise it is the inner HTML of the body. 0 with the log line
    // "[ERROR] HtmlVer_1_To_2::DoUpgrade失败！" when the HTML cannot be parsed.
    int DoUpgrade(const QString &input, QString &output) override;
};

} // namespace TAVRIKCORE::RICHEDITOR
