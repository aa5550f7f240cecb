// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The capture window on a known snapshot: what it paints (dimmed screen, bright selection,
// frame, tip, toolbar, buttons), the mouse gestures and the four commands, and the handler
// adding a completed capture to the note; the selection tracker alone (handles, hit tests, the
// drag with its minimum size) and the capture's cursor files; last, as it makes the session a
// Wayland one, the snapshot asked of a stand-in desktop portal on a private session bus: the
// portal's picture becomes the capture's screen; a missing portal, a refusal, silence and an
// unreadable picture are explained and open no capture window.
#include "attach/attachstore_p.h"
#include "bridge/zvwebnotehandler.h"
#include "capture/captureresources_p.h"
#include "capture/cmytracker_p.h"
#include "capture/cstip_p.h"
#include "capture/cstoolbar_p.h"
#include "capture/screenshotportal_p.h"
#include "capture/sticonbutton_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "common/commonutils.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QRgb LeftColour = qRgb(200, 100, 50);
const QRgb RightColour = qRgb(10, 220, 130);
const QRgb FrameColour = qRgb(10, 100, 130);

// A 400 x 300 screen, its left half one colour and its right half another, `ratio` pixels per
// screen pixel.
ScreenSnapshot halves(qreal ratio = 1.0)
{
    QImage image(int(400 * ratio), int(300 * ratio), QImage::Format_RGB32);
    image.fill(LeftColour);
    QPainter(&image).fillRect(image.width() / 2, 0, image.width() / 2, image.height(),
                              QColor(RightColour));
    image.setDevicePixelRatio(ratio);
    return {image, QRect(0, 0, 400, 300), QString()};
}

// Whether `shown` is `colour` at opacity 240 of 255 over black (to the nearest step).
bool dimmedFrom(QRgb shown, QRgb colour)
{
    const auto near = [](int got, int v) {
        return std::abs(got - v * 240 / 255) <= 1;
    };
    return near(qRed(shown), qRed(colour)) && near(qGreen(shown), qGreen(colour))
        && near(qBlue(shown), qBlue(colour));
}

struct Recorder : IScreenCaptureNotify
{
    std::vector<QImage> pictures;
    void OnScreenCaptureComplet(const QImage &bitmap) override { pictures.push_back(bitmap); }
};

class CaptureWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_capture = std::make_unique<ZorvaNoteScreenCapture>(&m_recorder, halves());
        m_capture->show();
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(m_capture.get(), button, {}, from);
        QTest::mouseMove(m_capture.get(), to);
        QTest::mouseRelease(m_capture.get(), button, {}, to);
    }
    // The cursor moves to `point` with no button down.
    void hover(QPoint point)
    {
        QMouseEvent move(QEvent::MouseMove, point, m_capture->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_capture.get(), &move);
    }
    QRgb shown(int x, int y) const { return m_capture->currentPicture().pixel(x, y); }
    CSToolbar *toolbar() const { return m_capture->toolbar(); }

    RecordingPrompts m_prompts;
    Recorder m_recorder;
    std::unique_ptr<ZorvaNoteScreenCapture> m_capture;
};

} // namespace

