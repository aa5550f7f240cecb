// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/imgrobject.h"
#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The host framework object handed to the editor; implemented by the host.
class TAVRIK_EXPORT ITavrikCoreData
{
public:
    virtual ~ITavrikCoreData() = default;

    // The manager registered under `name` ("AppVarConfigMgr", ...), or null. The host keeps
    // ownership.
    virtual IMgrObject *GetMgrObject(const QString &name) = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
