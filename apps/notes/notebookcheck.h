// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"

#include <QString>

#include <vector>

class NoteStore;

// The notebook checked as File > Check notebook does: the attachment store holds every file
// the notebook's notes need, intact.
struct NotebookCheck
{
    int notes = 0;
    int files = 0; // distinct files the notes' last saves list, their note files included
    std::vector<TAVRIKCORE::RICHEDITOR::StoreFinding> findings;
    // The title of the note each finding is about (its note file or a file in its folder), at
    // the finding's position; empty for a finding about no note.
    std::vector<QString> titles;

    // Nothing found but files other devices saved that have not arrived yet.
    bool clean() const { return waiting() == findings.size(); }
    size_t waiting() const;
    // "notebook check: clean (<n> notes, <m> files)" (followed by "; <k> file(s) waiting for
    // sync" while some are), or the number of problems followed by one line a finding.
    QString report() const;
    // One finding as the user reads it: "<note title>: <kind>: <path> (<detail>)", without the
    // title for a finding about no note.
    QString describe(size_t finding) const;

    static NotebookCheck Run(const NoteStore &store,
                             const TAVRIKCORE::RICHEDITOR::StoreProgress &progress = {});
};
