// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/documentmarkup_p.h"

#include <QColor>
#include <QRegularExpression>

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace TAVRIKCORE::RICHEDITOR::DocumentMarkup {

namespace {

QByteArray points(double value)
{
    return QByteArray::number(value, 'g', 4) + "pt";
}

// The size in points of a CSS font-size (px, pt, em, %, the keywords); empty when it cannot be
// read. Relative sizes scale `around` (12pt when the text has no size of its own).
QByteArray cssFontSize(const QString &value, const QByteArray &around)
{
    static const std::unordered_map<std::string_view, double> keywords
        = {{"xx-small", 7}, {"x-small", 7.5}, {"small", 10},    {"medium", 12},
           {"large", 13.5}, {"x-large", 18},  {"xx-large", 24}, {"xxx-large", 36}};
    const QByteArray text = value.toLatin1();
    if (const auto keyword = keywords.find(std::string_view(text.constData(), text.size()));
        keyword != keywords.end())
        return points(keyword->second);
    static const QRegularExpression length(QStringLiteral("^(\\d+(?:\\.\\d+)?)(px|pt|em|rem|%)$"));
    const QRegularExpressionMatch match = length.match(value);
    if (!match.hasMatch())
        return {};
    const double number = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    const double base = around.isEmpty() ? 12 : around.chopped(2).toDouble();
    double size = number;
    if (unit == u"px")
        size = number * 0.75;
    else if (unit == u"em")
        size = number * base;
    else if (unit == u"rem")
        size = number * 12;
    else if (unit == u"%")
        size = number * base / 100;
    return size > 0 && size <= 1000 ? points(size) : QByteArray();
}

// The size in points of a font tag's size attribute (1 to 7).
QByteArray fontTagSize(const QString &value)
{
    static constexpr double sizes[] = {7.5, 10, 12, 13.5, 18, 24, 36};
    bool ok = false;
    const int size = value.toInt(&ok);
    return ok && size >= 1 && size <= 7 ? points(sizes[size - 1]) : QByteArray();
}

} // namespace

Kind kindOf(const xmlNode *node)
{
    static const std::unordered_map<std::string_view, Kind> kinds = [] {
        std::unordered_map<std::string_view, Kind> map;
        for (const char *name : {"script", "style", "head", "title", "template", "noscript"})
            map.emplace(name, Kind::Skip);
        for (const char *name :
             {"address",  "article",    "aside",   "blockquote", "body", "caption", "center",
              "dd",       "details",    "dialog",  "dir",        "div",  "dl",      "dt",
              "fieldset", "figcaption", "figure",  "footer",     "form", "header",  "hr",
              "html",     "legend",     "li",      "main",       "menu", "nav",     "p",
              "pre",      "section",    "summary", "tbody",      "td",   "tfoot",   "th",
              "thead",    "tr"})
            map.emplace(name, Kind::Block);
        for (const char *name : {"h1", "h2", "h3", "h4", "h5", "h6"})
            map.emplace(name, Kind::Heading);
        map.emplace("ul", Kind::List);
        map.emplace("ol", Kind::List);
        map.emplace("table", Kind::Table);
        map.emplace("br", Kind::Break);
        map.emplace("img", Kind::Image);
        map.emplace("a", Kind::Link);
        return map;
    }();
    const auto found = kinds.find(reinterpret_cast<const char *>(node->name));
    return found == kinds.end() ? Kind::Inline : found->second;
}

bool isBlock(Kind kind)
{
    return kind == Kind::Block || kind == Kind::Heading || kind == Kind::List
        || kind == Kind::Table;
}

bool nameIs(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
}

bool isBlank(const xmlNode *node)
{
    if (node->type == XML_COMMENT_NODE)
        return true;
    if (node->type != XML_TEXT_NODE || !node->content)
        return false;
    for (const xmlChar *c = node->content; *c; ++c) {
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r' && *c != '\f')
            return false;
    }
    return true;
}

void appendEscaped(QByteArray &out, const char *text, qsizetype size)
{
    const char *run = text;
    const char *const end = text + size;
    for (const char *c = text; c < end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        const char *replacement = nullptr;
        qsizetype skip = 1;
        if (byte == '&')
            replacement = "&amp;";
        else if (byte == '<')
            replacement = "&lt;";
        else if (byte == '>')
            replacement = "&gt;";
        else if (byte == '"')
            replacement = "&quot;";
        else if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            replacement = "";
        else if (byte == 0xEF && end - c >= 3 && static_cast<unsigned char>(c[1]) == 0xBF
                 && (static_cast<unsigned char>(c[2]) & 0xFE) == 0xBE) {
            replacement = "";
            skip = 3;
        } else
            continue;
        out.append(run, c - run).append(replacement);
        c += skip - 1;
        run = c + 1;
    }
    out.append(run, end - run);
}

void appendEscaped(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    appendEscaped(out, utf8.constData(), utf8.size());
}

QByteArray cssColor(const QString &value)
{
    static const QRegularExpression rgb(QStringLiteral(
        "^rgba?\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([\\d.]+)\\s*)?\\)$"));
    QColor color;
    if (const QRegularExpressionMatch match = rgb.match(value); match.hasMatch()) {
        if (match.hasCaptured(4) && match.captured(4).toDouble() == 0)
            return {};
        color.setRgb(qMin(match.captured(1).toInt(), 255), qMin(match.captured(2).toInt(), 255),
                     qMin(match.captured(3).toInt(), 255));
    } else {
        color = QColor::fromString(value);
    }
    if (!color.isValid() || color.alpha() == 0)
        return {};
    return color.name(QColor::HexRgb).toLatin1();
}

QString styleLength(Element element, const char *name)
{
    const std::optional<QString> css = HtmlDocument::attribute(element, "style");
    if (!css)
        return {};
    for (const QStringView declaration : QStringView(*css).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0
            || declaration.left(colon).trimmed().compare(QLatin1StringView(name),
                                                         Qt::CaseInsensitive)
                != 0)
            continue;
        // Digits, a fraction maybe, then the unit; what follows it is not read.
        const QStringView value = declaration.mid(colon + 1).trimmed();
        qsizetype end = 0;
        const auto digits = [&] {
            const qsizetype start = end;
            while (end < value.size() && value[end].isDigit() && value[end].unicode() < 0x80)
                ++end;
            return end > start;
        };
        if (!digits())
            continue;
        if (end < value.size() && value[end] == u'.' && (++end, !digits()))
            continue;
        const QStringView rest = value.mid(end);
        if (rest.startsWith(u'%'))
            return value.left(end + 1).toString();
        if (rest.startsWith(u"px", Qt::CaseInsensitive))
            return value.left(end).toString() + u"px";
    }
    return {};
}

