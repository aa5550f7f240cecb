// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/odtexport_p.h"

#include "common/durablefile_p.h"
#include "common/writelog_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/odtcontent_p.h"
#include "notehtml/zipwriter_p.h"

#include <QCoreApplication>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

constexpr char kMimeType[] = "application/vnd.oasis.opendocument.text";

// The styles the content refers to by name: the headings, bold at the point sizes a browser
// shows them at, each with its outline level.
QByteArray stylesDocument()
{
    QByteArray out = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles"
        " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
        " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
        " office:version=\"1.2\"><office:styles>"
        "<style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\"/>"
        "<style:style style:name=\"Heading\" style:family=\"paragraph\""
        " style:parent-style-name=\"Standard\" style:next-style-name=\"Standard\""
        " style:class=\"text\"><style:paragraph-properties fo:margin-top=\"0.423cm\""
        " fo:margin-bottom=\"0.212cm\" fo:keep-with-next=\"always\"/><style:text-properties"
        " fo:font-weight=\"bold\" style:font-weight-asian=\"bold\""
        " style:font-weight-complex=\"bold\"/></style:style>");
    const int points[] = {24, 18, 14, 12, 10, 8};
    for (int level = 1; level <= 6; ++level) {
        const QByteArray number = QByteArray::number(level);
        const QByteArray size = QByteArray::number(points[level - 1]) + "pt";
        out += "<style:style style:name=\"Heading_20_" + number + "\" style:display-name=\"Heading "
            + number
            + "\" style:family=\"paragraph\" style:parent-style-name=\"Heading\""
              " style:next-style-name=\"Standard\" style:default-outline-level=\""
            + number + "\" style:class=\"text\"><style:text-properties fo:font-size=\"" + size
            + "\" style:font-size-asian=\"" + size + "\" style:font-size-complex=\"" + size
            + "\"/></style:style>";
    }
    out += "</office:styles></office:document-styles>";
    return out;
}

void addManifestEntry(QByteArray &manifest, QByteArrayView path, QByteArrayView mediaType)
{
    manifest += "<manifest:file-entry manifest:full-path=\"";
    manifest += path;
    manifest += "\" manifest:media-type=\"";
    manifest += mediaType;
    manifest += "\"/>";
}

} // namespace

int OdtExport::HtmlToOdt(const QString &html, const QString &target)
{
    const std::vector<ExportFiles::Picture> localPictures
        = ExportFiles::localPictures(html, QStringLiteral("HtmlToOdt"));
    const auto failed = [] {
        writeLog(QStringLiteral("[ERROR:] HtmlToOdt 发送未知错误！"));
        return 0;
    };
    HtmlDocument document;
    if (!document.parse(html))
        return failed();
    // The pictures go into the package with their own bytes, under a name of their type.
    OdtContent::Pictures pictures;
    std::vector<const ExportFiles::Picture *> packed;
    for (const ExportFiles::Picture &picture : localPictures) {
        if (picture.mimeType.isEmpty())
            continue;
        packed.push_back(&picture);
        const QByteArray type = picture.mimeType.mid(6).split('+').front();
        pictures.emplace(
            picture.src,
            OdtContent::Picture{"Pictures/Picture" + QByteArray::number(packed.size()) + '.' + type,
                                ExportFiles::pictureSize(picture.bytes)});
    }

    QByteArray manifest = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest"
        " xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
        " manifest:version=\"1.2\"><manifest:file-entry manifest:full-path=\"/\""
        " manifest:version=\"1.2\" manifest:media-type=\"");
    manifest += kMimeType;
    manifest += "\"/>";
    ZipWriter zip;
    zip.add("mimetype", kMimeType);
    zip.add("content.xml", OdtContent::write(document.body(), pictures));
    addManifestEntry(manifest, "content.xml", "text/xml");
    zip.add("styles.xml", stylesDocument());
    addManifestEntry(manifest, "styles.xml", "text/xml");
    for (const ExportFiles::Picture *picture : packed) {
        const QByteArray &path = pictures.at(picture->src).path;
        zip.add(path, picture->bytes);
        addManifestEntry(manifest, path, picture->mimeType);
    }
    manifest += "</manifest:manifest>";
    zip.add("META-INF/manifest.xml", manifest);
    const QByteArray archive = zip.finish();
    if (archive.isEmpty())
        return failed();
    if (const int error = Internal::replaceDurably(target, {archive})) {
        ExportFiles::logWriteFailure(QStringLiteral("HtmlToOdt"), target, error);
        return 0;
    }
    return 1;
}

int OdtExport::NoteHtmlContentToOdtFile(const QString &html, const QString &target)
{
    return MhtExport::convertAndWrite(html, target, &HtmlToOdt);
}

int OdtExport::NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target)
{
    return MhtExport::convertFileAndWrite(noteFile, target, &HtmlToOdt);
}

QString OdtExport::ExportFailedMessage()
{
    return QCoreApplication::translate("OdtExport", "转化为ODT文档失败！");
}

bool OdtExport::ExportOdt(const QString &noteContent, const QString &target, QString &message)
{
    return MhtExport::exportForUser(noteContent, target, message, &HtmlToOdt,
                                    ExportFailedMessage());
}

} // namespace TAVRIKCORE::RICHEDITOR
