// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

// True when the page may load `url`: a file under one of `roots`, the web channel's own
// script, or a data, blob or about:blank address. Everything else (network, other local
// files, unknown schemes) is refused.
TAVRIK_AUTOTEST_EXPORT bool IsAllowedPageUrl(const QUrl &url, const QStringList &roots);

// Where a file the page asks for under `seenFromPage` really lies: the same path under `store`;
// an empty URL for a file anywhere else.
TAVRIK_AUTOTEST_EXPORT QUrl StoreUrlFor(const QUrl &url, const QString &seenFromPage,
                                        const QString &store);

// Blocks every request of the page that IsAllowedPageUrl refuses, with a log line. Notes name
// their files relative to the page ("../userdata\attachment\<name>"), so with the page among
// the program's files and the store in the user's application folder, requests for the store
// as the page sees it are sent on to the store itself.
class PageRequestFilter : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // The folders the page may load from; the store of the note files is the last.
    void setRoots(const QStringList &roots);
    QStringList roots() const;
    bool allows(const QUrl &url) const;
    // The store as the page's relative names reach it, when that is not the store itself.
    void setStoreSeenFromPage(const QString &folder);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    mutable std::mutex m_mutex;
    QStringList m_roots;
    QString m_storeSeenFromPage;
};

} // namespace TAVRIKCORE::RICHEDITOR