int pixelLength(Element element, const char *name)
{
    const QString styled = styleLength(element, name);
    const int pixels = styled.endsWith(u"px") ? qRound(styled.chopped(2).toDouble()) : 0;
    return pixels > 0 ? pixels : HtmlDocument::attribute(element, name).value_or(QString()).toInt();
}

bool hasBackground(Element element)
{
    return HtmlDocument::attribute(element, "bgcolor")
        || HtmlDocument::attribute(element, "style").value_or(QString()).contains(u"background");
}

int spanOf(Element cell, const char *name, int most)
{
    return std::clamp(HtmlDocument::attribute(cell, name).value_or(QString()).toInt(), 1,
                      std::max(most, 1));
}

bool isCell(const xmlNode *node)
{
    return nameIs(node, "td") || nameIs(node, "th");
}

TableParts tableParts(Element table)
{
    TableParts parts;
    const auto addRows = [&](Element group) {
        for (Element row = group->children; row; row = row->next) {
            if (nameIs(row, "tr"))
                parts.rows.push_back(row);
        }
    };
    for (Element node = table->children; node; node = node->next) {
        if (nameIs(node, "tr")) {
            parts.rows.push_back(node);
        } else if (nameIs(node, "thead")) {
            const bool opening = parts.rows.empty();
            addRows(node);
            if (opening)
                parts.headerRows = parts.rows.size();
        } else if (nameIs(node, "tbody") || nameIs(node, "tfoot")) {
            addRows(node);
        } else if (nameIs(node, "colgroup")) {
            for (Element col = node->children; col; col = col->next) {
                if (nameIs(col, "col"))
                    parts.cols.push_back(col);
            }
        } else if (nameIs(node, "col")) {
            parts.cols.push_back(node);
        } else if (nameIs(node, "caption")) {
            parts.captions.push_back(node);
        }
    }
    return parts;
}

