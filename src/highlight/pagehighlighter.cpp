// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "highlight/pagehighlighter_p.h"

#include "skin/iewebbrowser.h"

#include <QFile>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// The highlighter, defining itself once per page in the application world.
const QString &highlighterScript()
{
    static const QString script = [] {
        QFile file(u":/tavrik/highlight/pagehighlighter.js"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return script;
}

// Runs `call` on the highlighter, sending the call (and so a keyword in it) once. The
// highlighter's own script is sent first when the page does not have it yet, once per page.
std::optional<QVariant> callHighlighter(IEWebBrowser &browser, const QString &call)
{
    QVariant result;
    if (browser.ExecAppScript(u"!!window.tavrikHighlighter"_s, result) != 0)
        return std::nullopt;
    if (!result.toBool()
        && browser.ExecAppScript(u"(function(){\n"_s + highlighterScript()
                                     + u"\nreturn !!window.tavrikHighlighter;})()"_s,
                                 result)
            != 0)
        return std::nullopt;
    if (browser.ExecAppScript(u"window.tavrikHighlighter."_s + call, result) != 0)
        return std::nullopt;
    return result;
}

} // namespace

QString ScriptStringLiteral(QStringView text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    QString literal;
    literal.reserve(text.size() + 2);
    literal += u'"';
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 0x20 && unit < 0x7f && unit != u'"' && unit != u'\\') {
            literal += c;
            continue;
        }
        const char16_t escape[] = {u'\\',
                                   u'u',
                                   char16_t(Hex[unit >> 12]),
                                   char16_t(Hex[(unit >> 8) & 0xf]),
                                   char16_t(Hex[(unit >> 4) & 0xf]),
                                   char16_t(Hex[unit & 0xf])};
        literal += QStringView(escape, 6);
    }
    literal += u'"';
    return literal;
}

namespace {

std::optional<int> callForNumber(IEWebBrowser &browser, const QString &call)
{
    const auto answer = callHighlighter(browser, call);
    if (!answer)
        return std::nullopt;
    bool isNumber = false;
    const int number = answer->toInt(&isNumber);
    return isNumber ? std::optional<int>(number) : std::nullopt;
}

// `keyword` and the choices after it as the highlighter's arguments.
QString searchArguments(const QString &keyword, std::initializer_list<bool> choices)
{
    QString arguments = u"("_s + ScriptStringLiteral(keyword);
    for (const bool choice : choices)
        arguments += choice ? u", true"_s : u", false"_s;
    return arguments + u')';
}

std::optional<std::vector<int>> callForNumbers(IEWebBrowser &browser, const QString &call)
{
    const auto answer = callHighlighter(browser, call);
    if (!answer || answer->typeId() != QMetaType::QVariantList)
        return std::nullopt;
    std::vector<int> numbers;
    for (const QVariant &value : answer->toList()) {
        bool isNumber = false;
        numbers.push_back(value.toInt(&isNumber));
        if (!isNumber)
            return std::nullopt;
    }
    return numbers;
}

} // namespace

std::optional<int> MarkKeyword(IEWebBrowser &browser, const QString &keyword, bool matchCase,
                               bool wholeWord, bool keepView)
{
    return callForNumber(
        browser, u"highlight"_s + searchArguments(keyword, {matchCase, wholeWord, keepView}));
}

std::optional<std::vector<int>> FindKeyword(IEWebBrowser &browser, const QString &keyword,
                                            bool matchCase, bool wholeWord)
{
    return callForNumbers(browser, u"find"_s + searchArguments(keyword, {matchCase, wholeWord}));
}

std::optional<std::vector<int>> CurrentMark(IEWebBrowser &browser)
{
    return callForNumbers(browser, u"current()"_s);
}

std::optional<int> MoveCurrentMarkTo(IEWebBrowser &browser, int offset)
{
    return callForNumber(browser, u"moveTo(%1)"_s.arg(offset));
}

std::optional<int> MoveCurrentMark(IEWebBrowser &browser, bool backwards)
{
    return callForNumber(browser, backwards ? u"next(true)"_s : u"next(false)"_s);
}

bool RemoveMarks(IEWebBrowser &browser)
{
    return callHighlighter(browser, u"cancel()"_s).has_value();
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
