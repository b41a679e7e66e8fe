// Chain motion: the trace of each tick, placement on segments, segment changes, where and when
// each ball stops, the follow rule, and how extra tick chains speed the chain up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/commands.h"
#include "input/reset.h"
#include "support/game_test.h"
#include "support/trace_lines.h"

namespace {

using ChainMotion = GameTest;

// Weight of a segment's end points: the nodes 0.333 and 0.667 are not exact thirds.
constexpr float end_weight = 0.9994995f;

TEST_F(ChainMotion, FirstTickPrintsOneLinePerBallWithTheStateBeforeItMoves)
{
    start_game();
    chain_tick(0);
    std::vector<std::string> expected = {tick_line(0, 0, 0.0)};
    for (int i = 1; i < 10; ++i) {
        expected.push_back(tick_line(i - 1, i, 0.0));
    }
    EXPECT_EQ(capture->take_lines(), expected);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(balls[i]->move_u, 0.02f) << "ball " << i;
    }
}

TEST_F(ChainMotion, TickRenewsItselfIn40msWithItsValueAndAsksForOneRedisplay)
{
    start_game();
    chain_tick(7);
    ASSERT_EQ(toolkit.timers.size(), 1u);
    EXPECT_EQ(toolkit.timers[0], (TimerRequest{40, &chain_tick, 7}));
    EXPECT_EQ(toolkit.redisplays, 1);
}

TEST_F(ChainMotion, TickOnAnEmptyListMovesNothingAndStillRenews)
{
    chain_tick(0);
    EXPECT_EQ(capture->take(), "");
    EXPECT_EQ(toolkit.timers.size(), 1u);
}

TEST_F(ChainMotion, FirstPlacementPutsEachFollowerAtTheStartOfItsSegment)
{
    start_game();
    chain_tick(0);
    EXPECT_EQ(basis0(0.0f), end_weight);
    EXPECT_EQ(basis1(0.0f), 0.0f);
    EXPECT_EQ(basis3(1.0f), end_weight);
    for (int i = 1; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(balls[i]->x, end_weight * path_points[i].x, 1e-7);
        EXPECT_NEAR(balls[i]->y, end_weight * path_points[i].y, 1e-7);
    }
    EXPECT_NEAR(balls[1]->x, 0.49975, 1e-6);
    EXPECT_NEAR(balls[1]->y, 0.29985, 1e-6);
    EXPECT_EQ(balls[6]->x, 0.0f);
}

TEST_F(ChainMotion, WeightsSumAboveOneMidSegmentSoStraightRunsBulge)
{
    const double mid = static_cast<double>(basis0(0.5f)) + basis1(0.5f) + basis2(0.5f) + basis3(0.5f);
    EXPECT_NEAR(mid, 1.00175, 1e-5);
    start_game();
    run_ticks(26);  // ball 1 now placed at u = 0.5 on the run along y = 0.3
    EXPECT_NEAR(balls[1]->y, 0.30052, 1e-5);
}

TEST_F(ChainMotion, FiftySingleStepsStayBelowOneSoEachSegmentGetsFiftyOnePlacements)
{
    start_game();
    run_ticks(50);
    EXPECT_EQ(balls[1]->move_u, 0.99999958f);
    EXPECT_EQ(balls[1]->pt, 1);

    chain_tick(0);  // 51st placement, at the segment's end
    EXPECT_EQ(balls[1]->pt, 1);
    EXPECT_NEAR(balls[1]->x, end_weight * path_points[4].x, 1e-6);
    EXPECT_NEAR(balls[1]->y, end_weight * path_points[4].y, 1e-6);

    chain_tick(0);  // tick 52: next segment, placed at its start, the same point again
    EXPECT_EQ(balls[1]->pt, 4);
    EXPECT_EQ(balls[1]->move_u, 0.02f);
    EXPECT_NEAR(balls[1]->x, end_weight * path_points[4].x, 1e-6);
}