TableGrid tableGrid(const std::vector<Element> &rows, const std::vector<Element> &cols)
{
    TableGrid grid;
    std::vector<int> coveredRows;
    const auto widen = [&](int columns) {
        if (int(coveredRows.size()) < columns) {
            coveredRows.resize(columns, 0);
            grid.widths.resize(columns, 0);
        }
    };
    widen(1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int used = 0;
        for (Element node = rows[r]->children; node; node = node->next) {
            if (!isCell(node))
                continue;
            while (used < int(coveredRows.size()) && coveredRows[used] > 0)
                ++used;
            const int span = spanOf(node, "colspan", 1000);
            const int down = spanOf(node, "rowspan", int(rows.size() - r));
            widen(used + span);
            for (int c = used; c < used + span; ++c)
                coveredRows[c] = std::max(coveredRows[c], down);
            if (span == 1 && grid.widths[used] == 0)
                grid.widths[used] = pixelLength(node, "width");
            used += span;
        }
        for (int &rowsLeft : coveredRows)
            rowsLeft = std::max(0, rowsLeft - 1);
    }
    int column = 0;
    for (Element col : cols) {
        const int span = spanOf(col, "span", 1000);
        const int width = pixelLength(col, "width");
        for (int c = column; c < column + span && c < int(grid.widths.size()); ++c) {
            if (width > 0)
                grid.widths[c] = width;
        }
        column += span;
    }
    return grid;
}

TextStyle styled(Element element, TextStyle style)
{
    const char *name = reinterpret_cast<const char *>(element->name);
    if (!std::strcmp(name, "b") || !std::strcmp(name, "strong") || !std::strcmp(name, "th"))
        style.bold = true;
    else if (!std::strcmp(name, "i") || !std::strcmp(name, "em"))
        style.italic = true;
    else if (!std::strcmp(name, "u") || !std::strcmp(name, "ins"))
        style.underline = true;
    else if (!std::strcmp(name, "s") || !std::strcmp(name, "strike") || !std::strcmp(name, "del"))
        style.strike = true;
    else if (!std::strcmp(name, "font")) {
        if (const std::optional<QString> color = HtmlDocument::attribute(element, "color"))
            style.color = cssColor(color->trimmed());
        if (const std::optional<QString> size = HtmlDocument::attribute(element, "size"))
            style.fontSize = fontTagSize(size->trimmed());
    }
    if (!element->properties)
        return style;
    const std::optional<QString> css = HtmlDocument::attribute(element, "style");
    if (!css)
        return style;
    for (const QStringView declaration : QStringView(*css).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        QString value = declaration.mid(colon + 1).trimmed().toString().toLower();
        value.remove(QStringLiteral("!important"));
        value = value.trimmed();
        if (property == u"color") {
            style.color = cssColor(value);
        } else if (property == u"background-color") {
            style.background = cssColor(value);
        } else if (property == u"background") {
            if (const QByteArray color = cssColor(value); !color.isEmpty())
                style.background = color;
        } else if (property == u"font-weight") {
            const int weight = value.toInt();
            style.bold = value == u"bold" || value == u"bolder" || weight >= 600;
        } else if (property == u"font-size") {
            if (const QByteArray size = cssFontSize(value, style.fontSize); !size.isEmpty())
                style.fontSize = size;
        } else if (property == u"font-style") {
            style.italic = value == u"italic" || value == u"oblique";
        } else if (property == u"text-decoration" || property == u"text-decoration-line") {
            // Decorations add up: an inner element cannot take away an outer one's.
            style.underline = style.underline || value.contains(u"underline");
            style.strike = style.strike || value.contains(u"line-through");
        }
    }
    return style;
}

QByteArray alignmentOf(Element element, const QByteArray &around)
{
    QString value;
    if (const std::optional<QString> css = HtmlDocument::attribute(element, "style")) {
        for (const QStringView declaration : QStringView(*css).split(u';')) {
            const qsizetype colon = declaration.indexOf(u':');
            if (colon >= 0
                && declaration.left(colon).trimmed().compare(u"text-align", Qt::CaseInsensitive)
                    == 0)
                value = declaration.mid(colon + 1).trimmed().toString().toLower();
        }
        value.remove(QStringLiteral("!important"));
    }
    if (value.isEmpty())
        value = HtmlDocument::attribute(element, "align").value_or(QString()).toLower();
    if (nameIs(element, "center"))
        value = QStringLiteral("center");
    value = value.trimmed();
    if (value == u"center" || value == u"justify")
        return value.toLatin1();
    if (value == u"right" || value == u"end")
        return QByteArrayLiteral("end");
    if (value == u"left" || value == u"start")
        return {};
    return around;
}

QSize displaySize(Element image, QSize own)
{
    const int width = pixelLength(image, "width");
    const int height = pixelLength(image, "height");
    if (width > 0 && height > 0)
        return QSize(width, height);
    if (width > 0 && own.width() > 0)
        return QSize(width, int(qint64(own.height()) * width / own.width()));
    if (height > 0 && own.height() > 0)
        return QSize(int(qint64(own.width()) * height / own.height()), height);
    return own;
}

} // namespace TAVRIKCORE::RICHEDITOR::DocumentMarkup
