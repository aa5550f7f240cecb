// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"

#include <vector>

class NoteStore;

// The note files the notebook holds as current: for each note, the note files of its last
// save, named in the attachment store. What the store's check and clean-up must keep.
std::vector<TAVRIKCORE::RICHEDITOR::LiveNote> liveNotesOf(const NoteStore &store);