TEST_F(ChainMotion, EveryFollowerChangesSegmentOnTheSameTicks)
{
    start_game();
    std::vector<int> change_ticks;
    int last_pt = balls[9]->pt;
    for (int tick = 1; tick <= 160; ++tick) {
        chain_tick(0);
        for (int i = 2; i < 10; ++i) {
            ASSERT_EQ(balls[i]->pt, balls[1]->pt + (i - 1)) << "tick " << tick;
        }
        if (balls[9]->pt != last_pt) {
            change_ticks.push_back(tick);
            last_pt = balls[9]->pt;
        }
    }
    EXPECT_EQ(change_ticks, (std::vector<int>{52, 103, 154}));
}

TEST_F(ChainMotion, FollowersStopAtThePathsEndOnTheirOwnTicksAndTheHeadNeverMoves)
{
    start_game();
    std::vector<int> stop_tick(10, 0);
    for (int tick = 1; tick <= 800; ++tick) {
        chain_tick(0);
        const Ball& head = *balls[0];
        ASSERT_EQ(head.x, 0.8f);
        ASSERT_EQ(head.y, 0.3f);
        ASSERT_EQ(head.pt, 0);
        ASSERT_EQ(head.move_u, 0.0f);
        ASSERT_EQ(head.end_toggle, 1);
        for (int i = 1; i < 10; ++i) {
            if (stop_tick[i] == 0 && balls[i]->pt >= 41) {
                stop_tick[i] = tick;
            }
        }
    }
    EXPECT_EQ(stop_tick, (std::vector<int>{0, 715, 664, 664, 664, 613, 613, 613, 562, 562}));

    const std::vector<int> final_pt = {0, 43, 41, 42, 43, 41, 42, 43, 41, 42};
    for (int i = 1; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(balls[i]->pt, final_pt[i]);
        EXPECT_EQ(balls[i]->move_u, 0.0f);
        // Resting where the last segment ended: its fourth point, shrunk by the end weight.
        const PathPoint& end = path_points[final_pt[i]];
        EXPECT_NEAR(balls[i]->x, end_weight * end.x, 1e-6);
        EXPECT_NEAR(balls[i]->y, end_weight * end.y, 1e-6);
    }
}

TEST_F(ChainMotion, StoppedBallKeepsItsPlacePrintsEveryTickAndFlipsItsToggle)
{
    start_game();
    run_ticks(562);
    Ball& ball = *balls[9];
    ASSERT_EQ(ball.pt, 42);
    const float x = ball.x;
    const float y = ball.y;
    const int toggle = ball.end_toggle;
    capture->take();

    chain_tick(0);
    EXPECT_EQ(capture->take_lines().back(), tick_line(41, 42, 0.0));
    EXPECT_EQ(ball.x, x);
    EXPECT_EQ(ball.y, y);
    EXPECT_EQ(ball.move_u, 0.0f);
    EXPECT_EQ(ball.end_toggle, 1 - toggle);
    chain_tick(0);
    EXPECT_EQ(ball.end_toggle, toggle);
}

TEST_F(ChainMotion, BallOnTheSameSegmentWaitsUntilTheBallAheadIsPastTheThreshold)
{
    Ball waiting(1, 5, 0.1f, 0.3f);
    waiting.move(5, 0.07f);
    EXPECT_EQ(waiting.move_u, 0.0f);
    EXPECT_EQ(waiting.x, 0.1f);

    Ball advancing(1, 5, 0.1f, 0.3f);
    advancing.move(5, 0.08f);
    EXPECT_EQ(advancing.move_u, 0.02f);
    EXPECT_NEAR(advancing.x, end_weight * path_points[5].x, 1e-7);

    EXPECT_EQ(capture->take_lines(), (std::vector<std::string>{tick_line(5, 5, 0.0), tick_line(5, 5, 0.0)}));
}

