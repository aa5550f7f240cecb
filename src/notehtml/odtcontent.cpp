// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/odtcontent_p.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>

namespace TAVRIKCORE::RICHEDITOR {

using namespace DocumentMarkup;

namespace {

QByteArray centimetres(int pixels)
{
    return QByteArray::number(pixels * 2.54 / 96, 'f', 3) + "cm";
}

QByteArray textProperties(bool on, const char *property, const char *value)
{
    if (!on)
        return {};
    return QByteArray(" fo:") + property + "=\"" + value + "\" style:" + property + "-asian=\""
        + value + "\" style:" + property + "-complex=\"" + value + '"';
}

constexpr char kNamespaces[]
    = " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
      " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
      " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
      " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
      " office:version=\"1.2\"";

} // namespace

QByteArray OdtContent::write(Element body, const Pictures &pictures)
{
    OdtContent content(pictures);
    if (body)
        content.flow(body->children, nullptr, 0, TextStyle());
    return content.document();
}

QByteArray OdtContent::document() const
{
    QByteArray out = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<office:document-content")
        + kNamespaces + "><office:automatic-styles>";
    for (const auto &[style, number] : m_textStyles) {
        out += "<style:style style:name=\"c" + QByteArray::number(number)
            + "\" style:family=\"text\"><style:text-properties"
            + textProperties(style.bold, "font-weight", "bold")
            + textProperties(style.italic, "font-style", "italic");
        if (style.underline)
            out += " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\""
                   " style:text-underline-color=\"font-color\"";
        if (style.strike)
            out += " style:text-line-through-style=\"solid\"";
        if (!style.color.isEmpty())
            out += " fo:color=\"" + style.color + '"';
        if (!style.background.isEmpty())
            out += " fo:background-color=\"" + style.background + '"';
        if (!style.fontSize.isEmpty())
            out += textProperties(true, "font-size", style.fontSize.constData());
        out += "/></style:style>";
    }
    for (const auto &[paragraph, number] : m_paragraphStyles) {
        const auto &[level, alignment] = paragraph;
        out += "<style:style style:name=\"P" + QByteArray::number(number)
            + "\" style:family=\"paragraph\"";
        if (level > 0)
            out += " style:parent-style-name=\"Heading_20_" + QByteArray::number(level) + '"';
        out += "><style:paragraph-properties fo:text-align=\"" + alignment + "\"/></style:style>";
    }
    if (m_ruled)
        out += "<style:style style:name=\"Rule\" style:family=\"paragraph\">"
               "<style:paragraph-properties fo:margin-top=\"0.1cm\" fo:margin-bottom=\"0.2cm\" "
               "fo:padding=\"0cm\" fo:border-bottom=\"0.06pt solid #808080\"/></style:style>";
    for (std::size_t i = 0; i < m_columnWidths.size(); ++i)
        out += "<style:style style:name=\"Column" + QByteArray::number(qsizetype(i + 1))
            + "\" style:family=\"table-column\"><style:table-column-properties "
              "style:column-width=\""
            + m_columnWidths[i] + "\"/></style:style>";
    for (const bool left : {true, false}) {
        if (!(left ? m_leftPictures : m_rightPictures))
            continue;
        out += left ? "<style:style style:name=\"PictureLeft\" style:family=\"graphic\">"
                      "<style:graphic-properties style:wrap=\"right\" fo:margin-right=\"0.2cm\" "
                      "style:horizontal-pos=\"left\""
                    : "<style:style style:name=\"PictureRight\" style:family=\"graphic\">"
                      "<style:graphic-properties style:wrap=\"left\" fo:margin-left=\"0.2cm\" "
                      "style:horizontal-pos=\"right\"";
        out += " style:number-wrapped-paragraphs=\"no-limit\" style:horizontal-rel=\"paragraph\" "
               "style:vertical-pos=\"top\" style:vertical-rel=\"line\"/></style:style>";
    }
    out += "<style:style style:name=\"Cell\" style:family=\"table-cell\">"
           "<style:table-cell-properties fo:padding=\"0.1cm\" fo:border=\"0.5pt solid #000000\"/>"
           "</style:style>";
    static const char *const bullets[] = {"\u2022", "\u25E6", "\u25AA"};
    for (const bool numbered : {false, true}) {
        out += numbered ? "<text:list-style style:name=\"Numbered\">"
                        : "<text:list-style style:name=\"Bulleted\">";
        for (int level = 1; level <= 10; ++level) {
            const QByteArray indent = QByteArray::number(0.635 * level, 'f', 3) + "cm";
            const QByteArray number = QByteArray::number(level);
            if (numbered)
                out += "<text:list-level-style-number text:level=\"" + number
                    + "\" style:num-suffix=\".\" style:num-format=\"1\">";
            else
                out += "<text:list-level-style-bullet text:level=\"" + number
                    + "\" text:bullet-char=\"" + bullets[(level - 1) % 3] + "\">";
            out += "<style:list-level-properties text:list-level-position-and-space-mode="
                   "\"label-alignment\"><style:list-level-label-alignment "
                   "text:label-followed-by=\"listtab\" text:list-tab-stop-position=\""
                + indent + "\" fo:text-indent=\"-0.635cm\" fo:margin-left=\"" + indent
                + "\"/></style:list-level-properties>";
            out += numbered ? "</text:list-level-style-number>" : "</text:list-level-style-bullet>";
        }
        out += "</text:list-style>";
    }
    out += "</office:automatic-styles><office:body><office:text>";
    out += m_body;
    out += "</office:text></office:body></office:document-content>";
    return out;
}

void OdtContent::block(Element element, int level, const TextStyle &style)
{
    if (nameIs(element, "hr")) {
        m_body += "<text:p text:style-name=\"Rule\"/>";
        m_ruled = true;
        return;
    }
    aligned(element, [&] { blockContent(element, level, styled(element, style)); });
}

void OdtContent::list(Element element, const TextStyle &style)
{
    m_body += nameIs(element, "ol") ? "<text:list text:style-name=\"Numbered\">"
                                    : "<text:list text:style-name=\"Bulleted\">";
    listItems(element, style, [&](auto write) {
        m_body += "<text:list-item>";
        write();
        m_body += "</text:list-item>";
    });
    m_body += "</text:list>";
}

void OdtContent::table(Element element, const TextStyle &style)
{
    std::vector<Element> rows;
    std::vector<Element> cols;
    std::size_t headerRows = 0; // the rows of a thead before any other, repeated on each page
    for (Element node = element->children; node; node = node->next) {
        if (nameIs(node, "tr"))
            rows.push_back(node);
        else if (nameIs(node, "thead") || nameIs(node, "tbody") || nameIs(node, "tfoot")) {
            const bool leading = rows.empty() && nameIs(node, "thead");
            for (Element row = node->children; row; row = row->next) {
                if (nameIs(row, "tr"))
                    rows.push_back(row);
            }
            if (leading)
                headerRows = rows.size();
        } else if (nameIs(node, "colgroup")) {
            for (Element col = node->children; col; col = col->next) {
                if (nameIs(col, "col"))
                    cols.push_back(col);
            }
        } else if (nameIs(node, "col")) {
            cols.push_back(node);
        } else if (nameIs(node, "caption"))
            block(node, 0, style);
    }
    const TableGrid grid = tableGrid(rows, cols);
    m_body += "<table:table table:name=\"Table" + QByteArray::number(++m_tables) + "\">";
    tableColumns(grid.widths);
    if (rows.empty()) {
        m_body += "<table:table-row>";
        cell(nullptr, 1, 1, style);
        m_body += "</table:table-row>";
    }
    const int columns = int(grid.widths.size());
    // How many rows below each column is still covered by a cell spanning down into them.
    std::vector<int> coveredRows(columns, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r == 0 && headerRows > 0)
            m_body += "<table:table-header-rows>";
        m_body += "<table:table-row>";
        int used = 0;
        const auto skipCovered = [&] {
            for (; used < columns && coveredRows[used] > 0; ++used) {
                --coveredRows[used];
                m_body += "<table:covered-table-cell/>";
            }
        };
        for (Element node = rows[r]->children; node; node = node->next) {
            if (!isCell(node))
                continue;
            skipCovered();
            if (used >= columns)
                break;
            int span = spanOf(node, "colspan", columns - used);
            for (int c = used + 1; c < used + span; ++c) {
                if (coveredRows[c] > 0) // a cell from above: this one stops before it
                    span = c - used;
            }
            const int down = spanOf(node, "rowspan", int(rows.size() - r));
            cell(node, span, down, styled(rows[r], style));
            for (int c = used; c < used + span; ++c)
                coveredRows[c] = down - 1;
            used += span;
        }
        while (used < columns) {
            skipCovered();
            if (used < columns) {
                cell(nullptr, 1, 1, style);
                ++used;
            }
        }
        m_body += "</table:table-row>";
        if (r + 1 == headerRows)
            m_body += "</table:table-header-rows>";
    }
    m_body += "</table:table>";
}

