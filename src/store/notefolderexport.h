// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Exports a stored note as a folder any browser reads: one HTML file whose pictures, thumbnail
// cards and attachment links point at copies beside it under their original names.
class TAVRIK_EXPORT NoteFolderExport
{
public:
    struct Result
    {
        QString htmlPath; // the file written (the HTML file, or the one a writer made)
        std::vector<QString> files; // the copies beside it, in the order the note shows them
        std::vector<QString> missing; // store files the note names that were not found
        QString error; // why nothing was exported; empty on success
    };

    // Reads the note file `noteFile` (a path, or a name in the attachment root) of the note
    // `noteId` and writes `folder`/`htmlName` (created with its folder when missing) with
    // copies of the note's files beside it. Nothing in the folder is overwritten: a name
    // already taken (the HTML file's too) gets a number, "photo(1).png". A file the note names that
    // is not in the store keeps its element as it is and is listed in `missing` (with a log line).
    // Fails, with `error` set and logged, when the note cannot be read or the folder not written.
    static Result Export(const QString &noteId, const QString &noteFile, const QString &folder,
                         const QString &htmlName = QStringLiteral("note.html"));

    // Makes the bytes of the exported file from the note's body markup (UTF-8), its
    // attachments pointing at their copies; nothing when it cannot.
    using Writer = std::function<std::optional<QByteArray>(const QByteArray &bodyHtml)>;
    // Exports the note markup `content` of the note `noteId` the same way, as `folder`/`fileName`
    // made by `writer`. When the writer gives nothing, the copies made are removed again and the
    // export fails with "the note could not be converted: note <noteId>".
    static Result ExportContent(const QString &noteId, const QString &content,
                                const QString &folder, const QString &fileName,
                                const Writer &writer);
};

} // namespace TAVRIKCORE::RICHEDITOR
