// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

namespace TAVRIKCORE::RICHEDITOR {

// A manager object of the host framework, looked up by name through ITavrikCoreData.
// Callers reach the concrete manager (IVarConfigMgr, ...) with dynamic_cast.
class TAVRIK_EXPORT IMgrObject
{
public:
    virtual ~IMgrObject() = default;
};

} // namespace TAVRIKCORE::RICHEDITOR
