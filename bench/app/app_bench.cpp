// The real program under its own Xvfb: time from launch to the first chain tick, the chain-tick
// rate it achieves over 10 s at 800 x 600 (a frame is drawn per tick), and its resident memory
// after start-up and after Resets through the menu; plus the game logic's own memory over 1,000
// Resets, measured in-process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "app/game_state.h"
#include "app/toolkit.h"
#include "support/xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* head_line = "npt=0, pt=0, move_u=0.000000\n";

long resident_kib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// The program with its trace on a pipe. A thread reads the pipe all the time, counting ticks
// (head lines) and colour lines: a trace left unread would fill the pipe and stall the program.
class Game {
public:
    Game()
    {
        int fds[2];
        if (pipe(fds) != 0) {
            std::perror("pipe");
            std::abort();
        }
        started_ = Clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            execl(MARBLOOM_BINARY, MARBLOOM_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        reader_ = std::thread([this, fd = fds[0]] { read_trace(fd); });
    }
    ~Game()
    {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        reader_.join();
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }

    // Waits until the trace holds at least this many ticks and colour lines; false if the trace
    // ended first or a minute went by. Returns as soon as the line that completes the count has
    // been read.
    bool wait_for(int ticks, int colour_lines = 0)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::minutes(1),
                          [&] { return ended_ || (ticks_ >= ticks && colour_lines_ >= colour_lines); });
        return ticks_ >= ticks && colour_lines_ >= colour_lines;
    }

    int ticks()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return ticks_;
    }

private:
    void read_trace(int fd)
    {
        std::FILE* trace = fdopen(fd, "r");
        char line[128];
        while (std::fgets(line, sizeof line, trace) != nullptr) {
            const bool tick = std::strcmp(line, head_line) == 0;
            const bool colour = std::strncmp(line, "color=", 6) == 0;
            if (tick || colour) {
                std::lock_guard<std::mutex> lock(mutex_);
                ticks_ += tick ? 1 : 0;
                colour_lines_ += colour ? 1 : 0;
                changed_.notify_all();
            }
        }
        std::fclose(trace);
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }

    pid_t pid_ = -1;
    Clock::time_point started_;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int ticks_ = 0;
    int colour_lines_ = 0;
    bool ended_ = false;
};

void xdotool(const std::string& arguments)
{
    if (std::system(("xdotool " + arguments + " >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
    }
}

// Keeps the pointer off the window, where it starts the program with no stray motion.
void pointer_off_the_window() { xdotool("mousemove 1010 760"); }

// Launch to the first chain tick. The first tick is due 1 ms into the event loop, which maps the
// window and draws the first frame in the same few milliseconds.
void BM_StartUpToFirstTick(benchmark::State& state)
{
    pointer_off_the_window();
    for (auto _ : state) {
        Game game;
        if (!game.wait_for(1)) {
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
        Game game;
        // Past start-up: a second of ticks first.
        game.wait_for(25);
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
        Game game;
        game.wait_for(25);
        const long after_start = resident_kib(game.pid());
        xdotool("search --sync --name '^Marbloom$' windowfocus --sync");
        for (int i = 0; i < resets; ++i) {
            xdotool("mousemove 400 400 mousedown 3 mouseup 3 sleep 0.15 mousemove 410 410 sleep 0.1 click 3");
            // Each Reset's ten colour lines before the next menu.
            if (!game.wait_for(0, 10 * (i + 2))) {
                state.SkipWithError("a Reset did not arrive");
                return;
            }
        }
        // A second of ticks so that every new ball has been drawn.
        game.wait_for(game.ticks() + 25);
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
