// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/imgrobject.h"
#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The host's configuration manager, registered as "AppVarConfigMgr"; implemented by the host.
class TAVRIK_EXPORT IVarConfigMgr : public IMgrObject
{
public:
    // The value stored under `key`, or an empty text when there is none.
    virtual QString GetVar(const QString &key) = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
