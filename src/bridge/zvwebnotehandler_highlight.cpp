// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"

#include "bridge/zvwebnotehandler_p.h"
#include "common/log4c.h"

namespace TAVRIKCORE::RICHEDITOR {

namespace {

bool refusedAsReadOnly(const Internal::NoteSession &session, const QString &operation)
{
    if (!session.readOnly())
        return false;
    CLog4C::GetInstance()->WriteLog(
        QStringLiteral("[ERROR] %1 refused: the note is read-only").arg(operation));
    return true;
}

} // namespace

int ZvWebNoteHandler::HighlightText(const QString &keyword, bool matchCase, bool wholeWord)
{
    return d->highlight.mark(d->page, keyword, matchCase, wholeWord);
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

int ZvWebNoteHandler::HighlightCurrent() const
{
    return d->highlight.current();
}

int ZvWebNoteHandler::ReplaceCurrent(const QString &replacement)
{
    if (refusedAsReadOnly(d->session, QStringLiteral("ReplaceCurrent")))
        return 0;
    return d->highlight.replaceCurrent(d->page, replacement);
}

int ZvWebNoteHandler::ReplaceAll(const QString &keyword, const QString &replacement, bool matchCase,
                                 bool wholeWord)
{
    if (refusedAsReadOnly(d->session, QStringLiteral("ReplaceAll")))
        return -1;
    return d->highlight.replaceAll(d->page, keyword, replacement, matchCase, wholeWord);
}

} // namespace TAVRIKCORE::RICHEDITOR