TEST_F(ChainMotion, ParameterOfExactlyOneIsPlacedAtTheSegmentEndBeforeChanging)
{
    Ball ball(1, 3, 0.0f, 0.0f);
    ball.move_u = 1.0f;
    ball.move(0, 0.0f);
    EXPECT_EQ(ball.pt, 3);
    EXPECT_NEAR(ball.x, end_weight * path_points[6].x, 1e-7);
    EXPECT_NEAR(ball.y, end_weight * path_points[6].y, 1e-7);
    ball.move(0, 0.0f);
    EXPECT_EQ(ball.pt, 6);
    EXPECT_EQ(ball.move_u, 0.02f);
}

TEST_F(ChainMotion, LastSegmentReadsPointFortyThreeAndItsEndStopsWithoutAPlacement)
{
    Ball ball(1, 40, 0.0f, 0.0f);
    ball.move_u = 1.0f;
    ball.move(0, 0.0f);  // u = 1 on points 40..43
    EXPECT_NEAR(ball.x, end_weight * path_points[43].x, 1e-7);
    const float x = ball.x;
    const float y = ball.y;
    ball.move(0, 0.0f);
    EXPECT_EQ(ball.pt, 43);
    EXPECT_EQ(ball.move_u, 0.0f);
    EXPECT_EQ(ball.x, x);
    EXPECT_EQ(ball.y, y);
    EXPECT_EQ(ball.end_toggle, 0);
}

TEST_F(ChainMotion, NewChainAfterAResetFollowsTheOldTailAndRestsAtPointFortyTwo)
{
    start_game();
    run_ticks(800);  // the first chain has long stopped
    reset_game();
    ASSERT_EQ(balls.size(), 20u);
    Ball& leader = *balls[10];

    chain_tick(0);  // handed npt 42 from ball 9: it advances, unlike the head of the list
    EXPECT_NEAR(leader.x, 0.7996, 1e-4);
    EXPECT_NEAR(leader.y, 0.29985, 1e-6);
    EXPECT_EQ(leader.pt, 0);

    std::vector<int> segments = {0};
    for (int tick = 2; tick <= 800 && leader.pt < 41; ++tick) {
        chain_tick(0);
        if (leader.pt != segments.back()) {
            segments.push_back(leader.pt);
        }
    }
    ASSERT_EQ(segments.size(), 15u);
    EXPECT_EQ(segments[13], 39);
    EXPECT_EQ(segments.back(), 42);

    // Now on ball 9's segment with its move_u at 0: it waits for good, toggle frozen.
    const int toggle = leader.end_toggle;
    capture->take();
    run_ticks(3);
    EXPECT_EQ(leader.end_toggle, toggle);
    EXPECT_EQ(capture->take_lines()[10], tick_line(42, 42, 0.0));
}

TEST_F(ChainMotion, ExtraTickChainDoublesTheRunsPer40msWithTheSameMotionPerRun)
{
    start_game();
    toolkit_start_timer(1, chain_tick, 0);  // as start-up registers it
    toolkit.advance(1);
    on_key('K', 0, 0);
    ASSERT_FALSE(toolkit.timers.empty());
    EXPECT_EQ(toolkit.timers.back(), (TimerRequest{40, &chain_tick, 0}));
    EXPECT_EQ(toolkit.redisplays, 1);  // from the first run only; K asks for none
    EXPECT_EQ(capture->take_lines().size(), 10u);

    toolkit.advance(400);
    // 10 runs from each of the two chains in 400 ms, ten lines a run.
    EXPECT_EQ(capture->take_lines().size(), 20u * 10u);
    EXPECT_EQ(toolkit.pending_count(&chain_tick), 2);

    // With the first run, the same state as 21 runs of a single chain.
    std::vector<float> fast;
    for (const auto& ball : balls) {
        fast.push_back(ball->x);
    }
    restore_start_state();
    std::srand(1);
    reset_game();
    run_ticks(21);
    for (std::size_t i = 0; i < balls.size(); ++i) {
        EXPECT_EQ(balls[i]->x, fast[i]) << "ball " << i;
    }
}

}  // namespace
