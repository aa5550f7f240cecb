// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/appdirectory.h"
#include "editor/czorvaupdownview.h"
#include "logcapture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;

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
    SetAppDirectory(empty.path() + u'/');
    CZorvaUpDownView bare;
    ASSERT_EQ(bare.Create(&m_host, QRect(0, 0, 400, 300), 3), 1);
    SetAppDirectory(QString());
    EXPECT_TRUE(bare.splitterBar().skinPic().isNull());
    EXPECT_EQ(log.lines(),
              std::vector<QString>{QStringLiteral("[WARN] 分隔条图片不存在：") + empty.path()
                                   + QStringLiteral("/res/splitterbar.png")});
    bare.SetSplitterWnd(new QWidget, new QWidget);
    EXPECT_EQ(pixelAt(bare.splitterBar(), gripCentre), 0xE0E0E0u);
    EXPECT_EQ(pixelAt(bare.splitterBar(), QPoint(0, 7)), 0xDCDCDCu);
}
