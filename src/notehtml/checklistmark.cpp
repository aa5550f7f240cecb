// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/checklistmark_p.h"

#include <QStringList>

#include <libxml/tree.h>

#include <cstring>

namespace TAVRIKCORE::RICHEDITOR {

bool isChecklist(HtmlDocument::Element list)
{
    return list && list->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char *>(list->name), "ul") == 0
        && HtmlDocument::className(list)
               .split(u' ', Qt::SkipEmptyParts)
               .contains(QStringLiteral("checklist"));
}

QString checklistMark(HtmlDocument::Element item)
{
    if (!item || item->type != XML_ELEMENT_NODE
        || std::strcmp(reinterpret_cast<const char *>(item->name), "li") != 0
        || !isChecklist(item->parent))
        return QString();
    return HtmlDocument::attribute(item, "data-checked") == u"true" ? QStringLiteral(u"\u2611 ")
                                                                    : QStringLiteral(u"\u2610 ");
}

void markChecklists(HtmlDocument &doc)
{
    for (HtmlDocument::Element list : doc.elementsByTagName("ul")) {
        if (!isChecklist(list))
            continue;
        const QString style = HtmlDocument::attribute(list, "style").value_or(QString());
        HtmlDocument::setAttribute(list, "style",
                                   style.isEmpty() ? QStringLiteral("list-style: none")
                                                   : QStringLiteral("list-style: none; ") + style);
        for (HtmlDocument::Element item = list->children; item; item = item->next)
            HtmlDocument::prependText(item, checklistMark(item));
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
