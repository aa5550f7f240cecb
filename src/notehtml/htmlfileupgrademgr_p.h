// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/ihtmlfileupgrade_p.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <map>
#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// The chain of markup upgrades: for each version the step that produces it (none for 0 and 1,
// HtmlVer_1_To_2 for 2).
class TAVRIK_AUTOTEST_EXPORT HtmlFileUpgradeMgr
{
public:
    HtmlFileUpgradeMgr();
    virtual ~HtmlFileUpgradeMgr();
    HtmlFileUpgradeMgr(const HtmlFileUpgradeMgr &) = delete;
    HtmlFileUpgradeMgr &operator=(const HtmlFileUpgradeMgr &) = delete;

    // Runs every registered step after `fromVersion` up to the highest registered version
    // (`toVersion` only has to allow the first one). 1 with the result in `output`; 0 with
    // `output` untouched when there is nothing to run (fromVersion + 1 above toVersion or past
    // the highest version) or a step fails. `input` and `output` may be the same text.
    virtual int UpgradeHtml(const QString &input, int fromVersion, int toVersion, QString &output);

private:
    std::map<int, std::unique_ptr<IHtmlFileUpgrade>> m_upgrades;
};

} // namespace TAVRIKCORE::RICHEDITOR
