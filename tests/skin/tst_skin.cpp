// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The skin's pieces without a page: the container window, the bitmap helpers, link opening,
// the rules for what the page may load, the editor's split view and the file-type icons.
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/imagemanager_p.h"
#include "common/appdirectory.h"
#include "common/commonutils.h"
#include "editor/czorvaupdownview.h"
#include "logcapture.h"
#include "skin/cgditoolbox_p.h"
#include "skin/chyperlink_p.h"
#include "skin/containerwnd.h"
#include "skin/pagerequestfilter_p.h"
#include "skin/scriptbridge_p.h"
#include "testhelpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QObject>
#include <QTemporaryDir>
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

TEST(CGdiToolBox, LoadImageDecodesOnlyPngPreMultiplyAlphaRoundsAndRectCenterPutsTheOddPixelRight)
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

    // A page installed apart from the store reaches the store's files by their relative names.
    const QString seen = u"/usr/share/TavrikEditor/zveditor/../userdata/attachment"_s;
    const QString store = u"/home/u/.notes/userdata/attachment"_s;
    const std::pair<const char *, const char *> redirects[]
        = {{"file:///usr/share/TavrikEditor/userdata/attachment/a%20b.png",
            "file:///home/u/.notes/userdata/attachment/a%20b.png"},
           {"file:///usr/share/TavrikEditor/userdata/attachment/n1/c.bmp?v=2",
            "file:///home/u/.notes/userdata/attachment/n1/c.bmp?v=2"},
           {"file:///usr/share/TavrikEditor/userdata/attachment", ""},
           {"file:///usr/share/TavrikEditor/userdata/attachment/../../zveditor/index.html", ""},
           {"file:///usr/share/TavrikEditor/userdata/attachmentx/a.png", ""},
           {"file://server/usr/share/TavrikEditor/userdata/attachment/a.png", ""},
           {"data:image/png;base64,AAAA", ""}};
    for (const auto &[from, to] : redirects)
        EXPECT_EQ(StoreUrlFor(QUrl(QString::fromUtf8(from)), seen, store),
                  QUrl(QString::fromUtf8(to)))
            << from;
    EXPECT_EQ(StoreUrlFor(QUrl(u"file:///app/userdata/attachment/a.png"_s),
                          u"/app/zveditor/../userdata/attachment"_s, u"/app/userdata/attachment"_s),
              QUrl())
        << "a page beside the store reaches it directly";

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

namespace {

struct Extents
{
    int upper, barTop, lower;
    bool operator==(const Extents &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Extents &e)
{
    return out << "{upper " << e.upper << ", bar at " << e.barTop << ", lower " << e.lower << "}";
}

void mouse(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class UpDownView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.resize(400, 300);
        m_view = new CZorvaUpDownView;
        ASSERT_EQ(m_view->Create(&m_host, QRect(0, 0, 400, 300), 7), 1);
        m_view->SetSplitterWnd(m_upper, m_lower);
        m_host.show();
    }

    Extents extents() const
    {
        const QWidget *bar = &m_view->splitterBar();
        return {m_upper->geometry().height(), bar->geometry().top(),
                m_lower->isVisible() ? m_lower->geometry().height() : 0};
    }
    QWidget &bar() { return m_view->splitterBar(); }
    // Drags the bar by `dy` pixels, pressing it left of the grip.
    void drag(int dy)
    {
        mouse(&bar(), QEvent::MouseButtonPress, QPoint(4, 2), Qt::LeftButton);
        mouse(&bar(), QEvent::MouseMove, QPoint(4, 2 + dy), Qt::LeftButton);
        mouse(&bar(), QEvent::MouseButtonRelease, QPoint(4, 2 + dy), Qt::NoButton);
    }
    void clickGrip()
    {
        bar().grab(); // paints the bar, which places its grip
        const QPoint centre = m_view->splitterBar().gripRect().center();
        mouse(&bar(), QEvent::MouseButtonPress, centre, Qt::LeftButton);
        mouse(&bar(), QEvent::MouseButtonRelease, centre, Qt::NoButton);
    }