// The table's column elements: one repeated when no width is known, else one per column with
// the width of its own style.
void OdtContent::tableColumns(const std::vector<int> &widths)
{
    if (std::all_of(widths.begin(), widths.end(), [](int width) { return width <= 0; })) {
        m_body += "<table:table-column table:number-columns-repeated=\""
            + QByteArray::number(qsizetype(widths.size())) + "\"/>";
        return;
    }
    for (const int width : widths) {
        if (width <= 0) {
            m_body += "<table:table-column/>";
            continue;
        }
        m_columnWidths.push_back(centimetres(width));
        m_body += "<table:table-column table:style-name=\"Column"
            + QByteArray::number(qsizetype(m_columnWidths.size())) + "\"/>";
    }
}

void OdtContent::cell(Element element, int span, int down, const TextStyle &style)
{
    m_body += "<table:table-cell table:style-name=\"Cell\" office:value-type=\"string\"";
    if (span > 1)
        m_body += " table:number-columns-spanned=\"" + QByteArray::number(span) + '"';
    if (down > 1)
        m_body += " table:number-rows-spanned=\"" + QByteArray::number(down) + '"';
    m_body += '>';
    const qsizetype start = m_body.size();
    if (element)
        aligned(element, [&] { flow(element->children, nullptr, 0, styled(element, style)); });
    if (m_body.size() == start)
        m_body += "<text:p/>";
    m_body += "</table:table-cell>";
    for (int covered = 1; covered < span; ++covered)
        m_body += "<table:covered-table-cell/>";
}

