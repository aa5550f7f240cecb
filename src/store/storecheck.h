// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"
#include "tavrik_export.h"

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Checks the attachment store below the application folder without changing anything:
// every content-named file's bytes match its name (files in the making, "<guid>.tmp", aside);
// every note file starts with its version header; every file the live notes reference (kept
// copy, stored file, shown picture or thumbnail card) exists; nothing below the root leads
// out of it or has a name the store does not give.
class TAVRIK_EXPORT StoreCheck
{
public:
    // The findings, sorted by path; empty when the store is sound. Files are hashed on up to
    // `threads` threads (at least one); `progress`, when given, is called on the calling thread
    // with the bytes hashed so far out of all.
    static std::vector<StoreFinding> Run(const std::vector<LiveNote> &live,
                                         const StoreProgress &progress = {}, int threads = 2);
};

} // namespace TAVRIKCORE::RICHEDITOR
