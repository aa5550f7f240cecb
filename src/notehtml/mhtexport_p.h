// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

class HtmlDocument;

// Export of a note as an MHT file, a MIME archive of the note's HTML that browsers and word
// processors open as a document: a multipart/related message whose root part is the HTML,
// followed by the pictures it shows, every part with its Content-Location, every line ending in
// CR LF. The pictures and thumbnail cards travel inside the file, so it shows them on any
// machine: HtmlConvert still rewrites each src to an absolute path in the attachment folder;
// HtmlToMht adds each such file as a part at its file name under the archive's own address
// http://note.invalid, and gives the reader HTML whose src is that file name, which resolves
// to the part against the root part's address (a host that reaches no network, since readers
// find parts only by absolute address and may not load file: addresses from an archive). No
// folder of this computer and none of the editor's own attributes (zv_exdata, zvimgsrc,
// data-ke-src, an attachment's class) reach the archive; its Subject is the note's first line.
// A picture missing on disk, or not a picture, stays a reference by file name and is logged;
// the export still succeeds.
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
    // The same rewriting in a parsed document; false when it has no img.
    static bool convertPictureSources(HtmlDocument &doc);

    // Writes `html` as an MHT file to `target`, replacing it: multipart/related (type
    // text/html) whose first part is the HTML in UTF-8 quoted-printable at
    // http://note.invalid/<target's file name>, then one base64 part for each distinct local
    // picture of ExportFiles::localPictures that it could read ("HtmlToMht" in its log lines) at
    // http://note.invalid/<its file name>. The file is written beside the target and renamed over
    // it, so a failed export leaves the target as it was. 1 when written; 0 with the log line
    // "[ERROR:] HtmlToMht发生错误，错误信息: cannot write <target>: <system reason>" when the file
    // cannot be written (a missing or read-only folder, a target that is a folder), or "[ERROR:]
    // HtmlToMht 发送未知错误！" when the message cannot be built.
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

    // What every export of a note does around its writer (HtmlToMht, OdtExport::HtmlToOdt):
    // convertAndWrite runs `write` on what HtmlConvert makes of the HTML, 0 when either fails;
    // convertFileAndWrite does so for a stored note file's content, 0 without writing when the
    // file cannot be read; exportForUser is convertAndWrite with the message for the user,
    // false with EmptyNoteMessage() for empty content or `failedMessage` when the export fails.
    using Writer = int (*)(const QString &html, const QString &target);
    static int convertAndWrite(const QString &html, const QString &target, Writer write);
    static int convertFileAndWrite(const QString &noteFile, const QString &target, Writer write);
    static bool exportForUser(const QString &noteContent, const QString &target, QString &message,
                              Writer write, const QString &failedMessage);
};

} // namespace TAVRIKCORE::RICHEDITOR
