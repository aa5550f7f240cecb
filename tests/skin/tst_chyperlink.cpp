// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "logcapture.h"
#include "skin/chyperlink_p.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QStringList recordedSchemes = {u"http"_s,       u"https"_s,    u"mailto"_s, u"ftp"_s,
                                     u"javascript"_s, u"vbscript"_s, u"file"_s,   u"data"_s};

// Stands in for the desktop's handlers, so nothing is really opened.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const QString &scheme : recordedSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override
    {
        for (const QString &scheme : recordedSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    std::vector<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.push_back(url); }
};

} // namespace

// Web, mail and ftp addresses open in any letter case; everything else is refused and logged.
TEST(CHyperLink, OpensOnlyWebMailAndFtpAddresses)
{
    // The address, and what is opened.
    std::vector<std::pair<QString, QString>> cases{
        {u"http://example.com/a?b=1"_s, u"http://example.com/a?b=1"_s},
        {u"HTTPS://Example.com/"_s, u"https://example.com/"_s},
        {u"hTtP://host"_s, u"http://host"_s},
        {u"Mailto:someone@example.com"_s, u"mailto:someone@example.com"_s},
        {u"ftp://files.example.com/x.zip"_s, u"ftp://files.example.com/x.zip"_s}};
    for (const QString &address :
         {u"JavaScript:alert(1)"_s, u" javascript:"_s, u" http://example.com"_s,
          u"file:///etc/passwd"_s, u"data:text/html,<script>alert(1)</script>"_s,
          u"vbscript:msgbox(1)"_s, u""_s, u"//host"_s, u"relative/page.html"_s, u"http:no-host"_s,
          u"mailto:"_s, u"https\u0000://example.com"_s})
        cases.push_back({address, QString()}); // refused
    for (const auto &[address, opened] : cases) {
        SCOPED_TRACE(address.toStdString());
        UrlRecorder recorder;
        LogCapture log;
        EXPECT_EQ(CHyperLink::OpenLink(address), opened.isEmpty() ? 0 : 1);
        std::vector<QString> openedUrls;
        for (const QUrl &url : recorder.opened)
            openedUrls.push_back(url.toString());
        EXPECT_EQ(openedUrls, opened.isEmpty() ? std::vector<QString>{} : std::vector{opened});
        EXPECT_EQ(
            log.lines(),
            opened.isEmpty()
                ? std::vector<QString>{u"[ERROR] OpenLink refused \""_s + address
                                       + u"\": only http, https, mailto and ftp links are opened"_s}
                : std::vector<QString>{});
    }
}

#include "tst_chyperlink.moc"
