// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>
#include <QStringView>

#include <json/value.h>

#include <string>
#include <utility>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The JSON object of one call into the editor page. Every argument native code sends to the
// page is written here, in one of the forms the page has always been sent.
class TAVRIK_AUTOTEST_EXPORT PageJson
{
public:
    PageJson &text(const char *key, QStringView value);
    PageJson &flag(const char *key, bool value);
    PageJson &number(const char *key, int value);
    // A member whose value is the JSON text `json` (an object the caller holds as text).
    PageJson &json(const char *key, const QString &json);
    PageJson &value(const char *key, Json::Value value);

    // On one line, members in the order given: {"a":1,"b":"x"}; texts quoted as JsonQuoted
    // quotes them.
    QString compact() const;
    // The same with a blank before the closing brace: {"size":5 }.
    QString spaced() const;
    // Indented with tabs, one member a line, members by name, every character outside ASCII
    // escaped as \uXXXX.
    QString indented() const;

private:
    std::vector<std::pair<std::string, Json::Value>> m_members;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
