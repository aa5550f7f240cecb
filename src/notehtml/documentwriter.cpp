// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/documentwriter_p.h"

#include "notehtml/checklistmark_p.h"

#include <libxml/tree.h>

namespace TAVRIKCORE::RICHEDITOR {

using namespace DocumentMarkup;

void DocumentWriter::flow(Element first, Element end, int level, const TextStyle &style)
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

void DocumentWriter::blockContent(Element element, int level, const TextStyle &inner)
{
    switch (kindOf(element)) {
    case Kind::Heading:
        flow(element->children, nullptr, element->name[1] - '0', inner);
        break;
    case Kind::List:
        list(element, inner);
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

bool DocumentWriter::isItem(Element node)
{
    return !isBlank(node) && (node->type == XML_TEXT_NODE
                              || (node->type == XML_ELEMENT_NODE && kindOf(node) != Kind::Skip));
}

void DocumentWriter::listItems(Element list, const TextStyle &style,
                               const std::function<void(const std::function<void()> &)> &around)
{
    ++m_listDepth;
    for (Element node = list->children; node; node = node->next) {
        if (isItem(node))
            around([&] { listItem(node, style); });
    }
    --m_listDepth;
}

void DocumentWriter::listItem(Element node, const TextStyle &style)
{
    if (!nameIs(node, "li")) {
        flow(node, node->next, 0, style);
        return;
    }
    aligned(node, [&] {
        const TextStyle inner = styled(node, style);
        if (const QString mark = checklistMark(node); !mark.isEmpty()) {
            openParagraph(0);
            text(mark.toUtf8().constData(), inner);
        }
        flow(node->children, nullptr, 0, inner);
    });
}

void DocumentWriter::inlineNode(Element node, const TextStyle &style)
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
        lineBreak();
        return;
    case Kind::Image:
        picture(node);
        return;
    case Kind::Link:
        if (const std::optional<QString> href = HtmlDocument::attribute(node, "href");
            href && !m_inLink) {
            link(node, *href, inner);
            return;
        }
        break;
    default:
        break;
    }
    for (Element child = node->children; child; child = child->next)
        inlineNode(child, inner);
}

} // namespace TAVRIKCORE::RICHEDITOR
