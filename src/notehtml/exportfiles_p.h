// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// The files an export of a note reads and writes: the local pictures the note shows, and the
// exported file itself.
class TAVRIK_AUTOTEST_EXPORT ExportFiles
{
public:
    struct Picture
    {
        QString src; // the img's src as written in the HTML: an absolute local path
        QByteArray bytes; // the file's bytes
        QByteArray mimeType; // image/png, image/jpeg, image/bmp, ... as read from the bytes;
                             // empty when the file could not be read or is not a picture
    };

    // The distinct local pictures that the img elements of `html` show, in document order: every
    // src that is an absolute path (what HtmlConvert writes). A file that cannot be read, or
    // whose bytes are not a picture, comes without a type and is logged as
    // "[ERROR] <caller>: picture not found, not embedded: <src> (<reason>)" or
    // "[ERROR] <caller>: not a picture, not embedded: <src>".
    static std::vector<Picture> localPictures(const QString &html, const QString &caller);

    // The picture's size in pixels, from its header when it tells it.
    static QSize pictureSize(const QByteArray &bytes);

    // The log line "[ERROR:] <caller>发生错误，错误信息: cannot write <target>: <system reason>".
    static void logWriteFailure(const QString &caller, const QString &target, int error);
};

} // namespace TAVRIKCORE::RICHEDITOR
