// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notewords.h"

#include <QHash>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// One word found in a text: where it lies; `single` marks a lone character of a run of
// Chinese or Japanese text (a pair of characters has `single` false).
struct Piece
{
    qsizetype start;
    qsizetype length;
    bool single;
};

enum class Kind { Separator, Letter, Ideograph };

Kind kindOf(char32_t ucs4)
{
    if (ucs4 < 0x80) {
        return (ucs4 >= u'a' && ucs4 <= u'z') || (ucs4 >= u'A' && ucs4 <= u'Z')
                || (ucs4 >= u'0' && ucs4 <= u'9')
            ? Kind::Letter
            : Kind::Separator;
    }
    switch (QChar::script(ucs4)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        if (QChar::isLetterOrNumber(ucs4))
            return Kind::Ideograph;
        break;
    default:
        break;
    }
    if (QChar::isLetterOrNumber(ucs4) || QChar::isMark(ucs4)
        || QChar::category(ucs4) == QChar::Other_PrivateUse)
        return Kind::Letter;
    return Kind::Separator;
}

// Calls `visit(piece)` for each word of `text` in order; a run of ideographs gives its
// overlapping pairs and, when `withLast` is set or the run is one character long, its last
// character.
template<typename Visit> void forEachWord(QStringView text, bool withLast, Visit &&visit)
{
    const qsizetype size = text.size();
    const char16_t *const data = text.utf16();
    // Reads the character at `at`, with its length in UTF-16 units.
    const auto read = [&](qsizetype at, int *units) {
        const char16_t c = data[at];
        if (QChar::isHighSurrogate(c) && at + 1 < size && QChar::isLowSurrogate(data[at + 1])) {
            *units = 2;
            return QChar::surrogateToUcs4(c, data[at + 1]);
        }
        *units = 1;
        return char32_t(c);
    };
    qsizetype i = 0;
    while (i < size) {
        int units = 0;
        const Kind kind = kindOf(read(i, &units));
        if (kind == Kind::Separator) {
            i += units;
            continue;
        }
        if (kind == Kind::Letter) {
            const qsizetype start = i;
            i += units;
            while (i < size) {
                // Plain ASCII, most of most notes, needs no surrogate check.
                if (data[i] < 0x80) {
                    if (kindOf(data[i]) != Kind::Letter)
                        break;
                    ++i;
                } else if (kindOf(read(i, &units)) == Kind::Letter) {
                    i += units;
                } else {
                    break;
                }
            }
            visit(Piece{start, i - start, false});
            continue;
        }
        // A run of ideographs, one character at a time.
        qsizetype previous = i;
        int previousUnits = units;
        i += units;
        bool paired = false;
        while (i < size && kindOf(read(i, &units)) == Kind::Ideograph) {
            visit(Piece{previous, previousUnits + units, false});
            paired = true;
            previous = i;
            previousUnits = units;
            i += units;
        }
        if (withLast || !paired)
            visit(Piece{previous, previousUnits, true});
    }
}

std::vector<Piece> split(QStringView text, bool withLast)
{
    std::vector<Piece> pieces;
    forEachWord(text, withLast, [&](const Piece &piece) { pieces.push_back(piece); });
    return pieces;
}

} // namespace

QString NoteWords::collect(QStringView text)
{
    // Words are told apart as written: the index folds letter case itself, so "Word" and
    // "word" only keep their repeats apart, which costs less than folding the whole text.
    // One pass, no list of the words in between.
    QHash<QStringView, int> counts;
    counts.reserve(text.size() / 64 + 16);
    QString words;
    words.reserve(text.size() / 4);
    forEachWord(text, true, [&](const Piece &piece) {
        const QStringView word = text.mid(piece.start, piece.length);
        int &count = counts[word];
        if (count == MaxRepeats)
            return;
        ++count;
        if (!words.isEmpty())
            words += u' ';
        words += word;
    });
    return words;
}

QString NoteWords::matchExpression(QStringView userText)
{
    const std::vector<Piece> pieces = split(userText, false);
    QString expression;
    const size_t count = std::min(pieces.size(), size_t(MaxQueryWords));
    for (size_t n = 0; n < count; ++n) {
        const Piece &piece = pieces[n];
        if (!expression.isEmpty())
            expression += u' ';
        // A word holds no quote; doubling them keeps the string closed whatever it holds.
        expression += u'"'
            + userText.mid(piece.start, piece.length).toString().replace(u'"', u"\"\""_s) + u'"';
        // A lone ideograph is indexed inside its pairs, which start with it.
        if (n + 1 == count || piece.single)
            expression += u'*';
    }
    return expression;
}
