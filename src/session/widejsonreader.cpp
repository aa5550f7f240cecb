// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session/widejsonreader_p.h"

#include "common/jsontext_p.h"

#include <cstring>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// Deeper nesting is left to the JsonCpp reader, which has its own limit.
constexpr int MaxDepth = 64;

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

WideJsonReader::WideJsonReader(QStringView text, const std::vector<const char *> &wideKeys)
    : m_text(text), m_wideKeys(wideKeys), m_texts(wideKeys.size())
{ }

bool WideJsonReader::read(Json::Value &object)
{
    m_at = 0;
    skipSpace();
    if (!at(u'{'))
        return false;
    Json::Value parsed;
    if (!readObject(parsed, 1))
        return false;
    skipSpace();
    if (m_at != m_text.size())
        return false;
    object = std::move(parsed);
    return true;
}

void WideJsonReader::skipSpace()
{
    while (m_at < m_text.size()) {
        const char16_t c = m_text[m_at].unicode();
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return;
        ++m_at;
    }
}

int WideJsonReader::wideKeyIndex(const QString &key) const
{
    for (std::size_t i = 0; i < m_wideKeys.size(); ++i) {
        if (key == QLatin1StringView(m_wideKeys[i]))
            return int(i);
    }
    return -1;
}

bool WideJsonReader::readValue(Json::Value &value, int depth)
{
    if (m_at >= m_text.size() || depth > MaxDepth)
        return false;
    switch (m_text[m_at].unicode()) {
    case u'{':
        return readObject(value, depth + 1);
    case u'[':
        return readArray(value, depth + 1);
    case u'"': {
        QString text;
        if (!readString(text))
            return false;
        const QByteArray utf8 = text.toUtf8();
        value = Json::Value(utf8.constData(), utf8.constData() + utf8.size());
        return true;
    }
    case u't':
        value = true;
        return readWord(u"true");
    case u'f':
        value = false;
        return readWord(u"false");
    case u'n':
        value = Json::Value();
        return readWord(u"null");
    default:
        return readNumber(value);
    }
}

bool WideJsonReader::at(char16_t c) const
{
    return m_at < m_text.size() && m_text[m_at] == c;
}

bool WideJsonReader::take(char16_t c)
{
    if (!at(c))
        return false;
    ++m_at;
    skipSpace();
    return true;
}

bool WideJsonReader::readObject(Json::Value &object, int depth)
{
    take(u'{');
    object = Json::Value(Json::objectValue);
    if (take(u'}'))
        return true;
    do {
        QString key;
        if (!at(u'"') || !readString(key))
            return false;
        skipSpace();
        if (!take(u':'))
            return false;
        const std::string name = key.toStdString();
        // The last of repeated members counts, as with the JsonCpp reader.
        const int wide = depth == 1 ? wideKeyIndex(key) : -1;
        if (wide >= 0 && at(u'"')) {
            QString text;
            if (!readString(text))
                return false;
            m_texts[wide] = std::move(text);
            object.removeMember(name);
        } else {
            if (wide >= 0)
                m_texts[wide].reset();
            if (!readValue(object[name], depth))
                return false;
        }
        skipSpace();
    } while (take(u','));
    return take(u'}');
}

bool WideJsonReader::readArray(Json::Value &array, int depth)
{
    take(u'[');
    array = Json::Value(Json::arrayValue);
    if (take(u']'))
        return true;
    do {
        if (!readValue(array.append(Json::Value()), depth))
            return false;
        skipSpace();
    } while (take(u','));
    return take(u']');
}

bool WideJsonReader::readString(QString &text)
{
    ++m_at; // "
    const QChar *data = m_text.data();
    const qsizetype size = m_text.size();
    qsizetype plain = m_at; // start of the run copied as it is
    text.clear();
    while (m_at < size) {
        const char16_t c = data[m_at].unicode();
        if (c == u'"') {
            text.append(data + plain, m_at - plain);
            ++m_at;
            return true;
        }
        if (c == u'\\') {
            text.append(data + plain, m_at - plain);
            if (!readEscape(text))
                return false;
            plain = m_at;
            continue;
        }
        if (c < 0x20)
            return false;
        if (QChar::isSurrogate(c)) {
            if (!QChar::isHighSurrogate(c) || m_at + 1 >= size
                || !QChar::isLowSurrogate(data[m_at + 1].unicode()))
                return false;
            ++m_at;
        }
        ++m_at;
    }
    return false;
}

bool WideJsonReader::readEscape(QString &text)
{
    ++m_at; // backslash
    if (m_at >= m_text.size())
        return false;
    const char16_t c = m_text[m_at++].unicode();
    switch (c) {
    case u'"':
    case u'\\':
    case u'/':
        text += QChar(c);
        return true;
    case u'b':
        text += u'\b';
        return true;
    case u'f':
        text += u'\f';
        return true;
    case u'n':
        text += u'\n';
        return true;
    case u'r':
        text += u'\r';
        return true;
    case u't':
        text += u'\t';
        return true;
    case u'u':
        break;
    default:
        return false;
    }
    const auto unit = [this]() -> int {
        if (m_at + 4 > m_text.size())
            return -1;
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(m_text[m_at + i].unicode());
            if (digit < 0)
                return -1;
            value = value * 16 + digit;
        }
        m_at += 4;
        return value;
    };
    const int first = unit();
    if (first < 0 || QChar::isLowSurrogate(char16_t(first)))
        return false;
    text += QChar(char16_t(first));
    if (!QChar::isHighSurrogate(char16_t(first)))
        return true;
    if (m_at + 2 > m_text.size() || m_text[m_at] != u'\\' || m_text[m_at + 1] != u'u')
        return false;
    m_at += 2;
    const int second = unit();
    if (second < 0 || !QChar::isLowSurrogate(char16_t(second)))
        return false;
    text += QChar(char16_t(second));
    return true;
}

bool WideJsonReader::readWord(QStringView word)
{
    if (!m_text.mid(m_at).startsWith(word))
        return false;
    m_at += word.size();
    return true;
}

bool WideJsonReader::readNumber(Json::Value &value)
{
    // The JsonCpp reader's own number shape; that reader then decides the value and its type.
    const qsizetype start = m_at;
    const auto digits = [this] {
        while (m_at < m_text.size() && m_text[m_at] >= u'0' && m_text[m_at] <= u'9')
            ++m_at;
    };
    const auto at = [this](char16_t c) {
        return m_at < m_text.size() && m_text[m_at] == c;
    };
    if (at(u'-'))
        ++m_at;
    digits();
    if (at(u'.')) {
        ++m_at;
        digits();
    }
    if (at(u'e') || at(u'E')) {
        ++m_at;
        if (at(u'+') || at(u'-'))
            ++m_at;
        digits();
    }
    if (m_at == start)
        return false;
    const QByteArray token = m_text.mid(start, m_at - start).toLatin1();
    return parseJsonText(token, value) && value.isNumeric();
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
