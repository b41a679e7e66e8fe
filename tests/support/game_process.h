// The real game as a child process, for the end-to-end tests, the soak and the app benchmark:
// its trace read line by line as it is printed, its exit status, its resident memory, xdotool and
// its menu, and a guard that ends the test's helper processes even if the test program is killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The first line of every run of the chain tick: the head of the ball list never moves.
extern const char* const chain_tick_head_line;

// Kills the listed processes if the test program dies before dismissing it (a CTest timeout
// kills only the test program, which would leave its X server and game behind).
class OrphanGuard {
public:
    OrphanGuard();
    ~OrphanGuard();  // dismisses the guard: nothing is killed
    OrphanGuard(const OrphanGuard&) = delete;
    OrphanGuard& operator=(const OrphanGuard&) = delete;

    void watch(pid_t pid);

private:
    pid_t pid_ = -1;
    int fd_ = -1;
};

// Children of this process running the named program (found through /proc).
std::vector<pid_t> children_named(const std::string& name);

// Processes whose environment holds this entry ("NAME=VALUE"), as they were started (found
// through /proc; processes of other users are not seen).
std::vector<pid_t> processes_with_environment(const std::string& entry);

// Resident memory of a process in KiB (VmRSS), or -1 if it cannot be read.
long resident_kib(pid_t pid);

class GameProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the binary with the current DISPLAY, its standard output on a pipe that a thread
    // reads all the time (a trace left unread would fill the pipe and stall the game). The game
    // is killed if the thread that started it ends.
    explicit GameProcess(const std::string& binary);
    // The same, for a command and its arguments (the program is looked up in PATH).
    explicit GameProcess(const std::vector<std::string>& command);
    // The same, with standard input on a pipe that send() writes to, for a program that takes
    // commands as it runs (the web tests' page driver). It leads a process group of its own, and
    // it and everything it starts carry an environment entry of their own (MARBLOOM_TEST_DRIVER).
    // The destructor closes its input and gives it time to end what it started; then asks it to
    // end with SIGTERM; then kills its group, and every process that carries the entry, in a group
    // of its own or not (a browser that puppeteer starts leads a session of its own).
    GameProcess(const std::vector<std::string>& command, bool takes_input);
    // Kills the game if it is still running.
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Just before the game was started.
    Clock::time_point started() const { return started_; }

    // Waits until a line at index `from` or later satisfies `match`; returns its index. Throws
    // (failing the test) once `timeout` has passed or the output has ended without one.
    std::size_t await(const std::function<bool(const std::string&)>& match, std::size_t from,
                      const std::string& what, std::chrono::seconds timeout = std::chrono::seconds(30));
    std::size_t await_line(const std::string& line, std::size_t from = 0);

    // Runs of the chain tick (head lines) and colour lines read so far.
    int ticks() const;
    int colour_lines() const;
    // Waits until at least this many of each have been read; returns as soon as the line that
    // completes the count has been. False if the output ended first or `timeout` passed.
    bool await_counts(int ticks, int colour_lines, std::chrono::seconds timeout);

    // Every line read so far.
    std::vector<std::string> lines() const;
    // Whether the output ended inside a line: its last line, in lines(), had no line feed.
    bool output_ended_mid_line() const;

    // Whether the game has not ended yet.
    bool running();

    // Writes a line to its standard input (a process started to take input). Throws if it can't.
    void send(const std::string& line);

    // Waits for the process to end and for the last of its output; "exited with status N" or
    // "killed by signal N", or "still running" after the timeout (the destructor then kills it).
    std::string wait_for_exit(std::chrono::seconds timeout = std::chrono::seconds(30));

private:
    void read_output(int fd);
    // Collects the exit status if the game has ended, without waiting.
    bool reap();
    // Polls until the process has ended; false if it is still running after the timeout.
    bool reaped_within(std::chrono::seconds timeout);
    // Ends the process group and every process that carries marker_ (a program with input).
    void end_everything_started();

    pid_t pid_ = -1;
    int input_ = -1;
    bool process_group_ = false;
    std::string marker_;
    Clock::time_point started_;
    bool reaped_ = false;
    int status_ = 0;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    int ticks_ = 0;
    int colour_lines_ = 0;
    bool output_ended_ = false;
    bool ended_mid_line_ = false;
};

// Runs a shell command; returns its status as pclose reports it (-1 if it could not be
// started), with what it printed in `output`.
int run_command(const std::string& command, std::string& output);

// Runs xdotool with these arguments (bounded by a timeout); returns what it printed. Throws if
// it fails.
std::string xdotool(const std::string& arguments);

// A window's position on the screen and its size, as the X server has them (no window manager
// or toolkit decides where a window ends up for the tests).
struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
WindowGeometry window_geometry(const std::string& window);
// The window's x, y, width and height: now, and once they are `expected` or as they are after thirty seconds
// (a window manager or full screen moves a window a while after the request).
std::vector<int> place_and_size(const std::string& window);
std::vector<int> await_place_and_size(const std::string& window, const std::vector<int>& expected);

// The game's menu, which the right button opens with its top-left corner at the pointer.
enum class MenuEntry { reset, exit };
// Opens the menu where the pointer is and chooses the entry, found by the menu window's height, as
// the entries share it (it depends on the font and the platform); returns once the menu has closed.
// Throws if the menu does not open or close.
void choose_menu_entry(MenuEntry entry);
