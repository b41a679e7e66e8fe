// One chain tick over 10, 1,000 and 100,000 balls, the trace going to /dev/null: the cost per
// ball of the follow rule, the placement on the path and the formatting of the trace line.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <ext/stdio_filebuf.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

#include "chain/chain.h"
#include "core/game_state.h"
#include "core/toolkit.h"
#include "input/reset.h"
#include "input/test_entry_points.h"

namespace {

// Balls stop at the end of the path after at most 715 ticks, and a stopped ball is cheaper than a
// moving one; starting again well before that keeps the measured mix that of a moving chain.
constexpr int ticks_before_restart = 300;

// The balls as that many Resets leave them (ten per chain, each chain following the one before),
// before their first tick.
void fresh_balls(int count)
{
    restore_start_state();
    for (int i = 0; i < count / 10; ++i) {
        reset_game();
    }
}

void run_ticks(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    fresh_balls(count);
    int ticks = 0;
    for (auto _ : state) {
        chain_tick(0);
        if (++ticks == ticks_before_restart) {
            state.PauseTiming();
            fresh_balls(count);
            ticks = 0;
            state.ResumeTiming();
        }
    }
    std::fflush(stdout);
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["per_ball"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    restore_start_state();
}

// The trace fully buffered, as a redirected stdout is by default: formatting, no system call.
void BM_ChainTick(benchmark::State& state)
{
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    run_ticks(state);
}
BENCHMARK(BM_ChainTick)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Line-buffered, as the program sets it: one write() per trace line on top.
void BM_ChainTickLineBuffered(benchmark::State& state)
{
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    run_ticks(state);
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
}
BENCHMARK(BM_ChainTickLineBuffered)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // The report goes to the original standard output; the trace goes to /dev/null.
    const int console = dup(STDOUT_FILENO);
    __gnu_cxx::stdio_filebuf<char> console_buffer(console, std::ios::out);
    std::ostream report(&console_buffer);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("/dev/null");
        return 1;
    }
    // The default toolkit drops the timers and redisplay requests that each tick makes.
    install_toolkit(nullptr);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // No colour codes: the report is often a file.
    benchmark::ConsoleReporter console_reporter(benchmark::ConsoleReporter::OO_Tabular);
    console_reporter.SetOutputStream(&report);
    console_reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&console_reporter);
    benchmark::Shutdown();
    report.flush();
    return 0;
}
