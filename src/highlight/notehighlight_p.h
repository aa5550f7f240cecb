// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR::Internal {

class EditorPage;

// The search marks of the note the page shows, and how many there are (see
// ZvWebNoteHandler::HighlightText, HighlightNext and CancleHighlight for the results).
class TAVRIK_AUTOTEST_EXPORT NoteHighlight
{
public:
    static constexpr int MaxKeywordLength = 256;

    int mark(EditorPage &page, const QString &keyword, bool matchCase);
    int next(EditorPage &page, bool backwards);
    int cancel(EditorPage &page);
    int count() const { return m_count; }

private:
    int m_count = 0; // hits marked by the last mark, until removed
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
