// The real game as a child process: its trace read line by line as it is printed, its exit
// status, and a guard that ends the test's helper processes even if the test program is killed.
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

class GameProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the binary with the current DISPLAY, its standard output on a pipe.
    explicit GameProcess(const std::string& binary);
    // Kills the game if it is still running.
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Waits until a line at index `from` or later satisfies `match`; returns its index. Throws
    // (failing the test) once `timeout` has passed or the output has ended without one.
    std::size_t await(const std::function<bool(const std::string&)>& match, std::size_t from,
                      const std::string& what, std::chrono::seconds timeout = std::chrono::seconds(30));
    std::size_t await_line(const std::string& line, std::size_t from = 0);

    // Every line read so far.
    std::vector<std::string> lines() const;

    // Waits for the process to end and for the last of its output; "exited with status N" or
    // "killed by signal N", or "still running" after the timeout (the destructor then kills it).
    std::string wait_for_exit(std::chrono::seconds timeout = std::chrono::seconds(30));

private:
    void read_output(int fd);

    pid_t pid_ = -1;
    bool reaped_ = false;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    bool output_ended_ = false;
};

// Runs xdotool with these arguments (bounded by a timeout); returns what it printed. Throws if
// it fails.
std::string xdotool(const std::string& arguments);
