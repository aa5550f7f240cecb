// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QStringView>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// True for a name that a file-sync engine keeps in a folder it carries, never a file of the
// store: Syncthing's files in the making (".syncthing.<name>.tmp", "~syncthing~<name>.tmp")
// and folder marks (".stfolder", ".stignore", ".stversions"), Nextcloud's and ownCloud's
// journal (".sync_*.db*", "._sync_*.db*", ".owncloudsync.log*", ".nextcloudsync.log*") and
// rclone's partial copies ("*.partial").
TAVRIK_AUTOTEST_EXPORT bool isSyncEngineFile(QStringView name);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
