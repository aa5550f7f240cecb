// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QDateTime>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// A note read from another program's files, its pictures and files already in the attachment
// store under `noteId`, its HTML ready to be saved as the note's file.
struct ImportedNote
{
    QString noteId;
    QString title;
    QDateTime created; // invalid when the file does not say
    QDateTime updated; // invalid when the file does not say
    QString html;
};

// Something an import left out, and why. `note` is the title of the note it belongs to (empty
// for the whole file), `name` the file or resource, `detail` more about it (a parser's message).
struct ImportSkip
{
    enum class Reason {
        Unreadable, // the file cannot be read
        Malformed, // the XML breaks off at `detail`; the notes before it were read
        HashMismatch, // a resource's bytes match none of the hashes its note names
        TooLarge, // past the note's attachment limit
        UnsafeName, // the name leads out of its folder
        Missing, // a picture the HTML names is not there
        NotStored, // writing into the attachment store failed
    };
    Reason reason = Reason::Unreadable;
    QString note;
    QString name;
    QString detail;
};

} // namespace TAVRIKCORE::RICHEDITOR
