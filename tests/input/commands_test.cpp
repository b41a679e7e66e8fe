// Keyboard commands and the pop-up menu: help, the material ring, extra chain ticks, reset, quit.
#include <gtest/gtest.h>

#include <string>

#include "core/toolkit.h"
#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "support/game_test.h"
#include "support/trace_lines.h"

namespace {

// The words of the help, written out once for the tests: the others take them from the game.
const char* const help_words =
    "\nKey Board commands:\n"
    "\tH - Print help info (keyboard commands)\n"
    "\tQ - quit\n";

using KeyboardCommands = GameTest;
using MenuActions = GameTest;

int head_lines_in(const std::string& trace)
{
    int count = 0;
    for (std::size_t at = trace.find("npt=0, pt=0, move_u=0.000000\n"); at != std::string::npos;
         at = trace.find("npt=0, pt=0, move_u=0.000000\n", at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(KeyboardCommands, HelpKeyPrintsExactlyTheThreeHelpLinesInEitherCase)
{
    start_game();
    for (unsigned char key : {'H', 'h'}) {
        SCOPED_TRACE(key);
        on_key(key, 10, 20);
        EXPECT_EQ(capture->take(), help_words);
        EXPECT_EQ(toolkit.redisplays, 0);
        EXPECT_TRUE(toolkit.timers.empty());
    }
}

TEST_F(KeyboardCommands, LowerJStepsTheBallMaterialUpAndWrapsFrom32To0)
{
    start_game();
    for (int expected = 2; expected <= 32; ++expected) {
        on_key('j', 0, 0);
        ASSERT_EQ(ball_material, expected);
    }
    on_key('j', 0, 0);
    EXPECT_EQ(ball_material, 0);
    on_key('j', 0, 0);
    EXPECT_EQ(ball_material, 1);
    EXPECT_EQ(toolkit.redisplays, 33);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(KeyboardCommands, UpperJStepsTheBallMaterialDownAndWrapsFrom0To32)
{
    start_game();
    on_key('J', 0, 0);
    EXPECT_EQ(ball_material, 0);
    on_key('J', 0, 0);
    EXPECT_EQ(ball_material, 32);
    on_key('J', 0, 0);
    EXPECT_EQ(ball_material, 31);
    EXPECT_EQ(toolkit.redisplays, 3);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(KeyboardCommands, UpperJThenLowerJReturnsToTheSameMaterialAnywhereOnTheRing)
{
    start_game();
    for (int material = 0; material <= 32; ++material) {
        ball_material = material;
        on_key('J', 0, 0);
        on_key('j', 0, 0);
        EXPECT_EQ(ball_material, material);
        on_key('j', 0, 0);
        on_key('J', 0, 0);
        EXPECT_EQ(ball_material, material);
    }
}

TEST_F(KeyboardCommands, KStartsOneMoreChainTick40msAheadWithoutARedisplay)
{
    start_game();
    for (unsigned char key : {'K', 'k'}) {
        SCOPED_TRACE(key);
        toolkit.clear_requests();
        on_key(key, 0, 0);
        ASSERT_EQ(toolkit.timers.size(), 1u);
        EXPECT_EQ(toolkit.timers[0], (TimerRequest{40, &chain_tick, 0}));
        EXPECT_EQ(toolkit.redisplays, 0);
    }
    EXPECT_EQ(toolkit.pending_count(chain_tick), 2);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(KeyboardCommands, TwoKPressesMakeTheChainMoveThreeTimesPer40msEvenAfterAReset)
{
    start_game();
    toolkit_start_timer(1, chain_tick, 0);  // the start-up tick
    toolkit.advance(1);
    on_key('K', 0, 0);
    on_key('k', 0, 0);
    toolkit.advance(40);
    capture->take();

    toolkit.advance(400);
    EXPECT_EQ(head_lines_in(capture->take()), 30);

    on_menu(menu_reset);
    capture->take();
    toolkit.advance(400);
    EXPECT_EQ(head_lines_in(capture->take()), 30);
}

TEST_F(KeyboardCommands, KeysWithoutAMeaningPrintNothingAndRequestNothing)
{
    start_game();
    const std::string commands = "HhJjKkQq";
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<unsigned char>(code);
        if (commands.find(static_cast<char>(key)) != std::string::npos) {
            continue;
        }
        on_key(key, 0, 0);
    }
    EXPECT_EQ(capture->take(), "");
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_FALSE(toolkit.quit_status.has_value());
    EXPECT_EQ(ball_material, 1);
    EXPECT_EQ(balls.size(), 10u);
}

TEST_F(KeyboardCommands, QAsksTheToolkitToEndTheProcessWithStatusZeroInEitherCase)
{
    start_game();
    on_key('Q', 0, 0);
    EXPECT_EQ(toolkit.quit_status, 0);
    toolkit.clear_requests();
    on_key('q', 0, 0);
    EXPECT_EQ(toolkit.quit_status, 0);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(MenuActions, ResetStartsANewChainRestoresTheMaterialAndAsksForOneRedisplay)
{
    start_game();
    on_key('J', 0, 0);
    on_key('J', 0, 0);
    aim_translate = 2.0f;
    toolkit.clear_requests();

    on_menu(menu_reset);

    EXPECT_EQ(ball_material, 1);
    EXPECT_EQ(aim_translate, 0.0f);
    EXPECT_EQ(balls.size(), 20u);
    // The generator goes on from where the start-up chain left it.
    EXPECT_EQ(capture->take_lines(), colour_lines(first_reset_colours));
    EXPECT_EQ(toolkit.redisplays, 1);
    EXPECT_TRUE(toolkit.timers.empty());
}

TEST_F(MenuActions, ExitAsksTheToolkitToEndTheProcessWithStatusZero)
{
    start_game();
    on_menu(menu_exit);
    EXPECT_EQ(toolkit.quit_status, 0);
}

TEST_F(MenuActions, ValuesOtherThanResetAndExitDoNothing)
{
    start_game();
    on_key('j', 0, 0);
    toolkit.clear_requests();
    for (int value : {0, 3, -1, 99}) {
        on_menu(value);
    }
    EXPECT_EQ(balls.size(), 10u);
    EXPECT_EQ(ball_material, 2);
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_FALSE(toolkit.quit_status.has_value());
    EXPECT_EQ(capture->take(), "");
}

// The real exit: with no toolkit installed, quitting calls exit() itself.
using QuittingDeathTest = GameTest;

TEST_F(QuittingDeathTest, UpperQEndsTheProcessWithStatusZero)
{
    start_game();
    EXPECT_EXIT(
        {
            install_toolkit(nullptr);
            on_key('Q', 0, 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(QuittingDeathTest, LowerQEndsTheProcessWithStatusZeroAlsoWhileAShotIsInFlight)
{
    start_game();
    on_special_key(101, 0, 0);  // up arrow
    ASSERT_EQ(shot_in_flight, 1);
    EXPECT_EXIT(
        {
            install_toolkit(nullptr);
            on_key('q', 0, 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(QuittingDeathTest, MenuExitEndsTheProcessWithStatusZero)
{
    start_game();
    EXPECT_EXIT(
        {
            install_toolkit(nullptr);
            on_menu(menu_exit);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
