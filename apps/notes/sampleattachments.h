// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <map>

// The attachments of the sample notebook: a picture drawn at first run and a small document,
// stored for one note as the editor stores dropped files.
namespace SampleAttachments {

struct Made
{
    QString html; // a paragraph holding the picture and the document card
    std::map<QString, quint64> sizes; // stored file sizes by store name, for the note's table
};

// Draws the picture, writes the document, stores both under note `noteId` and gives their
// markup. False when a file cannot be written or stored; `made` is then incomplete.
bool make(const QString &noteId, Made &made);

} // namespace SampleAttachments