TEST_F(CaptureWindow, PaintsDimmedScreenBrightSelectionFrameAndToolbar)
{
    EXPECT_TRUE(dimmedFrom(shown(10, 10), LeftColour));
    EXPECT_TRUE(dimmedFrom(shown(390, 290), RightColour));
    EXPECT_FALSE(toolbar()->isVisible());

    // The selection runs from 4 past the press point to the release point.
    drag({50, 50}, {250, 120});
    EXPECT_EQ(m_capture->selection(), (TrackRect{54, 54, 250, 120}));
    EXPECT_EQ(shown(100, 100), LeftColour);
    EXPECT_EQ(shown(240, 110), RightColour);
    EXPECT_TRUE(dimmedFrom(shown(100, 121), LeftColour)) << "below the frame";
    for (const QPoint frame : {QPoint(53, 90), QPoint(250, 90), QPoint(120, 53), QPoint(120, 120),
                               QPoint(52, 52), QPoint(55, 55), QPoint(153, 121)})
        EXPECT_EQ(shown(frame.x(), frame.y()), FrameColour) << frame.x() << ',' << frame.y();
    EXPECT_EQ(shown(56, 56), LeftColour) << "just past the corner handle";

    // The toolbar: 88 x 26 under the selection, right edges aligned; four 18 x 18 buttons.
    EXPECT_TRUE(toolbar()->isVisible());
    EXPECT_EQ(toolbar()->geometry(), QRect(162, 126, 88, 26));
    const QImage bar = toolbar()->grab().toImage();
    EXPECT_EQ(bar.pixel(0, 0), CSToolbar::FrameColor);
    EXPECT_EQ(bar.pixel(87, 25), CSToolbar::FrameColor);
    EXPECT_EQ(bar.pixel(1, 1), CSToolbar::FillColor);
    QStringList tips;
    for (size_t i = 0; i < toolbar()->buttons().size(); ++i) {
        STIconButton *button = toolbar()->buttons()[i];
        EXPECT_EQ(button->geometry(), QRect(4 + int(i) * 20, 4, 18, 18));
        tips << button->tooltipText() + u':' + QString::number(button->id());
    }
    EXPECT_EQ(
        tips,
        QStringList({u"复制截图:1004"_s, u"另存为:1001"_s, u"退出:1002"_s, u"完成截图:1003"_s}));
}

TEST_F(CaptureWindow, ADragWhoseReleaseNeverComesEndsWhereItWas)
{
    // Another window took the mouse: the release goes there, or the window is deactivated.
    QTest::mousePress(m_capture.get(), Qt::LeftButton, {}, {60, 60});
    QTest::mouseMove(m_capture.get(), {100, 90});
    hover({300, 200});
    hover({320, 220});
    EXPECT_EQ(m_capture->selection(), (TrackRect{64, 64, 100, 90}));
    QTest::mouseRelease(m_capture.get(), Qt::LeftButton, {}, {320, 220});
    m_capture = std::make_unique<ZorvaNoteScreenCapture>(&m_recorder, halves());
    m_capture->show();
    QTest::mousePress(m_capture.get(), Qt::LeftButton, {}, {60, 60});
    QTest::mouseMove(m_capture.get(), {110, 95});
    QEvent deactivated(QEvent::WindowDeactivate);
    QApplication::sendEvent(m_capture.get(), &deactivated);
    QTest::mouseMove(m_capture.get(), {300, 200});
    EXPECT_EQ(m_capture->selection(), (TrackRect{64, 64, 110, 95}));
    QTest::mouseRelease(m_capture.get(), Qt::LeftButton, {}, {300, 200});
}

TEST_F(CaptureWindow, TipShowsRampUndimmedPixelSizeAndJumpsAway)
{
    drag({50, 50}, {250, 120});
    hover({300, 200});
    CSTip *tip = m_capture->tip();
    EXPECT_EQ(tip->geometry(), QRect(10, 10, 260, 200));
    EXPECT_EQ(tip->pixelLine(), u"像素RGB值：(10,220,130)"_s);
    EXPECT_EQ(tip->sizeLine(), u"矩形大小：(196,66)"_s);
    const QImage picture = tip->grab().toImage();
    const auto grey = [&](int y) {
        return qRed(picture.pixel(250, y));
    };
    EXPECT_EQ(grey(3), 252);
    EXPECT_EQ(grey(13), 234);
    EXPECT_EQ(grey(24), 214);
    EXPECT_EQ(picture.pixel(250, 25), qRgb(252, 252, 252));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(252, 252, 252));
    EXPECT_EQ(picture.pixel(100, 2), qRgb(200, 200, 200));
    EXPECT_EQ(picture.pixel(2, 10), qRgb(200, 200, 200));
    EXPECT_EQ(picture.pixel(250, 195), qRgb(55, 173, 223));
    EXPECT_EQ(picture.pixel(130, 96), qRgb(255, 255, 255)) << "centre square";
    // The crosshair keeps only the red of the dimmed picture beneath it.
    EXPECT_EQ(picture.pixel(20, 96),
              qRgb(qRed(m_capture->currentPicture().pixel(300, 200)) & 250, 0, 0));

    hover({20, 20});
    EXPECT_EQ(tip->side(), 0);
    EXPECT_EQ(tip->geometry(), QRect(130, 10, 260, 200));
    EXPECT_EQ(tip->pixelLine(), u"像素RGB值：(200,100,50)"_s) << "the undimmed screen";
}

