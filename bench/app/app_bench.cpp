// The real program under its own Xvfb: time from launch to the first chain tick, the chain-tick
// rate it achieves over 10 s at 800 x 600 (a frame is drawn per tick), and its resident memory
// after start-up and after Resets through the menu; plus the game logic's own memory over 1,000
// Resets, measured in-process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "core/game_state.h"
#include "core/toolkit.h"
#include "input/reset.h"
#include "input/test_entry_points.h"
#include "support/game_process.h"
#include "support/xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the game's trace holds at least this many ticks (head lines) and colour lines;
// false if the trace ended first or a minute went by. Returns as soon as the line that completes
// the count has been read.
bool wait_for(GameProcess& game, int ticks, int colour_lines = 0)
{
    return game.await_counts(ticks, colour_lines, std::chrono::minutes(1));
}

// A failure is reported and the benchmark goes on.
void xdotool_or_report(const std::string& arguments)
{
    std::string output;
    if (run_command("xdotool " + arguments, output) != 0) {
        std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
    }
}

// Keeps the pointer off the window, where it starts the program with no stray motion.
void pointer_off_the_window() { xdotool_or_report("mousemove 1010 760"); }

// Launch to the first chain tick. The first tick is due 1 ms into the event loop, which maps the
// window and draws the first frame in the same few milliseconds.
void BM_StartUpToFirstTick(benchmark::State& state)
{
    pointer_off_the_window();
    for (auto _ : state) {
        GameProcess game(MARBLOOM_BINARY);
        if (!wait_for(game, 1)) {
            state.SkipWithError("the program ended before its first tick");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - game.started()).count());
    }
}
BENCHMARK(BM_StartUpToFirstTick)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Ticks the real program achieves in 10 s (nominally 25 per second), counted from its trace.
void BM_ChainTickRate(benchmark::State& state)
{
    pointer_off_the_window();
    for (auto _ : state) {
        GameProcess game(MARBLOOM_BINARY);
        // Past start-up: a second of ticks first.
        wait_for(game, 25);
        const int first = game.ticks();
        const auto from = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const int ticks = game.ticks() - first;
        const double seconds = std::chrono::duration<double>(Clock::now() - from).count();
        state.SetIterationTime(seconds);
        state.counters["ticks_per_second"] = ticks / seconds;
    }
}
BENCHMARK(BM_ChainTickRate)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// Resident memory of the real program after start-up, and after Resets chosen through the menu
// (right button, then its first entry).
void BM_ResidentMemoryWithMenuResets(benchmark::State& state)
{
    const int resets = static_cast<int>(state.range(0));
    pointer_off_the_window();
    for (auto _ : state) {
        GameProcess game(MARBLOOM_BINARY);
        wait_for(game, 25);
        const long after_start = resident_kib(game.pid());
        xdotool_or_report("search --sync --name '^Marbloom$' windowfocus --sync");
        for (int i = 0; i < resets; ++i) {
            xdotool_or_report(
                "mousemove 400 400 mousedown 3 mouseup 3 sleep 0.15 mousemove 410 410 sleep 0.1 click 3");
            // Each Reset's ten colour lines before the next menu.
            if (!wait_for(game, 0, 10 * (i + 2))) {
                state.SkipWithError("a Reset did not arrive");
                return;
            }
        }
        // A second of ticks so that every new ball has been drawn.
        wait_for(game, game.ticks() + 25);
        const long after_resets = resident_kib(game.pid());
        state.counters["rss_after_start_kib"] = static_cast<double>(after_start);
        state.counters["rss_after_resets_kib"] = static_cast<double>(after_resets);
        if (resets > 0) {
            state.counters["kib_per_reset"] = static_cast<double>(after_resets - after_start) / resets;
        }
        pointer_off_the_window();
    }
}
BENCHMARK(BM_ResidentMemoryWithMenuResets)->Arg(0)->Arg(50)->Iterations(1)->Unit(benchmark::kSecond);

// The game logic alone: resident memory of this process over 1,000 Resets (10,000 balls), with
// no drawing.
void BM_GameLogicMemoryOver1000Resets(benchmark::State& state)
{
    for (auto _ : state) {
        // The colour lines that reset_game prints do not belong in the report.
        std::fflush(stdout);
        const int console = dup(STDOUT_FILENO);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, STDOUT_FILENO);
        restore_start_state();
        reset_game();
        const long before = resident_kib(getpid());
        for (int i = 0; i < 1000; ++i) {
            reset_game();
        }
        const long after = resident_kib(getpid());
        std::fflush(stdout);
        dup2(console, STDOUT_FILENO);
        close(console);
        close(null_fd);
        state.counters["rss_growth_kib"] = static_cast<double>(after - before);
        state.counters["bytes_per_ball"] = static_cast<double>(after - before) * 1024.0 / 10000.0;
        restore_start_state();
    }
}
BENCHMARK(BM_GameLogicMemoryOver1000Resets)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    XvfbServer xvfb("1024x768x24");
    install_toolkit(nullptr);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
