// The display's scale from the DPI a desktop reports: 96 to the inch is 1, and a value the game
// cannot sensibly follow opens the window as it opens without one.
#include <gtest/gtest.h>

#include <limits>

#include "platform/desktop/display_scale.h"

namespace {

TEST(DisplayScale, IsTheDpiOverNinetySixHeldToOneToFour)
{
    EXPECT_EQ(scale_of_dpi(96), 1.0);
    EXPECT_EQ(scale_of_dpi(120), 1.25);
    EXPECT_EQ(scale_of_dpi(144), 1.5);
    EXPECT_EQ(scale_of_dpi(192), 2.0);
    EXPECT_EQ(scale_of_dpi(384), 4.0);
    EXPECT_EQ(scale_of_dpi(480), 4.0);
    EXPECT_EQ(scale_of_dpi(72), 1.0);
}

TEST(DisplayScale, NoDpiOrNoNumberIsOne)
{
    const double unreadable[] = {0.0, -192.0, std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity()};
    for (double dpi : unreadable) {
        EXPECT_EQ(scale_of_dpi(dpi), 1.0) << dpi;
    }
}

}  // namespace
