// The real game played through a private X server: pointer, keys and menu synthesised as a
// player would make them, the trace read from its standard output, the exit status checked.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/game_on_display.h"
#include "support/game_process.h"
#include "support/trace_lines.h"
#include "support/trace_model.h"
#include "support/window_image.h"

namespace {

// The muzzle's top is row 540 of an 800 x 600 window; the loaded projectile shows just above it.
constexpr int loaded_row = 533;

// The highest row of a column that shows the projectile, or the window's height if none does.
int projectile_top(const std::string& image, int column)
{
    int row = 0;
    while (row < 600 && pixel(image, column, row) != "projectile") {
        ++row;
    }
    return row;
}

std::vector<std::string> concat(std::vector<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class PlayingTheGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The pointer off the window, so no motion reaches the game until a test moves.
        display = std::make_unique<GameOnDisplay>(std::vector<std::string>{MARBLOOM_BINARY});
        game = &display->game;
        window = display->window;
        // Where the window really is: the game asks for (100, 100), the X server decides.
        origin = window_geometry(window);
    }

    void TearDown() override
    {
        if (HasFailure() && game) {
            const std::vector<std::string> lines = game->lines();
            std::fprintf(stderr, "--- the game's trace, %zu lines; all but the chain ticks: ---\n",
                         lines.size());
            for (const std::string& line : lines) {
                if (!is_tick_line(line)) {
                    std::fprintf(stderr, "%s\n", line.c_str());
                }
            }
        }
        game = nullptr;
        display.reset();
    }

    // Pointer to a column and row of the window.
    void move_pointer(int x, int y = 300)
    {
        xdotool("mousemove " + std::to_string(origin.x + x) + " " + std::to_string(origin.y + y));
    }

    void press(const std::string& keys) { xdotool("key " + keys); }

    std::size_t await_line(const std::string& line, std::size_t from = 0)
    {
        return game->await_line(line, from);
    }

    // Index of the n-th line from `from` on that equals `line`.
    std::size_t await_nth(const std::string& line, int n, std::size_t from)
    {
        std::size_t at = from;
        for (int i = 0; i < n; ++i) {
            at = game->await_line(line, i == 0 ? at : at + 1);
        }
        return at;
    }

    std::size_t await_runs_of_chain_tick(int runs, std::size_t from)
    {
        return await_nth(chain_tick_head_line, runs, from);
    }

    // Reads the window until its image satisfies `shows`; false after thirty seconds. Images are
    // read back to back: a shot is in the air for 3.4 s at least, longer on a slow machine.
    bool await_image(const std::function<bool(const std::string&)>& shows)
    {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!shows(window_image(window))) {
            if (std::chrono::steady_clock::now() > give_up) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    TraceReading finished_trace()
    {
        TraceReading reading;
        EXPECT_TRUE(read_trace(game->lines(), reading));
        return reading;
    }

    std::unique_ptr<GameOnDisplay> display;
    GameProcess* game = nullptr;
    std::string window;
    WindowGeometry origin;
};

TEST_F(PlayingTheGame, StartsWithTheTenColoursThenTicksAndQuitsWithStatusZeroOnUpperQ)
{
    await_runs_of_chain_tick(3, 0);
    press("h");
    const std::size_t help = await_line("\tQ - quit");
    press("H");
    await_line("\tQ - quit", help + 1);
    press("Q");

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    const std::vector<std::string> lines = game->lines();
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 20),
              concat({colour_lines(start_up_colours), first_tick_lines()}));
    const TraceReading trace = finished_trace();
    EXPECT_EQ(trace.events, concat({help_lines(), help_lines()}));
    EXPECT_GE(trace.ticks, 3);
    EXPECT_EQ(trace.ticks_with_chains.at(1), trace.ticks);
}

TEST_F(PlayingTheGame, WindowTitledMarbloomRedrawsAsTheChainMovesAndItsCannonFollowsThePointer)
{
    EXPECT_EQ(xdotool("getwindowname " + window), "Marbloom\n");
    const std::size_t early = await_runs_of_chain_tick(3, 0);
    const std::string first = window_image(window);
    // With no window manager the window stands where the game asks for it.
    EXPECT_EQ((std::vector<int>{origin.x, origin.y, origin.width, origin.height}),
              (std::vector<int>{100, 100, 800, 600}));
    await_runs_of_chain_tick(47, early + 1);
    // Timers never fire early, however busy the machine: 49 periods of 40 ms separate the first
    // run from the 50th. A shorter period would bring it sooner by more than the start-up takes.
    const auto elapsed = std::chrono::steady_clock::now() - game->started();
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 49 * 40);
    EXPECT_NE(window_image(window), first) << "the window stayed the same while the chain moved";
    EXPECT_EQ(across_barrel(first, 400), barrel);
    // World (0, 0.5), where a marker would stand for a path point at the origin: none does.
    EXPECT_EQ(pixel(first, 400, 225), "backdrop");

    // The first move counts its travel from column 0: 400 columns move the aim 1.333, 200 pixels.
    move_pointer(400);
    await_line("aim_translate: 0.000000");
    std::string aimed = window_image(window);
    for (int wait = 0; wait < 600 && across_barrel(aimed, 600) != barrel; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        aimed = window_image(window);
    }
    EXPECT_EQ(across_barrel(aimed, 600), barrel);
    EXPECT_EQ(pixel(aimed, 400, 542), "backdrop");
    press("q");
    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
}

