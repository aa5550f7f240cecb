// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session/pagejson_p.h"

#include "common/jsontext_p.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

void appendCompact(QString &out, const Json::Value &value)
{
    switch (value.type()) {
    case Json::nullValue:
        out += QStringLiteral("null");
        break;
    case Json::booleanValue:
        out += value.asBool() ? QStringLiteral("true") : QStringLiteral("false");
        break;
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
        out += QString::fromStdString(value.toStyledString()).trimmed();
        break;
    case Json::stringValue:
        appendJsonQuoted(out, QString::fromStdString(value.asString()));
        break;
    case Json::arrayValue:
        out += u'[';
        for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
            if (i > 0)
                out += u',';
            appendCompact(out, value[i]);
        }
        out += u']';
        break;
    case Json::objectValue: {
        out += u'{';
        bool first = true;
        for (const std::string &name : value.getMemberNames()) {
            if (!first)
                out += u',';
            first = false;
            appendJsonQuoted(out, QString::fromStdString(name));
            out += u':';
            appendCompact(out, value[name]);
        }
        out += u'}';
        break;
    }
    }
}

} // namespace

PageJson &PageJson::text(const char *key, QStringView value)
{
    const QByteArray utf8 = value.toUtf8();
    return this->value(key, Json::Value(std::string(utf8.constData(), std::size_t(utf8.size()))));
}

PageJson &PageJson::flag(const char *key, bool value)
{
    return this->value(key, Json::Value(value));
}

PageJson &PageJson::number(const char *key, int value)
{
    return this->value(key, Json::Value(value));
}

PageJson &PageJson::json(const char *key, const QString &json)
{
    Json::Value parsed;
    if (!parseJsonText(json.toUtf8(), parsed))
        parsed = Json::Value(Json::objectValue);
    return value(key, std::move(parsed));
}

PageJson &PageJson::value(const char *key, Json::Value value)
{
    m_members.emplace_back(key, std::move(value));
    return *this;
}

QString PageJson::compact() const
{
    QString out(1, u'{');
    for (const auto &[name, value] : m_members) {
        if (out.size() > 1)
            out += u',';
        appendJsonQuoted(out, QString::fromStdString(name));
        out += u':';
        appendCompact(out, value);
    }
    return out + u'}';
}

QString PageJson::spaced() const
{
    QString out = compact();
    return out.insert(out.size() - 1, u' ');
}

QString PageJson::indented() const
{
    Json::Value object(Json::objectValue);
    for (const auto &[name, value] : m_members)
        object[name] = value;
    return QString::fromStdString(object.toStyledString());
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
