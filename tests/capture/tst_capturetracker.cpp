// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The selection tracker without a window: handle masks, handle squares, hit tests, the drag
// with its minimum size and cancel, and the capture's cursor files.
#include "capture/captureresources_p.h"
#include "capture/cmytracker_p.h"
#include "testhelpers.h"

#include <QWidget>

using namespace TAVRIKCORE::RICHEDITOR;

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

TEST(CaptureTracker, HandleMaskShowsSideHandlesFrom17Pixels)
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
}

TEST(CaptureTracker, HandlesStraddleTheFrameWithStyle81)
{
    std::unique_ptr<CMyTracker> tracker(captureTracker({100, 100, 200, 150}));
    const TrackRect expected[8]
        = {{98, 98, 102, 102},  {198, 98, 202, 102},  {198, 148, 202, 152}, {98, 148, 102, 152},
           {148, 98, 152, 102}, {198, 123, 202, 127}, {148, 148, 152, 152}, {98, 123, 102, 127}};
    for (int handle = 0; handle < 8; ++handle)
        EXPECT_EQ(tracker->GetHandleRect(handle), expected[handle]) << "handle " << handle;
    // Without centring the squares sit outside the frame; inside handles shrink with a
    // small rectangle.
    tracker->setStyle(T::SolidLine | T::ResizeOutside);
    EXPECT_EQ(tracker->GetHandleRect(T::HitTopLeft), (TrackRect{96, 96, 100, 100}));
    tracker->setStyle(T::ResizeInside);
    tracker->setRect({0, 0, 6, 40});
    EXPECT_EQ(tracker->GetHandleSize(), 3);
    EXPECT_EQ(tracker->GetHandleRect(T::HitBottomRight), (TrackRect{3, 37, 6, 40}));
}

TEST(CaptureTracker, HitTestsEveryHandleAndTheInsideAlsoWhenInverted)
{
    const struct
    {
        TrackRect rect;
        QPoint point;
        int hit;
        Qt::CursorShape cursor;
    } cases[] = {
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
    for (const auto &c : cases) {
        std::unique_ptr<CMyTracker> tracker(captureTracker(c.rect));
        window.setCursor(Qt::ArrowCursor);
        EXPECT_EQ(tracker->HitTest(c.point), c.hit)
            << c.rect << " at " << c.point.x() << ',' << c.point.y();
        EXPECT_EQ(tracker->SetCursor(&window, c.point), c.hit != T::HitNothing);
        EXPECT_EQ(window.cursor().shape(), c.cursor) << c.rect;
    }
}

TEST(CaptureTracker, DragKeepsSizeOrMinimumAndCancels)
{
    std::unique_ptr<CMyTracker> tracker(captureTracker({100, 100, 200, 150}));
    // Moving the inside keeps width and height.
    ASSERT_TRUE(tracker->TrackHandle(T::HitMiddle, nullptr, {150, 125}));
    tracker->TrackMove({170, 135});
    EXPECT_EQ(tracker->rect(), (TrackRect{120, 110, 220, 160}));
    EXPECT_TRUE(tracker->TrackRelease({90, 60}));
    EXPECT_EQ(tracker->rect(), (TrackRect{40, 35, 140, 85}));
    EXPECT_FALSE(tracker->IsTracking());

    // Resizing stops at 8 x 8 and never turns the rectangle inside out.
    tracker->setRect({100, 100, 200, 150});
    ASSERT_TRUE(tracker->TrackHandle(T::HitBottomRight, nullptr, {201, 151}));
    tracker->TrackMove({104, 103});
    EXPECT_EQ(tracker->rect(), (TrackRect{100, 100, 108, 108}));
    tracker->TrackMove({20, 10});
    EXPECT_EQ(tracker->rect(), (TrackRect{100, 100, 108, 108}));
    tracker->TrackMove({109, 300});
    EXPECT_EQ(tracker->rect(), (TrackRect{100, 100, 108, 299}));
    // Cancelling puts it back where the drag began.
    tracker->TrackCancel();
    EXPECT_EQ(tracker->rect(), (TrackRect{100, 100, 200, 150}));
    EXPECT_FALSE(tracker->IsTracking());

    // A side handle moves one edge; an invertible tracker keeps the minimum across.
    tracker->setAllowInvert(true);
    ASSERT_TRUE(tracker->TrackHandle(T::HitLeft, nullptr, {100, 125}));
    tracker->TrackMove({300, 10});
    EXPECT_EQ(tracker->rect(), (TrackRect{300, 100, 200, 150}));
    tracker->TrackMove({196, 10});
    EXPECT_EQ(tracker->rect(), (TrackRect{192, 100, 200, 150}));
    EXPECT_TRUE(tracker->TrackRelease({196, 10}));
    EXPECT_FALSE(tracker->TrackHandle(12, nullptr, {0, 0}));
}

TEST(CaptureTracker, CursorFilesFromTheResourceFolderCarryTheirHotSpots)
{
    const struct
    {
        const char *file;
        QPoint hotSpot;
    } cursors[] = {{"size1_r.cur", {16, 16}}, {"size2_r.cur", {16, 16}}, {"size3_r.cur", {16, 16}},
                   {"size4_r.cur", {16, 16}}, {"move_r.cur", {16, 16}},  {"arrow_m.cur", {1, 1}}};
    for (const auto &c : cursors) {
        const std::optional<QCursor> cursor = CaptureResources::LoadCursor(QLatin1String(c.file));
        ASSERT_TRUE(cursor) << c.file;
        EXPECT_EQ(cursor->hotSpot(), c.hotSpot) << c.file;
        EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32)) << c.file;
    }
    for (const char *icon : {"copy.ico", "saveas.ico", "exit.ico", "complete.ico"})
        EXPECT_EQ(CaptureResources::LoadIcon(QLatin1String(icon)).size(), QSize(16, 16)) << icon;
    // An icon file is not a cursor; neither are a cut-off file and a missing one.
    const QByteArray cursor = readBytes(CaptureResources::Folder() + u"move_r.cur"_qs);
    EXPECT_FALSE(
        CaptureResources::CursorFromBytes(readBytes(CaptureResources::Folder() + u"copy.ico"_qs)));
    EXPECT_FALSE(CaptureResources::CursorFromBytes(cursor.left(21)));
    EXPECT_FALSE(CaptureResources::LoadCursor(u"missing.cur"_qs));
    EXPECT_TRUE(CaptureResources::LoadIcon(u"missing.ico"_qs).isNull());
}
