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

} // namespace TAVRIKCORE::RICHEDITOR
