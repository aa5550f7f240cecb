// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

namespace Internal {

// `text` as a script string literal of printable ASCII: every other UTF-16 unit, a lone
// surrogate included, is written as a \uXXXX escape, so the text arrives unchanged and
// can never end the literal.
QString ScriptStringLiteral(QStringView text);

// Marks every visible occurrence of `keyword` in the editing frame of the page `browser`
// shows, after removing the marks there were (the search, the overlay and its limits are
// described in pagehighlighter.js); letter case is ignored unless `matchCase`. Gives the
// number of hits marked, -1 when the page has no editing frame with a body, or nothing when
// the page could not be called.
TAVRIK_AUTOTEST_EXPORT std::optional<int> MarkKeyword(IEWebBrowser &browser,
                                                      const QString &keyword,
                                                      bool matchCase = true);

// Makes the next marked hit (the previous one when `backwards`) the current one. Gives its
// index, -1 when nothing is marked, or nothing when the page could not be called.
TAVRIK_AUTOTEST_EXPORT std::optional<int> MoveCurrentMark(IEWebBrowser &browser,
                                                          bool backwards);

// Removes the marks from the page. False when the page could not be called.
bool RemoveMarks(IEWebBrowser &browser);

} // namespace Internal
} // namespace TAVRIKCORE::RICHEDITOR
