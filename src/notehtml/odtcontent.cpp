// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/odtcontent_p.h"

#include "notehtml/checklistmark_p.h"

#include <QColor>
#include <QRegularExpression>

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

using Element = HtmlDocument::Element;

enum class Kind { Inline, Skip, Block, Heading, List, Table, Break, Image, Link };

Kind kindOf(const xmlNode *node)
{
    static const std::unordered_map<std::string_view, Kind> kinds = [] {
        std::unordered_map<std::string_view, Kind> map;
        for (const char *name : {"script", "style", "head", "title", "template", "noscript"})
            map.emplace(name, Kind::Skip);
        for (const char *name :
             {"address",  "article",    "aside",   "blockquote", "body", "caption", "center",
              "dd",       "details",    "dialog",  "dir",        "div",  "dl",      "dt",
              "fieldset", "figcaption", "figure",  "footer",     "form", "header",  "hr",
              "html",     "legend",     "li",      "main",       "menu", "nav",     "p",
              "pre",      "section",    "summary", "tbody",      "td",   "tfoot",   "th",
              "thead",    "tr"})
            map.emplace(name, Kind::Block);
        for (const char *name : {"h1", "h2", "h3", "h4", "h5", "h6"})
            map.emplace(name, Kind::Heading);
        map.emplace("ul", Kind::List);
        map.emplace("ol", Kind::List);
        map.emplace("table", Kind::Table);
        map.emplace("br", Kind::Break);
        map.emplace("img", Kind::Image);
        map.emplace("a", Kind::Link);
        return map;
    }();
    const auto found = kinds.find(reinterpret_cast<const char *>(node->name));
    return found == kinds.end() ? Kind::Inline : found->second;
}

bool isBlock(Kind kind)
{
    return kind == Kind::Block || kind == Kind::Heading || kind == Kind::List
        || kind == Kind::Table;
}

bool nameIs(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
}

bool isBlank(const xmlNode *node)
{
    if (node->type == XML_COMMENT_NODE)
        return true;
    if (node->type != XML_TEXT_NODE || !node->content)
        return false;
    for (const xmlChar *c = node->content; *c; ++c) {
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r' && *c != '\f')
            return false;
    }
    return true;
}

// Appends UTF-8 text as XML character data: markup characters escaped, the characters XML
// cannot hold (control characters, U+FFFE, U+FFFF) left out.
void appendEscaped(QByteArray &out, const char *text, qsizetype size)
{
    const char *run = text;
    const char *const end = text + size;
    for (const char *c = text; c < end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        const char *replacement = nullptr;
        qsizetype skip = 1;
        if (byte == '&')
            replacement = "&amp;";
        else if (byte == '<')
            replacement = "&lt;";
        else if (byte == '>')
            replacement = "&gt;";
        else if (byte == '"')
            replacement = "&quot;";
        else if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            replacement = "";
        else if (byte == 0xEF && end - c >= 3 && static_cast<unsigned char>(c[1]) == 0xBF
                 && (static_cast<unsigned char>(c[2]) & 0xFE) == 0xBE) {
            replacement = "";
            skip = 3;
        } else
            continue;
        out.append(run, c - run).append(replacement);
        c += skip - 1;
        run = c + 1;
    }
    out.append(run, end - run);
}

void appendEscaped(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    appendEscaped(out, utf8.constData(), utf8.size());
}

// "#rrggbb" for a CSS colour (a name, #rgb, #rrggbb, rgb() or rgba()); empty for a colour that
// cannot be read or is transparent.
QByteArray cssColor(const QString &value)
{
    static const QRegularExpression rgb(QStringLiteral(
        "^rgba?\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([\\d.]+)\\s*)?\\)$"));
    QColor color;
    if (const QRegularExpressionMatch match = rgb.match(value); match.hasMatch()) {
        if (match.hasCaptured(4) && match.captured(4).toDouble() == 0)
            return {};
        color.setRgb(qMin(match.captured(1).toInt(), 255), qMin(match.captured(2).toInt(), 255),
                     qMin(match.captured(3).toInt(), 255));
    } else {
        color = QColor::fromString(value);
    }
    if (!color.isValid() || color.alpha() == 0)
        return {};
    return color.name(QColor::HexRgb).toLatin1();
}

