// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "session/editorpage_p.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <optional>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The search marks of the note the page shows, how many there are, and replacing their text
// (see ZvWebNoteHandler::HighlightText, HighlightNext, CancleHighlight, ReplaceCurrent and
// ReplaceAll for the results).
class TAVRIK_AUTOTEST_EXPORT NoteHighlight
{
public:
    static constexpr int MaxKeywordLength = 256;

    // The first hit is scrolled to the top of the view unless `keepView`.
    int mark(EditorPage &page, const QString &keyword, bool matchCase, bool wholeWord = false,
             bool keepView = false);
    int next(EditorPage &page, bool backwards);
    int cancel(EditorPage &page);
    int count() const { return m_count; }
    int current() const { return m_current; }

    // The current hit gets `replacement`; the marks are made again (unless the keyword is gone
    // from the text), the hit after it current.
    int replaceCurrent(EditorPage &page, const QString &replacement);
    // Every hit `mark` would mark gets `replacement`; the marks are made again (unless the
    // keyword is gone from the text). The number replaced, or -1.
    int replaceAll(EditorPage &page, const QString &keyword, const QString &replacement,
                   bool matchCase, bool wholeWord);

private:
    bool keywordFits(const QString &keyword, const char *operation) const;
    void remember(const QString &keyword, bool matchCase, bool wholeWord, int count);
    void markAfterReplacing(EditorPage &page, const QString &keyword, bool matchCase,
                            bool wholeWord, const std::optional<EditorPage::Replaced> &done);

    int m_count = 0; // hits marked by the last mark, until removed
    int m_current = -1; // the current hit's index, -1 for none
    QString m_keyword; // what the last mark looked for, and how
    bool m_matchCase = true;
    bool m_wholeWord = false;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
