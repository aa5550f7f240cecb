// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/papertables_p.h"

#include "notehtml/documentmarkup_p.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace TAVRIKCORE::RICHEDITOR {

using DocumentMarkup::Element;
using DocumentMarkup::TextStyle;
using namespace Qt::StringLiterals;

namespace {

// The space above a table and below it, as the document gives its own tables on paper.
constexpr qreal TableTop = 6;
constexpr qreal TableBottom = 12;
// The space after a p in a cell.
constexpr qreal ParagraphGap = 9;
constexpr QColor LinkColor(0x1a, 0x66, 0xd2);
// Wider than any line: a paragraph laid out at this width has its natural width.
constexpr qreal Unbounded = 1e6;

// Whether the style attribute of a plain table's element holds only what is drawn here; text
// and cells are aligned to the top alone.
bool plainStyle(Element element)
{
    static constexpr QStringView Drawn[]
        = {u"color",           u"background-color",     u"background",
           u"font-weight",     u"font-style",           u"font-size",
           u"text-decoration", u"text-decoration-line", u"text-align",
           u"width",           u"border-collapse"};
    const std::optional<QString> css = HtmlDocument::attribute(element, "style");
    if (!css)
        return true;
    for (const QStringView declaration : QStringView(*css).split(u';')) {
        if (declaration.trimmed().isEmpty())
            continue;
        const qsizetype colon = declaration.indexOf(u':');
        const QStringView property = declaration.left(colon).trimmed();
        if (property.compare(u"vertical-align", Qt::CaseInsensitive) == 0) {
            const QStringView value = declaration.mid(colon + 1).trimmed();
            if (value.compare(u"top", Qt::CaseInsensitive) != 0
                && value.compare(u"baseline", Qt::CaseInsensitive) != 0)
                return false;
        } else if (std::none_of(std::begin(Drawn), std::end(Drawn), [&](QStringView drawn) {
                       return property.compare(drawn, Qt::CaseInsensitive) == 0;
                   })) {
            return false;
        }
    }
    return true;
}

bool oneOf(const xmlNode *node, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char *name) { return DocumentMarkup::nameIs(node, name); });
}

QTextCharFormat charFormat(const TextStyle &style, const QString &link)
{
    QTextCharFormat format;
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline)
        format.setFontUnderline(true);
    if (style.strike)
        format.setFontStrikeOut(true);
    if (!style.color.isEmpty())
        format.setForeground(QColor::fromString(QLatin1StringView(style.color)));
    if (!style.background.isEmpty())
        format.setBackground(QColor::fromString(QLatin1StringView(style.background)));
    if (!style.fontSize.isEmpty())
        format.setFontPointSize(style.fontSize.chopped(2).toDouble());
    if (!link.isNull()) {
        format.setAnchor(true);
        format.setAnchorHref(link);
    }
    return format;
}

Qt::Alignment alignment(const QByteArray &name)
{
    if (name == "center")
        return Qt::AlignHCenter;
    if (name == "end")
        return Qt::AlignRight;
    if (name == "justify")
        return Qt::AlignJustify;
    return Qt::AlignLeft;
}

// A width asked for in the style or the width attribute: pixels, or a share of the width
// there is.
struct Length
{
    qreal value = 0;
    bool share = false;
    qreal of(qreal whole) const { return share ? value * whole : value; }
};

std::optional<Length> widthOf(Element element)
{
    QString width = DocumentMarkup::styleLength(element, "width");
    if (width.isEmpty())
        width = HtmlDocument::attribute(element, "width").value_or(QString()).trimmed();
    const bool share = width.endsWith(u'%');
    if (share || width.endsWith(u"px"))
        width.chop(share ? 1 : 2);
    bool ok = false;
    const qreal value = width.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return Length{share ? std::min<qreal>(value, 100) / 100 : value, share};
}

// The text of a paragraph of a cell as HTML shows it: each run of blanks one space, none at the
// start or the end of a line; br a line break.
class ParagraphText
{
public:
    void append(const QString &chars, const std::optional<QTextCharFormat> &format)
    {
        qsizetype start = -1;
        for (const QChar c : chars) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                m_blank = !m_text.isEmpty() && m_text.back() != QChar::LineSeparator;
                continue;
            }
            if (std::exchange(m_blank, false)) {
                // A blank is of the run it ends, a link's underline not reaching out of it.
                m_text += u' ';
                if (m_blankRun >= 0)
                    ++m_formats[m_blankRun].length;
            }
            if (start < 0)
                start = m_text.size();
            m_text += c;
        }
        if (start < 0)
            return;
        if (format)
            m_formats.append({int(start), int(m_text.size() - start), *format});
        m_blankRun = format && m_blank ? m_formats.size() - 1 : -1;
    }
    bool empty() const { return m_text.isEmpty(); }
    void lineBreak()
    {
        m_blank = false;
        m_blankRun = -1;
        m_text += QChar::LineSeparator;
    }
    std::unique_ptr<QTextLayout> layout(const QFont &font, QPaintDevice *device,
                                        Qt::Alignment alignment) const
    {
        // A line break closing the paragraph starts no line.
        const QString text = m_text.endsWith(QChar::LineSeparator) ? m_text.chopped(1) : m_text;
        auto layout = std::make_unique<QTextLayout>(text, font, device);
        layout->setFormats(m_formats);
        QTextOption option(alignment);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setUseDesignMetrics(true);
        layout->setTextOption(option);
        layout->setCacheEnabled(true);
        return layout;
    }

