// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The skin's pieces without a page: the container window, the bitmap helpers, link opening and
// the rules for what the page may load.
#include "logcapture.h"
#include "skin/cgditoolbox_p.h"
#include "skin/chyperlink_p.h"
#include "skin/containerwnd.h"
#include "skin/pagerequestfilter_p.h"
#include "skin/scriptbridge_p.h"
#include "testhelpers.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <cmath>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

class RecordingContainer : public ContainerWnd
{
public:
    std::vector<QRect> layouts;
    void AdjustLayout(const QRect &clientRect) override { layouts.push_back(clientRect); }
};

QRgb rawPixel(const QImage &image, int x)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(0))[x];
}

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

TEST(ContainerWnd, CreateNeedsAParentHappensOnceAndLayoutFollowsEveryResize)
{
    QWidget parent;
    parent.resize(400, 300);
    parent.show();

    ContainerWnd orphan;
    EXPECT_EQ(orphan.Create(nullptr, QRect(0, 0, 10, 10), 1, ContainerWnd::StyleVisible), 0);

    auto *visible = new ContainerWnd;
    EXPECT_EQ(visible->Create(&parent, QRect(5, 6, 200, 100), 42, ContainerWnd::StyleVisible), 1);
    EXPECT_EQ(visible->geometry(), QRect(5, 6, 200, 100));
    EXPECT_TRUE(visible->isVisible());
    EXPECT_EQ(visible->Create(&parent, QRect(0, 0, 1, 1), 7, 0), 0);
    EXPECT_EQ(visible->id(), 42) << "a second Create changes nothing";

    auto *hidden = new ContainerWnd;
    EXPECT_EQ(hidden->Create(&parent, QRect(0, 0, 50, 50), 43, 0), 1);
    EXPECT_FALSE(hidden->isVisible());

    // AdjustLayout gets the client rectangle on every resize, and only then.
    auto *container = new RecordingContainer;
    ASSERT_EQ(container->Create(&parent, QRect(10, 10, 200, 100), 1, ContainerWnd::StyleVisible),
              1);
    container->layouts.clear();

    container->resize(300, 150);
    container->setGeometry(20, 30, 120, 80);
    container->move(0, 0);
    EXPECT_EQ(container->layouts,
              (std::vector<QRect>{QRect(0, 0, 300, 150), QRect(0, 0, 120, 80)}));
}

TEST(CGdiToolBox, LoadImageFromMemoryDecodesOnlyPngAndRectCenterPutsTheOddPixelRight)
{
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 255));
    source.setPixel(2, 1, qRgba(200, 100, 50, 128));
    const QByteArray png = pngBytes(source);
    ASSERT_TRUE(png.startsWith("\x89PNG"));

    QImage image;
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), png.size()), 1);
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(10, 20, 30, 255));
    EXPECT_EQ(image.pixel(2, 1), qRgba(200, 100, 50, 128));

    const QImage before = image;
    const QByteArray garbage("this is not an image at all");
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, garbage.constData(), garbage.size()), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), png.size() / 2), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), 0), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), -1), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, nullptr, 100), 0);
    EXPECT_EQ(image, before) << "a failed load must leave the image alone";

    // RectCenter puts the odd pixel right and below.
    const QRect outer(10, 20, 10, 9);
    const std::tuple<int, int, QRect> centred[] = {
        {4, 3, QRect(13, 23, 4, 3)}, // even leftovers
        {3, 4, QRect(13, 22, 3, 4)}, // odd: 3 left / 4 right, 2 above / 3 below
        {10, 9, QRect(10, 20, 10, 9)}, // same size
        {0, 0, QRect(15, 24, 0, 0)}, // empty
        {11, 10, QRect(9, 19, 11, 10)}, // one larger: overhangs left and above
        {13, 12, QRect(8, 18, 13, 12)} // three larger: 2 left / 1 right
    };
    for (const auto &[width, height, expected] : centred)
        EXPECT_EQ(CGdiToolBox::RectCenter(outer, width, height), expected)
            << width << "x" << height;
}

