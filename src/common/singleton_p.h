// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/singleton.h"

#include <atomic>
#include <mutex>

// Member definitions of SingletonTemplate. Include this only in the source file of a singleton
// type and instantiate the template there explicitly:
//
//     template class SingletonTemplate<CLog4C>;
//
// so the one instance lives in the library and hosts reach it through the exported members.
namespace TAVRIKCORE::RICHEDITOR {

namespace Internal {

// The registry of live singletons, guarded by its own mutex.
void registerSingleton(ISingleton *instance);
void unregisterSingleton(ISingleton *instance);

template<class T> struct SingletonSlot
{
    // Guards creating and clearing T's instance; taken before the registry's mutex.
    static std::mutex &creationMutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static std::atomic<T *> &instance()
    {
        static std::atomic<T *> pointer{nullptr};
        return pointer;
    }
    // The same object seen as the base, so the destructor can recognise it without casting
    // down to a T that is already gone.
    static const ISingleton *&registered()
    {
        static const ISingleton *base = nullptr;
        return base;
    }
};

} // namespace Internal

template<class T> T *SingletonTemplate<T>::GetInstance()
{
    using Slot = Internal::SingletonSlot<T>;
    if (T *existing = Slot::instance().load(std::memory_order_acquire))
        return existing;
    std::lock_guard lock(Slot::creationMutex());
    T *current = Slot::instance().load(std::memory_order_relaxed);
    if (!current) {
        current = new T;
        Slot::registered() = current;
        Slot::instance().store(current, std::memory_order_release);
        Internal::registerSingleton(current);
    }
    return current;
}

template<class T> SingletonTemplate<T>::~SingletonTemplate()
{
    using Slot = Internal::SingletonSlot<T>;
    std::lock_guard lock(Slot::creationMutex());
    Internal::unregisterSingleton(this);
    if (Slot::registered() == this) {
        Slot::registered() = nullptr;
        Slot::instance().store(nullptr, std::memory_order_release);
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
