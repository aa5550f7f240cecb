// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The Word export: the document part written for small notes, the package as unzip and Word's
// other readers find it, and LibreOffice reading the same text from it as from the ODT export.
#include "logcapture.h"
#include "notehtml/docxexport_p.h"
#include "notehtml/odtexport_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;
using ::testing::ElementsAre;

namespace {

// The part `name` of the DOCX file `path`.
QByteArray part(const QString &path, const QString &name)
{
    return unzip({u"-p"_s, path, name});
}

// What document.xml holds between <w:body> and the page settings.
QByteArray body(const QString &path)
{
    const QByteArray document = part(path, u"word/document.xml"_s);
    const qsizetype start = document.indexOf("<w:body>") + 8;
    return document.mid(start, document.indexOf("<w:sectPr>") - start);
}

const QByteArray kRelations
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A run of `text` with the run properties `props`.
QByteArray run(const QByteArray &text, const QByteArray &props = {})
{
    return "<w:r>" + (props.isEmpty() ? props : "<w:rPr>" + props + "</w:rPr>")
        + "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

// A paragraph of `content` with the paragraph properties `props`.
QByteArray paragraph(const QByteArray &content, const QByteArray &props = {})
{
    return "<w:p>" + (props.isEmpty() ? props : "<w:pPr>" + props + "</w:pPr>") + content
        + "</w:p>";
}

QByteArray numbered(int level, int list)
{
    return "<w:numPr><w:ilvl w:val=\"" + QByteArray::number(level) + "\"/><w:numId w:val=\""
        + QByteArray::number(list) + "\"/></w:numPr>";
}

// A table cell `width` twips wide with the cell properties `props` after its width.
QByteArray cell(int width, const QByteArray &content, const QByteArray &props = {})
{
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + QByteArray::number(width) + "\" w:type=\"dxa\"/>" + props
        + "</w:tcPr>" + content + "</w:tc>";
}

const QByteArray kBold = "<w:b/><w:bCs/>";

class DocxTest : public AppFolderTest
{
protected:
    QTemporaryDir m_out;
    const QString m_target = m_out.filePath(u"note.docx"_s);
    const QByteArray m_png = pngBytes(filledImage(37, 21, Qt::red));
};

} // namespace

TEST_F(DocxTest, DocumentOfSmallNotesHoldsTheirHeadingsFormattingListsTablesAndLinks)
{
    const std::pair<QString, QByteArray> cases[] = {
        {u"<h2 style=\"text-align:center\">Day <b>one</b></h2><p>a <i>b</i>\n <u>c</u>  <s>d</s> "
         "<span style=\"color:#ff0000;background-color:rgb(0, 255, 0);font-size:20px\">e</span>"
         "</p><p align=\"justify\">j &lt; &amp;</p>"_s,
         paragraph(run("Day ") + run("one", kBold),
                   "<w:pStyle w:val=\"Heading2\"/><w:jc w:val=\"center\"/>")
             + paragraph(run("a ") + run("b", "<w:i/><w:iCs/>") + run(" ")
                         + run("c", "<w:u w:val=\"single\"/>") + run(" ") + run("d", "<w:strike/>")
                         + run(" ")
                         + run("e",
                               "<w:color w:val=\"FF0000\"/><w:sz w:val=\"30\"/><w:szCs "
                               "w:val=\"30\"/><w:shd w:val=\"clear\" w:color=\"auto\" "
                               "w:fill=\"00FF00\"/>"))
             + paragraph(run("j &lt; &amp;"), "<w:jc w:val=\"both\"/>")},
        // Nested lists a level deeper, each list numbered on its own; a second paragraph of an
        // item takes the item's indent.
        {u"<ul><li>a<ol><li>b</li><li>c</li></ol></li><li>d<p>more</p></li></ul>"
         "<ol><li>e</li></ol>"_s,
         paragraph(run("a"), numbered(0, 1)) + paragraph(run("b"), numbered(1, 2))
             + paragraph(run("c"), numbered(1, 2)) + paragraph(run("d"), numbered(0, 1))
             + paragraph(run("more"), "<w:ind w:left=\"360\"/>")
             + paragraph(run("e"), numbered(0, 3))},
        // A header row, cells over two columns and over two rows, the widths of a col element
        // and of a cell in twips, the other column taking what is left of the page; a missing
        // cell is made up.
        {u"<table><colgroup><col width=\"96\"><col></colgroup><thead><tr><th colspan=\"2\">h</th>"
         "<th>i</th></tr></thead><tr><td rowspan=\"2\" colspan=\"2\">m</td><td style=\"width: "
         "48px;\">x</td></tr><tr><td>y</td></tr><tr><td>p</td><td>q</td></tr></table>"_s,
         "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>"
         "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
         "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:top w:w=\"57\" "
         "w:type=\"dxa\"/><w:left w:w=\"57\" w:type=\"dxa\"/><w:bottom w:w=\"57\" "
         "w:type=\"dxa\"/><w:right w:w=\"57\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr>"
         "<w:tblGrid><w:gridCol w:w=\"1440\"/><w:gridCol w:w=\"6866\"/><w:gridCol w:w=\"720\"/>"
         "</w:tblGrid><w:tr><w:trPr><w:tblHeader/></w:trPr>"
             + cell(8306, paragraph(run("h", kBold)), "<w:gridSpan w:val=\"2\"/>")
             + cell(720, paragraph(run("i", kBold))) + "</w:tr><w:tr>"
             + cell(8306, paragraph(run("m")),
                    "<w:gridSpan w:val=\"2\"/><w:vMerge w:val=\"restart\"/>")
             + cell(720, paragraph(run("x"))) + "</w:tr><w:tr>"
             + cell(8306, "<w:p/>", "<w:gridSpan w:val=\"2\"/><w:vMerge/>")
             + cell(720, paragraph(run("y"))) + "</w:tr><w:tr>" + cell(1440, paragraph(run("p")))
             + cell(6866, paragraph(run("q"))) + cell(720, "<w:p/>") + "</w:tr></w:tbl><w:p/>"},
        // Links (one relationship for one address), a break, a code block, a checklist, a rule.
        {u"<p><a href=\" https://example.com/a b?x=1&amp;y=2\">go <b>there</b></a> <a "
         "href=\"https://example.com/a b?x=1&amp;y=2\">again</a><br> next<a href=\"\">plain</a>"
         "</p><pre>int a;\n\tb();</pre><ul class=\"checklist\"><li data-checked=\"true\">milk</li>"
         "</ul><hr>"_s,
         paragraph("<w:hyperlink r:id=\"rIdLink1\" w:history=\"1\">"
                   + run("go ", "<w:rStyle w:val=\"Hyperlink\"/>")
                   + run("there", "<w:rStyle w:val=\"Hyperlink\"/>" + kBold) + "</w:hyperlink>"
                   + run(" ") + "<w:hyperlink r:id=\"rIdLink1\" w:history=\"1\">"
                   + run("again", "<w:rStyle w:val=\"Hyperlink\"/>")
                   + "</w:hyperlink><w:r><w:br/></w:r>" + run("next") + run("plain"))
             + paragraph("<w:r><w:t xml:space=\"preserve\">int a;</w:t><w:br/><w:tab/>"
                         "<w:t xml:space=\"preserve\">b();</w:t></w:r>",
                         "<w:pStyle w:val=\"HTMLPreformatted\"/>")
             + paragraph(run("\u2611 ") + run("milk"), numbered(0, 1))
             + "<w:p><w:pPr><w:pBdr><w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" "
               "w:color=\"808080\"/></w:pBdr></w:pPr></w:p>"},
    };
    for (const auto &[html, expected] : cases) {
        ASSERT_EQ(DocxExport::HtmlToDocx(html, m_target), 1);
        EXPECT_EQ(body(m_target), expected) << "for " << html.toStdString();
    }
    // The last note's one link, with the address percent-encoded as Word needs it.
    EXPECT_EQ(part(m_target, u"word/_rels/document.xml.rels"_s),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
              "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" Type=\""
                  + kRelations
                  + "styles\" Target=\"styles.xml\"/>"
                    "<Relationship Id=\"rId2\" Type=\""
                  + kRelations
                  + "numbering\" "
                    "Target=\"numbering.xml\"/><Relationship Id=\"rIdLink1\" Type=\""
                  + kRelations
                  + "hyperlink\" Target=\"https://example.com/a%20b?x=1&amp;y=2\" "
                    "TargetMode=\"External\"/></Relationships>");

    // Widths up to Word's widest page, none below a quarter inch; tables kept apart.
    ASSERT_EQ(DocxExport::HtmlToDocx(u"<table><tr><td width=\"2112\">a</td><td width=\"2113\">b"
                                     "</td><td width=\"-3\">c</td></tr></table><table><tr><td>"
                                     "d</td></tr></table>"_s,
                                     m_target),
              1);
    EXPECT_TRUE(body(m_target).contains("<w:tblGrid><w:gridCol w:w=\"31680\"/><w:gridCol "
                                        "w:w=\"31680\"/><w:gridCol w:w=\"360\"/></w:tblGrid>"))
        << body(m_target).toStdString();
    EXPECT_EQ(body(m_target).count("</w:tbl><w:p/><w:tbl>"), 1);
    EXPECT_TRUE(body(m_target).endsWith("</w:tbl><w:p/>"));

    // The lists of the nested list note: bullets, then numbers restarting at their level.
    ASSERT_EQ(DocxExport::HtmlToDocx(cases[1].first, m_target), 1);
    const QByteArray numbering = part(m_target, u"word/numbering.xml"_s);
    EXPECT_TRUE(numbering.endsWith(
        "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>"
        "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"1\"/><w:lvlOverride w:ilvl=\"1\">"
        "<w:startOverride w:val=\"1\"/></w:lvlOverride></w:num><w:num w:numId=\"3\">"
        "<w:abstractNumId w:val=\"1\"/><w:lvlOverride w:ilvl=\"0\"><w:startOverride "
        "w:val=\"1\"/></w:lvlOverride></w:num></w:numbering>"))
        << numbering.toStdString();
    for (const char *level :
         {"<w:abstractNum w:abstractNumId=\"0\"><w:multiLevelType w:val=\"hybridMultilevel\"/>"
          "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"bullet\"/><w:lvlText "
          "w:val=\"\u2022\"/><w:lvlJc w:val=\"left\"/><w:pPr><w:ind w:left=\"360\" "
          "w:hanging=\"360\"/></w:pPr></w:lvl><w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/>"
          "<w:numFmt w:val=\"bullet\"/><w:lvlText w:val=\"\u25E6\"/>",
          "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText "
          "w:val=\"%2.\"/><w:lvlJc w:val=\"left\"/><w:pPr><w:ind w:left=\"720\" "
          "w:hanging=\"360\"/></w:pPr></w:lvl>",
          "<w:lvl w:ilvl=\"8\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText "
          "w:val=\"%9.\"/>"})
        EXPECT_TRUE(numbering.contains(level)) << level;
    EXPECT_EQ(numbering.count("<w:lvl "), 18);
}

TEST_F(DocxTest, PackageHoldsItsPartsAndPicturesAlwaysInTheSameBytes)
{
    const QImage card = filledImage(90, 48, Qt::blue).convertToFormat(QImage::Format_RGB555);
    ASSERT_TRUE(card.save(m_root + u"c4rd.bmp"_s, "BMP"));
    ASSERT_TRUE(writeBytes(m_root + u"ab.png"_s, m_png));
    ASSERT_TRUE(writeBytes(m_root + u"text.png"_s, "not a picture"));
    ASSERT_TRUE(filledImage(5, 4, Qt::green).save(m_root + u"p.ppm"_s, "PPM"));
    ASSERT_TRUE(writeBytes(m_root + u"cut.ppm"_s, "P6\n5 4\n255\n")); // no pixels
    // A picture with its alt text, the same at a width of its own, an attachment's card.
    const QString note = u"<p>a<img src=\"../userdata\\attachment\\ab.png\" alt='a \"red\" box'>"
                         "<img src=\"../userdata\\attachment\\ab.png\" width=\"74\">"
                         "<img src=\"../userdata\\attachment\\c4rd.bmp\" class=\"doc.pdf\" "
                         "style=\"height: 96px\" height=\"10\" "
                         "zv_exdata='{\"OrigName_B64\":\"5oql5ZGKIHYyLmRvY3g=\"}'>"
                         "<img src=\"../userdata\\attachment\\gone.png\">"
                         "<img src=\"../userdata\\attachment\\text.png\">"
                         "<img src=\"../userdata\\attachment\\p.ppm\">"
                         "<img src=\"../userdata\\attachment\\cut.ppm\"></p>"_s;
    ASSERT_TRUE(writeBytes(m_target, "old"));
    LogCapture log;
    ASSERT_EQ(DocxExport::NoteHtmlContentToDocxFile(note, m_target), 1);
    EXPECT_THAT(
        log.lines(),
        ElementsAre(u"[ERROR] HtmlToDocx: picture not found, not embedded: "_s + m_root
                        + u"gone.png (No such file or directory)"_s,
                    u"[ERROR] HtmlToDocx: not a picture, not embedded: "_s + m_root + u"text.png"_s,
                    u"[ERROR] HtmlToDocx: picture Word cannot show, not embedded: "_s + m_root
                        + u"cut.ppm"_s));

    EXPECT_EQ(unzip({u"-Z1"_s, m_target}),
              "[Content_Types].xml\n_rels/.rels\nword/document.xml\nword/_rels/document.xml.rels\n"
              "word/styles.xml\nword/numbering.xml\nword/media/image1.png\nword/media/image2.bmp\n"
              "word/media/image3.png\n");
    EXPECT_TRUE(unzip({u"-t"_s, m_target}).contains("No errors detected"));
    EXPECT_EQ(part(m_target, u"word/media/image1.png"_s), m_png);
    EXPECT_EQ(part(m_target, u"word/media/image2.bmp"_s), readBytes(m_root + u"c4rd.bmp"_s));
    EXPECT_EQ(QImage::fromData(part(m_target, u"word/media/image3.png"_s), "PNG").size(),
              QSize(5, 4));
    EXPECT_EQ(part(m_target, u"[[]Content_Types].xml"_s),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
              "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
              "Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
              "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Default Extension=\"bmp\" ContentType=\"image/bmp\"/><Default Extension=\"png\" "
              "ContentType=\"image/png\"/><Override PartName=\"/word/document.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
              "document.main+xml\"/><Override PartName=\"/word/styles.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
              "styles+xml\"/><Override PartName=\"/word/numbering.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
              "numbering+xml\"/></Types>");
    EXPECT_EQ(part(m_target, u"_rels/.rels"_s),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
              "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" Type=\""
                  + kRelations
                  + "officeDocument\" "
                    "Target=\"word/document.xml\"/></Relationships>");
    const QByteArray relations = part(m_target, u"word/_rels/document.xml.rels"_s);
    for (const char *picture : {"<Relationship Id=\"rIdImage1\" Type=\"%1image\" "
                                "Target=\"media/image1.png\"/><Relationship Id=\"rIdImage2\" "
                                "Type=\"%1image\" Target=\"media/image2.bmp\"/><Relationship "
                                "Id=\"rIdImage3\" Type=\"%1image\" Target=\"media/image3.png\"/>"})
        EXPECT_TRUE(relations.contains(
            QString::fromLatin1(picture).arg(QString::fromLatin1(kRelations)).toLatin1()))
            << relations.toStdString();
    // Word's heading styles, by their built-in names.
    const QByteArray styles = part(m_target, u"word/styles.xml"_s);
    EXPECT_TRUE(styles.contains(
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/>"
        "<w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:pPr><w:keepNext/>"
        "<w:spacing w:before=\"240\" w:after=\"120\"/><w:outlineLvl w:val=\"0\"/></w:pPr><w:rPr>"
        "<w:b/><w:bCs/><w:sz w:val=\"48\"/><w:szCs w:val=\"48\"/></w:rPr></w:style>"));
    EXPECT_TRUE(styles.contains("w:styleId=\"Heading6\"><w:name w:val=\"heading 6\"/>"));
    EXPECT_TRUE(styles.contains("<w:outlineLvl w:val=\"5\"/></w:pPr><w:rPr><w:b/><w:bCs/>"
                                "<w:sz w:val=\"16\"/>"));
    EXPECT_TRUE(styles.contains("<w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\" "
                                "w:cs=\"Courier New\"/>"));

    // Each picture inline at the size the note gives it, else its own, in EMU.
    const auto drawing = [](int id, int width, int height, int image,
                            const QByteArray &described = {}) -> QByteArray {
        const QByteArray name = "id=\"" + QByteArray::number(id) + "\" name=\"Picture "
            + QByteArray::number(id) + '"';
        const QByteArray extent = "cx=\"" + QByteArray::number(width * 9525) + "\" cy=\""
            + QByteArray::number(height * 9525) + '"';
        return "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
               "<wp:extent "
            + extent + "/><wp:docPr " + name + described
            + "/><a:graphic><a:graphicData "
              "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
              "<pic:nvPicPr><pic:cNvPr "
            + name
            + "/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill>"
              "<a:blip r:embed=\"rIdImage"
            + QByteArray::number(image)
            + "\"/><a:stretch>"
              "<a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" "
              "y=\"0\"/><a:ext "
            + extent
            + "/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
              "</a:prstGeom></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline>"
              "</w:drawing></w:r>";
    };
    EXPECT_EQ(body(m_target),
              paragraph(run("a") + drawing(1, 37, 21, 1, " descr=\"a &quot;red&quot; box\"")
                        + drawing(2, 74, 42, 1)
                        + drawing(3, 180, 96, 2, " descr=\"\u62A5\u544A v2.docx\"")
                        + drawing(4, 5, 4, 3)));

    // The same note gives the same bytes, dated 1980-01-01 00:00.
    const QByteArray bytes = readBytes(m_target);
    EXPECT_EQ(bytes.mid(10, 4), QByteArray("\0\0\x21\0", 4));
    ASSERT_EQ(DocxExport::NoteHtmlContentToDocxFile(note, m_target), 1);
    EXPECT_EQ(readBytes(m_target), bytes);
}

// Failures to write the file are tested with those of the other exports (tst_notehtml).
TEST_F(DocxTest, UnreadableNoteAndFailedExportLeaveTheTargetAndSayWhy)
{
    ASSERT_TRUE(writeBytes(m_target, "old"));
    const QString folder = m_out.filePath(u"folder.docx"_s);
    ASSERT_TRUE(QDir(m_out.path()).mkdir(u"folder.docx"_s));
    EXPECT_EQ(DocxExport::NoteHtmlFileToDocxFile(m_out.filePath(u"missing.html"_s), m_target), 0);
    EXPECT_EQ(readBytes(m_target), "old");

    QString message = u"unchanged"_s;
    EXPECT_FALSE(DocxExport::ExportDocx(QString(), m_target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_s);
    EXPECT_FALSE(DocxExport::ExportDocx(u"<p>x</p>"_s, folder, message));
    EXPECT_EQ(message, u"转化为DOCX文档失败！"_s);
    message = u"unchanged"_s;
    EXPECT_TRUE(DocxExport::ExportDocx(u"<p>x</p>"_s, m_target, message));
    EXPECT_EQ(message, u"unchanged"_s);
    EXPECT_EQ(body(m_target), paragraph(run("x")));
}

TEST_F(DocxTest, LibreOfficeReadsTheNoteTextFromTheDocxAsFromTheOdt)
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed (package libreoffice-writer-nogui): LibreOffice "
                        "cannot read the exports here";
    ASSERT_TRUE(writeBytes(m_root + u"ab.png"_s, m_png));
    const QString note
        = u"<h1>Trip</h1><p><b>bold</b> <i>italic</i> and <a href=\"https://example.com/a b\">"
          "link</a></p><ul><li>first<ol><li>one</li><li>two</li></ol></li><li>second</li></ul>"
          "<ol><li>again</li></ol><ul class=\"checklist\"><li data-checked=\"true\">milk</li>"
          "<li data-checked=\"false\">bread</li></ul><table><tr><td rowspan=\"2\" colspan=\"2\">"
          "m</td><td>x</td></tr><tr><td>y</td></tr><tr><td>p</td><td>q</td><td>r</td></tr>"
          "</table><pre>int a;\n  b();</pre><p>end   of <img src=\"../userdata\\attachment\\"
          "ab.png\"> note</p>"_s;
    const QString docx = m_out.filePath(u"word.docx"_s);
    const QString odt = m_out.filePath(u"open.odt"_s);
    ASSERT_EQ(DocxExport::NoteHtmlContentToDocxFile(note, docx), 1);
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, odt), 1);
    QTemporaryDir profile;
    const QString text = m_out.filePath(u"text"_s);
    QProcess process;
    process.start(soffice,
                  {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                   u"--headless"_s, u"--convert-to"_s, u"txt:Text (encoded):UTF8"_s, u"--outdir"_s,
                   text, docx, odt});
    ASSERT_TRUE(process.waitForFinished(180000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray fromDocx = readBytes(text + u"/word.txt"_s);
    const QByteArray fromOdt = readBytes(text + u"/open.txt"_s);
    // The note's text as LibreOffice writes it out: list marks indented by level, a table's
    // cells one a line (the merged one once), the picture as nothing.
    EXPECT_EQ(QString::fromUtf8(fromDocx),
              u"Trip\nbold italic and link\n    • first\n        1. one\n        2. two\n"
              "    • second\n    1. again\n    • ☑ milk\n    • ☐ bread\nm\nx\n\ny\np\nq\nr\n"
              "int a;\n  b();\nend of  note\n"_s);
    EXPECT_EQ(fromDocx, fromOdt);
}
