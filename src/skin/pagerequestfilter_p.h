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

// Blocks every request of the page that IsAllowedPageUrl refuses, with a log line.
class PageRequestFilter : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setRoots(const QStringList &roots);
    QStringList roots() const;
    bool allows(const QUrl &url) const;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    mutable std::mutex m_mutex;
    QStringList m_roots;
};

} // namespace TAVRIKCORE::RICHEDITOR
