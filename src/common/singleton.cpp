// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/singleton_p.h"

#include <list>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct Registry
{
    std::mutex mutex;
    std::list<ISingleton *> live;
};

// Never destroyed, so a singleton that goes away during process exit still finds it.
Registry &registry()
{
    static Registry *r = new Registry;
    return *r;
}

} // namespace

void Internal::registerSingleton(ISingleton *instance)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    r.live.push_back(instance);
}

void Internal::unregisterSingleton(ISingleton *instance)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    r.live.remove(instance);
}

int SingletonRegistryCount()
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    return int(r.live.size());
}

} // namespace TAVRIKCORE::RICHEDITOR
