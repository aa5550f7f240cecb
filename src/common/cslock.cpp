// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/cslock.h"

#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

class CSLock::Private
{
public:
    std::mutex mutex;
};

CSLock::CSLock() : d(std::make_unique<Private>()) { }

CSLock::~CSLock() = default;

void CSLock::Enter()
{
    d->mutex.lock();
}

void CSLock::Leave()
{
    d->mutex.unlock();
}

} // namespace TAVRIKCORE::RICHEDITOR
