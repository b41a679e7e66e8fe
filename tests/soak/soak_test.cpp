// The real program under its own X server for MARBLOOM_SOAK_SECONDS seconds (default 60) of
// random real input through xdotool, then Q: it must exit 0, print a trace that keeps the
// chain's rules throughout, and not grow in memory beyond what its new balls explain.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/game_on_display.h"
#include "support/game_process.h"
#include "support/trace_model.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window opens at (100, 100), 800 x 600, and no window manager moves it.
constexpr int window_left = 100;
constexpr int window_top = 100;
constexpr int window_width = 800;
constexpr int window_height = 600;
constexpr int extra_tick_limit = 3;
// What a new ball costs in resident memory: not the Ball (56 bytes with its slot in the list)
// but its drawing. Under Mesa's software renderer every ball drawn in a frame holds some 80 KiB
// (presumably vertex buffers kept for reuse), so resident memory steps up by about 800 KiB with
// each Reset and stays flat while the number of balls does (docs/performance.md, "Resident
// memory"); 96 KiB a ball leaves room above that.
constexpr long kib_per_new_ball = 96;
// Malloc arenas settling. The menu's one-time window and GL context (about 5.5 MiB) come before
// the baseline is taken.
constexpr long rss_allowance_kib = 8 * 1024;
// Generous: nothing here measures speed.
constexpr auto start_timeout = std::chrono::seconds(60);
constexpr auto exit_timeout = std::chrono::seconds(60);

int soak_seconds()
{
    const char* text = std::getenv("MARBLOOM_SOAK_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 60;
    return seconds > 0 ? seconds : 60;
}

// Opens the menu at screen pixel (x, y) and chooses "Reset".
void menu_reset_at(int x, int y)
{
    xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
    choose_menu_entry(MenuEntry::reset);
}

// One random piece of input, as xdotool arguments; none for a Reset, which is chosen from the menu
// at once.
std::string random_input(std::mt19937& rng, int& extra_ticks, int& resets_sent, int reset_budget)
{
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto inside = [&pick](int& x, int& y) {
        x = window_left + pick(20, window_width - 120);
        y = window_top + pick(20, window_height - 120);
    };
    int x = 0;
    int y = 0;
    switch (pick(0, 19)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        inside(x, y);
        return "mousemove " + std::to_string(x) + " " + std::to_string(y);
    case 6:
        // Off the window: the program sees nothing of it.
        return "mousemove " + std::to_string(pick(905, 1020)) + " " + std::to_string(pick(0, 760));
    case 7:
    case 8:
        return "key Left";
    case 9:
    case 10:
        return "key Right";
    case 11:
        return "key Up";
    case 12:
        return "key Down";
    case 13:
        return "click 1";
    case 14:
        return pick(0, 1) == 0 ? "key j" : "key J";
    case 15:
        return "key h";
    case 16:
        inside(x, y);
        // A drag: the travel is not followed until the next move without a button.
        return "mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 2 mousemove " +
               std::to_string(x + pick(-50, 50)) + " " + std::to_string(y) + " mouseup 2";
    case 17:
        if (extra_ticks < extra_tick_limit && pick(0, 9) == 0) {
            ++extra_ticks;
            return "key k";
        }
        return "key Down";
    default:
        if (resets_sent < reset_budget && pick(0, 3) == 0) {
            ++resets_sent;
            inside(x, y);
            menu_reset_at(x, y);
            return "";
        }
        return "key Right";
    }
}

TEST(Soak, RandomInputForMinutesKeepsTheTraceRightTheMemoryFlatAndQuitsCleanly)
{
    const int seconds = soak_seconds();
    const unsigned int seed = std::getenv("MARBLOOM_SOAK_SEED") != nullptr
                                  ? static_cast<unsigned int>(std::atol(std::getenv("MARBLOOM_SOAK_SEED")))
                                  : std::random_device{}();
    std::printf("soak: %d s of input, seed %u (MARBLOOM_SOAK_SEED repeats the choice of input)\n", seconds,
                seed);
    std::fflush(stdout);
    std::mt19937 rng(seed);

    // The pointer starts off the window, so that no stray motion event aims before the input does.
    GameOnDisplay display({MARBLOOM_BINARY}, {"1024x768x24", 1010, 760});
    GameProcess& game = display.game;
    const std::string& window_id = display.window;

    game.await_counts(10, 0, start_timeout);
    ASSERT_GE(game.ticks(), 10) << "the chain never started ticking";
    // One Reset before the baseline: the menu's first opening costs a window and a GL context of
    // its own once per run, which would otherwise eat most of the allowance below. A second of
    // ticks after it lets every new ball be drawn.
    menu_reset_at(window_left + window_width / 2, window_top + window_height / 2);
    game.await_counts(game.ticks() + 25, 20, start_timeout);
    ASSERT_GE(game.colour_lines(), 20) << "the first Reset through the menu did not arrive";
    const long rss_after_start = resident_kib(game.pid());

    // About one reset every five seconds.
    const int reset_budget = seconds / 5 + 1;
    int extra_ticks = 0;
    int resets_sent = 0;
    long inputs = 0;
    const auto input_end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < input_end && game.running()) {
        const std::string input = random_input(rng, extra_ticks, resets_sent, reset_budget);
        if (!input.empty()) {
            xdotool(input);
        }
        ++inputs;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(5, 40)(rng)));
    }
    ASSERT_TRUE(game.running()) << "the program ended before Q";
    const long rss_before_quit = resident_kib(game.pid());

    xdotool("windowfocus --sync " + window_id + " key q");
    const auto quit_sent = Clock::now();
    const std::string status = game.wait_for_exit(exit_timeout);
    const double exit_ms = std::chrono::duration<double, std::milli>(Clock::now() - quit_sent).count();
    EXPECT_EQ(status, "exited with status 0") << "waited " << exit_timeout.count() << " s after Q";

    const std::vector<std::string> lines = game.lines();
    TraceReading reading;
    EXPECT_TRUE(read_trace(lines, reading));
    std::printf(
        "soak: %ld inputs (%d resets sent, %d K), %zu trace lines, %d ticks, %d chains, %zu other lines; "
        "exited %.0f ms after Q\n",
        inputs, resets_sent, extra_ticks, lines.size(), reading.ticks, reading.chains, reading.events.size(),
        exit_ms);
    EXPECT_GT(reading.ticks, 0);
    // A menu choice that went astray would show as fewer chains; one that hit "Exit" would have
    // ended the program early, caught above.
    EXPECT_EQ(reading.chains, 2 + resets_sent);

    // The chains after the baseline: all but the start-up chain and the first Reset's.
    const long justified_kib = (reading.chains - 2) * 10 * kib_per_new_ball;
    std::printf("soak: resident %ld KiB after start-up, %ld KiB before Q (allowed growth %ld + %ld KiB)\n",
                rss_after_start, rss_before_quit, justified_kib, rss_allowance_kib);
    EXPECT_GT(rss_after_start, 0);
    EXPECT_LE(rss_before_quit - rss_after_start, justified_kib + rss_allowance_kib);
}

}  // namespace
