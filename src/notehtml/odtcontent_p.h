// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/documentwriter_p.h"
#include "notehtml/htmldocument_p.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <map>
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
class OdtContent : public DocumentWriter
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
    // A paragraph's style: a heading's level (0 a paragraph) and its alignment ("center",
    // "end", "justify"; empty for the start).
    using ParagraphStyle = std::pair<int, QByteArray>;

    explicit OdtContent(const Pictures &pictures) : m_pictures(pictures) { }
    QByteArray document() const;
    void block(HtmlDocument::Element element, int level, const TextStyle &style) override;
    void list(HtmlDocument::Element element, const TextStyle &style) override;
    void table(HtmlDocument::Element element, const TextStyle &style) override;
    void tableColumns(const std::vector<int> &widths);
    // A cell spanning `span` columns and `down` rows.
    void cell(HtmlDocument::Element element, int span, int down, const TextStyle &style);
    void lineBreak() override;
    void link(HtmlDocument::Element node, const QString &href, const TextStyle &style) override;
    void picture(HtmlDocument::Element element) override;
    void text(const char *text, const TextStyle &style) override;
    void appendText(const char *text, qsizetype size);
    void openParagraph(int level) override;
    void closeParagraph() override;

    const Pictures &m_pictures;
    QByteArray m_body;
    std::map<TextStyle, int> m_textStyles;
    std::map<ParagraphStyle, int> m_paragraphStyles; // the aligned ones
    bool m_ruled = false; // a horizontal rule was written
    bool m_leftPictures = false; // pictures the text flows around on their right were written
    bool m_rightPictures = false; // and on their left
    int m_tables = 0;
    std::vector<QByteArray> m_columnWidths; // of the column styles Column1, Column2, ...
};

} // namespace TAVRIKCORE::RICHEDITOR