TEST_F(CaptureWindow, GesturesResizeMoveCancelDropAndClose)
{
    drag({50, 50}, {250, 120});
    // Resizing hides the toolbar until the release; a move takes it along.
    QTest::mousePress(m_capture.get(), Qt::LeftButton, {}, {250, 120});
    QTest::mouseMove(m_capture.get(), {300, 150});
    EXPECT_FALSE(toolbar()->isVisible());
    QTest::mouseRelease(m_capture.get(), Qt::LeftButton, {}, {300, 150});
    EXPECT_EQ(m_capture->selection(), (TrackRect{54, 54, 300, 150}));
    EXPECT_TRUE(toolbar()->isVisible());
    QTest::mousePress(m_capture.get(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(m_capture.get(), {90, 110});
    EXPECT_TRUE(toolbar()->isVisible());
    EXPECT_EQ(toolbar()->geometry().topRight(), QPoint(289, 166));
    // Escape puts it back where the drag began, and the release does nothing more.
    QTest::keyClick(m_capture.get(), Qt::Key_Escape);
    QTest::mouseRelease(m_capture.get(), Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(m_capture->selection(), (TrackRect{54, 54, 300, 150}));
    EXPECT_TRUE(m_capture->isVisible());

    // A right click outside drops the selection; a second one closes the capture.
    QTest::mouseClick(m_capture.get(), Qt::RightButton, {}, {350, 250});
    EXPECT_FALSE(m_capture->hasSelection());
    EXPECT_FALSE(toolbar()->isVisible());
    EXPECT_TRUE(m_capture->isVisible());
    QTest::mouseClick(m_capture.get(), Qt::RightButton, {}, {350, 250});
    EXPECT_EQ(m_capture->result(), QDialog::Rejected);
    EXPECT_FALSE(m_capture->isVisible());
}

TEST_F(CaptureWindow, MenuAndCommandsCopySaveAndComplete)
{
    // A click leaves a 4 x 4 selection; the menu inside it offers the four commands.
    QTest::mouseClick(m_capture.get(), Qt::LeftButton, {}, {380, 280});
    EXPECT_EQ(m_capture->selection(), (TrackRect{380, 280, 384, 284}));
    EXPECT_EQ(toolbar()->geometry(), QRect(296, 248, 88, 26)) << "above: no room below";
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction *action : menu->actions())
            items << action->text();
        menu->setActiveAction(menu->actions().at(2));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(m_capture.get(), Qt::RightButton, {}, {381, 281});
    EXPECT_EQ(items, QStringList({u"退出"_s, u"另存为"_s, u"复制截图"_s, u"完成截图"_s}));
    EXPECT_EQ(m_capture->result(), QDialog::Accepted);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(4, 4));
    EXPECT_EQ(QApplication::clipboard()->image().pixel(0, 0), RightColour);
}

TEST_F(CaptureWindow, SaveAsWritesByExtensionAndCompleteHandsOnTheScreensOwnPixels)
{
    QTemporaryDir folder;
    drag({10, 10}, {20, 30});
    LogCapture log;
    m_prompts.answerPaths({folder.filePath(u"shot.gif"_s)});
    m_prompts.answerPaths({folder.filePath(u"missing/shot.png"_s)});
    m_prompts.answerPaths({});
    m_prompts.answerPaths({folder.filePath(u"shot"_s)});
    for (int i = 0; i < 4; ++i)
        m_capture->OnCommand(ZorvaNoteScreenCapture::SaveAs);
    ASSERT_EQ(m_prompts.shown().size(), 6u);
    const auto &dialog = m_prompts.shown().at(0);
    EXPECT_EQ(dialog.title, u"另存为图片文件"_s);
    EXPECT_TRUE(dialog.text.endsWith(u"/截图未命名"_s)) << dialog.text.toStdString();
    EXPECT_EQ(dialog.filter, u"PNG(*.png);;BMP(*.bmp);;JPG(*.jpg *.jpeg)"_s);
    EXPECT_EQ(
        m_prompts.messages().value(0),
        u"“shot.gif” is not a picture type the capture can save: choose .png, .bmp or .jpg."_s);
    EXPECT_TRUE(m_prompts.messages().value(1).startsWith(u"The picture could not be saved as “"_s
                                                         + folder.filePath(u"missing/shot.png"_s)
                                                         + u"”: "_s));
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines().at(0),
              u"[ERROR] Screen capture: no picture type for "_s + folder.filePath(u"shot.gif"_s));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{u"shot.png"_s});
    const QImage saved(folder.filePath(u"shot.png"_s));
    EXPECT_EQ(saved.size(), QSize(6, 16));
    EXPECT_EQ(saved.pixel(0, 0), LeftColour);
    EXPECT_EQ(m_capture->result(), QDialog::Accepted);

    // A name typed without its extension gets .png; an existing file of that name is replaced
    // only when the user says so.
    const QString kept = folder.filePath(u"kept.png"_s);
    ASSERT_TRUE(writeBytes(kept, "mine"));
    m_prompts.answerPaths({folder.filePath(u"kept"_s)});
    m_prompts.answerButton(QMessageBox::No);
    m_prompts.answerPaths({folder.filePath(u"kept"_s)});
    m_prompts.answerButton(QMessageBox::Yes);
    m_capture->OnCommand(ZorvaNoteScreenCapture::SaveAs);
    EXPECT_EQ(m_prompts.messages().value(2),
              u"“kept.png” already exists. Do you want to replace it?"_s);
    EXPECT_EQ(readBytes(kept), "mine");
    m_capture->OnCommand(ZorvaNoteScreenCapture::SaveAs);
    EXPECT_EQ(QImage(kept).size(), QSize(6, 16));

    // Complete hands on the screen's own pixels, clipped.
    m_capture = std::make_unique<ZorvaNoteScreenCapture>(&m_recorder, halves(2.0));
    EXPECT_EQ(m_capture->CopySelectionBitmap({190, 10, 210, 20}).size(), QSize(40, 20));
    const QImage edge = m_capture->CopySelectionBitmap({420, 320, 390, 290});
    EXPECT_EQ(edge.size(), QSize(20, 20));
    EXPECT_TRUE(m_capture->CopySelectionBitmap({5, 5, 5, 50}).isNull());
    EXPECT_TRUE(m_capture->CopySelectionBitmap({400, 0, 450, 50}).isNull());

    m_capture->show();
    QTest::mouseClick(m_capture.get(), Qt::LeftButton, {}, {180, 100});
    m_capture->tracker().setRect({210, 100, 190, 120});
    QTest::mouseDClick(m_capture.get(), Qt::LeftButton, {}, {200, 110});
    ASSERT_EQ(m_recorder.pictures.size(), 1u);
    const QImage &picture = m_recorder.pictures[0];
    EXPECT_EQ(picture.size(), QSize(40, 40));
    EXPECT_EQ(picture.pixel(19, 0), LeftColour);
    EXPECT_EQ(picture.pixel(20, 39), RightColour);
    EXPECT_EQ(m_capture->result(), QDialog::Accepted);
}

