// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QStringView>

// The words of a note as the notebook's full-text index keeps them, and the index query for
// what a user types. A word is a run of letters, digits, combining marks and private-use
// characters; anything else separates words, as SQLite's unicode61 tokenizer reads text.
// Chinese and Japanese text has no spaces between words: each run of Han, Hiragana or
// Katakana characters becomes its overlapping pairs of characters plus its last character,
// so any one or two characters of it can be found.
class NoteWords
{
public:
    // The words of `text` as it writes them, in their order, separated by spaces, leaving out
    // every occurrence of a word after its first MaxRepeats (counted per spelling).
    static QString collect(QStringView text);

    // What a user typed as an FTS5 query: every word of it (as collect() splits text, at most
    // MaxQueryWords) a quoted string, so quotes, '*', '-', parentheses, NEAR, AND and OR are
    // searched as plain words and never read as query syntax; the last word also matches as
    // the start of a longer word. Empty when the text holds no word.
    static QString matchExpression(QStringView userText);

    // The ranking weighs how often a word occurs; beyond a few times that hardly changes the
    // order (bm25 saturates), so the index keeps at most this many repeats of each word.
    static constexpr int MaxRepeats = 3;
    static constexpr int MaxQueryWords = 16;
};