private:
    QString m_text;
    QList<QTextLayout::FormatRange> m_formats;
    bool m_blank = false; // a blank waits for the next character
    qsizetype m_blankRun = -1; // the format it is of, when of one
};

// Lays the paragraph's lines out `width` wide from `top` down; gives the height they take.
qreal layOutLines(QTextLayout &layout, qreal width, qreal top)
{
    qreal y = top;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition({0, y});
        y += line.height();
    }
    layout.endLayout();
    return y - top;
}

// A paragraph of a cell, and the space below it.
struct Paragraph
{
    std::unique_ptr<QTextLayout> layout;
    qreal gap = 0;
};

} // namespace

struct PaperTables::Cell
{
    std::vector<Paragraph> paragraphs;
    QColor background;
};

struct PaperTables::Row
{
    const Table *table = nullptr;
    std::vector<Cell> cells;
    qreal top = 0; // the space above the table, for its first row
    qreal bottom = 0; // the line below and the space under the table, for its last row
    qreal height = 0; // of its cells
};

struct PaperTables::Table
{
    std::vector<Row> rows;
    std::vector<std::optional<Length>> askedWidths;
    std::optional<Length> askedWidth;
    std::vector<qreal> widths; // of the columns, padding included
    qreal width = 0;
};

namespace {

// Reads the content of a cell into paragraphs; false when it holds anything but text.
class CellReader
{
public:
    CellReader(QFont font, QPaintDevice *device) : m_font(std::move(font)), m_device(device) { }

    bool read(Element cell, const QByteArray &align, TextStyle style,
              std::vector<Paragraph> &paragraphs)
    {
        ParagraphText text;
        const auto finish = [&](const QByteArray &paragraphAlign, qreal gap) {
            paragraphs.push_back({text.layout(m_font, m_device, alignment(paragraphAlign)), gap});
            text = ParagraphText();
        };
        for (Element node = cell->children; node; node = node->next) {
            if (oneOf(node, {"p", "div"})) {
                if (!text.empty())
                    finish(align, 0);
                if (!plainStyle(node))
                    return false;
                const QByteArray paragraphAlign = DocumentMarkup::alignmentOf(node, align);
                if (!readInline(node, DocumentMarkup::styled(node, style), QString(), text))
                    return false;
                finish(paragraphAlign, DocumentMarkup::nameIs(node, "p") ? ParagraphGap : 0);
            } else if (!readNode(node, style, QString(), text)) {
                return false;
            }
        }
        if (!text.empty() || paragraphs.empty())
            finish(align, 0);
        paragraphs.back().gap = 0;
        return true;
    }

private:
    bool readInline(Element parent, const TextStyle &style, const QString &link,
                    ParagraphText &text)
    {
        for (Element node = parent->children; node; node = node->next) {
            if (!readNode(node, style, link, text))
                return false;
        }
        return true;
    }

    bool readNode(Element node, const TextStyle &style, const QString &link, ParagraphText &text)
    {
        if (node->type == XML_TEXT_NODE) {
            const QString chars = QString::fromUtf8(reinterpret_cast<const char *>(node->content));
            text.append(chars,
                        style.plain() && link.isNull() ? std::nullopt
                                                       : std::optional(charFormat(style, link)));
            return true;
        }
        if (node->type == XML_COMMENT_NODE)
            return true;
        if (node->type != XML_ELEMENT_NODE || !plainStyle(node))
            return false;
        if (DocumentMarkup::nameIs(node, "br")) {
            text.lineBreak();
            return true;
        }
        if (DocumentMarkup::nameIs(node, "a")) {
            TextStyle linked = style;
            linked.color = LinkColor.name().toLatin1();
            linked.underline = true;
            return readInline(node, DocumentMarkup::styled(node, linked),
                              HtmlDocument::attribute(node, "href").value_or(u""_s), text);
        }
        if (!oneOf(node,
                   {"b", "strong", "i", "em", "u", "ins", "s", "strike", "del", "span", "font"}))
            return false;
        return readInline(node, DocumentMarkup::styled(node, style), link, text);
    }