TEST_F(CaptureWindow, IconButtonsLightUpPressAndIgnoreSpace)
{
    drag({50, 50}, {250, 120});
    STIconButton *button = toolbar()->buttons().front();
    QSignalSpy commands(toolbar(), &CSToolbar::commandTriggered);
    const QImage normal = button->grab().toImage();
    EXPECT_EQ(normal.pixel(0, 0), STIconButton::Background);
    QEnterEvent enter({5, 5}, {5, 5}, button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->toolTip(), u"复制截图"_s);
    const QImage hover = button->grab().toImage();
    EXPECT_EQ(hover.pixel(0, 0), STIconButton::HoverFill);
    button->setDown(true);
    EXPECT_EQ(button->drawState(), STIconButton::Pressed);
    const QImage pressed = button->grab().toImage();
    EXPECT_EQ(pressed.copy(2, 2, 15, 15), hover.copy(1, 1, 15, 15)) << "icon one pixel down-right";
    EXPECT_NE(pressed, hover);
    button->setDown(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->toolTip(), QString());
    EXPECT_EQ(button->grab().toImage(), normal);

    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(commands.count(), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(commands.value(0).value(0).toInt(), ZorvaNoteScreenCapture::Copy);
}

namespace {

class CaptureHandler : public ZvWebNoteHandler
{
public:
    using ZvWebNoteHandler::OnScreenCaptureComplet;
    IScreenCaptureNotify *captureNotify() { return this; }
};

} // namespace

using CaptureComplete = AppFolderTest;

TEST_F(CaptureComplete, AddsTheJpegToTheNoteAndLeavesNoTemporaryFile)
{
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    FakeBrowser browser;
    CaptureHandler handler;
    handler.SetIEWebBrowser(&browser);
    handler.SetCurNoteGuid(u"capture"_s);
    handler.OnScreenCaptureComplet(halves().image.copy(150, 0, 100, 60));
    const QStringList added = browser.argsOf(u"AddPicToEditor"_s);
    ASSERT_EQ(added.size(), 1);
    const QStringList stored = QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_TRUE(matches(u"[0-9a-f]{32}\\.jpg"_s, stored[0]));
    EXPECT_TRUE(added[0].contains(stored[0])) << added[0].toStdString();
    const QImage picture(m_root + stored[0]);
    ASSERT_EQ(picture.size(), QSize(100, 60));
    for (const QPoint at : {QPoint(20, 30), QPoint(80, 30)}) {
        const QRgb want = at.x() < 50 ? LeftColour : RightColour, got = picture.pixel(at);
        EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want))
                      + std::abs(qBlue(got) - qBlue(want)),
                  12);
    }
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // Through the capture window: the click on Complete stores the JPEG encoded while the
    // selection rested, byte for byte a fresh encode of it.
    ZorvaNoteScreenCapture capture(handler.captureNotify(), halves());
    capture.show();
    QTest::mousePress(&capture, Qt::LeftButton, {}, {20, 20});
    QTest::mouseMove(&capture, {300, 200});
    QTest::mouseRelease(&capture, Qt::LeftButton, {}, {300, 200});
    ASSERT_TRUE(QTest::qWaitFor([&] { return capture.encoder().encoding(); }));
    const QByteArray expected
        = AttachStore::EncodeJpeg(capture.CopySelectionBitmap({24, 24, 300, 200}));
    capture.toolbar()->buttons().at(3)->click();
    EXPECT_EQ(capture.result(), QDialog::Accepted);
    EXPECT_FALSE(capture.encoder().encoding()) << "nothing kept once the capture ends";
    ASSERT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 2);
    QStringList now = QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files);
    now.removeOne(stored[0]);
    ASSERT_EQ(now.size(), 1);
    EXPECT_EQ(readBytes(m_root + now[0]), expected);
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A temporary folder that cannot be written adds nothing and logs why.
    ASSERT_TRUE(writeBytes(temp.filePath(u"file"_s), "not a folder"));
    qputenv("TMPDIR", temp.filePath(u"file"_s).toLocal8Bit());
    LogCapture log;
    handler.OnScreenCaptureComplet(halves().image);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 2);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] Screen capture: the picture cannot be written to "
                    "the temporary folder"_s});
    qunsetenv("TMPDIR");
}

