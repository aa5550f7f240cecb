// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/htmldocument_p.h"
#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <tuple>
#include <vector>

struct _xmlNode;

// What the document writers (OdtContent, DocxContent) read from a parsed note: the kind of each
// element, the formatting and alignment its tags and style attribute give, table columns and
// picture sizes, and the escaping of text as XML character data.
namespace TAVRIKCORE::RICHEDITOR::DocumentMarkup {

using Element = HtmlDocument::Element;

enum class Kind { Inline, Skip, Block, Heading, List, Table, Break, Image, Link };

// The kind of an element by its name: unknown names are inline, their content passed through.
Kind kindOf(const _xmlNode *node);
bool isBlock(Kind kind);
bool nameIs(const _xmlNode *node, const char *name);
// A comment, or text of white space only.
bool isBlank(const _xmlNode *node);
// A td or th.
bool isCell(const _xmlNode *node);

// Appends UTF-8 text as XML character data: markup characters escaped, the characters XML
// cannot hold (control characters, U+FFFE, U+FFFF) left out.
void appendEscaped(QByteArray &out, const char *text, qsizetype size);
void appendEscaped(QByteArray &out, const QString &text);

// "#rrggbb" for a CSS colour (a name, #rgb, #rrggbb, rgb() or rgba()); empty for a colour that
// cannot be read or is transparent.
QByteArray cssColor(const QString &value);

// A length in the element's style in pixels or as a share ("120px", "50%"); empty when it has
// none of those.
TAVRIK_AUTOTEST_EXPORT QString styleLength(Element element, const char *name);
// A length of the element in pixels: its style's first, else its attribute's; 0 when it has
// none in pixels (a share of the width, say).
TAVRIK_AUTOTEST_EXPORT int pixelLength(Element element, const char *name);

// Whether the element has a background colour: a bgcolor attribute, or one in its style.
bool hasBackground(Element element);

// A span attribute of a table cell, from 1 to `most`.
int spanOf(Element cell, const char *name, int most);

// The formatting of a run of text.
struct TextStyle
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QByteArray color;
    QByteArray background;
    QByteArray fontSize; // "12pt"; empty for the document's own size
    bool operator<(const TextStyle &other) const
    {
        return std::tie(bold, italic, underline, strike, color, background, fontSize)
            < std::tie(other.bold, other.italic, other.underline, other.strike, other.color,
                       other.background, other.fontSize);
    }
    bool plain() const
    {
        return !bold && !italic && !underline && !strike && color.isEmpty() && background.isEmpty()
            && fontSize.isEmpty();
    }
};

// The style of the text inside `element`: its tag's and its style attribute's formatting on top
// of the style around it.
TextStyle styled(Element element, TextStyle style);

// The alignment of the paragraphs inside `element` ("center", "end", "justify"; empty for the
// start): its style's text-align, else its align attribute, else the alignment around it (it
// is inherited).
QByteArray alignmentOf(Element element, const QByteArray &around);

// The parts of a table element: its rows (those of its thead, tbody and tfoot in turn), how many
// of the first come from a thead that opens the table, its col elements and its captions.
struct TableParts
{
    std::vector<Element> rows;
    std::size_t headerRows = 0;
    std::vector<Element> cols;
    std::vector<Element> captions;
};
TableParts tableParts(Element table);

// A table's column count (the widths' size) and column widths in pixels, 0 when unknown.
struct TableGrid
{
    std::vector<int> widths;
};

// The columns of the table, counting the slots that cells from the rows above cover, and the
// width of each in pixels (0 when not given): a col element's, else the first cell's that
// starts in the column alone.
TableGrid tableGrid(const std::vector<Element> &rows, const std::vector<Element> &cols);

// The size a picture whose own size is `own` is shown at, in pixels: the width and height of the
// img element's style, else of its attributes; one of them alone keeps the picture's proportions.
QSize displaySize(Element image, QSize own);

} // namespace TAVRIKCORE::RICHEDITOR::DocumentMarkup
