// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <json/value.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Parses JSON text with comments allowed into `root`; false when it does not parse (also when
// the nesting is too deep for the reader).
bool parseJsonText(QByteArrayView text, Json::Value &root);

// Parses JSON text (comments allowed) whose root must be an object. False for anything else.
bool ParseJsonObject(QByteArrayView text, Json::Value &root);

// Member `key` of `object` as wide text; empty when missing or not a text, number or boolean.
QString JsonText(const Json::Value &object, const char *key);

// Member `key` of `object` as a flag; false when missing or not a boolean or number.
bool JsonBool(const Json::Value &object, const char *key);

// `text` as a JSON string, quotes included: the quote, the backslash and control characters
// escaped (\", \\, \n, \u001b, ...), and U+2028/U+2029 too, which script source cannot hold
// raw. Every text that native code puts into JSON or script source for the page goes
// through here.
QString JsonQuoted(QStringView text);
void appendJsonQuoted(QString &out, QStringView text);

// Member `key` of `object` when it is an object, else an empty object.
Json::Value JsonObject(const Json::Value &object, const char *key);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
