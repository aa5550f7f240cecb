// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/docxexport_p.h"

#include "common/durablefile_p.h"
#include "common/writelog_p.h"
#include "notehtml/docxcontent_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/zipwriter_p.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <set>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

constexpr char kXmlDeclaration[]
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr char kRelationships[] = "http://schemas.openxmlformats.org/officeDocument/2006/"
                                  "relationships/";
constexpr char kWordTypes[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

// The styles the document names: Word's own heading styles at the sizes the OpenDocument export
// gives them, the monospaced style of code blocks and the style of links.
QByteArray stylesPart()
{
    QByteArray out = kXmlDeclaration
        + QByteArrayLiteral(
                         "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                         "2006/main\"><w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"24\"/>"
                         "<w:szCs w:val=\"24\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>"
                         "<w:spacing w:after=\"120\"/></w:pPr></w:pPrDefault></w:docDefaults>"
                         "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
                         "<w:name w:val=\"Normal\"/><w:qFormat/></w:style>");
    const int halfPoints[] = {48, 36, 28, 24, 20, 16};
    for (int level = 1; level <= 6; ++level) {
        const QByteArray number = QByteArray::number(level);
        const QByteArray size = QByteArray::number(halfPoints[level - 1]);
        out += "<w:style w:type=\"paragraph\" w:styleId=\"Heading" + number
            + "\"><w:name w:val=\"heading " + number
            + "\"/><w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:pPr>"
              "<w:keepNext/><w:spacing w:before=\"240\" w:after=\"120\"/><w:outlineLvl w:val=\""
            + QByteArray::number(level - 1) + "\"/></w:pPr><w:rPr><w:b/><w:bCs/><w:sz w:val=\""
            + size + "\"/><w:szCs w:val=\"" + size + "\"/></w:rPr></w:style>";
    }
    out += "<w:style w:type=\"paragraph\" w:styleId=\"HTMLPreformatted\"><w:name w:val=\"HTML "
           "Preformatted\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:spacing w:after=\"0\"/>"
           "</w:pPr><w:rPr><w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\" "
           "w:cs=\"Courier New\"/><w:sz w:val=\"20\"/><w:szCs w:val=\"20\"/></w:rPr></w:style>"
           "<w:style w:type=\"character\" w:styleId=\"Hyperlink\"><w:name w:val=\"Hyperlink\"/>"
           "<w:rPr><w:color w:val=\"0563C1\"/><w:u w:val=\"single\"/></w:rPr></w:style>"
           "</w:styles>";
    return out;
}

void addRelationship(QByteArray &out, const QByteArray &id, QByteArrayView type,
                     const QByteArray &target, bool external = false)
{
    out += "<Relationship Id=\"";
    out += id;
    out += "\" Type=\"";
    out += kRelationships;
    out += type;
    out += "\" Target=\"";
    DocumentMarkup::appendEscaped(out, target.constData(), target.size());
    out += external ? "\" TargetMode=\"External\"/>" : "\"/>";
}

QByteArray relationships(const QByteArray &entries)
{
    return kXmlDeclaration
        + QByteArrayLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
                            "2006/relationships\">")
        + entries + "</Relationships>";
}

// A picture as the document holds it: its bytes and their type.
struct Media
{
    QByteArray bytes;
    QByteArray type; // png, jpeg, ...
    QByteArray name; // image<n>.<type>
};

// The picture in a type Word shows: its own bytes when it has one, else converted to PNG; empty
// when it cannot be read.
Media wordMedia(const ExportFiles::Picture &picture)
{
    const QByteArray type = picture.mimeType.mid(6);
    static const std::set<QByteArray> shown = {"png", "jpeg", "gif", "bmp", "tiff"};
    if (shown.count(type))
        return {picture.bytes, type, {}};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!QImage::fromData(picture.bytes).save(&buffer, "PNG")) {
        writeLog(QStringLiteral("[ERROR] HtmlToDocx: picture Word cannot show, not embedded: ")
                 + picture.src);
        return {};
    }
    return {png, QByteArrayLiteral("png"), {}};
}

