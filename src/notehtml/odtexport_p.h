// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Export of a note as an OpenDocument text (.odt), the document format of LibreOffice and every
// other word processor: the converted HTML (MhtExport::HtmlConvert) is parsed once and written
// as the package's content (OdtContent: headings with their outline level, bold, italic,
// underline, colours, lists, tables, links and pictures), with a style sheet for the headings,
// the note's pictures with their own bytes and the manifest listing them, in a ZIP archive of
// stored entries (ZipWriter) that starts with the package's type. Thumbnail cards come out as
// their pictures.
class TAVRIK_AUTOTEST_EXPORT OdtExport
{
public:
    // Writes `html` as an ODT file to `target`, replacing it. The local pictures of
    // ExportFiles::localPictures ("HtmlToOdt" in its log lines) go into the file with their own
    // bytes, each once, as Pictures/Picture<n>.<type>; a missing picture, or one that is not a
    // picture, is left out. The file is written beside the target and renamed over it, so a
    // failed export leaves the target as it was. 1 when written; 0 with the log line
    // "[ERROR:] HtmlToOdt发生错误，错误信息: cannot write <target>: <system reason>" when the file
    // cannot be written (a missing or read-only folder, a target that is a folder), or
    // "[ERROR:] HtmlToOdt 发送未知错误！" when the document cannot be made (the HTML cannot be
    // parsed, or the archive would pass 4 GiB).
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
