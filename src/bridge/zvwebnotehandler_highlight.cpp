// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/zvwebnotehandler.h"

#include "common/log4c.h"
#include "highlight/pagehighlighter_p.h"
#include "skin/iewebbrowser.h"

namespace TAVRIKCORE::RICHEDITOR {

int ZvWebNoteHandler::HighlightText(const QString &keyword, bool matchCase)
{
    CancleHighlight();
    if (keyword.isEmpty())
        return 1;
    if (keyword.size() > MaxHighlightKeywordLength) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] HighlightText keyword too long: %1 "
                                                       "characters, at most %2")
                                            .arg(keyword.size())
                                            .arg(MaxHighlightKeywordLength));
        return 0;
    }
    if (!m_browser || !m_browser->isPageLoaded())
        return 0;
    const std::optional<int> marked = Internal::MarkKeyword(*m_browser, keyword, matchCase);
    if (!marked || *marked < 0)
        return 0;
    m_highlightCount = *marked;
    return 1;
}

int ZvWebNoteHandler::HighlightNext(bool backwards)
{
    if (m_highlightCount == 0 || !m_browser || !m_browser->isPageLoaded())
        return -1;
    return Internal::MoveCurrentMark(*m_browser, backwards).value_or(-1);
}

int ZvWebNoteHandler::CancleHighlight()
{
    if (m_highlightCount == 0)
        return 1;
    if (!m_browser || !m_browser->isPageLoaded() || !Internal::RemoveMarks(*m_browser))
        return 0;
    m_highlightCount = 0;
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
