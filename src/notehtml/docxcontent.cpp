// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/docxcontent_p.h"

#include "notehtml/attachmarkup_p.h"

#include <QUrl>

#include <libxml/tree.h>

#include <algorithm>
#include <numeric>

namespace TAVRIKCORE::RICHEDITOR {

using namespace DocumentMarkup;

namespace {

constexpr int kTwipsPerPixel = 15; // at 96 pixels an inch
constexpr int kEmusPerPixel = 9525;
constexpr int kTextWidth = 11906 - 2 * 1440; // of an A4 page with margins of an inch, in twips
constexpr int kListIndent = 360; // a quarter inch, in twips, for each level of a list
constexpr int kListLevels = 9; // as many as Word's lists have
constexpr int kMostColumnWidth = 31680; // 22 inches, Word's widest page, in twips

constexpr char kNamespaces[]
    = " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
      " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
      " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

// A border of the given side, half a point wide.
QByteArray border(const char *side, const char *color)
{
    return QByteArray("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\""
        + color + "\"/>";
}

QByteArray justification(const QByteArray &alignment)
{
    if (alignment == "end")
        return QByteArrayLiteral("right");
    return alignment == "justify" ? QByteArrayLiteral("both") : alignment;
}

// The run properties of a style, in the order Word expects them.
QByteArray runProperties(const TextStyle &style, bool link)
{
    QByteArray props;
    if (link)
        props += "<w:rStyle w:val=\"Hyperlink\"/>";
    if (style.bold)
        props += "<w:b/><w:bCs/>";
    if (style.italic)
        props += "<w:i/><w:iCs/>";
    if (style.strike)
        props += "<w:strike/>";
    if (!style.color.isEmpty())
        props += "<w:color w:val=\"" + style.color.mid(1).toUpper() + "\"/>";
    if (!style.fontSize.isEmpty()) {
        const QByteArray halfPoints
            = number(std::max(qRound(style.fontSize.chopped(2).toDouble() * 2), 1));
        props += "<w:sz w:val=\"" + halfPoints + "\"/><w:szCs w:val=\"" + halfPoints + "\"/>";
    }
    if (style.underline)
        props += "<w:u w:val=\"single\"/>";
    if (!style.background.isEmpty())
        props += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\""
            + style.background.mid(1).toUpper() + "\"/>";
    return props.isEmpty() ? props : "<w:rPr>" + props + "</w:rPr>";
}

// One level of a list: its number or bullet and its indent.
QByteArray listLevel(int level, bool numbered)
{
    static const char *const bullets[] = {"\u2022", "\u25E6", "\u25AA"};
    const QByteArray label
        = numbered ? QByteArray('%' + number(level + 1) + '.') : QByteArray(bullets[level % 3]);
    return "<w:lvl w:ilvl=\"" + number(level) + "\"><w:start w:val=\"1\"/><w:numFmt w:val=\""
        + (numbered ? "decimal" : "bullet") + "\"/><w:lvlText w:val=\"" + label
        + "\"/><w:lvlJc w:val=\"left\"/><w:pPr><w:ind w:left=\"" + number(kListIndent * (level + 1))
        + "\" w:hanging=\"" + number(kListIndent) + "\"/></w:pPr></w:lvl>";
}

} // namespace

DocxContent::Parts DocxContent::write(Element body, const Pictures &pictures)
{
    DocxContent content(pictures);
    if (body)
        content.flow(body->children, nullptr, 0, TextStyle());
    if (content.m_tableLast || content.m_body.isEmpty()) // a document ends in a paragraph
        content.m_body += "<w:p/>";
    Parts parts;
    parts.document = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                       "standalone=\"yes\"?>\n<w:document")
        + kNamespaces + "><w:body>" + content.m_body
        + "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" "
          "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"720\" "
          "w:footer=\"720\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
    parts.numbering = content.numbering();
    parts.links = std::move(content.m_links);
    return parts;
}

// Two lists of nine levels, bullets and decimal numbers; each list of the note numbers its
// items from 1 with its own list of the second.
QByteArray DocxContent::numbering() const
{
    QByteArray out = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:numbering xmlns:w="
        "\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">");
    for (const bool numbered : {false, true}) {
        out += "<w:abstractNum w:abstractNumId=\"" + number(numbered)
            + "\"><w:multiLevelType w:val=\"hybridMultilevel\"/>";
        for (int level = 0; level < kListLevels; ++level)
            out += listLevel(level, numbered);
        out += "</w:abstractNum>";
    }
    for (std::size_t i = 0; i < m_lists.size(); ++i) {
        const auto [numbered, level] = m_lists[i];
        out += "<w:num w:numId=\"" + number(qint64(i + 1)) + "\"><w:abstractNumId w:val=\""
            + number(numbered) + "\"/>";
        if (numbered)
            out += "<w:lvlOverride w:ilvl=\"" + number(level)
                + "\"><w:startOverride w:val=\"1\"/></w:lvlOverride>";
        out += "</w:num>";
    }
    return out + "</w:numbering>";
}

void DocxContent::block(Element element, int level, const TextStyle &style)
{
    if (nameIs(element, "hr")) {
        m_body += "<w:p><w:pPr><w:pBdr>" + border("bottom", "808080") + "</w:pBdr></w:pPr></w:p>";
        m_tableLast = false;
        return;
    }
    aligned(element, [&] { blockContent(element, level, styled(element, style)); });
}

// Each item's first paragraph takes the item's number, the others its indent.
void DocxContent::list(Element element, const TextStyle &style)
{
    const int level = std::min(m_listDepth, kListLevels - 1);
    m_lists.emplace_back(nameIs(element, "ol"), level);
    const int list = int(m_lists.size());
    const int around = m_indent;
    m_indent = kListIndent * (level + 1);
    listItems(element, style, [&](auto write) {
        m_numbered = list;
        write();
        m_numbered = 0; // an item without a paragraph takes no number
    });
    m_indent = around;
}

void DocxContent::table(Element element, const TextStyle &style)
{
    const TableParts parts = tableParts(element);
    for (Element caption : parts.captions)
        block(caption, 0, style);
    const std::vector<int> pixels = tableGrid(parts.rows, parts.cols).widths;
    const int columns = int(pixels.size());
    // The columns without a width share what is left of the page's.
    std::vector<int> widths;
    int known = 0;
    for (const int width : pixels) {
        widths.push_back(std::clamp(width, 0, kMostColumnWidth / kTwipsPerPixel) * kTwipsPerPixel);
        known += widths.back();
    }
    const int unknown = int(std::count(widths.begin(), widths.end(), 0));
    const int share = unknown > 0 ? std::max((kTextWidth - known) / unknown, kListIndent) : 0;
    std::replace(widths.begin(), widths.end(), 0, share);
    const auto widthOf = [&](int column, int span) {
        return std::accumulate(widths.begin() + column, widths.begin() + column + span, 0);
    };
    if (m_tableLast) // Word joins tables that touch into one
        m_body += "<w:p/>";
    m_body += "<w:tbl>";
    tableProperties(widths);
    if (parts.rows.empty()) {
        m_body += "<w:tr>";
        cell(nullptr, widths.front(), 1, Merge::None, style);
        m_body += "</w:tr>";
    }
    // For each column, how many rows below it a cell spanning down still covers, and at the
    // first column of that cell how many columns it spans.
    struct Cover
    {
        int rows = 0;
        int span = 0;
    };
    std::vector<Cover> covers(columns);
    for (std::size_t r = 0; r < parts.rows.size(); ++r) {
        m_body += r < parts.headerRows ? "<w:tr><w:trPr><w:tblHeader/></w:trPr>" : "<w:tr>";
        int used = 0;
        const auto skipCovered = [&] {
            while (used < columns && covers[used].rows > 0) {
                const int span = std::clamp(covers[used].span, 1, columns - used);
                cell(nullptr, widthOf(used, span), span, Merge::Continue, style);
                for (int c = used; c < used + span; ++c)
                    --covers[c].rows;
                used += span;
            }
        };
        for (Element node = parts.rows[r]->children; node; node = node->next) {
            if (!isCell(node))
                continue;
            skipCovered();
            if (used >= columns)
                break;
            // The cell stops before a column that a cell from above covers.
            const auto start = covers.begin() + used;
            const int span
                = int(std::find_if(start + 1, start + spanOf(node, "colspan", columns - used),
                                   [](const Cover &cover) { return cover.rows > 0; })
                      - start);
            const int down = spanOf(node, "rowspan", int(parts.rows.size() - r));
            cell(node, widthOf(used, span), span, down > 1 ? Merge::Restart : Merge::None,
                 styled(parts.rows[r], style));
            for (int c = used; c < used + span; ++c)
                covers[c] = Cover{down - 1, c == used ? span : 0};
            used += span;
        }
        while (used < columns) {
            skipCovered();
            if (used < columns) {
                cell(nullptr, widths[used], 1, Merge::None, style);
                ++used;
            }
        }
        m_body += "</w:tr>";
    }
    m_body += "</w:tbl>";
    m_tableLast = true;
}

// The table's width from its columns, its borders and cell margins as the OpenDocument export
// draws them (half a point, black; 0.1 cm), and its grid.
void DocxContent::tableProperties(const std::vector<int> &widths)
{
    m_body += "<w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>";
    for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        m_body += border(side, "000000");
    m_body += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar>";
    for (const char *side : {"top", "left", "bottom", "right"})
        m_body += QByteArray("<w:") + side + " w:w=\"57\" w:type=\"dxa\"/>";
    m_body += "</w:tblCellMar></w:tblPr><w:tblGrid>";
    for (const int width : widths)
        m_body += "<w:gridCol w:w=\"" + number(width) + "\"/>";
    m_body += "</w:tblGrid>";
}

void DocxContent::cell(Element element, int width, int span, Merge merge, const TextStyle &style)
{
    m_body += "<w:tc><w:tcPr><w:tcW w:w=\"" + number(width) + "\" w:type=\"dxa\"/>";
    if (span > 1)
        m_body += "<w:gridSpan w:val=\"" + number(span) + "\"/>";
    if (merge != Merge::None)
        m_body += merge == Merge::Restart ? "<w:vMerge w:val=\"restart\"/>" : "<w:vMerge/>";
    m_body += "</w:tcPr>";
    const qsizetype start = m_body.size();
    m_tableLast = false;
    if (element)
        aligned(element, [&] { flow(element->children, nullptr, 0, styled(element, style)); });
    if (m_body.size() == start || m_tableLast) // a cell ends in a paragraph
        m_body += "<w:p/>";
    m_body += "</w:tc>";
    m_tableLast = false;
}

void DocxContent::lineBreak()
{
    m_body += "<w:r><w:br/></w:r>";
    m_spaceBefore = true;
}

// A hyperlink to the address as Word reads it: characters an address may not hold are
// percent-encoded. An address that cannot be read leaves the text without a link.
void DocxContent::link(Element node, const QString &href, const TextStyle &style)
{
    const QUrl url(href.trimmed());
    if (url.isValid() && !url.isEmpty()) {
        const auto [found, added]
            = m_linkNumbers.emplace(url.toEncoded(), int(m_linkNumbers.size()) + 1);
        if (added)
            m_links.push_back(found->first);
        m_body += "<w:hyperlink r:id=\"rIdLink" + number(found->second) + "\" w:history=\"1\">";
        m_inLink = true;
    }
    for (Element child = node->children; child; child = child->next)
        inlineNode(child, style);
    if (m_inLink)
        m_body += "</w:hyperlink>";
    m_inLink = false;
}

void DocxContent::picture(Element element)
{
    const auto found = m_pictures.find(HtmlDocument::attribute(element, "src").value_or(QString()));
    if (found == m_pictures.end())
        return;
    const QSize size = displaySize(element, found->second.size);
    const QByteArray extent = "cx=\"" + number(qint64(size.width()) * kEmusPerPixel) + "\" cy=\""
        + number(qint64(size.height()) * kEmusPerPixel) + '"';
    const QByteArray id = number(++m_drawings);
    const QByteArray name = "id=\"" + id + "\" name=\"Picture " + id + '"';
    // An attachment's card is described by the file's name, another picture by its alt text.
    QString description = AttachMarkup::GetOrigNameFromJson(
        HtmlDocument::attribute(element, "zv_exdata").value_or(QString()).toUtf8());
    if (description.isEmpty())
        description = HtmlDocument::attribute(element, "alt").value_or(QString());
    QByteArray described;
    if (!description.isEmpty()) {
        described = " descr=\"";
        appendEscaped(described, description);
        described += '"';
    }
    m_body += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
              "<wp:extent "
        + extent + "/><wp:docPr " + name + described
        + "/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/"
          "picture\"><pic:pic><pic:nvPicPr><pic:cNvPr "
        + name + "/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\""
        + found->second.relation
        + "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off "
          "x=\"0\" y=\"0\"/><a:ext "
        + extent
        + "/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
          "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    m_spaceBefore = false;
}

// A run of the text: in pre with its line breaks and tabs, elsewhere with each run of white
// space folded into one space, none at the start of a line.
void DocxContent::text(const char *text, const TextStyle &style)
{
    QByteArray content;
    QByteArray chars;
    const auto flushChars = [&] {
        if (chars.isEmpty())
            return;
        content += "<w:t xml:space=\"preserve\">";
        appendEscaped(content, chars.constData(), chars.size());
        content += "</w:t>";
        chars.clear();
    };
    for (const char *c = text; *c; ++c) {
        const bool space = *c == ' ' || *c == '\t' || *c == '\n' || *c == '\r' || *c == '\f';
        if (m_preformatted > 0 && (*c == '\n' || *c == '\t')) {
            flushChars();
            content += *c == '\n' ? "<w:br/>" : "<w:tab/>";
        } else if (m_preformatted > 0) {
            if (*c != '\r')
                chars += *c;
        } else if (!space) {
            chars += *c;
            m_spaceBefore = false;
        } else if (!m_spaceBefore) {
            chars += ' ';
            m_spaceBefore = true;
        }
    }
    flushChars();
    if (!content.isEmpty())
        m_body += "<w:r>" + runProperties(style, m_inLink) + content + "</w:r>";
}

void DocxContent::openParagraph(int level)
{
    QByteArray props;
    if (level > 0)
        props += "<w:pStyle w:val=\"Heading" + number(level) + "\"/>";
    else if (m_preformatted > 0)
        props += "<w:pStyle w:val=\"HTMLPreformatted\"/>";
    if (m_numbered > 0) {
        props += "<w:numPr><w:ilvl w:val=\"" + number(m_lists[m_numbered - 1].second)
            + "\"/><w:numId w:val=\"" + number(m_numbered) + "\"/></w:numPr>";
        m_numbered = 0;
    } else if (m_indent > 0) {
        props += "<w:ind w:left=\"" + number(m_indent) + "\"/>";
    }
    if (!m_alignment.isEmpty())
        props += "<w:jc w:val=\"" + justification(m_alignment) + "\"/>";
    m_body += props.isEmpty() ? QByteArray("<w:p>") : "<w:p><w:pPr>" + props + "</w:pPr>";
    m_openLevel = level;
    m_spaceBefore = true;
    m_tableLast = false;
}

void DocxContent::closeParagraph()
{
    if (m_openLevel < 0)
        return;
    m_body += "</w:p>";
    m_openLevel = -1;
}

} // namespace TAVRIKCORE::RICHEDITOR