    QFont m_font;
    QPaintDevice *m_device;
};

} // namespace

PaperTables::PaperTables(QSizeF page, const QFont &font, QPaintDevice *device)
    : m_page(page), m_font(font), m_device(device)
{ }

PaperTables::~PaperTables() = default;

void PaperTables::take(HtmlDocument &note, QStringView html)
{
    if (html.contains(RowMark))
        return;
    for (const Element element : note.elementsByTagName("table")) {
        std::unique_ptr<Table> table = plainTable(element);
        if (!table)
            continue;
        layOut(*table);
        // A row too tall for a page is left to the document, which breaks it.
        if (std::any_of(table->rows.begin(), table->rows.end(),
                        [&](const Row &row) { return size(row).height() > m_page.height(); }))
            continue;
        const std::optional<QString> align = HtmlDocument::attribute(element, "align");
        for (Row &row : table->rows) {
            const Element paragraph = note.insertElement(element, "div");
            if (align)
                HtmlDocument::setAttribute(paragraph, "align", *align);
            HtmlDocument::prependText(paragraph, RowMark);
            m_rows.push_back(&row);
        }
        note.removeElement(element);
        m_tables.push_back(std::move(table));
    }
}

void PaperTables::place(QTextDocument &document) const
{
    QTextCharFormat object;
    object.setObjectType(RowObject);
    std::size_t row = 0;
    for (QTextBlock block = document.begin(); block.isValid() && row < m_rows.size();
         block = block.next()) {
        if (block.length() != 2 || document.characterAt(block.position()) != RowMark)
            continue;
        QTextCursor mark(block);
        mark.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        object.setProperty(RowProperty, int(row++));
        mark.insertText(QString(QChar::ObjectReplacementCharacter), object);
    }
}

std::unique_ptr<PaperTables::Table> PaperTables::plainTable(Element element) const
{
    if (!HtmlDocument::isElement(element->parent, "body") || !plainStyle(element)
        || DocumentMarkup::hasBackground(element))
        return nullptr;
    const DocumentMarkup::TableParts parts = DocumentMarkup::tableParts(element);
    if (parts.rows.empty() || parts.headerRows > 0 || !parts.captions.empty())
        return nullptr;
    auto table = std::make_unique<Table>();
    table->askedWidth = widthOf(element);
    table->rows.resize(parts.rows.size());
    CellReader reader(m_font, m_device);
    for (std::size_t r = 0; r < parts.rows.size(); ++r) {
        Row &row = table->rows[r];
        row.table = table.get();
        for (Element node = parts.rows[r]->children; node; node = node->next) {
            if (!DocumentMarkup::isCell(node)) {
                if (!DocumentMarkup::isBlank(node))
                    return nullptr;
                continue;
            }
            if (DocumentMarkup::spanOf(node, "colspan", 2) > 1
                || DocumentMarkup::spanOf(node, "rowspan", 2) > 1 || !plainStyle(node)
                || HtmlDocument::attribute(node, "valign").value_or(u"top"_s) != u"top")
                return nullptr;
            const bool header = DocumentMarkup::nameIs(node, "th");
            TextStyle style = DocumentMarkup::styled(node, {});
            Cell &cell = row.cells.emplace_back();
            const QByteArray background = !style.background.isEmpty()
                ? style.background
                : DocumentMarkup::cssColor(
                    HtmlDocument::attribute(node, "bgcolor").value_or(u""_s));
            cell.background = !background.isEmpty()
                ? QColor::fromString(QLatin1StringView(background))
                : header ? HeaderColor
                         : QColor();
            style.background.clear();
            if (!reader.read(node, DocumentMarkup::alignmentOf(node, header ? "center" : ""), style,
                             cell.paragraphs))
                return nullptr;
            if (r == 0)
                table->askedWidths.push_back(widthOf(node));
        }
        if (row.cells.empty() || row.cells.size() != table->rows.front().cells.size())
            return nullptr;
    }
    for (std::size_t c = 0; c < parts.cols.size() && c < table->askedWidths.size(); ++c) {
        if (const std::optional<Length> width = widthOf(parts.cols[c]))
            table->askedWidths[c] = width;
    }
    table->rows.front().top = TableTop;
    table->rows.back().bottom = Spacing + TableBottom;
    return table;
}