// From the program's own start: no reset hides a start value that would keep the cannon from
// firing, or from loading again after a shot.
TEST_F(PlayingTheGame, LeftClickFiresAProjectileUpTheScreenAndTheReloadedCannonFiresAgain)
{
    const auto loaded = [](const std::string& image) {
        return pixel(image, 600, loaded_row) == "projectile";
    };
    // Two rises (12 rows each) at least above the loaded place, in the column it was fired from.
    const auto risen = [](const std::string& image) { return projectile_top(image, 600) < loaded_row - 24; };
    move_pointer(400);  // the cannon to column 600
    await_line("aim_translate: 0.000000");
    for (int shot = 1; shot <= 2; ++shot) {
        SCOPED_TRACE(::testing::Message() << "shot " << shot);
        ASSERT_TRUE(await_image(loaded)) << "the cannon at column 600 shows no loaded projectile";
        xdotool("click 1");
        ASSERT_TRUE(await_image(risen)) << "no projectile rises from the cannon at column 600";
    }
    press("q");
    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
}

TEST_F(PlayingTheGame, EachLineLeavesTheGameAsItIsPrintedSoAKilledGameCutsNoneOff)
{
    // A trace held back until a buffer fills would reach the pipe in blocks of kilobytes that
    // end inside a line, and a kill would leave it cut off there.
    ASSERT_TRUE(game->await_counts(0, 10, std::chrono::seconds(30)));
    kill(game->pid(), SIGKILL);

    EXPECT_EQ(game->wait_for_exit(), "killed by signal 9");
    const std::vector<std::string> lines = game->lines();
    EXPECT_FALSE(game->output_ended_mid_line()) << "the output ends with \"" << lines.back() << "\"";
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 10), colour_lines(start_up_colours));
}

TEST_F(PlayingTheGame, PointerAimsRelativelyAndTravelWithAButtonHeldWaitsForTheNextMove)
{
    move_pointer(400);
    await_line("aim_translate: 0.000000");
    move_pointer(100);
    await_line("aim_translate: 1.333333");
    // A drag with the middle button, which neither fires nor opens the menu.
    xdotool("mousedown 2");
    move_pointer(700);
    move_pointer(650, 200);
    xdotool("mouseup 2");
    press("Down");
    await_line("Down key");
    move_pointer(600);
    await_line("aim_translate: 0.333333");
    move_pointer(300);
    await_line("aim_translate: 2.000000");
    press("q");

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    EXPECT_EQ(finished_trace().events,
              (std::vector<std::string>{"aim_translate: 0.000000", "aim_translate: 1.333333", "Down key",
                                        "aim_translate: 0.333333", "aim_translate: 2.000000"}));
}

TEST_F(PlayingTheGame, ArrowsAimAndFireAndEndingAGameInFlightStillExitsCleanly)
{
    await_runs_of_chain_tick(1, 0);
    press("Right Right Right Left");
    await_line("Left key");
    press("Up");
    const std::size_t fired = await_line("Up key");
    press("Up");  // in flight: only its line
    await_line("Up key", fired + 1);
    press("Down");
    await_line("Down key");
    // The first pointer move shows the aim the arrows left.
    move_pointer(400);
    await_line("aim_translate: 0.200000");
    xdotool("click 1");
    move_pointer(200);
    await_line("aim_translate: 1.533333");
    press("q");

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    EXPECT_EQ(finished_trace().events,
              (std::vector<std::string>{"Right key", "Right key", "Right key", "Left key", "Up key", "Up key",
                                        "Down key", "aim_translate: 0.200000", "aim_translate: 1.533333"}));
}

TEST_F(PlayingTheGame, MenuResetAppendsASecondChainAndForgetsTheAimAndThePointer)
{
    move_pointer(400);
    await_line("aim_translate: 0.000000");
    move_pointer(500);
    await_line("aim_translate: 1.333333");
    press("Up");
    const std::size_t fired = await_line("Up key");

    choose_menu_entry(MenuEntry::reset);
    // The new chain's tenth colour line is its third "color=1".
    const std::size_t reset = await_nth("color=1", 3, fired);
    // Two runs of the ticks with the new chain: its ball 9 has moved once.
    await_line("npt=8, pt=9, move_u=0.020000", reset);
    move_pointer(200);
    await_line("aim_translate: 0.000000", reset);
    move_pointer(300);
    await_line("aim_translate: 0.666667", reset);
    press("Up");
    await_line("Up key", reset);
    press("q");

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    const TraceReading trace = finished_trace();
    EXPECT_EQ(trace.events, concat({{"aim_translate: 0.000000", "aim_translate: 1.333333", "Up key"},
                                    colour_lines(first_reset_colours),
                                    {"aim_translate: 0.000000", "aim_translate: 0.666667", "Up key"}}));
    ASSERT_EQ(trace.ticks_with_chains.size(), 3u);
    EXPECT_GE(trace.ticks_with_chains[1], 1);
    EXPECT_GE(trace.ticks_with_chains[2], 2);
}

TEST_F(PlayingTheGame, MaterialKeysAndExtraTicksLeaveEveryRunOfTheChainWhole)
{
    await_runs_of_chain_tick(1, 0);
    press("J j j J J");
    press("K k");
    press("h");
    const std::size_t after_keys = await_line("\tQ - quit");
    // Enough runs that each of the three tick chains has run many times.
    await_runs_of_chain_tick(30, after_keys);
    press("q");

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    const TraceReading trace = finished_trace();
    EXPECT_EQ(trace.events, help_lines());
    EXPECT_GE(trace.ticks, 31);
}

TEST_F(PlayingTheGame, MenuExitEndsTheGameWithStatusZero)
{
    await_runs_of_chain_tick(2, 0);
    move_pointer(300);
    await_line("aim_translate: 0.000000");

    choose_menu_entry(MenuEntry::exit);

    EXPECT_EQ(game->wait_for_exit(), "exited with status 0");
    EXPECT_EQ(finished_trace().events, (std::vector<std::string>{"aim_translate: 0.000000"}));
}

}  // namespace
