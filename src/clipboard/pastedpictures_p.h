// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Pictures in pasted HTML that come with the paste rather than from the web: a data: URL or a
// local file, each to be stored as an attachment of the note.
class TAVRIK_AUTOTEST_EXPORT PastedPictures
{
public:
    // The distinct src values of the fragment's pictures that are a raster data: URL
    // ("data:image/<png|jpeg|jpg|gif|bmp|webp>;base64,...") or a file: URL, in document order.
    // Attachments (pictures with zv_exdata) are not among them.
    static std::vector<QString> localSources(const QString &html);

    // The file holding the picture of `src`: a data: URL is decoded into
    // "<folder>/picture.<extension>" ("jpg" for JPEG), a file: URL names its file. Nothing
    // when the data is not base64 or the file is not a readable regular file, with the log
    // line "[ERROR] A pasted picture cannot be read: <src, at most 80 characters>".
    static std::optional<QString> fileOf(const QString &src, const QString &folder);
};

} // namespace TAVRIKCORE::RICHEDITOR
