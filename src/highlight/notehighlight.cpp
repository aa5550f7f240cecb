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

bool NoteHighlight::keywordFits(const QString &keyword, const char *operation) const
{
    if (keyword.size() <= MaxKeywordLength)
        return true;
    CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] %1 keyword too long: %2 "
                                                   "characters, at most %3")
                                        .arg(QLatin1StringView(operation))
                                        .arg(keyword.size())
                                        .arg(MaxKeywordLength));
    return false;
}

int NoteHighlight::mark(EditorPage &page, const QString &keyword, bool matchCase, bool wholeWord,
                        bool keepView)
{
    cancel(page);
    if (keyword.isEmpty())
        return 1;
    if (!keywordFits(keyword, "HighlightText"))
        return 0;
    IEWebBrowser *browser = loadedPage(page);
    if (!browser)
        return 0;
    const std::optional<int> marked
        = MarkKeyword(*browser, keyword, matchCase, wholeWord, keepView);
    if (!marked || *marked < 0)
        return 0;
    remember(keyword, matchCase, wholeWord, *marked);
    return 1;
}

void NoteHighlight::remember(const QString &keyword, bool matchCase, bool wholeWord, int count)
{
    m_count = count;
    m_keyword = keyword;
    m_matchCase = matchCase;
    m_wholeWord = wholeWord;
}

void NoteHighlight::markAfterReplacing(EditorPage &page, const QString &keyword, bool matchCase,
                                       bool wholeWord,
                                       const std::optional<EditorPage::Replaced> &done)
{
    if (done && !done->keywordLeft) {
        cancel(page); // the text holds no hit any more: nothing to look for
        remember(keyword, matchCase, wholeWord, 0);
        return;
    }
    mark(page, keyword, matchCase, wholeWord, true);
}

int NoteHighlight::next(EditorPage &page, bool backwards)
{
    IEWebBrowser *browser = loadedPage(page);
    if (m_count == 0 || !browser)
        return -1;
    m_current = MoveCurrentMark(*browser, backwards).value_or(-1);
    return m_current;
}

int NoteHighlight::cancel(EditorPage &page)
{
    if (m_count == 0)
        return 1;
    IEWebBrowser *browser = loadedPage(page);
    if (!browser || !RemoveMarks(*browser))
        return 0;
    m_count = 0;
    m_current = -1;
    return 1;
}

int NoteHighlight::replaceCurrent(EditorPage &page, const QString &replacement)
{
    IEWebBrowser *browser = loadedPage(page);
    if (m_count == 0 || !browser)
        return 0;
    const std::optional<std::vector<int>> hit = CurrentMark(*browser);
    if (!hit || hit->size() != 2)
        return 0;
    const std::optional<EditorPage::Replaced> replaced
        = page.replaceText(*hit, m_keyword, replacement, m_matchCase);
    const bool done = replaced && replaced->count > 0;
    const QString keyword = m_keyword;
    markAfterReplacing(page, keyword, m_matchCase, m_wholeWord, replaced);
    // The hit after the replacement becomes current, or the same hit when it stayed.
    const int after = hit->front() + (done ? int(replacement.size()) : 0);
    if (m_count > 0)
        m_current = MoveCurrentMarkTo(*browser, after).value_or(-1);
    return done ? 1 : 0;
}

int NoteHighlight::replaceAll(EditorPage &page, const QString &keyword, const QString &replacement,
                              bool matchCase, bool wholeWord)
{
    if (!keywordFits(keyword, "ReplaceAll"))
        return -1;
    IEWebBrowser *browser = loadedPage(page);
    if (keyword.isEmpty() || !browser)
        return keyword.isEmpty() ? 0 : -1;
    cancel(page); // marks kept while the text changes would slow every change
    const std::optional<std::vector<int>> hits
        = FindKeyword(*browser, keyword, matchCase, wholeWord);
    if (!hits)
        return -1;
    const std::optional<EditorPage::Replaced> replaced = hits->empty()
        ? std::optional<EditorPage::Replaced>(EditorPage::Replaced{})
        : page.replaceText(*hits, keyword, replacement, matchCase);
    markAfterReplacing(page, keyword, matchCase, wholeWord, replaced);
    return replaced ? replaced->count : -1;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