    QWidget m_host;
    CZorvaUpDownView *m_view = nullptr;
    QWidget *m_upper = new QWidget;
    QWidget *m_lower = new QWidget;
};

QRgb pixelAt(QWidget &widget, QPoint pos)
{
    return widget.grab().toImage().pixel(pos) & 0xFFFFFF;
}

} // namespace

// Every step acts on the view left by the steps before it.
TEST_F(UpDownView, ExtentsFollowResizesDragsAndFolds)
{
    const auto resize = [this](int h) {
        m_view->resize(400, h);
    };
    const auto bottom = [&](int height, int h) {
        m_view->SetBottomHeight(height);
        resize(h);
    };
    struct Step
    {
        const char *what;
        std::function<void()> act;
        Extents expected;
    };
    const std::vector<Step> steps = {
        {"created: lower pane 218 with the bar", [] {}, {82, 82, 210}},
        {"bottom height 0 is ignored", [&] { bottom(0, 300); }, {82, 82, 210}},
        {"negative bottom height is ignored", [&] { bottom(-5, 301); }, {83, 83, 210}},
        {"bottom height 1 leaves the upper pane all but the bar",
         [&] { bottom(1, 300); },
         {292, 292, 0}},
        {"bottom height 100", [&] { bottom(100, 301); }, {201, 201, 92}},
        {"shrunk below the lower pane", [&] { resize(60); }, {0, 0, 52}},
        {"grown again", [&] { resize(300); }, {200, 200, 92}},
        {"dragged 50 up", [&] { drag(-50); }, {150, 150, 142}},
        {"resize keeps the dragged height", [&] { resize(500); }, {350, 350, 142}},
        {"folded", [&] { clickGrip(); }, {492, 492, 0}},
        {"resized while folded", [&] { resize(400); }, {392, 392, 0}},
        {"unfolded", [&] { clickGrip(); }, {250, 250, 142}},
        {"dragged to the very bottom", [&] { drag(400); }, {392, 392, 0}},
        {"folded there", [&] { clickGrip(); }, {392, 392, 0}},
        {"unfolded: lower pane back at 218", [&] { clickGrip(); }, {174, 174, 218}},
    };
    for (const Step &step : steps) {
        step.act();
        EXPECT_EQ(extents(), step.expected) << step.what;
    }
    EXPECT_EQ(m_view->bottomHeight(), 150) << "the last drag that left the lower pane room";
}

