// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Readers of the attachment markup inside note HTML. An attachment is an img element with a
// zv_exdata attribute holding {"OrigName_B64":"<Base64 of the original name's UTF-8 bytes>"};
// its class names the stored attachment file (userdata\attachment\<store name>) and its src
// the image shown for it (../userdata\attachment\<image name>). An img without zv_exdata is an
// ordinary picture and is skipped by every reader. Names are read after the last '/' or '\'.
//
// A name taken from the markup becomes part of a path only when it stays inside the attachment
// folder: a store name or original name that is ".", "..", or holds '/', '\' or U+0000 is
// skipped with the log line "[ERROR] Attachment name leaves the attachment folder, skipped: "
// followed by the name.
class TAVRIK_AUTOTEST_EXPORT AttachMarkup
{
public:
    // Lists each distinct file the note HTML names, in the order the document first names it
    // (within one element the class entry before the src entry), replacing `records`. A class
    // entry is keyed by store name + original name and is not made when an entry keyed by the
    // store name alone already exists; a src entry is keyed by its store name. When `plainText`
    // is given it receives the body's plain text. 1 on success; 0 (records untouched, log line
    // "[ERROR] 解析html字串，获取附件列表失败！") when the HTML cannot be parsed.
    static int ParseAttList(const QString &noteId, const QString &html,
                            std::vector<NewAttachFile> &records, QString *plainText = nullptr);

    // ParseAttList without touching the disk: each filePath is where the file lies below the
    // attachment root `root` (no trailing separator), and no folder is created. For readers
    // that must leave the store as it is, such as the store check.
    static int ListAttachments(const QString &root, const QString &noteId, const QString &html,
                               std::vector<NewAttachFile> &records);

    // Appends the non-empty original name of every attachment element, in document order,
    // duplicates included. 1 on success; 0 with the log line
    // "[ERROR] 解析html字串，获取附件原文件名列表失败！" when the HTML cannot be parsed.
    static int ParseAttOrigFileNameList(const QString &html, std::vector<QString> &names);

    // Appends the paths of the attached files (not the src images) that the note names and
    // that exist on disk. `paths` is not cleared first.
    static void GetAttachFileFromHtml(const QString &noteId, const QString &html,
                                      std::vector<QString> &paths, QString *plainText = nullptr);

    // The original name held by a zv_exdata text (UTF-8; JSON with comments allowed); empty
    // when the text is not a JSON object or lacks a string "OrigName_B64".
    static QString GetOrigNameFromJson(const QByteArray &exdata);

    // The zv_exdata text for an original name: {"OrigName_B64":"<Base64>"}, no blanks.
    static QString FormatOrigNameToJson(const QString &origName);

    // The name under which an attachment of original name `origName` lies in its note's
    // folder. A '\' is an ordinary character of a Linux file name but a separator in the
    // markup and on Windows, so each one becomes U+FF3C ('＼'); the original name stays in the
    // attachment's zv_exdata. Other names are kept as they are.
    static QString keptFileName(const QString &origName);

    // Writes the log line for a name refused by IsSafeFileName.
    static void logUnsafeName(const QString &name);
};

} // namespace TAVRIKCORE::RICHEDITOR
