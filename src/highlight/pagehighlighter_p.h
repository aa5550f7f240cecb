// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

namespace Internal {

// `text` as a script string literal of printable ASCII: every other UTF-16 unit, a lone
// surrogate included, is written as a \uXXXX escape, so the text arrives unchanged and
// can never end the literal.
QString ScriptStringLiteral(QStringView text);

// Marks every visible occurrence of `keyword` in the editing frame of the page `browser`
// shows, after removing the marks there were (the search, the overlay and its limits are
// described in pagehighlighter.js); letter case is ignored unless `matchCase`, and with
// `wholeWord` a hit touching a letter or digit of its text is left out; the first hit is
// scrolled to the top of the view unless `keepView`. Gives the number of hits
// marked, -1 when the page has no editing frame with a body, or nothing when the page could
// not be called.
TAVRIK_AUTOTEST_EXPORT std::optional<int> MarkKeyword(IEWebBrowser &browser, const QString &keyword,
                                                      bool matchCase = true, bool wholeWord = false,
                                                      bool keepView = false);

// Where the hits MarkKeyword would mark lie in the body's text of the editing frame, without
// marking them: start and end of each, in text order. Nothing when the page could not be
// called or has no editing frame with a body.
std::optional<std::vector<int>> FindKeyword(IEWebBrowser &browser, const QString &keyword,
                                            bool matchCase, bool wholeWord);

// Where the current marked hit lies in the body's text: its start and end, empty when no hit is
// current, nothing when the page could not be called.
std::optional<std::vector<int>> CurrentMark(IEWebBrowser &browser);

// Makes the first marked hit starting at `offset` of the body's text or after it (else the
// first one) the current one. Gives its index, -1 when nothing is marked, or nothing when the
// page could not be called.
std::optional<int> MoveCurrentMarkTo(IEWebBrowser &browser, int offset);

// Makes the next marked hit (the previous one when `backwards`) the current one. Gives its
// index, -1 when nothing is marked, or nothing when the page could not be called.
TAVRIK_AUTOTEST_EXPORT std::optional<int> MoveCurrentMark(IEWebBrowser &browser, bool backwards);

// Removes the marks from the page. False when the page could not be called.
bool RemoveMarks(IEWebBrowser &browser);

} // namespace Internal
} // namespace TAVRIKCORE::RICHEDITOR