namespace {

using T = CMyTracker;

CMyTracker *captureTracker(const TrackRect &rect)
{
    auto *tracker = new CMyTracker;
    tracker->setStyle(T::SolidLine | T::ResizeOutside | T::CentredHandles); // 81
    tracker->setRect(rect);
    return tracker;
}

} // namespace

namespace TAVRIKCORE::RICHEDITOR {
std::ostream &operator<<(std::ostream &out, const TrackRect &r)
{
    return out << '(' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ')';
}
} // namespace TAVRIKCORE::RICHEDITOR

TEST(CaptureTracker, HandlesHitTestsAndDragsAndTheCursorFiles)
{
    const struct
    {
        TrackRect rect;
        unsigned mask;
    } cases[] = {{{0, 0, 16, 16}, 0x0F}, {{0, 0, 17, 16}, 0x5F}, {{0, 0, 16, 17}, 0xAF},
                 {{0, 0, 17, 17}, 0xFF}, {{17, 17, 0, 0}, 0xFF}, {{16, 0, 0, 100}, 0xAF},
                 {{0, 0, 100, 16}, 0x5F}};
    for (const auto &c : cases) {
        std::unique_ptr<CMyTracker> tracker(captureTracker(c.rect));
        EXPECT_EQ(tracker->handleSize(), 4);
        EXPECT_EQ(tracker->GetHandleMask(), c.mask) << c.rect;
    }

    std::unique_ptr<CMyTracker> framed(captureTracker({100, 100, 200, 150}));
    const TrackRect expected[8]
        = {{98, 98, 102, 102},  {198, 98, 202, 102},  {198, 148, 202, 152}, {98, 148, 102, 152},
           {148, 98, 152, 102}, {198, 123, 202, 127}, {148, 148, 152, 152}, {98, 123, 102, 127}};
    for (int handle = 0; handle < 8; ++handle)
        EXPECT_EQ(framed->GetHandleRect(handle), expected[handle]) << "handle " << handle;
    // Without centring the squares sit outside the frame; inside handles shrink with a
    // small rectangle.
    framed->setStyle(T::SolidLine | T::ResizeOutside);
    EXPECT_EQ(framed->GetHandleRect(T::HitTopLeft), (TrackRect{96, 96, 100, 100}));
    framed->setStyle(T::ResizeInside);
    framed->setRect({0, 0, 6, 40});
    EXPECT_EQ(framed->GetHandleSize(), 3);
    EXPECT_EQ(framed->GetHandleRect(T::HitBottomRight), (TrackRect{3, 37, 6, 40}));

    // The capture's cursor files from the resource folder carry their hot spots.
    const struct
    {
        const char *file;
        QPoint hotSpot;
    } cursors[] = {{"size1_r.cur", {16, 16}}, {"size2_r.cur", {16, 16}}, {"size3_r.cur", {16, 16}},
                   {"size4_r.cur", {16, 16}}, {"move_r.cur", {16, 16}},  {"arrow_m.cur", {1, 1}}};
    for (const auto &c : cursors) {
        const std::optional<QCursor> moveCursor
            = CaptureResources::LoadCursor(QLatin1String(c.file));
        ASSERT_TRUE(moveCursor) << c.file;
        EXPECT_EQ(moveCursor->hotSpot(), c.hotSpot) << c.file;
        EXPECT_EQ(moveCursor->pixmap().size(), QSize(32, 32)) << c.file;
    }
    for (const char *icon : {"copy.ico", "saveas.ico", "exit.ico", "complete.ico"})
        EXPECT_EQ(CaptureResources::LoadIcon(QLatin1String(icon)).size(), QSize(16, 16)) << icon;
    // An icon file is not a cursor; neither are a cut-off file and a missing one.
    const QByteArray moveCursor = readBytes(CaptureResources::Folder() + u"move_r.cur"_qs);
    EXPECT_FALSE(
        CaptureResources::CursorFromBytes(readBytes(CaptureResources::Folder() + u"copy.ico"_qs)));
    EXPECT_FALSE(CaptureResources::CursorFromBytes(moveCursor.left(21)));
    EXPECT_FALSE(CaptureResources::LoadCursor(u"missing.cur"_qs));
    EXPECT_TRUE(CaptureResources::LoadIcon(u"missing.ico"_qs).isNull());

    const struct
    {
        TrackRect rect;
        QPoint point;
        int hit;
        Qt::CursorShape cursor;
    } hits[] = {
        {{100, 100, 200, 150}, {98, 98}, T::HitTopLeft, Qt::SizeFDiagCursor},
        {{100, 100, 200, 150}, {101, 101}, T::HitTopLeft, Qt::SizeFDiagCursor},
        {{100, 100, 200, 150}, {201, 98}, T::HitTopRight, Qt::SizeBDiagCursor},
        {{100, 100, 200, 150}, {200, 150}, T::HitBottomRight, Qt::SizeFDiagCursor},
        {{100, 100, 200, 150}, {99, 151}, T::HitBottomLeft, Qt::SizeBDiagCursor},
        {{100, 100, 200, 150}, {150, 100}, T::HitTop, Qt::SizeVerCursor},
        {{100, 100, 200, 150}, {200, 125}, T::HitRight, Qt::SizeHorCursor},
        {{100, 100, 200, 150}, {148, 151}, T::HitBottom, Qt::SizeVerCursor},
        {{100, 100, 200, 150}, {98, 126}, T::HitLeft, Qt::SizeHorCursor},
        {{100, 100, 200, 150}, {102, 102}, T::HitMiddle, Qt::SizeAllCursor},
        {{100, 100, 200, 150}, {200, 140}, T::HitMiddle, Qt::SizeAllCursor},
        {{100, 100, 200, 150}, {97, 97}, T::HitNothing, Qt::ArrowCursor},
        {{100, 100, 200, 150}, {95, 120}, T::HitNothing, Qt::ArrowCursor},
        // Inverted: the handle under the point is the one attached to the edges drawn there.
        {{200, 150, 100, 100}, {98, 98}, T::HitBottomRight, Qt::SizeFDiagCursor},
        {{200, 100, 100, 150}, {98, 98}, T::HitTopRight, Qt::SizeFDiagCursor},
        {{200, 100, 100, 150}, {98, 126}, T::HitRight, Qt::SizeHorCursor},
        {{100, 150, 200, 100}, {150, 151}, T::HitTop, Qt::SizeVerCursor},
    };
    QWidget window;
    for (const auto &c : hits) {
        std::unique_ptr<CMyTracker> dragged(captureTracker(c.rect));
        window.setCursor(Qt::ArrowCursor);
        EXPECT_EQ(dragged->HitTest(c.point), c.hit)
            << c.rect << " at " << c.point.x() << ',' << c.point.y();
        EXPECT_EQ(dragged->SetCursor(&window, c.point), c.hit != T::HitNothing);
        EXPECT_EQ(window.cursor().shape(), c.cursor) << c.rect;
    }

    std::unique_ptr<CMyTracker> dragged(captureTracker({100, 100, 200, 150}));
    // Moving the inside keeps width and height.
    ASSERT_TRUE(dragged->TrackHandle(T::HitMiddle, nullptr, {150, 125}));
    dragged->TrackMove({170, 135});
    EXPECT_EQ(dragged->rect(), (TrackRect{120, 110, 220, 160}));
    EXPECT_TRUE(dragged->TrackRelease({90, 60}));
    EXPECT_EQ(dragged->rect(), (TrackRect{40, 35, 140, 85}));
    EXPECT_FALSE(dragged->IsTracking());

    // Resizing stops at 8 x 8 and never turns the rectangle inside out.
    dragged->setRect({100, 100, 200, 150});
    ASSERT_TRUE(dragged->TrackHandle(T::HitBottomRight, nullptr, {201, 151}));
    dragged->TrackMove({104, 103});
    EXPECT_EQ(dragged->rect(), (TrackRect{100, 100, 108, 108}));
    dragged->TrackMove({20, 10});
    EXPECT_EQ(dragged->rect(), (TrackRect{100, 100, 108, 108}));
    dragged->TrackMove({109, 300});
    EXPECT_EQ(dragged->rect(), (TrackRect{100, 100, 108, 299}));
    // Cancelling puts it back where the drag began.
    dragged->TrackCancel();
    EXPECT_EQ(dragged->rect(), (TrackRect{100, 100, 200, 150}));
    EXPECT_FALSE(dragged->IsTracking());

    // A side handle moves one edge; an invertible tracker keeps the minimum across.
    dragged->setAllowInvert(true);
    ASSERT_TRUE(dragged->TrackHandle(T::HitLeft, nullptr, {100, 125}));
    dragged->TrackMove({300, 10});
    EXPECT_EQ(dragged->rect(), (TrackRect{300, 100, 200, 150}));
    dragged->TrackMove({196, 10});
    EXPECT_EQ(dragged->rect(), (TrackRect{192, 100, 200, 150}));
    EXPECT_TRUE(dragged->TrackRelease({196, 10}));
    EXPECT_FALSE(dragged->TrackHandle(12, nullptr, {0, 0}));
}

