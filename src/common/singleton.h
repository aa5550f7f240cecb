// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

namespace TAVRIKCORE::RICHEDITOR {

// Base of every process-wide single instance; the registry holds them through it.
class TAVRIK_EXPORT ISingleton
{
public:
    virtual ~ISingleton() = default;
};

// Holds the one instance of T per process, created on first use under T's creation mutex
// and then added to the singleton registry; destroying it unregisters it.
//
// The members are defined in singleton_p.h and instantiated explicitly in the library for
// each singleton type, so host and library share one instance.
template<class T>
class TAVRIK_EXPORT SingletonTemplate : public ISingleton
{
public:
    static T *GetInstance();
    ~SingletonTemplate() override;

protected:
    SingletonTemplate() = default;
    SingletonTemplate(const SingletonTemplate &) = delete;
    SingletonTemplate &operator=(const SingletonTemplate &) = delete;
};

// Number of live singletons in the registry (for diagnostics and tests).
TAVRIK_EXPORT int SingletonRegistryCount();

} // namespace TAVRIKCORE::RICHEDITOR
