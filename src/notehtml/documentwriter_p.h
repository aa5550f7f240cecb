// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/documentmarkup_p.h"
#include "notehtml/htmldocument_p.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace TAVRIKCORE::RICHEDITOR {

// The walk over a parsed note that the document writers (OdtContent, DocxContent) share: blocks
// and the inline content between them gathered into paragraphs, headings, lists, tables (in a
// list item their cells as paragraphs of the item), pre, breaks, pictures and links, with the
// formatting and alignment that reach each of them. A writer writes each piece in its format.
class DocumentWriter
{
public:
    virtual ~DocumentWriter() = default;

protected:
    using Element = HtmlDocument::Element;
    using TextStyle = DocumentMarkup::TextStyle;

    // The nodes from `first` up to `end` as the content of a container whose paragraphs are of
    // `level` (0 a paragraph, 1-6 a heading): blocks written in turn, inline content between
    // them gathered into paragraphs.
    void flow(Element first, Element end, int level, const TextStyle &style);
    // The content of a block element, whose text has the style `inner`.
    void blockContent(Element element, int level, const TextStyle &inner);
    // Writes the content of `element` with the paragraph alignment it gives.
    template<typename Write> void aligned(Element element, Write write)
    {
        const QByteArray around = m_alignment;
        m_alignment = DocumentMarkup::alignmentOf(element, around);
        write();
        m_alignment = around;
    }
    // The items of a list, one level deeper: its li elements and any other content, each as an
    // item of its own; `around(write)` is called for each, write() writing the item's content
    // (a checklist item's box first).
    void listItems(Element list, const TextStyle &style,
                   const std::function<void(const std::function<void()> &write)> &around);
    void inlineNode(Element node, const TextStyle &style);

    // A block element (hr included) with the paragraph level around it.
    virtual void block(Element element, int level, const TextStyle &style) = 0;
    virtual void list(Element element, const TextStyle &style) = 0;
    virtual void table(Element element, const TextStyle &style) = 0;
    virtual void text(const char *text, const TextStyle &style) = 0;
    virtual void lineBreak() = 0;
    virtual void picture(Element element) = 0;
    // A link to `href` around the node's children, which inlineNode writes.
    virtual void link(Element node, const QString &href, const TextStyle &style) = 0;
    virtual void openParagraph(int level) = 0;
    virtual void closeParagraph() = 0;

    QByteArray m_alignment; // of the paragraphs written now
    int m_openLevel = -1; // the open paragraph: 0 a paragraph, 1-6 a heading, -1 none
    int m_listDepth = 0;
    int m_preformatted = 0; // how many pre elements the text is in
    bool m_inLink = false;

private:
    static bool isItem(Element node);
    void listItem(Element node, const TextStyle &style);
};

} // namespace TAVRIKCORE::RICHEDITOR
