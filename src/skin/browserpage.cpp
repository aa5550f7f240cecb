// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/browserpage_p.h"

#include "common/commonutils.h"
#include "common/log4c.h"
#include "skin/iewebbrowser.h"
#include "skin/iieuinotify.h"
#include "skin/pagerequestfilter_p.h"

#include <QWebEngineSettings>

namespace TAVRIKCORE::RICHEDITOR {

BrowserPage::BrowserPage(QWebEngineProfile *profile, IEWebBrowser *browser)
    : QWebEnginePage(profile, browser), m_browser(browser),
      m_requestFilter(new PageRequestFilter(this))
{
    QWebEngineSettings *s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    setUrlRequestInterceptor(m_requestFilter);
}

BrowserPage::~BrowserPage()
{
    setUrlRequestInterceptor(nullptr);
}

void BrowserPage::setPageFolder(const QString &pageFolder)
{
    m_requestFilter->setRoots({pageFolder, GetAttachRootDir()});
    m_requestFilter->setStoreSeenFromPage(pageFolder + QStringLiteral("/../userdata/attachment"));
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    const bool loaded = m_browser && m_browser->isPageLoaded();
    // The one navigation allowed after the first load: the page itself, asked for by ReloadPage.
    const bool reload = isMainFrame && m_browser && m_browser->takeReloadRequest(url);
    if ((isMainFrame && loaded && !reload) || !m_requestFilter->allows(url)) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 编辑器页面不允许跳转：")
                                        + url.toDisplayString());
        return false;
    }
    return true;
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 编辑器页面不允许打开新窗口！"));
    return nullptr;
}

void BrowserPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    Q_UNUSED(securityOrigin);
    if (m_browser)
        m_browser->showPageMessage(msg, IIEUINotify::MessageOk);
}

bool BrowserPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    Q_UNUSED(securityOrigin);
    return m_browser && m_browser->showPageMessage(msg, IIEUINotify::MessageOkCancel);
}

bool BrowserPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                                   const QString &defaultValue, QString *result)
{
    // The editor page never asks for input this way; refusing keeps page texts out of
    // input dialogs.
    Q_UNUSED(securityOrigin);
    Q_UNUSED(msg);
    Q_UNUSED(defaultValue);
    Q_UNUSED(result);
    return false;
}

} // namespace TAVRIKCORE::RICHEDITOR
