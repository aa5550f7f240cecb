// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/newattachfile.h"
#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Versions of the note markup.
enum NOTE_HTML_VER_NUMBER {
    NOTE_HTML_VER_NONE = 0, // file without header, upgraded like version 1
    NOTE_HTML_VER_1 = 1, // attachment elements may lack zv_exdata
    NOTE_HTML_VER_2 = 2, // every attachment element carries zv_exdata
};

// Note files: UTF-8 bytes (no byte-order mark) made of the header <!--{"ver_number":N}-->
// immediately followed by the note HTML. Files written elsewhere in a legacy code page still
// read correctly. Stored notes live in the attachment folder under the MD5 of their bytes plus
// ".html".
class TAVRIK_EXPORT NoteHtmlRW
{
public:
    // Reads a note file: `content` gets the text after the header (the whole text when there is
    // no header; text ends at the first zero byte), `version` the header's "ver_number" (0
    // without a header or when the header is not JSON). 1 when the file could be read; 0 with
    // both outputs untouched otherwise. With `maxBytes` at 0 or more only the file's first
    // `maxBytes` bytes are read, cut back to the last whole UTF-8 character.
    static int ReadHtmlTextFromFile(const QString &path, QString &content, int &version,
                                    qint64 maxBytes = -1);

    // Writes header and content to a temporary file beside `path`, flushes it to disk and renames
    // it over `path`, then flushes the folder, so a failure leaves the previous file whole and
    // no partial file behind. 1 when written;
    // 0 with the log line "cause:<c>, error:<errno> and file name is <path>" otherwise, where
    // <c> is 2 for a missing folder, 3 for a bad path, 4 for too many open files, 5 for access
    // denied, 10 for an I/O error, 13 for a full disk and 1 for anything else.
    static int WriteHtmlTextFile(const QString &path, const QString &content, int version);

    // Stores a note: upgrades content below version 2 first (when `version` is given; the
    // upgraded content replaces `content` and *version becomes 2; a failed upgrade stores the
    // content as it is with its version), writes it to a temporary file in the attachment
    // folder, flushes it and renames it to <md5>.html, then flushes the folder. An existing file
    // of that name is kept when its bytes match its name, otherwise replaced. Without `version`
    // the header says 2. Fills `record` (storeName, filePath, fileExt "html", fileKind 0,
    // modifyTime now). 1 when stored; 0 otherwise (log line
    // "[ERROR] NoteHtmlRW::SaveHtmlTextToFile faild!" when the write fails).
    static int SaveHtmlTextToFile(QString &content, NewAttachFile &record, int *version);

    // The header text for a version: <!--{"ver_number":N}-->.
    static QByteArray header(int version);
};

} // namespace TAVRIKCORE::RICHEDITOR
