#include "gui/kit/DynamicLayout.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

const Rect Start{10, 20, 110, 40};

Rect placed(LayoutMode h, LayoutMode v, int dx, int dy, int minW = 0, int minH = 0)
{
    return placeControl(ControlLayout::registered(Start, h, v, minW, minH), dx, dy);
}

TEST(ControlLayout, ModesFollowTheGrowth)
{
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Fixed, 100, 50), Start);
    EXPECT_EQ(placed(LayoutMode::Move, LayoutMode::Fixed, 100, 50), (Rect{110, 20, 210, 40}));
    EXPECT_EQ(placed(LayoutMode::Stretch, LayoutMode::Fixed, 100, 50), (Rect{10, 20, 210, 40}));
    EXPECT_EQ(placed(LayoutMode::Half, LayoutMode::Fixed, 100, 50), (Rect{60, 20, 160, 40}));
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Move, 100, 50), (Rect{10, 70, 110, 90}));
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Stretch, 100, 50), (Rect{10, 20, 110, 90}));
    EXPECT_EQ(placed(LayoutMode::Stretch, LayoutMode::Half, 100, 50), (Rect{10, 45, 210, 65}));
}

TEST(ControlLayout, SharesTruncateTowardZero)
{
    EXPECT_EQ(placed(LayoutMode::Half, LayoutMode::Fixed, 3, 0).left, 11); // 150 / 100
    EXPECT_EQ(placed(LayoutMode::Half, LayoutMode::Fixed, -3, 0).left, 9);  // -150 / 100
    EXPECT_EQ(placed(LayoutMode::Half, LayoutMode::Fixed, 1, 0).left, 10);
}

TEST(ControlLayout, AtOrBelowTheMinimumTheControlIsParked)
{
    // Width 100 exactly equal to the minimum: parked.
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Fixed, 0, 0, 100, 0), (Rect{-110, 20, -10, 40}));
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Fixed, 0, 0, 99, 0), Start);
    // A stretch control shrinks to its minimum of 50: at -50 growth the width is 50.
    Rect r{0, 0, 100, 10};
    EXPECT_EQ(placeControl(ControlLayout::registered(r, LayoutMode::Stretch, LayoutMode::Fixed, 50), -50, 0),
              (Rect{-60, 0, -10, 10}));
    EXPECT_EQ(placed(LayoutMode::Fixed, LayoutMode::Fixed, 0, 0, 0, 20), (Rect{10, -30, 110, -10}));
    // No minimum: a control of zero width is parked as well.
    EXPECT_EQ(placeControl(ControlLayout::registered({5, 5, 5, 9}, LayoutMode::Fixed, LayoutMode::Fixed), 0, 0),
              (Rect{-10, 5, -10, 9}));
}

TEST(DynamicLayout, RegistrationAndPasses)
{
    DynamicLayout layout;
    layout.setUp({300, 200});
    int a = 0, b = 0, unregistered = 0;
    layout.addControl(&a, Start, LayoutMode::Move, LayoutMode::Fixed);
    layout.addControl(&b, Start, LayoutMode::Fixed, LayoutMode::Fixed);
    layout.addControl(&b, Start, LayoutMode::Stretch, LayoutMode::Stretch); // replaces
    layout.addControl(nullptr, Start, LayoutMode::Move, LayoutMode::Move);  // ignored

    const DynamicLayoutInfo info = layout.info({340, 190});
    EXPECT_EQ(info.dx, 40);
    EXPECT_EQ(info.dy, -10);
    EXPECT_EQ(info.controlCount, 2);
    EXPECT_EQ(layout.minimumClientSize(), (Size{300, 200}));
    EXPECT_EQ(*layout.place(&a, info), (Rect{50, 20, 150, 40}));
    EXPECT_EQ(*layout.place(&b, info), (Rect{10, 20, 150, 30}));
    EXPECT_FALSE(layout.place(&unregistered, info).has_value());
    EXPECT_FALSE(layout.hasGrown({300, 200}));
    EXPECT_TRUE(layout.hasGrown({300, 201}));
}

} // namespace
} // namespace rm
