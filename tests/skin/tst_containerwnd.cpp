// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/containerwnd.h"

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

class RecordingContainer : public ContainerWnd
{
public:
    std::vector<QRect> layouts;
    void AdjustLayout(const QRect &clientRect) override { layouts.push_back(clientRect); }
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