QByteArray contentTypes(const std::set<QByteArray> &pictureTypes)
{
    QByteArray out = kXmlDeclaration
        + QByteArrayLiteral("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                            "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
                            "vnd.openxmlformats-package.relationships+xml\"/><Default "
                            "Extension=\"xml\" ContentType=\"application/xml\"/>");
    for (const QByteArray &type : pictureTypes)
        out += "<Default Extension=\"" + type + "\" ContentType=\"image/" + type + "\"/>";
    for (const char *part : {"document.main", "styles", "numbering"}) {
        const QByteArray name = QByteArray(part).split('.').front();
        out += "<Override PartName=\"/word/" + name + ".xml\" ContentType=\"" + kWordTypes + part
            + "+xml\"/>";
    }
    return out + "</Types>";
}

} // namespace

int DocxExport::HtmlToDocx(const QString &html, const QString &target)
{
    const std::vector<ExportFiles::Picture> localPictures
        = ExportFiles::localPictures(html, QStringLiteral("HtmlToDocx"));
    HtmlDocument document;
    if (!document.parse(html)) {
        writeLog(QStringLiteral("[ERROR:] HtmlToDocx 发送未知错误！"));
        return 0;
    }
    DocxContent::Pictures pictures;
    std::vector<Media> media;
    for (const ExportFiles::Picture &picture : localPictures) {
        if (picture.mimeType.isEmpty())
            continue;
        Media shown = wordMedia(picture);
        if (shown.bytes.isEmpty())
            continue;
        const QByteArray number = QByteArray::number(media.size() + 1);
        shown.name = "image" + number + '.' + shown.type;
        media.push_back(std::move(shown));
        pictures.emplace(
            picture.src,
            DocxContent::Picture{"rIdImage" + number, ExportFiles::pictureSize(picture.bytes)});
    }
    const DocxContent::Parts parts = DocxContent::write(document.body(), pictures);

    QByteArray links;
    addRelationship(links, "rId1", "styles", "styles.xml");
    addRelationship(links, "rId2", "numbering", "numbering.xml");
    std::set<QByteArray> pictureTypes;
    for (std::size_t i = 0; i < media.size(); ++i) {
        addRelationship(links, "rIdImage" + QByteArray::number(qsizetype(i + 1)), "image",
                        "media/" + media[i].name);
        pictureTypes.insert(media[i].type);
    }
    for (std::size_t i = 0; i < parts.links.size(); ++i)
        addRelationship(links, "rIdLink" + QByteArray::number(qsizetype(i + 1)), "hyperlink",
                        parts.links[i], true);

    ZipWriter zip(ZipWriter::Dates::Fixed);
    zip.add("[Content_Types].xml", contentTypes(pictureTypes));
    QByteArray package;
    addRelationship(package, "rId1", "officeDocument", "word/document.xml");
    zip.add("_rels/.rels", relationships(package));
    zip.add("word/document.xml", parts.document);
    zip.add("word/_rels/document.xml.rels", relationships(links));
    zip.add("word/styles.xml", stylesPart());
    zip.add("word/numbering.xml", parts.numbering);
    for (const Media &picture : media)
        zip.add(QByteArray("word/media/" + picture.name), picture.bytes);
    const QByteArray archive = zip.finish();
    if (archive.isEmpty()) {
        writeLog(QStringLiteral("[ERROR:] HtmlToDocx 发送未知错误！"));
        return 0;
    }
    if (const int error = Internal::replaceDurably(target, {archive})) {
        ExportFiles::logWriteFailure(QStringLiteral("HtmlToDocx"), target, error);
        return 0;
    }
    return 1;
}

int DocxExport::NoteHtmlContentToDocxFile(const QString &html, const QString &target)
{
    return MhtExport::convertAndWrite(html, target, &HtmlToDocx);
}

int DocxExport::NoteHtmlFileToDocxFile(const QString &noteFile, const QString &target)
{
    return MhtExport::convertFileAndWrite(noteFile, target, &HtmlToDocx);
}

QString DocxExport::ExportFailedMessage()
{
    return QCoreApplication::translate("DocxExport", "转化为DOCX文档失败！");
}

bool DocxExport::ExportDocx(const QString &noteContent, const QString &target, QString &message)
{
    return MhtExport::exportForUser(noteContent, target, message, &HtmlToDocx,
                                    ExportFailedMessage());
}

} // namespace TAVRIKCORE::RICHEDITOR
