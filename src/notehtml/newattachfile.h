// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// One file a note refers to: the note's own HTML file, an image named by an element's src, or
// an attached file named by an element's class. Handed to the host when a note is saved.
struct NewAttachFile
{
    QString origName; // original file name from zv_exdata; empty for images and the note file
    QString spareText; // never filled
    int fileKind = 0; // 0 the note's HTML file, 1 an image (src), 2 an attached file (class)
    QString modifyTime; // last-modification time text
    QString fileExt; // extension of storeName without the dot
    QString storeName; // name of the file in the attachment store
    QString filePath; // full path of the file
    int isImageSrc = 0; // 1 when the record comes from a src
};

} // namespace TAVRIKCORE::RICHEDITOR
