// The trace model: it reads what the game logic really prints, through resets, the follow rule
// and stopped balls, and it rejects each kind of broken trace.
#include "support/trace_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "input/reset.h"
#include "support/game_test.h"
#include "support/trace_lines.h"

namespace {

class TraceModel : public GameTest {
protected:
    // A game long enough for every ball to stop, with resets early and late, the help text,
    // arrows and aiming in between: what a soak run prints, in-process.
    std::vector<std::string> long_game()
    {
        reset_game();
        set_window_size(800, 600);
        run_ticks(30);
        on_menu(menu_reset);
        on_special_key(100, 0, 0);
        on_passive_motion(300, 10);
        run_ticks(3);
        on_key('h', 0, 0);
        run_ticks(700);
        on_menu(menu_reset);
        on_menu(menu_reset);
        on_special_key(101, 0, 0);
        run_ticks(800);
        return capture->take_lines();
    }

    // The first line of why reading these lines fails; empty if it does not.
    static std::string failure(const std::vector<std::string>& lines)
    {
        TraceReading reading;
        const ::testing::AssertionResult result = read_trace(lines, reading);
        const std::string why = result ? "" : result.message();
        return why.substr(0, why.find('\n'));
    }
};

TEST_F(TraceModel, ReadsTheGameLogicsOwnTraceWhole)
{
    TraceReading reading;
    ASSERT_TRUE(read_trace(long_game(), reading));
    EXPECT_EQ(reading.ticks, 1533);
    EXPECT_EQ(reading.ticks_with_chains, (std::vector<int>{0, 30, 703, 0, 800}));
    EXPECT_EQ(reading.chains, 4);
    std::vector<std::string> events = colour_lines(first_reset_colours);
    events.push_back("Left key");
    events.push_back("aim_translate: -0.100000");
    for (const std::vector<std::string>& part : {help_lines(), colour_lines(unseeded_colours(20, 20))}) {
        events.insert(events.end(), part.begin(), part.end());
    }
    events.push_back("Up key");
    EXPECT_EQ(reading.events, events);
}

TEST_F(TraceModel, ABallLineMissingFromATickIsCaught)
{
    std::vector<std::string> lines = long_game();
    lines.erase(lines.begin() + 15);  // the first tick's ball 5
    EXPECT_EQ(failure(lines),
              "line 16: run 1 of chain_tick, ball 5: expected \"npt=4, pt=5, move_u=0.000000\"");
}

TEST_F(TraceModel, ABallThatSkipsAStepIsCaught)
{
    std::vector<std::string> lines = long_game();
    // Second tick, ball 3: it was at move_u 0.02 and should still be.
    ASSERT_EQ(lines[23], "npt=2, pt=3, move_u=0.020000");
    lines[23] = "npt=2, pt=3, move_u=0.040000";
    EXPECT_EQ(failure(lines),
              "line 24: run 2 of chain_tick, ball 3: expected \"npt=2, pt=3, move_u=0.020000\"");
}

TEST_F(TraceModel, ABallFollowingTheWrongSegmentIsCaught)
{
    std::vector<std::string> lines = long_game();
    ASSERT_EQ(lines[23], "npt=2, pt=3, move_u=0.020000");
    lines[23] = "npt=5, pt=3, move_u=0.020000";
    EXPECT_EQ(failure(lines),
              "line 24: run 2 of chain_tick, ball 3: expected \"npt=2, pt=3, move_u=0.020000\"");
}

TEST_F(TraceModel, AChainOfNineColoursIsCaught)
{
    std::vector<std::string> lines = long_game();
    // The first Reset's colours follow the start-up colours and 30 ticks of ten balls.
    ASSERT_EQ(lines[320], "Left key");
    lines.erase(lines.begin() + 313);
    EXPECT_EQ(failure(lines), "line 320: colour line 10 of a new chain missing or bad");
}

TEST_F(TraceModel, MalformedAndUnknownLinesAreCaught)
{
    const std::vector<std::string> game = long_game();
    for (const char* bad : {"aim_translate: 1.5", "aim_translate: nan", "Left  key", "hello"}) {
        std::vector<std::string> lines = game;
        lines.insert(lines.begin() + 10, bad);
        EXPECT_EQ(failure(lines), "line 11: a line the game does not print") << bad;
    }
    std::vector<std::string> lines = game;
    lines.insert(lines.begin() + 10, "npt=0, pt=0");
    EXPECT_EQ(failure(lines),
              "line 11: run 1 of chain_tick, ball 0: expected \"npt=0, pt=0, move_u=0.000000\"");
    lines = game;
    lines[313] = "color=5";
    EXPECT_EQ(failure(lines), "line 314: colour line 4 of a new chain missing or bad");
}

TEST_F(TraceModel, ATraceCutInsideATickIsCaught)
{
    std::vector<std::string> lines = long_game();
    const std::string last = lines.back();
    lines.pop_back();
    EXPECT_EQ(failure(lines), "line " + std::to_string(lines.size() + 1) +
                                  ": run 1533 of chain_tick, ball 39: expected \"" + last + "\"");
}

}  // namespace
