// Aiming: the pointer column in world units, relative pointer aiming, and the arrows' bound.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "input/aim_and_shot.h"
#include "input/glut_codes.h"
#include "input/reset.h"
#include "support/game_test.h"

namespace {

using namespace glut_code;

using Aiming = GameTest;

TEST_F(Aiming, PointerColumnsMapToWorldOffsetsCentredOnTheMiddleOfTheWindow)
{
    start_game();
    EXPECT_EQ(screen_to_aim(0), -1.3316666f);
    // 1/600, shown as 0.0016667: the middle of the window lies between columns 399 and 400.
    EXPECT_EQ(screen_to_aim(400), 0.0016666666f);
    EXPECT_EQ(screen_to_aim(799), 1.3316666f);
    EXPECT_EQ(screen_to_aim(399), -screen_to_aim(400));
}

TEST_F(Aiming, FirstPointerMoveAfterStartUpPrintsZeroAndMovesByTheTravelFromColumnZero)
{
    start_game();
    on_passive_motion(400, 300);

    EXPECT_EQ(capture->take(), "aim_translate: 0.000000\n");
    // 400 columns at 2 / 600 world units each, not screen_to_aim(400).
    EXPECT_EQ(aim_translate, 1.3333333f);
    EXPECT_EQ(mouse_x, 400);
    EXPECT_EQ(prev_mouse_x, 400);
    EXPECT_EQ(toolkit.redisplays, 1);
    EXPECT_TRUE(toolkit.timers.empty());
}

TEST_F(Aiming, EachPointerMovePrintsTheAimBeforeItAndMovesHalfAsFarAsThePointer)
{
    start_game();
    on_passive_motion(400, 10);
    on_passive_motion(100, 500);
    on_passive_motion(700, 0);

    EXPECT_EQ(capture->take_lines(),
              (std::vector<std::string>{"aim_translate: 0.000000", "aim_translate: 1.333333",
                                        "aim_translate: 0.333333"}));
    EXPECT_NEAR(aim_translate, 700 * 2.0 / 600.0, 1e-6);
    EXPECT_EQ(toolkit.redisplays, 3);
}

TEST_F(Aiming, ResetForgetsWhereThePointerWasSoTheNextMoveCountsFromColumnZeroAgain)
{
    start_game();
    on_passive_motion(700, 300);
    on_passive_motion(650, 300);
    reset_game();
    capture->take();

    on_passive_motion(400, 300);
    EXPECT_EQ(capture->take(), "aim_translate: 0.000000\n");
    EXPECT_EQ(aim_translate, 1.3333333f);
}

TEST_F(Aiming, TravelIsAddedToTheAimBeforeTheSumIsRoundedToFloat)
{
    start_game();
    on_passive_motion(1, 300);
    on_passive_motion(653, 300);
    on_passive_motion(653, 300);
    // 653 columns at 2 / 600 each. Rounding the travel to float before adding it would print
    // 2.176666.
    EXPECT_EQ(capture->take_lines().back(), "aim_translate: 2.176667");
}

TEST_F(Aiming, DraggingWithAButtonHeldDoesNothingAtTheTime)
{
    start_game();
    on_passive_motion(300, 300);
    capture->take();
    toolkit.clear_requests();
    const float aim = aim_translate;

    for (int x = 310; x <= 790; x += 40) {
        on_motion(x, 200);
    }

    EXPECT_EQ(aim_translate, aim);
    EXPECT_EQ(mouse_x, 300);
    EXPECT_EQ(prev_mouse_x, 300);
    EXPECT_EQ(capture->take(), "");
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_TRUE(toolkit.timers.empty());
}

TEST_F(Aiming, TravelMadeWithAButtonHeldIsAppliedWholeAtTheNextPointerMove)
{
    start_game();
    on_passive_motion(100, 300);
    // Button down at column 100, dragged across, released at 700: only motion events.
    for (int x = 100; x <= 700; x += 50) {
        on_motion(x, 300);
    }
    on_passive_motion(500, 300);
    on_passive_motion(510, 300);

    EXPECT_EQ(capture->take_lines(),
              (std::vector<std::string>{"aim_translate: 0.000000", "aim_translate: 0.333333",
                                        "aim_translate: 1.666667"}));
}

TEST_F(Aiming, PointerMovesTheAimWithoutBoundPastWhereTheArrowsStop)
{
    start_game();
    for (int i = 0; i < 60; ++i) {
        on_special_key(key_right, 0, 0);
    }
    ASSERT_EQ(aim_translate, 5.3999972f);

    on_passive_motion(799, 300);
    EXPECT_NEAR(aim_translate, 5.3999972 + 799 * 2.0 / 600.0, 1e-5);
    EXPECT_GT(aim_translate, view_width);
}

TEST_F(Aiming, NotANumberAimIsRepairedFromThePointerBeforeItIsPrinted)
{
    start_game();
    aim_translate = std::numeric_limits<float>::quiet_NaN();

    on_passive_motion(200, 300);

    // Repaired to screen_to_aim(200) = -0.665, printed, then moved by 200 columns from column 0.
    EXPECT_EQ(capture->take(), "aim_translate: -0.665000\n");
    EXPECT_FALSE(std::isnan(aim_translate));
    EXPECT_NEAR(aim_translate, -0.665 + 200 * 2.0 / 600.0, 1e-6);
}

TEST_F(Aiming, ArrowsLeaveANotANumberAimAloneButStillPrintAndRedisplay)
{
    start_game();
    aim_translate = std::numeric_limits<float>::quiet_NaN();

    on_special_key(key_right, 0, 0);
    on_special_key(key_left, 0, 0);

    EXPECT_TRUE(std::isnan(aim_translate));
    EXPECT_EQ(capture->take(), "Right key\nLeft key\n");
    EXPECT_EQ(toolkit.redisplays, 2);
}

TEST_F(Aiming, RightArrowStepsByATenthUntilItFirstPassesTheFullPlayfieldWidth)
{
    start_game();
    for (int press = 1; press <= 54; ++press) {
        on_special_key(key_right, 0, 0);
    }
    // Stops one step past view_width (5.3333335), not at the half-width where the playfield ends.
    EXPECT_EQ(aim_translate, 5.3999972f);
    EXPECT_EQ(capture->take_lines(), std::vector<std::string>(54, "Right key"));

    toolkit.clear_requests();
    for (int press = 0; press < 5; ++press) {
        on_special_key(key_right, 0, 0);
        EXPECT_EQ(capture->take(), "Right key\n");
        EXPECT_EQ(aim_translate, 5.3999972f);
    }
    EXPECT_EQ(toolkit.redisplays, 5);
}

TEST_F(Aiming, LeftArrowMirrorsTheRightArrowDownToMinusTheSameBound)
{
    start_game();
    for (int press = 1; press <= 54; ++press) {
        on_special_key(key_left, 0, 0);
    }
    EXPECT_EQ(aim_translate, -5.3999972f);
    on_special_key(key_left, 0, 0);
    on_special_key(key_left, 0, 0);
    EXPECT_EQ(aim_translate, -5.3999972f);
    EXPECT_EQ(capture->take_lines(), std::vector<std::string>(56, "Left key"));
}

TEST_F(Aiming, ArrowsStopWhenTheAimLandsExactlyOnTheBound)
{
    // In a 1200 x 500 window the steps of 0.1 land exactly on -9.6 and +9.6: the arrows stop there.
    start_game();
    view_width = 9.6f;
    for (int press = 0; press < 100; ++press) {
        on_special_key(key_left, 0, 0);
    }
    EXPECT_EQ(aim_translate, -9.6f);
    aim_translate = 0.0f;
    for (int press = 0; press < 100; ++press) {
        on_special_key(key_right, 0, 0);
    }
    EXPECT_EQ(aim_translate, 9.6f);
}

}  // namespace
