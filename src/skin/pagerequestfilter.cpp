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
    if (allows(info.requestUrl()))
        return;
    info.block(true);
    CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 编辑器页面不允许加载：")
                                    + info.requestUrl().toDisplayString());
}

} // namespace TAVRIKCORE::RICHEDITOR
