// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"

#include "bridge/zvwebnotehandler_p.h"

namespace TAVRIKCORE::RICHEDITOR {

int ZvWebNoteHandler::HighlightText(const QString &keyword, bool matchCase)
{
    return d->highlight.mark(d->page, keyword, matchCase);
}

int ZvWebNoteHandler::HighlightNext(bool backwards)
{
    return d->highlight.next(d->page, backwards);
}

int ZvWebNoteHandler::CancleHighlight()
{
    return d->highlight.cancel(d->page);
}

int ZvWebNoteHandler::HighlightCount() const
{
    return d->highlight.count();
}

} // namespace TAVRIKCORE::RICHEDITOR
