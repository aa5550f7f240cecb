// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/htmldocument_p.h"

namespace TAVRIKCORE::RICHEDITOR {

// The box an item of a checklist (<ul class="checklist"><li data-checked="true">) shows where
// no style sheet draws it: "☑ " when ticked, "☐ " when not; empty for any other element.
QString checklistMark(HtmlDocument::Element item);

// Whether the element is a checklist (<ul> of class "checklist").
bool isChecklist(HtmlDocument::Element list);

// Shows the boxes of every checklist of `doc` as characters, for readers without the editor's
// style sheet: each item starts with its checklistMark and the list shows no bullets.
void markChecklists(HtmlDocument &doc);

} // namespace TAVRIKCORE::RICHEDITOR
