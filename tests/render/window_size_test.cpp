// The playfield's size in world units as the window's size changes, including the sizes a
// minimised window reports.
#include <gtest/gtest.h>

#include <cmath>

#include "core/game_state.h"
#include "support/game_test.h"

namespace {

using WindowSize = GameTest;

void expect_sizes(int width, int height, float world_width)
{
    EXPECT_EQ(win_width, width);
    EXPECT_EQ(win_height, height);
    EXPECT_EQ(view_width, world_width);
    EXPECT_EQ(view_height, 4.0f);
}

TEST_F(WindowSize, PlayfieldIsFourUnitsHighAndAsWideAsTheWindowsAspect)
{
    ASSERT_TRUE(set_window_size(800, 600));
    // 16/3 in single precision.
    expect_sizes(800, 600, 5.3333335f);
    ASSERT_TRUE(set_window_size(600, 600));
    expect_sizes(600, 600, 4.0f);
    ASSERT_TRUE(set_window_size(1200, 300));
    expect_sizes(1200, 300, 16.0f);
}

TEST_F(WindowSize, ZeroOrNegativeSideIsRefusedAndTheLastGoodSizeStays)
{
    ASSERT_TRUE(set_window_size(800, 600));
    const int refused[][2] = {{0, 0}, {800, 0}, {0, 600}, {-1, 600}, {800, -600}};
    for (const auto& size : refused) {
        SCOPED_TRACE(::testing::Message() << size[0] << " x " << size[1]);
        EXPECT_FALSE(set_window_size(size[0], size[1]));
        expect_sizes(800, 600, 5.3333335f);
        EXPECT_TRUE(std::isfinite(view_width));
        EXPECT_TRUE(std::isfinite(view_height));
    }
}

TEST_F(WindowSize, ZeroSizedFirstReshapeLeavesTheSizesAtZeroNotInfinite)
{
    EXPECT_FALSE(set_window_size(800, 0));
    EXPECT_EQ(win_width, 0);
    EXPECT_EQ(win_height, 0);
    EXPECT_EQ(view_width, 0.0f);
    EXPECT_EQ(view_height, 0.0f);
}

TEST_F(WindowSize, RealSizeAfterAMinimisedWindowIsTakenAsBefore)
{
    ASSERT_TRUE(set_window_size(800, 600));
    EXPECT_FALSE(set_window_size(0, 0));
    EXPECT_FALSE(set_window_size(800, 0));
    ASSERT_TRUE(set_window_size(1200, 300));
    expect_sizes(1200, 300, 16.0f);
}

}  // namespace
