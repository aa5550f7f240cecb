// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/syncenginefiles_p.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool isSyncEngineFile(QStringView name)
{
    if (name.startsWith(u".syncthing.") && name.endsWith(u".tmp"))
        return true;
    if (name.startsWith(u"~syncthing~"))
        return true;
    if (name == u".stfolder" || name == u".stignore" || name == u".stversions")
        return true;
    if ((name.startsWith(u".sync_") || name.startsWith(u"._sync_")) && name.contains(u".db"))
        return true;
    if (name.startsWith(u".owncloudsync.log") || name.startsWith(u".nextcloudsync.log"))
        return true;
    return name.endsWith(u".partial");
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
