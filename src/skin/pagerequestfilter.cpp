// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/pagerequestfilter_p.h"

#include "common/log4c.h"

#include <QDir>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

bool isUnder(const QString &path, const QString &root)
{
    const QString cleanRoot = QDir::cleanPath(root);
    if (cleanRoot.isEmpty())
        return false;
    if (path == cleanRoot)
        return true;
    const QString prefix = cleanRoot.endsWith(u'/') ? cleanRoot : cleanRoot + u'/';
    return path.startsWith(prefix);
}

} // namespace

bool IsAllowedPageUrl(const QUrl &url, const QStringList &roots)
{
    const QString scheme = url.scheme();
    if (scheme == u"file") {
        if (!url.host().isEmpty())
            return false;
        const QString path = QDir::cleanPath(url.path());
        if (!path.startsWith(u'/'))
            return false;
        for (const QString &root : roots) {
            if (isUnder(path, root))
                return true;
        }
        return false;
    }
    if (scheme == u"data" || scheme == u"blob")
        return true;
    if (scheme == u"about")
        return url.path() == u"blank";
    return false;
}

QUrl StoreUrlFor(const QUrl &url, const QString &seenFromPage, const QString &store)
{
    if (!url.isLocalFile() || !url.host().isEmpty() || seenFromPage.isEmpty() || store.isEmpty())
        return QUrl();
    const QString path = QDir::cleanPath(url.path());
    const QString from = QDir::cleanPath(seenFromPage);
    if (from == QDir::cleanPath(store) || !isUnder(path, from) || path == from)
        return QUrl();
    QUrl target = QUrl::fromLocalFile(QDir::cleanPath(store) + path.mid(from.size()));
    target.setQuery(url.query());
    return target;
}

void PageRequestFilter::setStoreSeenFromPage(const QString &folder)
{
    std::lock_guard lock(m_mutex);
    m_storeSeenFromPage = folder;
}

void PageRequestFilter::setRoots(const QStringList &roots)
{
    std::lock_guard lock(m_mutex);
    m_roots = roots;
}

QStringList PageRequestFilter::roots() const
{
    std::lock_guard lock(m_mutex);
    return m_roots;
}

bool PageRequestFilter::allows(const QUrl &url) const
{
    return IsAllowedPageUrl(url, roots());
}

void PageRequestFilter::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    QString seenFromPage;
    QString store;
    {
        std::lock_guard lock(m_mutex);
        seenFromPage = m_storeSeenFromPage;
        store = m_roots.isEmpty() ? QString() : m_roots.constLast();
    }
    const QUrl inStore = StoreUrlFor(info.requestUrl(), seenFromPage, store);
    if (inStore.isValid()) {
        info.redirect(inStore);
        return;
    }
    if (allows(info.requestUrl()))
        return;
    info.block(true);
    CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 编辑器页面不允许加载：")
                                    + info.requestUrl().toDisplayString());
}

} // namespace TAVRIKCORE::RICHEDITOR
