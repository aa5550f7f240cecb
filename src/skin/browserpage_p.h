// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QPointer>
#include <QWebEnginePage>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;
class PageRequestFilter;

// The page of IEWebBrowser: publishes the bridge object, refuses navigations once the first
// page has loaded, never opens windows, and hands script message boxes to the browser.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile *profile, IEWebBrowser *browser);
    ~BrowserPage() override;

    // Lets the page load files under `pageFolder` (and the attachment store).
    void setPageFolder(const QString &pageFolder);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;

private:
    QPointer<IEWebBrowser> m_browser;
    PageRequestFilter *m_requestFilter;
};

} // namespace TAVRIKCORE::RICHEDITOR
