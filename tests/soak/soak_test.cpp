// The real program under its own X server for MARBLOOM_SOAK_SECONDS seconds (default 60) of
// random real input through xdotool, then Q: it must exit 0, print a trace that keeps the
// chain's rules throughout, and not grow in memory beyond what its new balls explain.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/xvfb.h"
#include "trace_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window opens at (100, 100), 800 x 600, and no window manager moves it.
constexpr int window_left = 100;
constexpr int window_top = 100;
constexpr int window_width = 800;
constexpr int window_height = 600;
// freeglut opens the menu with its top-left corner at the pointer; "Reset" is the first entry.
constexpr int menu_entry_offset = 10;
constexpr int extra_tick_limit = 3;
// What a new ball costs in resident memory: not the Ball (under 100 bytes with its slot in the
// list) but its drawing. Under Mesa's software renderer every ball drawn in a frame holds about
// 75 KiB (presumably vertex buffers kept for reuse), so resident memory steps up with each Reset
// and stays flat while the number of balls does (measured: 40 Resets, +750 KiB each; idle and
// menu opened without a choice, flat).
constexpr long kib_per_new_ball = 96;
// Once per run: the first time the menu opens it gets a window and a GL context of its own
// (about 5.5 MiB); the rest is malloc arenas settling.
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

// Runs xdotool with these arguments and returns what it printed; an exit status other than 0
// fails the test.
std::string xdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return "";
    }
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    return output;
}

std::vector<std::string> read_lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

int count_head_lines(const std::string& path)
{
    std::ifstream in(path);
    int heads = 0;
    for (std::string line; std::getline(in, line);) {
        heads += line == "npt=0, pt=0, move_u=0.000000" ? 1 : 0;
    }
    return heads;
}

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

class Game {
public:
    explicit Game(const std::string& trace_path)
    {
        // Else the child's freopen would flush a copy of the test's pending output.
        std::fflush(stdout);
        pid_ = fork();
        if (pid_ == 0) {
            if (std::freopen(trace_path.c_str(), "w", stdout) == nullptr) {
                _exit(127);
            }
            execl(MARBLOOM_BINARY, MARBLOOM_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Game()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    pid_t pid() const { return pid_; }

    // The exit status, or -1 if the program has not ended within the timeout.
    int wait_for_exit(Clock::duration timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    bool running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// One random piece of input, as xdotool arguments. Resets go through the menu: open it with the
// right button, move onto "Reset", choose it. The pauses leave the program time to map the menu,
// since a move made before the menu's window exists lands on the game's window instead.
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
            return "mousemove " + std::to_string(x) + " " + std::to_string(y) +
                   " mousedown 3 mouseup 3 sleep 0.3 mousemove " + std::to_string(x + menu_entry_offset) +
                   " " + std::to_string(y + menu_entry_offset) + " sleep 0.2 click 3 sleep 0.2";
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

    XvfbServer xvfb("1024x768x24");
    char dir_template[] = "/tmp/marbloom-soak-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    const std::string trace_path = std::string(dir_template) + "/trace.txt";

    // The pointer starts off the window, so that no stray motion event aims before the input does.
    xdotool("mousemove 1010 760");
    Game game(trace_path);
    const std::string window = xdotool("search --sync --name '^Marbloom$'");
    ASSERT_FALSE(window.empty());
    const std::string window_id = window.substr(0, window.find('\n'));
    // Without a window manager nobody gives the window the focus, and keys would go nowhere.
    xdotool("windowfocus --sync " + window_id);

    const auto start_deadline = Clock::now() + start_timeout;
    while (count_head_lines(trace_path) < 10 && Clock::now() < start_deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GE(count_head_lines(trace_path), 10) << "the chain never started ticking";
    const long rss_after_start = resident_kib(game.pid());

    // About one reset every five seconds.
    const int reset_budget = seconds / 5 + 1;
    int extra_ticks = 0;
    int resets_sent = 0;
    long inputs = 0;
    const auto input_end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < input_end && game.running()) {
        xdotool(random_input(rng, extra_ticks, resets_sent, reset_budget));
        ++inputs;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(5, 40)(rng)));
    }
    ASSERT_TRUE(game.running()) << "the program ended before Q";
    const long rss_before_quit = resident_kib(game.pid());

    xdotool("windowfocus --sync " + window_id + " key q");
    const auto quit_sent = Clock::now();
    const int status = game.wait_for_exit(exit_timeout);
    const double exit_ms = std::chrono::duration<double, std::milli>(Clock::now() - quit_sent).count();
    EXPECT_EQ(status, 0) << "exit status (-1: still running " << exit_timeout.count() << " s after Q)";

    const std::vector<std::string> lines = read_lines(trace_path);
    const TraceReport report = check_trace(lines);
    std::printf(
        "soak: %ld inputs (%d resets sent, %d K), %zu trace lines, %d ticks, %d chains, %d aim lines, %d "
        "arrow "
        "lines, %d help texts; exited %.0f ms after Q\n",
        inputs, resets_sent, extra_ticks, lines.size(), report.ticks, report.chains, report.aim_lines,
        report.arrow_lines, report.help_texts, exit_ms);
    for (const std::string& error : report.errors) {
        ADD_FAILURE() << error;
    }
    EXPECT_GT(report.ticks, 0);
    // A menu choice that went astray would show as fewer chains; one that hit "Exit" would have
    // ended the program early, caught above.
    EXPECT_EQ(report.chains, 1 + resets_sent);

    const long justified_kib = (report.chains - 1) * 10 * kib_per_new_ball;
    std::printf("soak: resident %ld KiB after start-up, %ld KiB before Q (allowed growth %ld + %ld KiB)\n",
                rss_after_start, rss_before_quit, justified_kib, rss_allowance_kib);
    EXPECT_GT(rss_after_start, 0);
    EXPECT_LE(rss_before_quit - rss_after_start, justified_kib + rss_allowance_kib);

    std::remove(trace_path.c_str());
    rmdir(dir_template);
}

}  // namespace