// A length of the element in pixels: its style's first, else its attribute's; 0 when it has
// none in pixels (a share of the width, say).
int pixelLength(Element element, const char *name)
{
    const QString css = HtmlDocument::attribute(element, "style").value_or(QString());
    const QRegularExpression pixels(QStringLiteral("(?:^|;)\\s*") + QLatin1StringView(name)
                                        + QStringLiteral("\\s*:\\s*(\\d+(?:\\.\\d+)?)px"),
                                    QRegularExpression::CaseInsensitiveOption);
    const int styled = qRound(pixels.match(css).captured(1).toDouble());
    return styled > 0 ? styled : HtmlDocument::attribute(element, name).value_or(QString()).toInt();
}

// A span attribute of a table cell, from 1 to `most`.
int spanOf(Element cell, const char *name, int most)
{
    return std::clamp(HtmlDocument::attribute(cell, name).value_or(QString()).toInt(), 1,
                      std::max(most, 1));
}

bool isCell(const xmlNode *node)
{
    return nameIs(node, "td") || nameIs(node, "th");
}

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

QByteArray points(double value)
{
    return QByteArray::number(value, 'g', 4) + "pt";
}

// The size in points of a CSS font-size (px, pt, em, %, the keywords); empty when it cannot be
// read. Relative sizes scale `around` (12pt when the text has no size of its own).
QByteArray cssFontSize(const QString &value, const QByteArray &around)
{
    static const std::unordered_map<std::string_view, double> keywords
        = {{"xx-small", 7}, {"x-small", 7.5}, {"small", 10},    {"medium", 12},
           {"large", 13.5}, {"x-large", 18},  {"xx-large", 24}, {"xxx-large", 36}};
    const QByteArray text = value.toLatin1();
    if (const auto keyword = keywords.find(std::string_view(text.constData(), text.size()));
        keyword != keywords.end())
        return points(keyword->second);
    static const QRegularExpression length(QStringLiteral("^(\\d+(?:\\.\\d+)?)(px|pt|em|rem|%)$"));
    const QRegularExpressionMatch match = length.match(value);
    if (!match.hasMatch())
        return {};
    const double number = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    const double base = around.isEmpty() ? 12 : around.chopped(2).toDouble();
    double size = number;
    if (unit == u"px")
        size = number * 0.75;
    else if (unit == u"em")
        size = number * base;
    else if (unit == u"rem")
        size = number * 12;
    else if (unit == u"%")
        size = number * base / 100;
    return size > 0 && size <= 1000 ? points(size) : QByteArray();
}

