// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// Export of a note as a Word document (.docx, Office Open XML), which Word, LibreOffice and other
// word processors open: the converted HTML (MhtExport::HtmlConvert) is parsed once and written
// as the document's main part (DocxContent: Word's heading styles, formatting, numbered and
// bulleted lists, tables with merged cells, links and pictures), with the styles it names, the
// numbering of its lists, its relationships and the note's pictures with their own bytes, in a
// ZIP archive of stored entries (ZipWriter) dated 1980-01-01, so a note always gives the same
// bytes. Thumbnail cards come out as their pictures, as in the OpenDocument export, described by
// the attached file's name.
class TAVRIK_AUTOTEST_EXPORT DocxExport
{
public:
    // Writes `html` as a DOCX file to `target`, replacing it. The local pictures of
    // ExportFiles::localPictures ("HtmlToDocx" in its log lines) go into the file once each, as
    // word/media/image<n>.<type>: PNG, JPEG, GIF, BMP and TIFF with their own bytes, other
    // pictures converted to PNG; a missing picture, or one that is not a picture, is left out.
    // The file is written beside the target and renamed over it, so a failed export leaves the
    // target as it was. 1 when written; 0 with the log line "[ERROR:] HtmlToDocx发生错误，错误信息:
    // cannot write <target>: <system reason>" when the file cannot be written (a missing or
    // read-only folder, a target that is a folder), or "[ERROR:] HtmlToDocx 发送未知错误！" when
    // the document cannot be made (the HTML cannot be parsed, or the archive would pass 4 GiB).
    static int HtmlToDocx(const QString &html, const QString &target);

    // MhtExport::HtmlConvert, then HtmlToDocx. 1 on success, else 0.
    static int NoteHtmlContentToDocxFile(const QString &html, const QString &target);

    // Reads a stored note file (without its header) and exports it as NoteHtmlContentToDocxFile
    // does. 0 without writing anything when the note file cannot be read.
    static int NoteHtmlFileToDocxFile(const QString &noteFile, const QString &target);

    // Export of the note content the editor holds, with the message for the user: false with
    // MhtExport::EmptyNoteMessage() when the content is empty, false with ExportFailedMessage()
    // when the export fails, else true with `message` left alone.
    static bool ExportDocx(const QString &noteContent, const QString &target, QString &message);

    // "转化为DOCX文档失败！" in the user's language (UiLanguage).
    static QString ExportFailedMessage();
};

} // namespace TAVRIKCORE::RICHEDITOR
