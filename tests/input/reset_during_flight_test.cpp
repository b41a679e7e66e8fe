// A "Reset" chosen while a shot is rising: the cannon must come back loaded and keep working,
// although the step the old flight left with the toolkit cannot be withdrawn.
#include <gtest/gtest.h>

#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "input/flight_log.h"
#include "input/glut_codes.h"
#include "support/game_test.h"

namespace {

using namespace glut_code;

using ResetDuringFlight = GameTest;

void press_left_button() { on_mouse(left_button, button_down, 400, 300); }
void press_up_arrow() { on_special_key(key_up, 0, 0); }

TEST_F(ResetDuringFlight, CannonIsLoadedAgainAtOnce)
{
    start_game();
    aim_translate = 1.5f;
    press_left_button();
    toolkit.advance(660);
    ASSERT_EQ(shot_in_flight, 1);
    ASSERT_GT(shot_height, 0.0f);
    toolkit.clear_requests();

    on_menu(menu_reset);

    expect_loaded();
    EXPECT_EQ(aim_translate, 0.0f);
    EXPECT_EQ(toolkit.redisplays, 1);
    EXPECT_TRUE(toolkit.timers.empty());
}

TEST_F(ResetDuringFlight, StepTheOldFlightLeftPendingDoesNothingWhenItFires)
{
    start_game();
    press_left_button();
    toolkit.advance(700);
    on_menu(menu_reset);
    capture->take();
    toolkit.clear_requests();
    ASSERT_EQ(toolkit.pending_count(shot_step), 1);

    ASSERT_TRUE(toolkit.fire_next());

    expect_loaded();
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_EQ(toolkit.pending_count(shot_step), 0);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(ResetDuringFlight, NextMouseShotRisesAtTheNormalRateAndLands)
{
    start_game();
    press_left_button();
    toolkit.advance(1000);
    on_menu(menu_reset);
    toolkit.advance(500);  // the old step falls due and is swallowed

    const unsigned long long pressed = toolkit.now_ms;
    press_left_button();
    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.rise_times, normal_rise_times(pressed + 66));
    ASSERT_EQ(flight.heights.size(), 51u);
    EXPECT_EQ(flight.heights[49], 3.9999983f);
    EXPECT_EQ(flight.heights[50], 4.0799985f);
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{pressed + 3432}));
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(ResetDuringFlight, MouseShotFiredBeforeTheOldStepHasRunRisesAtTheNormalRate)
{
    start_game();
    press_left_button();
    toolkit.advance(1000);  // the old step now falls due at 1056
    on_menu(menu_reset);

    press_left_button();
    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.idle_times, (std::vector<unsigned long long>{1056}));
    EXPECT_EQ(flight.rise_times, normal_rise_times(1000 + 66));
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{1000 + 3432}));
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(ResetDuringFlight, ArrowShotFiredBeforeTheOldStepHasRunRisesAtTheNormalRate)
{
    start_game();
    press_up_arrow();
    toolkit.advance(1000);  // rises at 0, 66, ..., 990; the old step falls due at 1056
    on_menu(menu_reset);

    press_up_arrow();
    ASSERT_EQ(shot_height, 0.08f);
    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.idle_times, (std::vector<unsigned long long>{1056}));
    EXPECT_EQ(flight.rise_times, normal_rise_times(1000 + 66, 50));
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{1000 + 3366}));
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(ResetDuringFlight, ShotFiredInTheSameMillisecondAsTheOldOneStillRisesAtTheNormalRate)
{
    // The old step and the new flight's first step fall due together; the toolkit runs them in
    // the order they were registered, so the old one is still the one swallowed.
    start_game();
    press_left_button();
    on_menu(menu_reset);
    press_left_button();

    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.idle_times, (std::vector<unsigned long long>{66}));
    EXPECT_EQ(flight.rise_times, normal_rise_times(66));
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{3432}));
    EXPECT_EQ(flight.odd_steps, 0);
}

TEST_F(ResetDuringFlight, TwoResetsDuringOneFlightSwallowOnlyTheOneStepLeftPending)
{
    start_game();
    press_left_button();
    toolkit.advance(300);
    on_menu(menu_reset);
    on_menu(menu_reset);
    press_up_arrow();

    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.idle_times.size(), 1u);
    EXPECT_EQ(flight.rise_times, normal_rise_times(300 + 66, 50));
    EXPECT_EQ(flight.landing_times.size(), 1u);
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(ResetDuringFlight, ResetsDuringSeveralFlightsInARowLeaveAWorkingCannon)
{
    start_game();
    press_left_button();
    toolkit.advance(100);
    on_menu(menu_reset);
    press_up_arrow();
    toolkit.advance(30);
    on_menu(menu_reset);
    press_left_button();
    toolkit.advance(1);  // the first flight's step falls due at 132
    on_menu(menu_reset);
    on_menu(menu_reset);
    // Three flights abandoned; their three steps are still pending, the last one due a
    // millisecond before the next flight's first step.
    ASSERT_EQ(toolkit.pending_count(shot_step), 3);
    expect_loaded();

    const unsigned long long pressed = toolkit.now_ms;
    press_left_button();
    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.idle_times.size(), 3u);
    EXPECT_EQ(flight.rise_times, normal_rise_times(pressed + 66));
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{pressed + 3432}));
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();

    // And the flight after that is untouched by any of it.
    press_up_arrow();
    const FlightLog next = run_until_no_timer_left(toolkit);
    EXPECT_TRUE(next.idle_times.empty());
    EXPECT_EQ(next.rise_times.size(), 50u);
    EXPECT_EQ(next.landing_times.size(), 1u);
}

TEST_F(ResetDuringFlight, ResetAfterTheShotHasLandedLeavesTheNextFlightWhole)
{
    start_game();
    press_left_button();
    run_until_no_timer_left(toolkit);
    on_menu(menu_reset);

    press_left_button();
    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_TRUE(flight.idle_times.empty());
    EXPECT_EQ(flight.rise_times.size(), 51u);
    EXPECT_EQ(flight.landing_times.size(), 1u);
}

}  // namespace
