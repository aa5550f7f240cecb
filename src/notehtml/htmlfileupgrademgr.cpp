// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/htmlfileupgrademgr_p.h"

#include "notehtml/htmlver_1_to_2_p.h"

namespace TAVRIKCORE::RICHEDITOR {

HtmlFileUpgradeMgr::HtmlFileUpgradeMgr()
{
    m_upgrades.emplace(0, nullptr);
    m_upgrades.emplace(1, nullptr);
    m_upgrades.emplace(2, std::make_unique<HtmlVer_1_To_2>());
}

HtmlFileUpgradeMgr::~HtmlFileUpgradeMgr() = default;

int HtmlFileUpgradeMgr::UpgradeHtml(const QString &input, int fromVersion, int toVersion,
                                    QString &output)
{
    const int count = int(m_upgrades.size());
    if (fromVersion >= count) // also keeps fromVersion + 1 from overflowing
        return 0;
    int version = fromVersion + 1;
    if (version > toVersion || version >= count)
        return 0;
    QString current = input;
    QString result;
    // Every registered step from `version` on, in version order.
    for (auto step = m_upgrades.lower_bound(version); step != m_upgrades.end(); ++step) {
        if (!step->second)
            continue;
        if (!step->second->DoUpgrade(current, result))
            return 0;
        current = result;
    }
    output = result;
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
