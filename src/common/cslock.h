// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// The library's lock: a member of the object it guards, taken through CSAutoLock.
class TAVRIK_EXPORT CSLock
{
public:
    CSLock();
    virtual ~CSLock();
    CSLock(const CSLock &) = delete;
    CSLock &operator=(const CSLock &) = delete;

    // Takes the lock, waiting while another thread holds it; not recursive.
    void Enter();
    void Leave();

private:
    class Private;
    std::unique_ptr<Private> d;
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
