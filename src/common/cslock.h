// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

// The library's lock: a member of the object it guards, taken through CSAutoLock.
class TAVRIK_EXPORT CSLock
{
public:
    CSLock() = default;
    virtual ~CSLock() = default;
    CSLock(const CSLock &) = delete;
    CSLock &operator=(const CSLock &) = delete;

    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// Holds a CSLock for the length of a block.
class TAVRIK_EXPORT CSAutoLock
{
public:
    explicit CSAutoLock(CSLock *lock) : m_lock(lock) { m_lock->Enter(); }
    virtual ~CSAutoLock() { m_lock->Leave(); }
    CSAutoLock(const CSAutoLock &) = delete;
    CSAutoLock &operator=(const CSAutoLock &) = delete;

private:
    CSLock *m_lock;
};

} // namespace TAVRIKCORE::RICHEDITOR
