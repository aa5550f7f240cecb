// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QFont>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The card shown in a note in place of an attached file that is not a picture: a 48-pixel
// high 16-bit BMP with the file-type icon, the file name and a line with time and size.
class TAVRIK_AUTOTEST_EXPORT FileThumbnail
{
public:
    // Draws the card for a FILE_TYPE and writes it to `outPath` (replacing any file there).
    // The card is as wide as the longer of the two lines plus 58 pixels, at most 800; a line
    // that does not fit is cut with an ellipsis. The file is a BMP: 14-byte file header,
    // 40-byte info header, 48 bottom-up rows of 5-5-5 pixels, each row padded to 4 bytes.
    // Returns 1 when the whole file is written and closed (not flushed), with the file length
    // stored in `*sizeOut` when given; 0 when the type has no icon, there is no GUI
    // application, or the file cannot be written in full (errno then tells why, and no file is
    // left at `outPath`). Writes no log line.
    static int GenerateFileThumb(int type, const QString &nameLine, const QString &infoLine,
                                 const QString &outPath, int *sizeOut = nullptr);

    // The bytes of the card GenerateFileThumb writes; empty when the type has no icon or there
    // is no GUI application.
    static QByteArray drawCard(int type, const QString &nameLine, const QString &infoLine);

    // The card's second line: the time text (the current local time "yyyy/MM/dd HH:mm" when
    // empty), a blank and the size as FormatFileSize prints it.
    static QString FormatFileInfo(int size, const QString &time);

    // The 12-pixel font the card's lines are measured and drawn with.
    static QFont thumbnailFont();
};

} // namespace TAVRIKCORE::RICHEDITOR