void PaperTables::layOut(Table &table) const
{
    const std::size_t columns = table.askedWidths.size();
    std::vector<qreal> minimum(columns, 2 * Padding);
    std::vector<qreal> maximum(columns, 2 * Padding);
    for (Row &row : table.rows) {
        for (std::size_t c = 0; c < columns; ++c) {
            for (Paragraph &paragraph : row.cells[c].paragraphs) {
                layOutLines(*paragraph.layout, Unbounded, 0);
                minimum[c] = std::max(minimum[c], paragraph.layout->minimumWidth() + 2 * Padding);
                maximum[c] = std::max(maximum[c], paragraph.layout->maximumWidth() + 2 * Padding);
            }
        }
    }
    const qreal lines = (columns + 1) * Spacing;
    const qreal space
        = (table.askedWidth ? std::min(table.askedWidth->of(m_page.width()), m_page.width())
                            : m_page.width())
        - lines;
    // Columns that ask for a width have it; the others grow from their longest word towards
    // their longest line, all by the same amount, while there is room.
    table.widths = minimum;
    std::vector<std::size_t> free;
    for (std::size_t c = 0; c < columns; ++c) {
        if (table.askedWidths[c])
            table.widths[c] = std::max(table.askedWidths[c]->of(space), minimum[c]);
        else
            free.push_back(c);
    }
    const auto remaining = [&] {
        return space - std::accumulate(table.widths.begin(), table.widths.end(), qreal(0));
    };
    for (;;) {
        std::vector<std::size_t> growing;
        std::copy_if(free.begin(), free.end(), std::back_inserter(growing),
                     [&](std::size_t c) { return table.widths[c] < maximum[c]; });
        const qreal room = remaining();
        if (growing.empty() || room < 0.5)
            break;
        for (const std::size_t c : growing)
            table.widths[c] = std::min(maximum[c], table.widths[c] + room / growing.size());
    }
    // A table as wide as it asks gives the rest to the columns that ask for nothing, else to
    // all; one too wide for the page has all its columns narrowed alike, its words broken.
    if (const qreal room = remaining(); room > 0 && table.askedWidth) {
        std::vector<std::size_t> all(columns);
        std::iota(all.begin(), all.end(), 0);
        const std::vector<std::size_t> &wider = free.empty() ? all : free;
        for (const std::size_t c : wider)
            table.widths[c] += room / wider.size();
    } else if (room < 0) {
        const qreal scale = space / (space - room);
        for (qreal &width : table.widths)
            width *= scale;
    }
    table.width = std::accumulate(table.widths.begin(), table.widths.end(), lines);
    for (Row &row : table.rows) {
        for (std::size_t c = 0; c < columns; ++c) {
            qreal y = 0;
            for (Paragraph &paragraph : row.cells[c].paragraphs)
                y += layOutLines(*paragraph.layout, table.widths[c] - 2 * Padding, y)
                    + paragraph.gap;
            row.height = std::max(row.height, y + 2 * Padding);
        }
    }
}

QSizeF PaperTables::size(std::size_t row) const
{
    return size(*m_rows[row]);
}

QSizeF PaperTables::size(const Row &row)
{
    return {row.table->width, row.top + Spacing + row.height + row.bottom};
}

QSizeF PaperTables::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    const std::size_t row = format.intProperty(RowProperty);
    return row < m_rows.size() ? size(row) : QSizeF();
}

void PaperTables::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                             const QTextFormat &format)
{
    if (const std::size_t row = format.intProperty(RowProperty); row < m_rows.size())
        draw(painter, rect.topLeft(), row);
}

void PaperTables::draw(QPainter *painter, const QPointF &topLeft, std::size_t index) const
{
    const Row &row = *m_rows[index];
    const Table &table = *row.table;
    const qreal top = topLeft.y() + row.top;
    // The lines are what the cells leave of the row's box: one shape for all of them.
    QPainterPath lines;
    lines.setFillRule(Qt::OddEvenFill);
    lines.addRect(topLeft.x(), top, table.width,
                  Spacing + row.height + (row.bottom > 0 ? Spacing : 0));
    std::vector<QRectF> boxes;
    qreal x = topLeft.x() + Spacing;
    for (const qreal width : table.widths) {
        boxes.emplace_back(x, top + Spacing, width, row.height);
        lines.addRect(boxes.back());
        x += width + Spacing;
    }
    painter->fillPath(lines, LineColor);
    painter->setPen(Qt::black);
    for (std::size_t c = 0; c < boxes.size(); ++c) {
        const Cell &cell = row.cells[c];
        if (cell.background.isValid())
            painter->fillRect(boxes[c], cell.background);
        for (const Paragraph &paragraph : cell.paragraphs)
            paragraph.layout->draw(painter, boxes[c].topLeft() + QPointF(Padding, Padding));
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
