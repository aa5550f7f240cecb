// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace TAVRIKCORE::RICHEDITOR {

// One file to be added to a note. Every way of adding files produces a list of these.
struct DropFileInfo
{
    QString srcPath; // full path of the source file
    bool isDir = false; // the path is a folder
    QString keptName; // name of the copy in the note's folder (may be renamed to avoid clashes)
    QString displayName; // name drawn on the thumbnail and given to the page
    QString fileExt; // lower-cased extension; "unknow" without a '.', "dir" for a folder
    quint64 fileSize = 0; // size in bytes; all ones for a folder
    QString addTime; // time of adding, "yyyy/MM/dd HH:mm"
    bool isTemp = false; // a temporary file made by the library
};

// What storing one file produced.
struct MAF_RESULT
{
    QString relPath; // "userdata\attachment\" + storeName
    QString storeName; // <md5>.<ext>
    QString showSrc; // page source of the shown image: "../userdata\attachment\" + showName
    QString showName; // storeName for a picture, <thumbnail md5>.bmp for any other file
    int showSize = 0; // size of the shown image file
};

} // namespace TAVRIKCORE::RICHEDITOR