class CapturePortal : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_bus = new QProcess;
        s_bus->start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        ASSERT_TRUE(s_bus->waitForReadyRead(10000)) << "dbus-daemon does not start";
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_bus->readLine().trimmed());
        qputenv("XDG_SESSION_TYPE", "wayland");
    }
    static void TearDownTestSuite()
    {
        s_bus->kill();
        s_bus->waitForFinished();
        delete s_bus;
    }
    void TearDown() override
    {
        m_portal.kill();
        m_portal.waitForFinished();
    }
    void serve(const QStringList &answers)
    {
        m_portal.start(QStringLiteral(PORTAL_STANDIN), answers);
        ASSERT_TRUE(m_portal.waitForReadyRead(10000));
        ASSERT_EQ(m_portal.readLine(), "ready\n");
    }
    static QString take(int timeoutMs = 5000)
    {
        QString error;
        EXPECT_TRUE(
            ScreenshotPortal::Take(QDBusConnection::sessionBus(), &error, timeoutMs).isNull());
        return error;
    }

    static inline QProcess *s_bus = nullptr;
    QProcess m_portal;
    RecordingPrompts m_prompts;
};

TEST_F(CapturePortal, WaylandSessionsAskThePortalAndWithoutOneTheUserIsTold)
{
    LogCapture log;
    EXPECT_EQ(ZorvaNoteScreenCapture::Run(nullptr, nullptr, false), 0);
    const QString reason = u"The desktop portal cannot take a screenshot: "_s;
    ASSERT_EQ(m_prompts.messages().size(), 1);
    EXPECT_TRUE(
        m_prompts.messages()[0].startsWith(u"The screen could not be captured. "_s + reason))
        << m_prompts.messages()[0].toStdString();
    EXPECT_EQ(m_prompts.shown()[0].title, u"Screen capture"_s);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].startsWith(u"[ERROR] Screen capture: "_s + reason));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Wayland sessions ask the portal.
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"wayland"_s, QString()), ScreenSnapshot::Source::Portal);
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"xcb"_s, u"wayland"_s), ScreenSnapshot::Source::Portal);
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"xcb"_s, u"x11"_s), ScreenSnapshot::Source::Screen);
}

