// Creating chains: colour codes from the unseeded generator, start positions and fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chain/path.h"
#include "input/reset.h"
#include "support/game_test.h"
#include "support/trace_lines.h"

namespace {

using ChainCreation = GameTest;

TEST_F(ChainCreation, FirstChainDrawsTheStartUpColourSequenceOfTheUnseededGenerator)
{
    create_chain(10, 4);
    EXPECT_EQ(capture->take_lines(), colour_lines(start_up_colours));
    ASSERT_EQ(balls.size(), 10u);
    for (std::size_t i = 0; i < balls.size(); ++i) {
        EXPECT_EQ(balls[i]->color, start_up_colours[i]);
    }
}

// The sequences players see, as the README documents them: the tests take the colours from the
// platform's own generator, and this pins each known C library's.
TEST(StartUpColours, AreTheKnownSequenceOfThisCLibrary)
{
#if defined(__GLIBC__)
    EXPECT_EQ(start_up_colours, (std::vector<int>{4, 3, 2, 4, 2, 4, 3, 1, 2, 2}));
#elif defined(_WIN32)
    EXPECT_EQ(start_up_colours, (std::vector<int>{2, 4, 3, 1, 2, 1, 3, 3, 3, 1}));
#else
    GTEST_SKIP() << "no known sequence for this C library";
#endif
}

TEST_F(ChainCreation, TwoRunsFromTheSameStartDrawTheSameColours)
{
    create_chain(10, 4);
    const std::string first = capture->take();
    restore_start_state();
    std::srand(1);
    create_chain(10, 4);
    EXPECT_EQ(capture->take(), first);
}

TEST_F(ChainCreation, BallsStandOnOneLineAtTheFirstPathPointSpacedByOneRadius)
{
    create_chain(10, 4);
    ASSERT_EQ(balls.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const Ball& ball = *balls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(ball.pt, i);
        EXPECT_EQ(ball.move_u, 0.0f);
        EXPECT_EQ(ball.aux, 0);
        EXPECT_EQ(ball.end_toggle, 1);
        EXPECT_EQ(ball.y, 0.3f);
        // 0.07 world units apart, that is 0.014 in path space.
        EXPECT_NEAR(ball.x, 0.8 + 0.014 * i, 2e-7);
    }
    EXPECT_EQ(balls[0]->x, 0.8f);
    EXPECT_EQ(balls[9]->x, 0.926f);
}

TEST_F(ChainCreation, NoBallsAndNoLinesForACountOfZeroOrLess)
{
    create_chain(0, 4);
    create_chain(-3, 4);
    EXPECT_TRUE(balls.empty());
    EXPECT_EQ(capture->take(), "");
}

TEST_F(ChainCreation, OneColourGivesEveryBallColourOne)
{
    create_chain(5, 1);
    EXPECT_EQ(capture->take_lines(), colour_lines({1, 1, 1, 1, 1}));
}

TEST_F(ChainCreation, ColourCountBelowOneIsTakenAsOneInsteadOfDividingByZero)
{
    create_chain(3, 0);
    create_chain(2, -4);
    EXPECT_EQ(capture->take_lines(), colour_lines({1, 1, 1, 1, 1}));
    ASSERT_EQ(balls.size(), 5u);
    EXPECT_EQ(balls[4]->pt, 1);
}

TEST_F(ChainCreation, SecondChainIsAppendedWithIndicesAndPositionsStartingAgain)
{
    create_chain(10, 4);
    create_chain(10, 4);
    ASSERT_EQ(balls.size(), 20u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(balls[10 + i]->pt, i);
        EXPECT_EQ(balls[10 + i]->x, balls[i]->x);
    }
}

TEST_F(ChainCreation, ResetRestoresTheStartValuesAndAppendsTenBalls)
{
    start_game();
    aim_translate = 2.5f;
    shot_in_flight = 1;
    shot_x = 2.5f;
    shot_height = 1.0f;
    ball_material = 17;
    mouse_x = 300;
    prev_mouse_x = 200;

    reset_game();

    EXPECT_EQ(ball_material, 1);
    EXPECT_EQ(aim_translate, 0.0f);
    EXPECT_EQ(shot_in_flight, 0);
    EXPECT_EQ(shot_x, 0.0f);
    EXPECT_EQ(shot_height, 0.0f);
    EXPECT_EQ(mouse_x, 0);
    EXPECT_EQ(prev_mouse_x, 0);
    // Sizes belong to the window and survive a reset; no timer is touched.
    EXPECT_EQ(win_width, 800);
    EXPECT_EQ(view_width, 5.3333335f);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(balls.size(), 20u);
    EXPECT_EQ(capture->take_lines().size(), 10u);

    reset_game();
    EXPECT_EQ(balls.size(), 30u);
}

// The path as it is laid out, point by point: the motion and drawing tests take their
// expectations from path_points itself, so only this catches a wrong number in the table.
TEST(PathTable, HoldsTheFortyFivePointsOfTheSerpentineInPathSpace)
{
    // clang-format off
    const double expected[path_point_count][2] = {
        {0.8, 0.3},   {0.5, 0.3},   {0.4, 0.3},   {0.3, 0.3},   {0.2, 0.3},   {0.1, 0.3},   {0.0, 0.3},
        {-0.1, 0.3},  {-0.2, 0.3},  {-0.3, 0.3},  {-0.4, 0.3},  {-0.45, 0.2}, {-0.4, 0.1},  {-0.3, 0.1},
        {-0.2, 0.1},  {-0.1, 0.1},  {0.0, 0.1},   {0.1, 0.1},   {0.2, 0.1},   {0.3, 0.1},   {0.4, 0.1},
        {0.45, 0.0},  {0.4, -0.1},  {0.3, -0.1},  {0.2, -0.1},  {0.1, -0.1},  {0.0, -0.1},  {-0.1, -0.1},
        {-0.2, -0.1}, {-0.3, -0.1}, {-0.4, -0.1}, {-0.45, -0.2}, {-0.4, -0.3}, {-0.3, -0.3}, {-0.2, -0.3},
        {-0.1, -0.3}, {0.0, -0.3},  {0.1, -0.3},  {0.2, -0.3},  {0.3, -0.3},  {0.4, -0.3},  {0.5, -0.3},
        {0.6, -0.3},  {0.6, -0.3},  {0.6, -0.3},
    };
    // clang-format on
    for (int i = 0; i < path_point_count; ++i) {
        EXPECT_EQ(path_points[i].x, static_cast<float>(expected[i][0])) << "point " << i;
        EXPECT_EQ(path_points[i].y, static_cast<float>(expected[i][1])) << "point " << i;
        EXPECT_EQ(path_points[i].z, 0.0f) << "point " << i;
    }
    EXPECT_EQ(path_scale.x, 5.0f);
    EXPECT_EQ(path_scale.y, 3.3f);
    EXPECT_EQ(path_scale.z, 1.0f);
}

}  // namespace
