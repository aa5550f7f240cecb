// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

QT_BEGIN_NAMESPACE
class QWebChannel;
class QWebEnginePage;
QT_END_NAMESPACE

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

// The one object published to the page. Its one method hands a page call to the browser,
// which resolves the function name and runs it; nothing is returned to the page.
class ScriptBridge : public QObject
{
    Q_OBJECT

public:
    ScriptBridge(IEWebBrowser *browser, QObject *parent);

    Q_INVOKABLE void call(const QString &functionName, const QVariantList &arguments);

private:
    QPointer<IEWebBrowser> m_browser;
};

// Gives the page's main world `channel` and, defined before the page's own scripts run, Qt's
// QWebChannel client, so the page needs no request for it.
TAVRIK_AUTOTEST_EXPORT void InstallWebChannel(QWebEnginePage *page, QWebChannel *channel);

// A script value as native code receives it: a number is an int when it is integral and
// fits 32 bits, else a double; texts, booleans, null, lists and maps stay as they are.
TAVRIK_AUTOTEST_EXPORT QVariant NormalizeScriptValue(const QVariant &value);

} // namespace TAVRIKCORE::RICHEDITOR