TEST_F(CapturePortal, ThePortalsPictureIsTheScreenAtItsPixelRatio)
{
    QTemporaryDir folder;
    QImage picture(1600, 1200, QImage::Format_RGB32);
    picture.fill(qRgb(30, 60, 90));
    picture.setPixel(21, 1, qRgb(250, 0, 0));
    const QString path = folder.filePath(u"shot.png"_s);
    ASSERT_TRUE(picture.save(path));
    serve({u"picture:"_s + path, u"refuse"_s, u"silent"_s, u"picture:/nowhere/shot.png"_s});

    QImage shown, copied;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture)
            return;
        user.stop();
        shown = capture->snapshot();
        copied = capture->CopySelectionBitmap({10, 0, 20, 10});
        // A second capture started meanwhile is refused; the open one goes on.
        LogCapture log;
        EXPECT_EQ(ZorvaNoteScreenCapture::Run(nullptr, nullptr, false), 0);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] Screen capture: a capture is already open; the new one is not "
                        u"started"_s});
        EXPECT_EQ(QApplication::activeModalWidget(), capture);
        capture->OnCommand(ZorvaNoteScreenCapture::Exit);
    });
    user.start(20);
    EXPECT_EQ(ZorvaNoteScreenCapture::Run(nullptr, nullptr, false), 1);
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(shown.size(), QSize(1600, 1200));
    EXPECT_EQ(copied.size(), QSize(20, 20));
    EXPECT_EQ(copied.pixel(1, 1), qRgb(250, 0, 0));
    EXPECT_FALSE(QFile::exists(path)) << "the portal's picture was left behind";

    EXPECT_EQ(take(), u"The desktop portal refused the screenshot."_s);
    EXPECT_EQ(take(300), u"The desktop portal did not answer."_s);
    EXPECT_EQ(take(), u"The desktop portal's picture cannot be read: file:///nowhere/shot.png"_s);
}
