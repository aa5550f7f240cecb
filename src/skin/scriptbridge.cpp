// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/scriptbridge_p.h"

#include "skin/iewebbrowser.h"

#include <cmath>
#include <limits>

namespace TAVRIKCORE::RICHEDITOR {

ScriptBridge::ScriptBridge(IEWebBrowser *browser, QObject *parent)
    : QObject(parent), m_browser(browser)
{ }

void ScriptBridge::call(const QString &functionName, const QVariantList &arguments)
{
    if (m_browser)
        m_browser->deliverPageCall(functionName, arguments);
}

QVariant NormalizeScriptValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt: {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::trunc(number)
            && number >= double(std::numeric_limits<int>::min())
            && number <= double(std::numeric_limits<int>::max()))
            return QVariant(int(number));
        return QVariant(number);
    }
    default:
        return value;
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
