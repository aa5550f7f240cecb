// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "highlight/notehighlight_p.h"

#include "common/log4c.h"
#include "highlight/pagehighlighter_p.h"
#include "session/editorpage_p.h"
#include "skin/iewebbrowser.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

IEWebBrowser *loadedPage(const EditorPage &page)
{
    IEWebBrowser *browser = page.browser();
    return browser && browser->isPageLoaded() ? browser : nullptr;
}

} // namespace

int NoteHighlight::mark(EditorPage &page, const QString &keyword, bool matchCase)
{
    cancel(page);
    if (keyword.isEmpty())
        return 1;
    if (keyword.size() > MaxKeywordLength) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] HighlightText keyword too long: %1 "
                                                       "characters, at most %2")
                                            .arg(keyword.size())
                                            .arg(MaxKeywordLength));
        return 0;
    }
    IEWebBrowser *browser = loadedPage(page);
    if (!browser)
        return 0;
    const std::optional<int> marked = MarkKeyword(*browser, keyword, matchCase);
    if (!marked || *marked < 0)
        return 0;
    m_count = *marked;
    return 1;
}

int NoteHighlight::next(EditorPage &page, bool backwards)
{
    IEWebBrowser *browser = loadedPage(page);
    if (m_count == 0 || !browser)
        return -1;
    return MoveCurrentMark(*browser, backwards).value_or(-1);
}

int NoteHighlight::cancel(EditorPage &page)
{
    if (m_count == 0)
        return 1;
    IEWebBrowser *browser = loadedPage(page);
    if (!browser || !RemoveMarks(*browser))
        return 0;
    m_count = 0;
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
