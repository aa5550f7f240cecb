// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/htmldocument_p.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// The text of an OpenDocument file (its content.xml) written from a parsed note, in one pass over
// the HTML tree: h1-h6 become headings with their outline level, paragraphs and other blocks
// become paragraphs (pre keeping its line breaks and spaces), br a line break, bold, italic,
// underline, strike-through, text colour and background colour (from the tags or the style
// attribute), font size spans with one automatic style per combination, text alignment of blocks
// (their style or align attribute) as paragraph styles, hr a ruled paragraph, ul/ol bulleted and
// numbered lists,
// tables with their columns and column widths (column and row spans as covered cells), links, and
// the local pictures as frames of their size (at their side when the text flows around them).
// Inline content directly in a container (the body, a list item, a cell) is gathered into a
// paragraph. Elements the writer does not know pass their content through; scripts, styles and
// pictures not in the set are left out.
class OdtContent
{
public:
    struct Picture
    {
        QByteArray path; // the entry in the package: Pictures/<name>
        QSize size; // in pixels, as read from the picture's header
    };
    // Pictures by the img src that shows them.
    using Pictures = std::map<QString, Picture>;

    // The content document for the children of `body` (which may be null).
    static QByteArray write(HtmlDocument::Element body, const Pictures &pictures);

private:
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
            return !bold && !italic && !underline && !strike && color.isEmpty()
                && background.isEmpty() && fontSize.isEmpty();
        }
    };
    // A paragraph's style: a heading's level (0 a paragraph) and its alignment ("center",
    // "end", "justify"; empty for the start).
    using ParagraphStyle = std::pair<int, QByteArray>;

    explicit OdtContent(const Pictures &pictures) : m_pictures(pictures) { }
    QByteArray document() const;
    void flow(HtmlDocument::Element first, HtmlDocument::Element end, int level,
              const TextStyle &style);
    void block(HtmlDocument::Element element, int level, const TextStyle &style);
    void blockContent(HtmlDocument::Element element, int level, const TextStyle &inner);
    // Writes the content of `element` with the paragraph alignment it gives.
    template<typename Write> void aligned(HtmlDocument::Element element, Write write)
    {
        const QByteArray around = m_alignment;
        m_alignment = alignmentOf(element, around);
        write();
        m_alignment = around;
    }
    void list(HtmlDocument::Element element, bool numbered, const TextStyle &style);
    // A table's column count (the widths' size) and column widths in pixels, 0 when unknown.
    struct TableGrid
    {
        std::vector<int> widths;
    };
    void table(HtmlDocument::Element element, const TextStyle &style);
    static TableGrid tableGrid(const std::vector<HtmlDocument::Element> &rows,
                               const std::vector<HtmlDocument::Element> &cols);
    void tableColumns(const std::vector<int> &widths);
    // A cell spanning `span` columns and `down` rows.
    void cell(HtmlDocument::Element element, int span, int down, const TextStyle &style);
    void inlineNode(HtmlDocument::Element node, const TextStyle &style);
    void picture(HtmlDocument::Element element);
    void text(const char *text, const TextStyle &style);
    void appendText(const char *text, qsizetype size);
    void openParagraph(int level);
    void closeParagraph();
    static TextStyle styled(HtmlDocument::Element element, TextStyle style);
    static QByteArray alignmentOf(HtmlDocument::Element element, const QByteArray &around);

    const Pictures &m_pictures;
    QByteArray m_body;
    std::map<TextStyle, int> m_textStyles;
    std::map<ParagraphStyle, int> m_paragraphStyles; // the aligned ones
    QByteArray m_alignment; // of the paragraphs written now
    bool m_ruled = false; // a horizontal rule was written
    bool m_leftPictures = false; // pictures the text flows around on their right were written
    bool m_rightPictures = false; // and on their left
    int m_openLevel = -1; // the open paragraph: 0 a paragraph, 1-6 a heading, -1 none
    int m_listDepth = 0;
    int m_preformatted = 0; // how many pre elements the text is in
    int m_tables = 0;
    std::vector<QByteArray> m_columnWidths; // of the column styles Column1, Column2, ...
    bool m_inLink = false;
};

} // namespace TAVRIKCORE::RICHEDITOR
