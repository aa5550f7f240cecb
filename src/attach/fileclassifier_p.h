// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The kind of a file by its extension; each kind has its own icon on a thumbnail card.
enum FILE_TYPE : int {
    FT_UNKNOW = 0,
    FT_WORD = 1,
    FT_EXCEL = 2,
    FT_PPT = 3,
    FT_TEXT = 4,
    FT_PDF = 5,
    FT_ZIP = 6,
    FT_IMAGE = 7,
    FT_VIDEO = 8,
    FT_AUDIO = 9,
    FT_HTML = 10,
};

// Classification of attachment files by their names.
class TAVRIK_AUTOTEST_EXPORT FileClassifier
{
public:
    // The kind of an extension given without its dot, compared without regard to case;
    // FT_UNKNOW for anything not in the table (htm, tif and docm among them).
    static FILE_TYPE GetFileTypeByExt(const QString &ext);

    // Non-zero when a file name or path is a picture the page shows as itself. The extension
    // (lower-cased text after the last '.', "unknow" without one) counts when it occurs
    // anywhere in "jpg jpeg gif bmp png": JPG and Png count, and so do an empty extension
    // (a name ending in '.') and fragments such as "pe"; psd and tiff do not.
    static int IsPicFileType(const QString &name);

    // The extension recorded for a file: the text after the last '.', lower-cased;
    // "unknow" when the name has no '.'.
    static QString GetFileStuffx(const QString &name);

    // Icon file name of a kind ("word.bmp" ...); "unknow.bmp" for values outside 1 to 10.
    static QString iconFileName(int type);
};

} // namespace TAVRIKCORE::RICHEDITOR
