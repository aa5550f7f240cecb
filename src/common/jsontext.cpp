// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/jsontext_p.h"

#include "common/narrowcodec.h"

#include <json/reader.h>

#include <exception>
#include <memory>

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool parseJsonText(QByteArrayView text, Json::Value &root)
{
    // One reader per thread: building one costs more than parsing a short attribute.
    thread_local const std::unique_ptr<Json::CharReader> reader = [] {
        Json::CharReaderBuilder builder;
        builder["allowComments"] = true;
        builder["collectComments"] = false;
        return std::unique_ptr<Json::CharReader>(builder.newCharReader());
    }();
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, nullptr);
    } catch (const std::exception &) {
        return false;
    }
}

void appendJsonQuoted(QString &out, QStringView text)
{
    out += u'"';
    qsizetype plain = 0; // start of the run of characters copied as they are
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'"' && c != u'\\' && c >= 0x20 && c != 0x2028 && c != 0x2029)
            continue;
        out += text.mid(plain, i - plain);
        plain = i + 1;
        switch (c) {
        case u'"':
            out += u"\\\"";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\t':
            out += u"\\t";
            break;
        default:
            out += u"\\u" + QString::number(c, 16).rightJustified(4, u'0');
            break;
        }
    }
    out += text.mid(plain);
    out += u'"';
}

QString JsonQuoted(QStringView text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    appendJsonQuoted(quoted, text);
    return quoted;
}

bool ParseJsonObject(QByteArrayView text, Json::Value &root)
{
    Json::Value parsed;
    if (!parseJsonText(text, parsed) || !parsed.isObject())
        return false;
    root = std::move(parsed);
    return true;
}

QString JsonText(const Json::Value &object, const char *key)
{
    if (!object.isObject())
        return {};
    const Json::Value &member = object[key];
    if (member.isNull() || !member.isConvertibleTo(Json::stringValue))
        return {};
    if (member.isString()) {
        // Decode straight from the parsed value: replies can be megabytes long.
        const char *begin = nullptr;
        const char *end = nullptr;
        member.getString(&begin, &end);
        return FromNarrow(QByteArray::fromRawData(begin, qsizetype(end - begin)));
    }
    const std::string text = member.asString();
    return FromNarrow(QByteArray(text.data(), qsizetype(text.size())));
}

bool JsonBool(const Json::Value &object, const char *key)
{
    if (!object.isObject())
        return false;
    const Json::Value &member = object[key];
    return member.isConvertibleTo(Json::booleanValue) && member.asBool();
}

Json::Value JsonObject(const Json::Value &object, const char *key)
{
    if (object.isObject() && object[key].isObject())
        return object[key];
    return Json::Value(Json::objectValue);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
