// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

class NoteStore;

// The notebook a new user starts with: a few notes built into the program, written into the
// attachment store as note files and listed in the NoteStore.
namespace SampleNotebook {

// Adds the sample notes to an empty store. Returns the number of notes added; 0 when the
// store already holds notes. On failure `error` says what went wrong.
int populate(NoteStore &store, QString *error = nullptr);

} // namespace SampleNotebook
