// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace TAVRIKCORE::RICHEDITOR {

// One file to be added to a note. Every way of adding files produces a list of these.
//   srcPath      full path of the source file
//   isDir        the path is a folder
//   keptName     name of the copy in the note's folder (renamed when it would clash)
//   displayName  name drawn on the thumbnail and given to the page
//   fileExt      lower-cased extension; "unknow" without a '.', "dir" for a folder
//   fileSize     size in bytes; all ones for a folder
//   addTime      time of adding, "yyyy/MM/dd HH:mm"
//   isTemp       a temporary file made by the library
struct DropFileInfo
{
    QString srcPath;
    bool isDir = false;
    QString keptName;
    QString displayName;
    QString fileExt;
    quint64 fileSize = 0;
    QString addTime;
    bool isTemp = false;
};

// What storing one file produced.
//   relPath    "userdata\attachment\" + storeName
//   storeName  <md5>.<ext>
//   showSrc    page source of the shown image: "../userdata\attachment\" + showName
//   showName   storeName for a picture, <md5 of the card>.bmp for any other file
//   showSize   size of the shown image file
struct MAF_RESULT
{
    QString relPath;
    QString storeName;
    QString showSrc;
    QString showName;
    int showSize = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
