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

// The main part of a Word document (word/document.xml) written from a parsed note, in one pass
// over the HTML tree, reading the markup as the OpenDocument writer does (DocumentMarkup): h1-h6
// take Word's heading styles Heading1-Heading6, paragraphs and other blocks become paragraphs
// (pre in the monospaced style HTMLPreformatted, keeping its line breaks and spaces), br a line
// break, bold, italic, underline, strike-through, text and background colour and font size as
// run properties, text alignment of blocks, hr a ruled paragraph, ul/ol as numbered paragraphs
// (a list of numbering.xml for each list, bullets or decimal numbers, nested lists a level
// deeper), checklist items with their box as text, tables with their grid and column widths
// (column spans as gridSpan, row spans as vMerge, the thead's rows repeated on every page),
// links as hyperlinks and the local pictures inline at the size the note gives them, described
// by an attachment's original name or the picture's alt text. Runs of white space outside pre
// are folded into one space, as a browser shows them.
class DocxContent : public DocumentWriter
{
public:
    struct Picture
    {
        QByteArray relation; // the id of its relationship to word/media/<name>
        QSize size; // in pixels, as read from the picture's header
    };
    // Pictures by the img src that shows them.
    using Pictures = std::map<QString, Picture>;

    struct Parts
    {
        QByteArray document; // word/document.xml
        QByteArray numbering; // word/numbering.xml
        // The addresses of the links, each once; the relationship of the n-th is "rIdLink<n>".
        std::vector<QByteArray> links;
    };

    // The parts for the children of `body` (which may be null).
    static Parts write(HtmlDocument::Element body, const Pictures &pictures);

private:
    explicit DocxContent(const Pictures &pictures) : m_pictures(pictures) { }
    QByteArray numbering() const;
    void block(Element element, int level, const TextStyle &style) override;
    void list(Element element, const TextStyle &style) override;
    void table(Element element, const TextStyle &style) override;
    void tableProperties(const std::vector<int> &widths);
    // A cell `span` columns wide: a new one holding `element` (none for an empty one), the
    // start of cells merged down, or one of those it covers.
    enum class Merge { None, Restart, Continue };
    void cell(Element element, int width, int span, Merge merge, const TextStyle &style);
    void lineBreak() override;
    void link(Element node, const QString &href, const TextStyle &style) override;
    void picture(Element element) override;
    void text(const char *text, const TextStyle &style) override;
    void openParagraph(int level) override;
    void closeParagraph() override;

    const Pictures &m_pictures;
    QByteArray m_body;
    // Of the list with numId n + 1: whether it is numbered, and its level.
    std::vector<std::pair<bool, int>> m_lists;
    std::vector<QByteArray> m_links;
    std::map<QByteArray, int> m_linkNumbers; // of the addresses in m_links, from 1
    bool m_spaceBefore = true; // the open paragraph's text so far ends in white space or a break
    int m_numbered = 0; // the list whose number the next paragraph takes (numId), 0 none
    int m_indent = 0; // of the paragraphs in list items, in twips
    int m_drawings = 0;
    bool m_tableLast = false; // the last thing written is a table
};

} // namespace TAVRIKCORE::RICHEDITOR
