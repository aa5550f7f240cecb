// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

#include <functional>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Turns a note's ENML (the text of an Evernote <content>) into note HTML: the inside of
// <en-note>; each <en-media hash> becomes the markup `media` gives for its hash, or is left out
// when that is empty; a line starting with <en-todo> becomes an item of a checklist
// (<ul class="checklist"><li data-checked="true|false">), consecutive ones in one list, and
// lists marked "--en-todo:true" in their style become checklists too; an <en-todo> inside a
// line becomes the box "☑ " or "☐ "; <en-crypt> is left out. The rest stays as it is: the
// page sanitises it as any note text it opens. Empty when the text does not parse.
TAVRIK_AUTOTEST_EXPORT QString
enmlToNoteHtml(const QString &enml, const std::function<QString(const QString &hash)> &media);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
