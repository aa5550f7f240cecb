// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "livenotes.h"

#include "notestore.h"

std::vector<TAVRIKCORE::RICHEDITOR::LiveNote> liveNotesOf(const NoteStore &store)
{
    std::vector<TAVRIKCORE::RICHEDITOR::LiveNote> live;
    for (const NoteInfo &note : store.notes()) {
        for (const QString &name : store.noteFileNames(note.id))
            live.push_back({note.id, name});
    }
    return live;
}