TEST_F(UpDownView, CreateSetsTheBarUpInItsColoursAndAMissingWindowChangesNothing)
{
    EXPECT_EQ(m_view->splitterBar().id(), 65535);
    EXPECT_EQ(m_view->splitterBar().edgeSide(), CZvSplitterbar::Bottom);
    EXPECT_TRUE(m_view->isVisible());

    CZorvaUpDownView orphan;
    EXPECT_EQ(orphan.Create(nullptr, QRect(0, 0, 10, 10), 1), 0);

    for (bool upperGiven : {true, false}) {
        CZorvaUpDownView view;
        ASSERT_EQ(view.Create(&m_host, QRect(0, 0, 200, 300), 2), 1);
        QWidget outside(&m_host);
        outside.hide();
        view.SetSplitterWnd(upperGiven ? &outside : nullptr, upperGiven ? nullptr : &outside);
        EXPECT_EQ(view.splitterBar().firstPane(), nullptr);
        EXPECT_EQ(view.splitterBar().secondPane(), nullptr);
        EXPECT_FALSE(outside.isVisible());
        EXPECT_EQ(outside.parentWidget(), &m_host);
    }

    // Background, edge line (bottom row) and grip (76 wide, centred) in each pointer state.
    QWidget &barWidget = bar();
    barWidget.grab();
    EXPECT_EQ(m_view->splitterBar().gripRect(), QRect(162, 0, 76, 7));
    const QPoint gripCorner(162, 0), justLeftOfGrip(161, 3), edge(200, 7);

    EXPECT_EQ(pixelAt(barWidget, justLeftOfGrip), 0xF0F0F0u);
    EXPECT_EQ(pixelAt(barWidget, QPoint(0, 0)), 0xF0F0F0u);
    EXPECT_EQ(pixelAt(barWidget, edge), 0xDCDCDCu);
    EXPECT_EQ(pixelAt(barWidget, QPoint(399, 7)), 0xDCDCDCu);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0xE0E0E0u);
    EXPECT_EQ(pixelAt(barWidget, QPoint(237, 6)), 0xE0E0E0u);
    EXPECT_EQ(pixelAt(barWidget, QPoint(238, 3)), 0xF0F0F0u);

    mouse(&barWidget, QEvent::MouseMove, QPoint(170, 3), Qt::NoButton);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0xB3B3B3u) << "under the pointer";
    EXPECT_EQ(pixelAt(barWidget, justLeftOfGrip), 0xF0F0F0u);

    mouse(&barWidget, QEvent::MouseButtonPress, QPoint(4, 3), Qt::LeftButton);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0xA1A1A1u) << "while pressed";
    mouse(&barWidget, QEvent::MouseButtonRelease, QPoint(4, 3), Qt::NoButton);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0xE0E0E0u) << "released away from the grip";

    // A dark palette: the window's colour, the edge and grip mixed with the text's.
    QPalette dark = barWidget.palette();
    dark.setColor(QPalette::Window, QColor(0x26, 0x28, 0x2c));
    dark.setColor(QPalette::WindowText, QColor(0xe3, 0xe5, 0xe8));
    barWidget.setPalette(dark);
    barWidget.grab();
    EXPECT_EQ(pixelAt(barWidget, justLeftOfGrip), 0x26282Cu);
    EXPECT_EQ(pixelAt(barWidget, edge), 0x55575Bu);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0x424448u);
    mouse(&barWidget, QEvent::MouseMove, QPoint(170, 3), Qt::NoButton);
    EXPECT_EQ(pixelAt(barWidget, gripCorner), 0x5F6164u) << "under the pointer";
}

// The picture from res is drawn on the grip; without it the colours alone are drawn and the
// log says which file was missing.
TEST_F(UpDownView, SkinPictureAndItsFrames)
{
    const QImage &picture = m_view->splitterBar().skinPic();
    ASSERT_FALSE(picture.isNull()) << "the build deploys res/splitterbar.png";
    EXPECT_EQ(picture.size(), QSize(48, 6));
    EXPECT_EQ(picture.format(), QImage::Format_ARGB32_Premultiplied);
    const QPoint gripCentre(200, 3);
    EXPECT_NE(pixelAt(bar(), gripCentre), 0xE0E0E0u) << "frame drawn over the grip";

    // The frame follows the berth side and whether the lower pane is shown.
    NoteSplitterbar &noteBar = m_view->splitterBar();
    EXPECT_EQ(noteBar.skinFrameIndex(), 3);
    clickGrip();
    EXPECT_EQ(noteBar.skinFrameIndex(), 2);
    noteBar.SetBerthPos(CZvSplitterbar::Top);
    EXPECT_EQ(noteBar.skinFrameIndex(), 2) << "berth top with the upper pane shown";
    m_view->resize(400, 8);
    EXPECT_EQ(noteBar.skinFrameIndex(), 3) << "berth top with the upper pane gone";

    QWidget parent;
    parent.resize(300, 200);
    auto *left = new QWidget(&parent), *right = new QWidget(&parent);
    NoteSplitterbar vertical;
    vertical.CreateSplitterBar(&parent, 1, false);
    vertical.SetSplitterWnd(left, right);
    const struct
    {
        int berth, leftWidth, frame;
    } cases[] = {{CZvSplitterbar::Right, 0, 1},
                 {CZvSplitterbar::Right, 40, 0},
                 {CZvSplitterbar::Left, 40, 1},
                 {CZvSplitterbar::Left, 0, 0}};
    for (const auto &c : cases) {
        vertical.SetBerthPos(c.berth);
        vertical.SetFirstWndWH(c.leftWidth);
        vertical.AdjustLayout();
        EXPECT_EQ(vertical.skinFrameIndex(), c.frame)
            << "berth " << c.berth << ", left width " << c.leftWidth;
    }

    LogCapture log;
    QTemporaryDir empty;
    SetProgramDirectory(empty.path());
    CZorvaUpDownView bare;
    ASSERT_EQ(bare.Create(&m_host, QRect(0, 0, 400, 300), 3), 1);
    SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR"));
    EXPECT_TRUE(bare.splitterBar().skinPic().isNull());
    EXPECT_EQ(log.lines(), std::vector<QString>{u"[WARN] 分隔条图片不存在：res/splitterbar.png"_s});
    bare.SetSplitterWnd(new QWidget, new QWidget);
    EXPECT_EQ(pixelAt(bare.splitterBar(), gripCentre), 0xE0E0E0u);
    EXPECT_EQ(pixelAt(bare.splitterBar(), QPoint(0, 7)), 0xDCDCDCu);
}

