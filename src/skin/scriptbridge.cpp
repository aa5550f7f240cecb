// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/scriptbridge_p.h"

#include "common/log4c.h"
#include "skin/iewebbrowser.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

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

void InstallWebChannel(QWebEnginePage *page, QWebChannel *channel)
{
    static const QString client = [] {
        QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        if (!file.open(QIODevice::ReadOnly)) {
            CLog4C::GetInstance()->WriteLog(
                QStringLiteral("[ERROR] InstallWebChannel, the QWebChannel client script is missing"));
            return QString();
        }
        return QString::fromUtf8(file.readAll());
    }();
    QWebEngineScript script;
    script.setName(QStringLiteral("qwebchannel"));
    script.setSourceCode(client);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page->scripts().insert(script);
    page->setWebChannel(channel, QWebEngineScript::MainWorld);
}

} // namespace TAVRIKCORE::RICHEDITOR