// The size in points of a font tag's size attribute (1 to 7).
QByteArray fontTagSize(const QString &value)
{
    static constexpr double sizes[] = {7.5, 10, 12, 13.5, 18, 24, 36};
    bool ok = false;
    const int size = value.toInt(&ok);
    return ok && size >= 1 && size <= 7 ? points(sizes[size - 1]) : QByteArray();
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

// The nodes from `first` up to `end` as the content of a container whose paragraphs are of
// `level`: blocks written in turn, inline content between them gathered into paragraphs.
void OdtContent::flow(Element first, Element end, int level, const TextStyle &style)
{
    for (Element node = first; node != end; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            const Kind kind = kindOf(node);
            if (kind == Kind::Skip)
                continue;
            if (isBlock(kind)) {
                closeParagraph();
                block(node, level, style);
                continue;
            }
            if (kind == Kind::Break) {
                // A browser shows nothing for the break that ends a block's last line.
                Element next = node->next;
                while (next != end && isBlank(next))
                    next = next->next;
                if (next == end || (next->type == XML_ELEMENT_NODE && isBlock(kindOf(next)))) {
                    if (m_openLevel < 0)
                        openParagraph(level);
                    continue;
                }
            }
        } else if (node->type != XML_TEXT_NODE || (m_openLevel < 0 && isBlank(node))) {
            continue;
        }
        if (m_openLevel < 0)
            openParagraph(level);
        inlineNode(node, style);
    }
    closeParagraph();
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

void OdtContent::blockContent(Element element, int level, const TextStyle &inner)
{
    switch (kindOf(element)) {
    case Kind::Heading:
        flow(element->children, nullptr, element->name[1] - '0', inner);
        break;
    case Kind::List:
        list(element, nameIs(element, "ol"), inner);
        break;
    case Kind::Table:
        if (m_listDepth == 0)
            table(element, inner);
        else // a list item holds no table: its cells become paragraphs of the item
            flow(element->children, nullptr, level, inner);
        break;
    default:
        const bool preformatted = nameIs(element, "pre");
        m_preformatted += preformatted;
        flow(element->children, nullptr, level, inner);
        m_preformatted -= preformatted;
    }
}

void OdtContent::list(Element element, bool numbered, const TextStyle &style)
{
    m_body += numbered ? "<text:list text:style-name=\"Numbered\">"
                       : "<text:list text:style-name=\"Bulleted\">";
    ++m_listDepth;
    for (Element node = element->children; node; node = node->next) {
        if (isBlank(node) || (node->type == XML_ELEMENT_NODE && kindOf(node) == Kind::Skip)
            || (node->type != XML_ELEMENT_NODE && node->type != XML_TEXT_NODE))
            continue;
        m_body += "<text:list-item>";
        if (nameIs(node, "li"))
            aligned(node, [&] {
                const TextStyle inner = styled(node, style);
                if (const QString mark = checklistMark(node); !mark.isEmpty()) {
                    openParagraph(0);
                    text(mark.toUtf8().constData(), inner);
                }
                flow(node->children, nullptr, 0, inner);
            });
        else
            flow(node, node->next, 0, style);
        m_body += "</text:list-item>";
    }
    --m_listDepth;
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

// The columns of the table, counting the slots that cells from the rows above cover, and the
// width of each in pixels (0 when not given): a col element's, else the first cell's that
// starts in the column alone.
OdtContent::TableGrid OdtContent::tableGrid(const std::vector<Element> &rows,
                                            const std::vector<Element> &cols)
{
    TableGrid grid;
    std::vector<int> coveredRows;
    const auto widen = [&](int columns) {
        if (int(coveredRows.size()) < columns) {
            coveredRows.resize(columns, 0);
            grid.widths.resize(columns, 0);
        }
    };
    widen(1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int used = 0;
        for (Element node = rows[r]->children; node; node = node->next) {
            if (!isCell(node))
                continue;
            while (used < int(coveredRows.size()) && coveredRows[used] > 0)
                ++used;
            const int span = spanOf(node, "colspan", 1000);
            const int down = spanOf(node, "rowspan", int(rows.size() - r));
            widen(used + span);
            for (int c = used; c < used + span; ++c)
                coveredRows[c] = std::max(coveredRows[c], down);
            if (span == 1 && grid.widths[used] == 0)
                grid.widths[used] = pixelLength(node, "width");
            used += span;
        }
        for (int &rowsLeft : coveredRows)
            rowsLeft = std::max(0, rowsLeft - 1);
    }
    int column = 0;
    for (Element col : cols) {
        const int span = spanOf(col, "span", 1000);
        const int width = pixelLength(col, "width");
        for (int c = column; c < column + span && c < int(grid.widths.size()); ++c) {
            if (width > 0)
                grid.widths[c] = width;
        }
        column += span;
    }
    return grid;
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

void OdtContent::inlineNode(Element node, const TextStyle &style)
{
    if (node->type == XML_TEXT_NODE) {
        if (node->content)
            text(reinterpret_cast<const char *>(node->content), style);
        return;
    }
    if (node->type != XML_ELEMENT_NODE)
        return;
    const TextStyle inner = styled(node, style);
    switch (kindOf(node)) {
    case Kind::Skip:
        return;
    case Kind::Break:
        m_body += "<text:line-break/>";
        return;
    case Kind::Image:
        picture(node);
        return;
    case Kind::Link:
        if (const std::optional<QString> href = HtmlDocument::attribute(node, "href");
            href && !m_inLink) {
            m_body += "<text:a xlink:type=\"simple\" xlink:href=\"";
            appendEscaped(m_body, *href);
            m_body += "\">";
            m_inLink = true;
            for (Element child = node->children; child; child = child->next)
                inlineNode(child, inner);
            m_inLink = false;
            m_body += "</text:a>";
            return;
        }
        break;
    default:
        break;
    }
    for (Element child = node->children; child; child = child->next)
        inlineNode(child, inner);
}

void OdtContent::picture(Element element)
{
    const auto found = m_pictures.find(HtmlDocument::attribute(element, "src").value_or(QString()));
    if (found == m_pictures.end())
        return;
    // The size the note gives the picture, in pixels: its style's first, else its attributes'.
    QSize size = found->second.size;
    const int width = pixelLength(element, "width");
    const int height = pixelLength(element, "height");
    if (width > 0 && height > 0)
        size = QSize(width, height);
    else if (width > 0 && size.width() > 0)
        size = QSize(width, int(qint64(size.height()) * width / size.width()));
    else if (height > 0 && size.height() > 0)
        size = QSize(int(qint64(size.width()) * height / size.height()), height);
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

// The style of the text inside `element`: its tag's and its style attribute's formatting on top
// of the style around it.
OdtContent::TextStyle OdtContent::styled(Element element, TextStyle style)
{
    const char *name = reinterpret_cast<const char *>(element->name);
    if (!std::strcmp(name, "b") || !std::strcmp(name, "strong") || !std::strcmp(name, "th"))
        style.bold = true;
    else if (!std::strcmp(name, "i") || !std::strcmp(name, "em"))
        style.italic = true;
    else if (!std::strcmp(name, "u") || !std::strcmp(name, "ins"))
        style.underline = true;
    else if (!std::strcmp(name, "s") || !std::strcmp(name, "strike") || !std::strcmp(name, "del"))
        style.strike = true;
    else if (!std::strcmp(name, "font")) {
        if (const std::optional<QString> color = HtmlDocument::attribute(element, "color"))
            style.color = cssColor(color->trimmed());
        if (const std::optional<QString> size = HtmlDocument::attribute(element, "size"))
            style.fontSize = fontTagSize(size->trimmed());
    }
    if (!element->properties)
        return style;
    const std::optional<QString> css = HtmlDocument::attribute(element, "style");
    if (!css)
        return style;
    for (const QStringView declaration : QStringView(*css).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        QString value = declaration.mid(colon + 1).trimmed().toString().toLower();
        value.remove(QStringLiteral("!important"));
        value = value.trimmed();
        if (property == u"color") {
            style.color = cssColor(value);
        } else if (property == u"background-color") {
            style.background = cssColor(value);
        } else if (property == u"background") {
            if (const QByteArray color = cssColor(value); !color.isEmpty())
                style.background = color;
        } else if (property == u"font-weight") {
            const int weight = value.toInt();
            style.bold = value == u"bold" || value == u"bolder" || weight >= 600;
        } else if (property == u"font-size") {
            if (const QByteArray size = cssFontSize(value, style.fontSize); !size.isEmpty())
                style.fontSize = size;
        } else if (property == u"font-style") {
            style.italic = value == u"italic" || value == u"oblique";
        } else if (property == u"text-decoration" || property == u"text-decoration-line") {
            // Decorations add up: an inner element cannot take away an outer one's.
            style.underline = style.underline || value.contains(u"underline");
            style.strike = style.strike || value.contains(u"line-through");
        }
    }
    return style;
}

// The alignment of the paragraphs inside `element`: its style's text-align, else its align
// attribute, else the alignment around it (it is inherited).
QByteArray OdtContent::alignmentOf(Element element, const QByteArray &around)
{
    QString value;
    if (const std::optional<QString> css = HtmlDocument::attribute(element, "style")) {
        for (const QStringView declaration : QStringView(*css).split(u';')) {
            const qsizetype colon = declaration.indexOf(u':');
            if (colon >= 0
                && declaration.left(colon).trimmed().compare(u"text-align", Qt::CaseInsensitive)
                    == 0)
                value = declaration.mid(colon + 1).trimmed().toString().toLower();
        }
        value.remove(QStringLiteral("!important"));
    }
    if (value.isEmpty())
        value = HtmlDocument::attribute(element, "align").value_or(QString()).toLower();
    if (nameIs(element, "center"))
        value = QStringLiteral("center");
    value = value.trimmed();
    if (value == u"center" || value == u"justify")
        return value.toLatin1();
    if (value == u"right" || value == u"end")
        return QByteArrayLiteral("end");
    if (value == u"left" || value == u"start")
        return {};
    return around;
}

} // namespace TAVRIKCORE::RICHEDITOR
