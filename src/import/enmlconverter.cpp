// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/enmlconverter_p.h"

#include "notehtml/htmldocument_p.h"

#include <libxml/tree.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

using Element = HtmlDocument::Element;

// The line an <en-todo> starts: its div or p when nothing but blanks comes before it.
Element lineStartedBy(Element todo)
{
    Element line = todo->parent;
    if (!HtmlDocument::isElement(line, "div") && !HtmlDocument::isElement(line, "p"))
        return nullptr;
    for (Element before = todo->prev; before; before = before->prev) {
        if (!HtmlDocument::isBlank(before))
            return nullptr;
    }
    return line;
}

xmlNode *previousElement(xmlNode *node)
{
    xmlNode *before = node->prev;
    while (before && HtmlDocument::isBlank(before))
        before = before->prev;
    return before;
}

bool isChecklist(Element node)
{
    return HtmlDocument::isElement(node, "ul")
        && HtmlDocument::className(node) == QLatin1String("checklist");
}

// The elements named `name` that are not inside another of that name: changing one takes
// everything inside it along, the nested ones of a malformed note included.
std::vector<Element> outermost(const HtmlDocument &doc, const char *name)
{
    std::vector<Element> found = doc.elementsByTagName(name);
    std::erase_if(found, [name](Element element) {
        for (Element up = element->parent; up; up = up->parent) {
            if (HtmlDocument::isElement(up, name))
                return true;
        }
        return false;
    });
    return found;
}

QString checkedValue(bool checked)
{
    return checked ? QStringLiteral("true") : QStringLiteral("false");
}

void convertTodo(HtmlDocument &doc, Element todo)
{
    const bool checked
        = HtmlDocument::attribute(todo, "checked").value_or(QString()) == QLatin1String("true");
    Element line = lineStartedBy(todo);
    // A box is empty; what a malformed one holds stays where it was.
    if (!line) {
        HtmlDocument::prependText(todo, checked ? QStringLiteral("☑ ") : QStringLiteral("☐ "));
        doc.unwrapElement(todo);
        return;
    }
    doc.unwrapElement(todo);
    HtmlDocument::renameElement(line, "li");
    for (const char *name : {"style", "class"})
        HtmlDocument::removeAttribute(line, name);
    HtmlDocument::setAttribute(line, "data-checked", checkedValue(checked));
    xmlNode *before = previousElement(line);
    if (isChecklist(before)) {
        HtmlDocument::appendChild(before, line);
    } else if (Element list = doc.wrapElement(line, "ul")) {
        HtmlDocument::setClassName(list, QStringLiteral("checklist"));
    }
}

// Lists written as <ul style="--en-todo:true;"><li style="--en-checked:true;">.
void convertStyledChecklist(Element list)
{
    if (!HtmlDocument::attribute(list, "style")
             .value_or(QString())
             .contains(QLatin1String("--en-todo:true")))
        return;
    HtmlDocument::removeAttribute(list, "style");
    HtmlDocument::setClassName(list, QStringLiteral("checklist"));
    for (xmlNode *item = list->children; item; item = item->next) {
        if (!HtmlDocument::isElement(item, "li"))
            continue;
        const bool checked = HtmlDocument::attribute(item, "style")
                                 .value_or(QString())
                                 .contains(QLatin1String("--en-checked:true"));
        HtmlDocument::removeAttribute(item, "style");
        HtmlDocument::setAttribute(item, "data-checked", checkedValue(checked));
    }
}

} // namespace

QString enmlToNoteHtml(const QString &enml,
                       const std::function<QString(const QString &hash)> &media)
{
    HtmlDocument doc;
    if (!doc.parseFragment(enml.toUtf8()))
        return {};
    for (Element crypt : outermost(doc, "en-crypt"))
        doc.removeElement(crypt);
    for (Element item : outermost(doc, "en-media")) {
        const QString markup = media(HtmlDocument::attribute(item, "hash").value_or(QString()));
        if (markup.isEmpty() || !doc.replaceElement(item, markup))
            doc.removeElement(item);
    }
    for (Element list : doc.elementsByTagName("ul"))
        convertStyledChecklist(list);
    for (Element todo : doc.elementsByTagName("en-todo"))
        convertTodo(doc, todo);
    // Looked up last: in a malformed text the note may sit inside what was changed above.
    const std::vector<Element> notes = doc.elementsByTagName("en-note");
    return notes.empty() ? QString() : HtmlDocument::innerHtml(notes.front());
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
