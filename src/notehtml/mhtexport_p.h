// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Export of a note as an MHT file (a MIME message whose body is the note's HTML), which word
// processors open as a document. Images are not embedded: their src becomes an absolute path
// in the attachment folder.
class TAVRIK_AUTOTEST_EXPORT MhtExport
{
public:
    // Rewrites the src of every img to <app folder>userdata/attachment/<file name>, the file
    // name being the text after the last '/' or '\' of the old value (a src whose file name is
    // empty, "." or ".." is left alone). 1 with `converted` set to the body's inner HTML (the
    // head is dropped), or to the input itself when it has no img; 0 with the log line
    // "[ERROR] NoteHtmlFileToMhtFile，将图片相对路径转换为绝对路径失败！" when the HTML cannot be
    // parsed.
    static int HtmlConvert(const QString &html, QString &converted);

    // Writes `html` as a MIME message to `target` (replacing it): multipart/alternative with a
    // text/plain part (the HTML's plain text) and a text/html part, both UTF-8 in
    // quoted-printable. 1 when written; 0 with the log line
    // "[ERROR:] HtmlToMht发生错误，错误信息: <reason>" when the file cannot be written, or
    // "[ERROR:] HtmlToMht 发送未知错误！" when the message cannot be built.
    static int HtmlToMht(const QString &html, const QString &target);

    // HtmlConvert, then HtmlToMht. 1 on success, else 0.
    static int NoteHtmlContentToMhtFile(const QString &html, const QString &target);

    // Reads a stored note file (without its header) and exports it as NoteHtmlContentToMhtFile
    // does. 0 without writing anything when the note file cannot be read.
    static int NoteHtmlFileToMhtFile(const QString &noteFile, const QString &target);

    // Export of the note content the editor holds, with the message for the user: false with
    // EmptyNoteMessage() when the content is empty, false with ExportFailedMessage() when the
    // export fails, else true with `message` left alone.
    static bool ExportWord(const QString &noteContent, const QString &target, QString &message);

    // "笔记内容为空！" and "转化为word失败！" in the user's language (UiLanguage).
    static QString EmptyNoteMessage();
    static QString ExportFailedMessage();
};

} // namespace TAVRIKCORE::RICHEDITOR
