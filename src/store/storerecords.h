// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// One note file the host holds as current (a live note): everything it references in the
// attachment store must stay.
struct LiveNote
{
    QString noteId; // the note's identifier, the name of its folder; empty when unknown
    QString noteFile; // full path of the note file, or its name in the attachment root
};

// What a store check found wrong.
enum class StoreFindingKind {
    DamagedFile, // a file named by the MD5 of its bytes whose bytes no longer match the name
    UnreadableFile, // a file that cannot be read, or that vanished while it was checked
    BadNoteFile, // a note file without its version header, or whose markup does not parse
    MissingFile, // a file a live note references (kept copy, store file, image) is missing
    LinkOutOfStore, // a symbolic link below the attachment root leading out of it
    StrayName, // an entry that has no place in the store (a stray name, link, folder, device)
    UnreadableFolder, // a folder below the attachment root that cannot be listed
    LiveNoteOutside, // a live note file that does not lie in the attachment root
    UnreadableLiveNote, // a live note file that cannot be read
    WaitingForSync, // a file another device's head names that has not arrived yet
};

// One finding of a store check: its kind, the path concerned and a short explanation.
struct StoreFinding
{
    StoreFindingKind kind = StoreFindingKind::StrayName;
    QString path;
    QString detail;
};

// The short name of a finding's kind as reports print it ("damaged", "missing", ...).
TAVRIK_EXPORT QString StoreFindingKindName(StoreFindingKind kind);

// What a clean-up may remove.
enum class StoreItemKind {
    StoreFile, // an attached file or picture copy in the root (<md5>.<ext>)
    NoteFile, // a note file (<md5>.html) that no live note is
    Thumbnail, // a thumbnail card (<md5>.bmp, 48 pixels high)
    KeptCopy, // a file in a note's folder that no live note of that note references
    NoteFolder, // a note's folder, removed once it is empty
    TemporaryFile, // a file in the making (<guid>.tmp) left over from an interrupted write
};

// The short name of an item's kind as reports print it ("store-file", "note-file", ...).
TAVRIK_EXPORT QString StoreItemKindName(StoreItemKind kind);

// One file or folder no live note references.
struct StoreItem
{
    StoreItemKind kind = StoreItemKind::StoreFile;
    QString path;
    qint64 size = 0; // bytes; 0 for a folder
    QDateTime modified; // last modification, UTC
};

// Progress of a long run: `done` out of `total` steps.
using StoreProgress = std::function<void(qint64 done, qint64 total)>;

} // namespace TAVRIKCORE::RICHEDITOR
