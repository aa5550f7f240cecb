// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <json/value.h>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Reads a JSON object straight from the wide text the page answered with, without first making
// a narrow copy of it: page replies run to megabytes (a whole note), and decoding their strings
// character by character costs more than the call itself.
//
// The top-level members named by `wideKeys` whose values are strings are given as wide texts
// and left out of the object; every other value goes into the object as the JsonCpp reader
// would put it (numbers are read by that reader itself).
//
// The reader takes plain JSON only. Text it does not take (comments, trailing commas, lone
// surrogates, raw control characters, deep nesting, anything after the object) makes read()
// false, and the caller reads the reply the slow way, which decides what such text means.
class WideJsonReader
{
public:
    WideJsonReader(QStringView text, const std::vector<const char *> &wideKeys);

    // True when the whole text is one object the reader takes; `object` and texts() hold it.
    bool read(Json::Value &object);
    // The string values of the wide keys, in their order; empty where the member is missing or
    // not a string (then the object may hold it).
    std::vector<std::optional<QString>> &texts() { return m_texts; }

private:
    bool readValue(Json::Value &value, int depth);
    bool readObject(Json::Value &object, int depth);
    bool readArray(Json::Value &array, int depth);
    bool readString(QString &text);
    bool readNumber(Json::Value &value);
    bool readWord(QStringView word);
    bool readEscape(QString &text);
    void skipSpace();
    bool at(char16_t c) const;
    // Takes `c` and the space after it; false when the text does not go on with `c`.
    bool take(char16_t c);
    int wideKeyIndex(const QString &key) const;

    QStringView m_text;
    qsizetype m_at = 0;
    const std::vector<const char *> &m_wideKeys;
    std::vector<std::optional<QString>> m_texts;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
