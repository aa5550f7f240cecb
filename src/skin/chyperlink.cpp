// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/chyperlink_p.h"

#include "common/log4c.h"

#include <QDesktopServices>
#include <QUrl>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// The scheme is read from the text itself, so leading blanks or odd characters that a URL
// parser would forgive never pass.
bool isAllowed(const QString &address, QUrl &url)
{
    const qsizetype colon = address.indexOf(u':');
    if (colon <= 0)
        return false;
    const QString scheme = address.left(colon).toLower();
    const bool needsHost = scheme == u"http" || scheme == u"https" || scheme == u"ftp";
    if (!needsHost && scheme != u"mailto")
        return false;
    url = QUrl(address, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme() != scheme)
        return false;
    return needsHost ? !url.host().isEmpty() : !url.path().isEmpty();
}

} // namespace

int CHyperLink::OpenLink(const QString &address)
{
    QUrl url;
    if (!isAllowed(address, url)) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] OpenLink refused \"%1\": only http, https, mailto and ftp "
                           "links are opened")
                .arg(address));
        return 0;
    }
    if (!QDesktopServices::openUrl(url)) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] OpenLink could not open \"%1\"").arg(address));
        return 0;
    }
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