void OdtContent::lineBreak()
{
    m_body += "<text:line-break/>";
}

void OdtContent::link(Element node, const QString &href, const TextStyle &style)
{
    m_body += "<text:a xlink:type=\"simple\" xlink:href=\"";
    appendEscaped(m_body, href);
    m_body += "\">";
    m_inLink = true;
    for (Element child = node->children; child; child = child->next)
        inlineNode(child, style);
    m_inLink = false;
    m_body += "</text:a>";
}

void OdtContent::picture(Element element)
{
    const auto found = m_pictures.find(HtmlDocument::attribute(element, "src").value_or(QString()));
    if (found == m_pictures.end())
        return;
    const QSize size = displaySize(element, found->second.size);
    // A picture the text flows around (align="left" or "right") is anchored at its place in
    // the text and kept at that side of the paragraph; any other stands in the line.
    const QString side = HtmlDocument::attribute(element, "align").value_or(QString()).toLower();
    QByteArray anchor = "text:anchor-type=\"as-char\"";
    if (side == u"left" || side == u"right") {
        const bool left = side == u"left";
        (left ? m_leftPictures : m_rightPictures) = true;
        anchor = left ? "draw:style-name=\"PictureLeft\" text:anchor-type=\"char\""
                      : "draw:style-name=\"PictureRight\" text:anchor-type=\"char\"";
    }
    m_body += "<draw:frame " + anchor + " svg:width=\"" + centimetres(size.width())
        + "\" svg:height=\"" + centimetres(size.height()) + "\"><draw:image xlink:href=\""
        + found->second.path
        + "\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/></draw:frame>";
}

void OdtContent::text(const char *text, const TextStyle &style)
{
    const qsizetype size = qsizetype(std::strlen(text));
    if (size == 0)
        return;
    if (style.plain()) {
        appendText(text, size);
        return;
    }
    const int number = m_textStyles.emplace(style, int(m_textStyles.size()) + 1).first->second;
    m_body += "<text:span text:style-name=\"c" + QByteArray::number(number) + "\">";
    appendText(text, size);
    m_body += "</text:span>";
}

// Preformatted text keeps its line breaks, tabs and runs of spaces, which the document would
// otherwise fold into single spaces.
void OdtContent::appendText(const char *text, qsizetype size)
{
    if (m_preformatted == 0) {
        appendEscaped(m_body, text, size);
        return;
    }
    const char *run = text;
    const char *const end = text + size;
    for (const char *c = text; c < end;) {
        if (*c != ' ' && *c != '\n' && *c != '\t' && *c != '\r') {
            ++c;
            continue;
        }
        appendEscaped(m_body, run, c - run);
        if (*c == ' ') {
            const char *const spaces = c;
            while (c < end && *c == ' ')
                ++c;
            m_body += "<text:s text:c=\"" + QByteArray::number(c - spaces) + "\"/>";
        } else {
            m_body += *c == '\n' ? "<text:line-break/>" : *c == '\t' ? "<text:tab/>" : "";
            ++c;
        }
        run = c;
    }
    appendEscaped(m_body, run, end - run);
}

void OdtContent::openParagraph(int level)
{
    QByteArray styleName;
    if (!m_alignment.isEmpty()) {
        const int number
            = m_paragraphStyles
                  .emplace(ParagraphStyle(level, m_alignment), int(m_paragraphStyles.size()) + 1)
                  .first->second;
        styleName = "P" + QByteArray::number(number);
    }
    if (level == 0) {
        m_body += styleName.isEmpty() ? QByteArray("<text:p>")
                                      : "<text:p text:style-name=\"" + styleName + "\">";
    } else {
        const QByteArray number = QByteArray::number(level);
        m_body += "<text:h text:style-name=\""
            + (styleName.isEmpty() ? QByteArray("Heading_20_" + number) : styleName)
            + "\" text:outline-level=\"" + number + "\">";
    }
    m_openLevel = level;
}

void OdtContent::closeParagraph()
{
    if (m_openLevel < 0)
        return;
    m_body += m_openLevel == 0 ? "</text:p>" : "</text:h>";
    m_openLevel = -1;
}

} // namespace TAVRIKCORE::RICHEDITOR
