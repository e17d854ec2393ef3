#include "gui/kit/DialogUnits.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

TEST(DialogUnits, BasesFromTheFontMetrics)
{
    // 52 letters 286 pixels wide: 286 / 26 = 11, (11 + 1) / 2 = 6.
    DialogUnits units(286, 13);
    EXPECT_EQ(units.baseX(), 6);
    EXPECT_EQ(units.baseY(), 13);
    EXPECT_EQ(units.toPixelsX(352), 528);
    EXPECT_EQ(units.toPixelsY(403), 655); // 654.875 rounds up
    EXPECT_EQ(units.toPixels(65, 37, 195, 14), (Rect{98, 60, 391, 83}));
}

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(mulDiv(5, 1, 2), 3);
    EXPECT_EQ(mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(mulDiv(7, 13, 8), 11); // 11.375
    EXPECT_EQ(mulDiv(2000000000, 2, 4), 1000000000);
}

} // namespace
} // namespace rm