TEST(CGdiToolBox, PreMultiplyAlphaScalesRoundedMakesOpaqueOrLeavesOtherBitmapsAlone)
{
    const std::vector<std::pair<QRgb, QRgb>> cases
        = {{qRgba(255, 128, 1, 0), qRgba(0, 0, 0, 0)},
           {qRgba(10, 20, 30, 255), qRgba(10, 20, 30, 255)},
           {qRgba(255, 255, 255, 128), qRgba(128, 128, 128, 128)},
           {qRgba(1, 128, 255, 127), qRgba(0, 64, 127, 127)},
           {qRgba(200, 100, 50, 1), qRgba(1, 0, 0, 1)},
           {qRgba(128, 64, 192, 64), qRgba(32, 16, 48, 64)},
           {qRgba(255, 1, 128, 254), qRgba(254, 1, 127, 254)}};
    QImage argb(int(cases.size()), 1, QImage::Format_ARGB32);
    for (int x = 0; x < argb.width(); ++x)
        argb.setPixel(x, 0, cases[size_t(x)].first);
    QImage rgba = argb.convertToFormat(QImage::Format_RGBA8888);

    for (QImage *image : {&argb, &rgba}) {
        CGdiToolBox::PreMultiplyAlpha(*image);
        ASSERT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < image->width(); ++x)
            EXPECT_EQ(rawPixel(*image, x), cases[size_t(x)].second) << "pixel " << x;
    }

    QImage rgb = filledImage(1, 1, qRgb(0x11, 0x22, 0x33));
    CGdiToolBox::PreMultiplyAlpha(rgb);
    EXPECT_EQ(rgb.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(rawPixel(rgb, 0), 0xff112233u);

    QImage premultiplied(1, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(Qt::transparent);
    reinterpret_cast<QRgb *>(premultiplied.scanLine(0))[0] = 0x80404040u;
    CGdiToolBox::PreMultiplyAlpha(premultiplied);
    EXPECT_EQ(rawPixel(premultiplied, 0), 0x80404040u) << "premultiplied twice";

    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(255, 255, 255, 128)});
    indexed.fill(0);
    const QImage indexedBefore = indexed;
    CGdiToolBox::PreMultiplyAlpha(indexed);
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed, indexedBefore);

    QImage null;
    CGdiToolBox::PreMultiplyAlpha(null);
    EXPECT_TRUE(null.isNull());
}

// Web, mail and ftp addresses open in any letter case; everything else is refused and logged.
TEST(PageRules, LinksOpenOnlyForWebMailAndFtpAndThePageLoadsOnlyItsOwnFiles)
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

    // Only the page folder, the store and local schemes may load.
    const QStringList roots{u"/app/zveditor"_s, u"/app/userdata/attachment/"_s};
    const std::pair<const char *, bool> urls[]
        = {{"file:///app/zveditor/index.html", true},
           {"file:///app/zveditor", true},
           {"file:///app/zveditor/js/%E4%B8%AD.js", true},
           {"file:///app/userdata/attachment/n1/a%20b.png", true},
           {"file:///app/userdata/attachment/../attachment/x.png", true},
           {"file:///app/zveditor2/index.html", false},
           {"file:///app/zveditor/../secret.txt", false},
           {"file:///app/zveditor/%2E%2E/secret.txt", false},
           {"file:///app/userdata/notes.db", false},
           {"file:///etc/passwd", false},
           {"file://server/app/zveditor/index.html", false},
           {"qrc:///qtwebchannel/qwebchannel.js", false},
           {"qrc:///other/x.js", false},
           {"data:image/png;base64,AAAA", true},
           {"blob:file:///1234", true},
           {"about:blank", true},
           {"about:config", false},
           {"http://127.0.0.1/", false},
           {"https://example.com/a.png", false},
           {"ftp://example.com/", false},
           {"ws://localhost:9/", false},
           {"javascript:alert(1)", false},
           {"zorva://open", false},
           {"", false}};
    for (const auto &[url, allowed] : urls)
        EXPECT_EQ(IsAllowedPageUrl(QUrl(QString::fromUtf8(url)), roots), allowed) << url;
    EXPECT_FALSE(IsAllowedPageUrl(QUrl(u"file:///app/zveditor/index.html"_s), {}));
    EXPECT_FALSE(IsAllowedPageUrl(QUrl(u"file:///x"_s), {QString()}));

    // Script numbers become int when integral and within 32 bits.
    const std::pair<QVariant, QVariant> numbers[]
        = {{QVariant(3.0), QVariant(3)},
           {QVariant(-0.0), QVariant(0)},
           {QVariant(2147483647.0), QVariant(2147483647)},
           {QVariant(-2147483648.0), QVariant(int(-2147483647 - 1))},
           {QVariant(2147483648.0), QVariant(2147483648.0)},
           {QVariant(-2147483649.0), QVariant(-2147483649.0)},
           {QVariant(1.5), QVariant(1.5)},
           {QVariant(qlonglong(42)), QVariant(42)},
           {QVariant(qlonglong(1) << 40), QVariant(double(qlonglong(1) << 40))},
           {QVariant(u"7"_s), QVariant(u"7"_s)},
           {QVariant(true), QVariant(true)},
           {QVariant(QVariantList{1.0}), QVariant(QVariantList{1.0})}};
    for (const auto &[in, out] : numbers) {
        const QVariant normalized = NormalizeScriptValue(in);
        EXPECT_EQ(normalized.typeId(), out.typeId()) << in.toString().toStdString();
        EXPECT_EQ(normalized, out) << in.toString().toStdString();
    }
    const QVariant nan = NormalizeScriptValue(QVariant(std::nan("")));
    EXPECT_EQ(nan.typeId(), QMetaType::Double);
}

#include "tst_skin.moc"
