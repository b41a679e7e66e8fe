// Firing: the left button and the up arrow, the rising shot, and the actions a shooter refuses.
#include <gtest/gtest.h>

#include "input/aim_and_shot.h"
#include "input/flight_log.h"
#include "input/glut_codes.h"
#include "support/game_test.h"

namespace {

// The codes the game receives from GLUT; the others a test sends are typed below.
using namespace glut_code;

constexpr int middle_button = 1;  // GLUT_MIDDLE_BUTTON
constexpr int right_button = 2;   // GLUT_RIGHT_BUTTON
constexpr int up = 1;             // GLUT_UP
constexpr int key_f1 = 1;         // GLUT_KEY_F1
constexpr int key_page_up = 104;  // GLUT_KEY_PAGE_UP

using Firing = GameTest;

TEST_F(Firing, LeftButtonFiresFromTheAimAndSchedulesTheFirstRiseOnePeriodLater)
{
    start_game();
    aim_translate = 1.0f;

    on_mouse(left_button, button_down, 123, 456);

    EXPECT_EQ(shot_in_flight, 1);
    EXPECT_EQ(shot_x, 1.0f);
    EXPECT_EQ(shot_height, 0.0f);
    ASSERT_EQ(toolkit.timers.size(), 1u);
    EXPECT_EQ(toolkit.timers[0], (TimerRequest{66, &shot_step, 0}));
    // Nothing visible changes until the first rise.
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(Firing, UpArrowFiresAndMakesTheFirstRiseDuringTheKeyPress)
{
    start_game();
    aim_translate = -0.5f;

    on_special_key(key_up, 0, 0);

    EXPECT_EQ(capture->take(), "Up key\n");
    EXPECT_EQ(shot_in_flight, 1);
    EXPECT_EQ(shot_x, -0.5f);
    EXPECT_EQ(shot_height, 0.08f);
    ASSERT_EQ(toolkit.timers.size(), 1u);
    EXPECT_EQ(toolkit.timers[0], (TimerRequest{66, &shot_step, 1}));
    // One for the rise, one that every special key asks for.
    EXPECT_EQ(toolkit.redisplays, 2);
}

TEST_F(Firing, MouseShotRisesFiftyOneTimesEvery66msAndLandsOnTheFiftySecondStep)
{
    start_game();
    on_mouse(left_button, button_down, 0, 0);

    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.rise_times, normal_rise_times(66));
    ASSERT_EQ(flight.heights.size(), 51u);
    EXPECT_EQ(flight.heights[0], 0.08f);
    EXPECT_EQ(flight.heights[49], 3.9999983f);
    EXPECT_EQ(flight.heights[50], 4.0799985f);
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{3432}));
    EXPECT_TRUE(flight.idle_times.empty());
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(Firing, ArrowShotRisesAtOnceThenEvery66msAndLandsAt3366ms)
{
    start_game();
    on_special_key(key_up, 0, 0);

    const FlightLog flight = run_until_no_timer_left(toolkit);

    EXPECT_EQ(flight.rise_times, normal_rise_times(66, 50));
    ASSERT_EQ(flight.heights.size(), 50u);
    EXPECT_EQ(flight.heights[48], 3.9999983f);
    EXPECT_EQ(flight.heights[49], 4.0799985f);
    EXPECT_EQ(flight.landing_times, (std::vector<unsigned long long>{3366}));
    EXPECT_EQ(flight.odd_steps, 0);
    expect_loaded();
}

TEST_F(Firing, StepValueCountsTheRisesAlreadyMade)
{
    start_game();
    on_mouse(left_button, button_down, 0, 0);
    run_until_no_timer_left(toolkit);

    ASSERT_EQ(toolkit.timers.size(), 52u);
    for (int i = 0; i < 52; ++i) {
        EXPECT_EQ(toolkit.timers[static_cast<std::size_t>(i)].value, i);
    }
}

TEST_F(Firing, FiftySecondStepEndsTheFlightQuietly)
{
    start_game();
    on_mouse(left_button, button_down, 0, 0);
    for (int rise = 0; rise < 51; ++rise) {
        ASSERT_TRUE(toolkit.fire_next());
    }
    ASSERT_EQ(shot_height, 4.0799985f);
    toolkit.clear_requests();

    ASSERT_TRUE(toolkit.fire_next());

    expect_loaded();
    // The reloaded cannon shows at the chain tick's next redisplay.
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_EQ(toolkit.pending_count(shot_step), 0);
}

