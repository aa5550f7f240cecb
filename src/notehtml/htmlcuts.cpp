// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/htmlcuts_p.h"

#include <QLatin1StringView>

#include <algorithm>
#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

using namespace Qt::StringLiterals;

bool isOneOf(QStringView name, std::initializer_list<QLatin1StringView> names)
{
    return std::any_of(names.begin(), names.end(), [&](QLatin1StringView one) {
        return name.size() == one.size() && name.compare(one, Qt::CaseInsensitive) == 0;
    });
}

bool isVoid(QStringView name)
{
    return isOneOf(name,
                   {"area"_L1, "base"_L1, "br"_L1, "col"_L1, "embed"_L1, "hr"_L1, "img"_L1,
                    "input"_L1, "link"_L1, "meta"_L1, "param"_L1, "source"_L1, "track"_L1,
                    "wbr"_L1});
}

// Elements whose content is text, never markup.
bool isRawText(QStringView name)
{
    return isOneOf(name, {"script"_L1, "style"_L1, "textarea"_L1, "title"_L1, "xmp"_L1});
}

bool isHeading(QStringView name)
{
    return isOneOf(name, {"h1"_L1, "h2"_L1, "h3"_L1, "h4"_L1, "h5"_L1, "h6"_L1});
}

bool isBlock(QStringView name)
{
    return isHeading(name)
        || isOneOf(name,
                   {"p"_L1, "div"_L1, "ul"_L1, "ol"_L1, "dl"_L1, "table"_L1, "pre"_L1,
                    "blockquote"_L1, "hr"_L1, "figure"_L1, "section"_L1, "article"_L1, "header"_L1,
                    "footer"_L1, "details"_L1});
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':';
}

struct Start
{
    qsizetype at; // where the element's tag begins
    bool heading;
};

// Where the body's own block elements start; nothing when the nesting cannot be followed.
std::optional<std::vector<Start>> blockStarts(QStringView html)
{
    std::vector<Start> starts;
    qsizetype depth = 0;
    qsizetype body = 0; // the depth of the body's own elements
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at)) {
        if (html.sliced(at).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", at + 4);
            if (end < 0)
                return std::nullopt;
            at = end + 3;
            continue;
        }
        const bool closing = at + 1 < html.size() && html[at + 1] == u'/';
        const qsizetype nameAt = at + 1 + closing;
        qsizetype nameEnd = nameAt;
        while (nameEnd < html.size() && isNameCharacter(html[nameEnd]))
            ++nameEnd;
        const bool declaration = !closing && nameAt < html.size() && html[nameAt] == u'!';
        if (nameEnd == nameAt && !declaration) { // a "<" in text
            ++at;
            continue;
        }
        // The tag ends at the first ">" outside a quoted attribute value.
        qsizetype end = nameEnd;
        for (QChar quote; end < html.size() && (quote != QChar() || html[end] != u'>'); ++end) {
            if (quote != QChar() && html[end] == quote)
                quote = QChar();
            else if (quote == QChar() && (html[end] == u'"' || html[end] == u'\''))
                quote = html[end];
        }
        if (end >= html.size())
            return std::nullopt;
        const QStringView name = html.sliced(nameAt, nameEnd - nameAt);
        at = end + 1;
        if (declaration)
            continue;
        if (closing) {
            if (name.compare("body"_L1, Qt::CaseInsensitive) == 0)
                break;
            if (--depth < body)
                return std::nullopt;
            continue;
        }
        if (depth == body && isBlock(name))
            starts.push_back({nameAt - 1, isHeading(name)});
        if (name.compare("body"_L1, Qt::CaseInsensitive) == 0) {
            starts.clear();
            body = depth + 1;
        }
        if (isRawText(name)) {
            at = html.indexOf(QString(u"</"_s + name), at, Qt::CaseInsensitive);
            if (at < 0)
                return std::nullopt;
            ++depth;
        } else if (!isVoid(name) && html[end - 1] != u'/') {
            ++depth;
        }
    }
    return starts;
}

} // namespace

std::vector<QStringView> HtmlCuts::cut(QStringView html, int count, qsizetype shortest)
{
    count = int(std::clamp<qsizetype>(html.size() / std::max<qsizetype>(shortest, 1), 1, count));
    const std::optional<std::vector<Start>> starts = count > 1 ? blockStarts(html) : std::nullopt;
    std::vector<qsizetype> cuts{0};
    for (int stretch = 1; starts && stretch < count; ++stretch) {
        const qsizetype target = html.size() * stretch / count;
        const qsizetype near = html.size() / count / 10;
        auto chosen
            = std::lower_bound(starts->begin(), starts->end(), target,
                               [](const Start &start, qsizetype at) { return start.at < at; });
        for (auto before = chosen;
             before != starts->begin() && (before - 1)->at >= target - near;) {
            if ((--before)->heading) {
                chosen = before;
                break;
            }
        }
        if (chosen != starts->end() && chosen->at > cuts.back())
            cuts.push_back(chosen->at);
    }
    std::vector<QStringView> stretches;
    for (std::size_t index = 0; index < cuts.size(); ++index) {
        const qsizetype end = index + 1 < cuts.size() ? cuts[index + 1] : html.size();
        stretches.push_back(html.sliced(cuts[index], end - cuts[index]));
    }
    return stretches;
}

} // namespace TAVRIKCORE::RICHEDITOR