// The icon cache lives for the whole process, so these cases run in this order, the first to ask
// for icons, with program files of their own that start without a "res" folder.
class ImageManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        SetProgramDirectory(s_dir->path());
        QDir(s_dir->path()).mkpath(u"res"_s);
    }
    static void TearDownTestSuite()
    {
        SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR"));
        delete s_dir;
    }
    static void writeIcon(const QString &file, Qt::GlobalColor colour)
    {
        ASSERT_TRUE(filledImage(32, 32, colour).save(s_dir->filePath(u"res/"_s + file), "BMP"));
    }
    static QTemporaryDir *s_dir;
};

QTemporaryDir *ImageManagerTest::s_dir = nullptr;

TEST_F(ImageManagerTest, MissingIconIsRetriedThenReadOnce)
{
    ImageManager *manager = ImageManager::GetInstance();
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_PDF), nullptr);
    const QString card = s_dir->filePath(u"card.bmp"_s);
    int size = -1;
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 0);
    EXPECT_EQ(size, -1);
    EXPECT_FALSE(QFile::exists(card));

    // Nothing was cached for the missing file: once it appears it is read.
    writeIcon(u"pdf.bmp"_s, Qt::red);
    const QImage *icon = manager->GetFileTypeBitmap(FT_PDF);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixel(3, 3), qRgb(255, 0, 0));
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 1);
    const QImage first(card);

    // ...and never again: a changed file does not change later cards.
    writeIcon(u"pdf.bmp"_s, Qt::blue);
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_PDF), icon);
    EXPECT_EQ(icon->pixel(3, 3), qRgb(255, 0, 0));
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 1);
    EXPECT_EQ(QImage(card), first);
    const QRgb inIcon = QImage(card).pixel(10, 10);
    EXPECT_GT(qRed(inIcon), 240);
    EXPECT_EQ(qGreen(inIcon) + qBlue(inIcon), 0);
}

TEST_F(ImageManagerTest, UnknownKindFallsBackToTheBuiltInPicture)
{
    ImageManager *manager = ImageManager::GetInstance();
    // Values outside the table share unknow.bmp but have no built-in fallback.
    EXPECT_EQ(manager->GetFileTypeBitmap(42), nullptr);

    const QImage builtIn(ImageManager::fallbackBitmapPath());
    ASSERT_EQ(builtIn.size(), QSize(32, 32));
    const QImage *unknown = manager->GetFileTypeBitmap(FT_UNKNOW);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(*unknown, builtIn.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(manager->GetFileTypeBitmap(42), unknown);

    // A later unknow.bmp does not replace what is cached.
    writeIcon(u"unknow.bmp"_s, Qt::green);
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_UNKNOW), unknown);
}

#include "tst_skin.moc"
