// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Export of a note as an OpenDocument text (.odt), the document format of LibreOffice and every
// other word processor: the converted HTML (MhtExport::HtmlConvert) read into a rich-text
// document with the note's pictures loaded as its resources, then written by Qt's OpenDocument
// writer. Headings, bold, italic, underline, colours, lists, tables, links and pictures survive;
// thumbnail cards come out as their pictures.
class TAVRIK_AUTOTEST_EXPORT OdtExport
{
public:
    // Writes `html` as an ODT file to `target`, replacing it. The local pictures of
    // ExportFiles::localPictures ("HtmlToOdt" in its log lines) go into the file, a PNG with
    // its own bytes, other pictures as the writer encodes them again; a missing picture, or one
    // that is not a picture, is left out. Headings get the point sizes a browser shows them at. The file is written beside the target and renamed over it, so a
    // failed export leaves the target as it was. 1 when written; 0 with the log line
    // "[ERROR:] HtmlToOdt发生错误，错误信息: cannot write <target>: <system reason>" when the file
    // cannot be written (a missing or read-only folder, a target that is a folder), or
    // "[ERROR:] HtmlToOdt 发送未知错误！" when the document cannot be written.
    static int HtmlToOdt(const QString &html, const QString &target);

    // MhtExport::HtmlConvert, then HtmlToOdt. 1 on success, else 0.
    static int NoteHtmlContentToOdtFile(const QString &html, const QString &target);

    // Reads a stored note file (without its header) and exports it as NoteHtmlContentToOdtFile
    // does. 0 without writing anything when the note file cannot be read.
    static int NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target);

    // Export of the note content the editor holds, with the message for the user: false with
    // MhtExport::EmptyNoteMessage() when the content is empty, false with ExportFailedMessage()
    // when the export fails, else true with `message` left alone.
    static bool ExportOdt(const QString &noteContent, const QString &target, QString &message);

    // "转化为ODT文档失败！" in the user's language (UiLanguage).
    static QString ExportFailedMessage();
};

} // namespace TAVRIKCORE::RICHEDITOR