TEST_F(Firing, ShotKeepsItsColumnWhileTheCannonMovesOn)
{
    start_game();
    aim_translate = 1.0f;
    on_mouse(left_button, button_down, 0, 0);
    toolkit.advance(660);

    on_passive_motion(100, 300);
    on_special_key(102, 0, 0);  // right arrow

    EXPECT_EQ(shot_x, 1.0f);
    EXPECT_NE(aim_translate, 1.0f);
    EXPECT_EQ(shot_in_flight, 1);
    run_until_no_timer_left(toolkit);
    expect_loaded();
}

TEST_F(Firing, LeftButtonWhileAShotIsInFlightIsIgnoredWithoutASecondTimer)
{
    start_game();
    aim_translate = 0.5f;
    on_mouse(left_button, button_down, 0, 0);
    toolkit.advance(200);
    aim_translate = -2.0f;
    capture->take();
    toolkit.clear_requests();
    const float height = shot_height;

    on_mouse(left_button, button_down, 0, 0);

    EXPECT_EQ(toolkit.pending_count(shot_step), 1);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(shot_x, 0.5f);
    EXPECT_EQ(shot_height, height);
    EXPECT_EQ(shot_in_flight, 1);
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(Firing, UpArrowWhileAShotIsInFlightOnlyPrintsAndRedisplays)
{
    start_game();
    on_mouse(left_button, button_down, 0, 0);
    toolkit.advance(300);
    capture->take();
    toolkit.clear_requests();
    const float height = shot_height;

    on_special_key(key_up, 0, 0);

    EXPECT_EQ(capture->take(), "Up key\n");
    EXPECT_EQ(toolkit.redisplays, 1);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(shot_height, height);
    EXPECT_EQ(toolkit.pending_count(shot_step), 1);
}

TEST_F(Firing, ReleasesAndTheOtherButtonsChangeNothing)
{
    start_game();
    aim_translate = 0.7f;
    const int events[][2] = {{left_button, up},           {middle_button, button_down}, {middle_button, up},
                             {right_button, button_down}, {right_button, up},           {3, button_down}};
    for (const auto& event : events) {
        on_mouse(event[0], event[1], 400, 300);
    }

    expect_loaded();
    EXPECT_EQ(aim_translate, 0.7f);
    EXPECT_TRUE(toolkit.timers.empty());
    EXPECT_EQ(toolkit.redisplays, 0);
    EXPECT_EQ(capture->take(), "");
}

TEST_F(Firing, CannonFiresAgainOnceTheShotHasLanded)
{
    start_game();
    on_special_key(key_up, 0, 0);
    run_until_no_timer_left(toolkit);
    toolkit.clear_requests();

    on_mouse(left_button, button_down, 0, 0);
    EXPECT_EQ(shot_in_flight, 1);
    const FlightLog second = run_until_no_timer_left(toolkit);
    EXPECT_EQ(second.rise_times.size(), 51u);
    EXPECT_EQ(second.landing_times.size(), 1u);
}

TEST_F(Firing, DownArrowOnlyPrintsItsLineAndRedisplays)
{
    start_game();
    on_special_key(key_down, 0, 0);

    EXPECT_EQ(capture->take(), "Down key\n");
    EXPECT_EQ(toolkit.redisplays, 1);
    EXPECT_TRUE(toolkit.timers.empty());
    expect_loaded();
    EXPECT_EQ(aim_translate, 0.0f);
}

TEST_F(Firing, SpecialKeysOtherThanTheArrowsPrintNothingAndAskForOneRedisplay)
{
    start_game();
    for (int key : {key_f1, key_page_up, 12, 999}) {
        SCOPED_TRACE(key);
        toolkit.clear_requests();
        on_special_key(key, 0, 0);
        EXPECT_EQ(capture->take(), "");
        EXPECT_EQ(toolkit.redisplays, 1);
        EXPECT_TRUE(toolkit.timers.empty());
        expect_loaded();
        EXPECT_EQ(aim_translate, 0.0f);
    }
}

}  // namespace
