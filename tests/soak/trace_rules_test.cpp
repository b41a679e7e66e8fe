// The soak's trace checker: it accepts what the game logic really prints, through resets, the
// follow rule and stopped balls, and it rejects each kind of broken trace.
#include "trace_rules.h"
#include "input/reset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "support/game_test.h"

namespace {

class TraceRules : public GameTest {
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

    static bool mentions(const TraceReport& report, const std::string& words)
    {
        for (const std::string& error : report.errors) {
            if (error.find(words) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(TraceRules, TheGameLogicsOwnTraceKeepsEveryRule)
{
    const TraceReport report = check_trace(long_game());
    EXPECT_TRUE(report.errors.empty()) << report.errors.front();
    EXPECT_EQ(report.ticks, 1533);
    EXPECT_EQ(report.chains, 4);
    EXPECT_EQ(report.arrow_lines, 2);
    EXPECT_EQ(report.aim_lines, 1);
    EXPECT_EQ(report.help_texts, 1);
}

TEST_F(TraceRules, ABallLineMissingFromATickIsCaught)
{
    std::vector<std::string> lines = long_game();
    lines.erase(lines.begin() + 15);  // the first tick's ball 5
    EXPECT_TRUE(mentions(check_trace(lines), "head line inside a tick block"));
}

TEST_F(TraceRules, ABallThatSkipsAStepIsCaught)
{
    std::vector<std::string> lines = long_game();
    // Second tick, ball 3: it was at move_u 0.02 and should still be.
    ASSERT_EQ(lines[23], "npt=2, pt=3, move_u=0.020000");
    lines[23] = "npt=2, pt=3, move_u=0.040000";
    EXPECT_TRUE(mentions(check_trace(lines), "ball 3 went from pt 3"));
}

TEST_F(TraceRules, ABallFollowingTheWrongSegmentIsCaught)
{
    std::vector<std::string> lines = long_game();
    ASSERT_EQ(lines[23], "npt=2, pt=3, move_u=0.020000");
    lines[23] = "npt=5, pt=3, move_u=0.020000";
    EXPECT_TRUE(mentions(check_trace(lines), "ball 3 followed npt 5"));
}

TEST_F(TraceRules, AChainOfNineColoursIsCaught)
{
    std::vector<std::string> lines = long_game();
    lines.erase(lines.begin() + 3);
    EXPECT_TRUE(mentions(check_trace(lines), "9 colour lines in a row"));
}

TEST_F(TraceRules, MalformedAndUnknownLinesAreCaught)
{
    for (const char* bad :
         {"aim_translate: 1.5", "aim_translate: nan", "Left  key", "npt=0, pt=0", "color=5", "hello"}) {
        SCOPED_TRACE(bad);
        std::vector<std::string> lines = long_game();
        lines.insert(lines.begin() + 10, bad);
        EXPECT_FALSE(check_trace(lines).errors.empty());
        restore_start_state();
        std::srand(1);
    }
}

TEST_F(TraceRules, ATraceCutInsideATickIsCaught)
{
    std::vector<std::string> lines = long_game();
    lines.pop_back();
    EXPECT_TRUE(mentions(check_trace(lines), "trace ends inside a tick block"));
}

}  // namespace
