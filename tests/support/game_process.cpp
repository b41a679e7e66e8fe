// Starting the game with its output on a pipe, reading that output and cleaning up after it;
// xdotool and the game's menu, and resident memory from /proc.
#include "support/game_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

const char* const chain_tick_head_line = "npt=0, pt=0, move_u=0.000000";

OrphanGuard::OrphanGuard()
{
    int fds[2];
    // Close-on-exec, so that only this process holds the writing end and the guard sees the
    // end of the pipe exactly when this process is gone.
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[1]);
        std::vector<pid_t> watched;
        for (;;) {
            char kind;
            if (read(fds[0], &kind, 1) != 1) {
                for (pid_t pid : watched) {
                    kill(pid, SIGKILL);
                }
                _exit(0);
            }
            if (kind == 'd') {
                _exit(0);
            }
            pid_t pid;
            if (read(fds[0], &pid, sizeof pid) == static_cast<ssize_t>(sizeof pid)) {
                watched.push_back(pid);
            }
        }
    }
    close(fds[0]);
    fd_ = fds[1];
}

OrphanGuard::~OrphanGuard()
{
    const char done = 'd';
    if (write(fd_, &done, 1) != 1) {
        std::perror("OrphanGuard");
    }
    close(fd_);
    waitpid(pid_, nullptr, 0);
}

void OrphanGuard::watch(pid_t pid)
{
    char message[1 + sizeof pid];
    message[0] = 'p';
    std::copy(reinterpret_cast<const char*>(&pid), reinterpret_cast<const char*>(&pid) + sizeof pid,
              message + 1);
    if (write(fd_, message, sizeof message) != static_cast<ssize_t>(sizeof message)) {
        std::perror("OrphanGuard");
    }
}

std::vector<pid_t> children_named(const std::string& name)
{
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return found;
    }
    while (const dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) {
            continue;
        }
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // "pid (comm) state ppid ..."; comm may hold spaces, so split at the last parenthesis.
        const auto open = text.find('(');
        const auto close_paren = text.rfind(')');
        if (open == std::string::npos || close_paren == std::string::npos) {
            continue;
        }
        std::istringstream rest(text.substr(close_paren + 1));
        char state;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == getpid() && text.substr(open + 1, close_paren - open - 1) == name) {
            found.push_back(pid);
        }
    }
    closedir(proc);
    return found;
}

std::vector<pid_t> processes_with_environment(const std::string& entry)
{
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return found;
    }
    const std::string wanted = entry + '\0';
    while (const dirent* entry_in_proc = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry_in_proc->d_name));
        if (pid <= 0) {
            continue;
        }
        // NUL-separated entries; empty for a process that has ended and not been reaped.
        std::ifstream environ_file("/proc/" + std::string(entry_in_proc->d_name) + "/environ",
                                   std::ios::binary);
        const std::string environment = '\0' + std::string((std::istreambuf_iterator<char>(environ_file)),
                                                           std::istreambuf_iterator<char>());
        if (environment.find('\0' + wanted) != std::string::npos) {
            found.push_back(pid);
        }
    }
    closedir(proc);
    return found;
}

namespace {

// A process's state and process group; false once it has gone.
bool process_state(pid_t pid, char& state, pid_t& group)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // "pid (comm) state ppid pgrp ..."; comm may hold spaces, so read on from the last parenthesis.
    const auto close_paren = text.rfind(')');
    if (close_paren == std::string::npos) {
        return false;
    }
    std::istringstream rest(text.substr(close_paren + 1));
    pid_t parent = 0;
    rest >> state >> parent >> group;
    return static_cast<bool>(rest);
}

// Whether a process has ended: gone, or dead and waiting to be reaped. A killed process stays
// listed while it ends, its environment already unreadable.
bool has_ended(pid_t pid)
{
    char state = 0;
    pid_t group = -1;
    return !process_state(pid, state, group) || state == 'Z' || state == 'X';
}

}  // namespace

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

GameProcess::GameProcess(const std::string& binary) : GameProcess(std::vector<std::string>{binary}) {}

GameProcess::GameProcess(const std::vector<std::string>& command) : GameProcess(command, false) {}

GameProcess::GameProcess(const std::vector<std::string>& command, bool takes_input)
{
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    int input[2] = {-1, -1};
    // The environment of a program with input: this process's, plus an entry of its own, which
    // whatever it starts inherits, to find them all by.
    std::vector<std::string> environment;
    std::vector<char*> envp;
    if (takes_input) {
        if (pipe2(input, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        // A program that has ended must fail the test that writes to it, not kill it.
        signal(SIGPIPE, SIG_IGN);
        static std::atomic<int> programs{0};
        const char* const name = "MARBLOOM_TEST_DRIVER=";
        marker_ = name + std::to_string(getpid()) + "." + std::to_string(++programs);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::strncmp(*entry, name, std::strlen(name)) != 0) {
                environment.emplace_back(*entry);
            }
        }
        environment.push_back(marker_);
        for (std::string& entry : environment) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
    }
    // Else the child would flush a copy of the test's pending output.
    std::fflush(nullptr);
    const pid_t parent = getpid();
    started_ = Clock::now();
    pid_ = fork();
    if (pid_ == 0) {
        // Die with the test program rather than outlive it (and not start if it is gone already),
        // also when CTest kills it at its time bound. A program with input of its own (a browser's
        // driver) is asked to end instead, so that it can take the browser it started with it.
        if (prctl(PR_SET_PDEATHSIG, takes_input ? SIGTERM : SIGKILL) != 0 || getppid() != parent) {
            _exit(127);
        }
        dup2(fds[1], STDOUT_FILENO);
        if (takes_input) {
            dup2(input[0], STDIN_FILENO);
            setpgid(0, 0);
            execvpe(argv[0], argv.data(), envp.data());
        } else {
            execvp(argv[0], argv.data());
        }
        std::perror(argv[0]);
        _exit(127);
    }
    close(fds[1]);
    if (takes_input) {
        close(input[0]);
        input_ = input[1];
        process_group_ = true;
    }
    if (pid_ < 0) {
        close(fds[0]);
        throw std::runtime_error("fork failed");
    }
    reader_ = std::thread([this, fd = fds[0]] { read_output(fd); });
}

GameProcess::~GameProcess()
{
    if (input_ >= 0) {
        // The end of its input asks it to end what it started.
        close(input_);
        input_ = -1;
        reaped_within(std::chrono::seconds(15));
    }
    if (process_group_) {
        end_everything_started();
    }
    if (!reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable()) {
        reader_.join();
    }
}

// However the test ended: it gave up on a driver still at work on a command, which reads no more
// input, or the driver waits for good, or an assertion failed.
void GameProcess::end_everything_started()
{
    // Found while they run: a process that has been killed reads as having no environment while it
    // ends, which a large browser takes seconds to do.
    std::vector<pid_t> started;
    for (pid_t pid : processes_with_environment(marker_)) {
        if (pid != pid_) {
            started.push_back(pid);
        }
    }
    if (!reap()) {
        // Its exit handlers end the browsers it started, which a kill would leave running.
        kill(pid_, SIGTERM);
        reaped_within(std::chrono::seconds(10));
    }
    kill(-pid_, SIGKILL);
    reaped_within(std::chrono::seconds(10));
    // What is left is outside the group: a browser in a session of its own, a helper of one that
    // has left it. Each is killed, with the group it leads (a browser's helpers), until all of
    // them have ended; ten seconds at most, for a large process takes a while to end once killed.
    std::vector<pid_t> killed;
    std::vector<pid_t> groups = {pid_};
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
        std::vector<pid_t> running = processes_with_environment(marker_);
        for (pid_t pid : started) {
            if (!has_ended(pid)) {
                running.push_back(pid);
            }
        }
        started.clear();
        for (pid_t pid : running) {
            char state = 0;
            pid_t group = -1;
            if (process_state(pid, state, group) && group == pid) {
                kill(-pid, SIGKILL);
                if (std::find(groups.begin(), groups.end(), pid) == groups.end()) {
                    groups.push_back(pid);
                }
            }
            kill(pid, SIGKILL);
            if (std::find(killed.begin(), killed.end(), pid) == killed.end()) {
                killed.push_back(pid);
            }
        }
        std::string left;
        for (pid_t pid : killed) {
            left += has_ended(pid) ? "" : " " + std::to_string(pid);
        }
        for (pid_t group : groups) {
            // Members of the group, the dead among them until they have been reaped.
            left += kill(-group, 0) == 0 ? " group " + std::to_string(group) : "";
        }
        if (left.empty() && processes_with_environment(marker_).empty()) {
            return;
        }
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "GameProcess: still running after being killed:%s\n", left.c_str());
            return;
        }
        // Polling the processes' end; how long this takes is not part of any assertion.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void GameProcess::read_output(int fd)
{
    std::string partial;
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        partial.append(buffer, static_cast<std::size_t>(n));
        std::size_t start = 0;
        for (std::size_t end; (end = partial.find('\n', start)) != std::string::npos; start = end + 1) {
            lines_.push_back(partial.substr(start, end - start));
            const std::string& line = lines_.back();
            ticks_ += line == chain_tick_head_line ? 1 : 0;
            colour_lines_ += line.rfind("color=", 0) == 0 ? 1 : 0;
        }
        partial.erase(0, start);
        changed_.notify_all();
    }
    close(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!partial.empty()) {
        lines_.push_back(partial);
        ended_mid_line_ = true;
    }
    output_ended_ = true;
    changed_.notify_all();
}

std::size_t GameProcess::await(const std::function<bool(const std::string&)>& match, std::size_t from,
                               const std::string& what, std::chrono::seconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t next = from;
    for (;;) {
        for (; next < lines_.size(); ++next) {
            if (match(lines_[next])) {
                return next;
            }
        }
        if (output_ended_) {
            throw std::runtime_error("the game's output ended before " + what);
        }
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && next == lines_.size()) {
            throw std::runtime_error("no " + what + " within " + std::to_string(timeout.count()) + " s");
        }
    }
}

std::size_t GameProcess::await_line(const std::string& line, std::size_t from)
{
    return await([&line](const std::string& l) { return l == line; }, from, "line \"" + line + "\"");
}

int GameProcess::ticks() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ticks_;
}

int GameProcess::colour_lines() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return colour_lines_;
}

bool GameProcess::await_counts(int ticks, int colour_lines, std::chrono::seconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout,
                      [&] { return output_ended_ || (ticks_ >= ticks && colour_lines_ >= colour_lines); });
    return ticks_ >= ticks && colour_lines_ >= colour_lines;
}

std::vector<std::string> GameProcess::lines() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

bool GameProcess::output_ended_mid_line() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_mid_line_;
}

bool GameProcess::reap()
{
    if (!reaped_ && waitpid(pid_, &status_, WNOHANG) == pid_) {
        reaped_ = true;
    }
    return reaped_;
}

bool GameProcess::running() { return !reap(); }

void GameProcess::send(const std::string& line)
{
    const std::string text = line + "\n";
    if (input_ < 0 || write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("could not send \"" + line + "\"");
    }
}

bool GameProcess::reaped_within(std::chrono::seconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!reap()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        // Polling the child; how long this takes is not part of any assertion.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string GameProcess::wait_for_exit(std::chrono::seconds timeout)
{
    if (!reaped_within(timeout)) {
        return "still running";
    }
    if (reader_.joinable()) {
        reader_.join();  // the rest of the output, up to the end of the pipe
    }
    if (WIFEXITED(status_)) {
        return "exited with status " + std::to_string(WEXITSTATUS(status_));
    }
    if (WIFSIGNALED(status_)) {
        return "killed by signal " + std::to_string(WTERMSIG(status_));
    }
    return "ended oddly";
}

int run_command(const std::string& command, std::string& output)
{
    output.clear();
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    return pclose(pipe);
}

std::string xdotool(const std::string& arguments)
{
    const std::string command = "timeout 30 xdotool " + arguments;
    std::string output;
    const int status = run_command(command, output);
    if (status == -1) {
        throw std::runtime_error("cannot run " + command);
    }
    if (status != 0) {
        throw std::runtime_error(command + " failed (status " + std::to_string(status) + ")");
    }
    return output;
}

WindowGeometry window_geometry(const std::string& window)
{
    // X=, Y=, WIDTH=, HEIGHT= lines, among others.
    std::istringstream lines(xdotool("getwindowgeometry --shell " + window));
    WindowGeometry geometry;
    int found = 0;
    for (std::string line; std::getline(lines, line);) {
        found += std::sscanf(line.c_str(), "X=%d", &geometry.x) +
                 std::sscanf(line.c_str(), "Y=%d", &geometry.y) +
                 std::sscanf(line.c_str(), "WIDTH=%d", &geometry.width) +
                 std::sscanf(line.c_str(), "HEIGHT=%d", &geometry.height);
    }
    if (found != 4) {
        throw std::runtime_error("no geometry for window " + window);
    }
    return geometry;
}

std::vector<int> place_and_size(const std::string& window)
{
    const WindowGeometry geometry = window_geometry(window);
    return {geometry.x, geometry.y, geometry.width, geometry.height};
}

std::vector<int> await_place_and_size(const std::string& window, const std::vector<int>& expected)
{
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::vector<int> now = place_and_size(window);
    while (now != expected && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        now = place_and_size(window);
    }
    return now;
}

void choose_menu_entry(MenuEntry entry)
{
    const std::string menu_title = "'^freeglut menu$'";
    xdotool("mousedown 3");
    xdotool("mouseup 3");
    // The pointer must not move before the menu is up, or the move goes to the game window.
    const std::string menu = xdotool("search --sync --onlyvisible --name " + menu_title);
    constexpr int entries = 2;
    const int entry_height = window_geometry(menu.substr(0, menu.find('\n'))).height / entries;
    xdotool("mousemove_relative 10 " + std::to_string(10 + entry_height * static_cast<int>(entry)));
    xdotool("click 3");
    // Closed before anything else is sent, so that the next opening cannot find this one still up.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string output;
    while (run_command("xdotool search --onlyvisible --name " + menu_title, output) == 0) {
        if (std::chrono::steady_clock::now() > give_up) {
            throw std::runtime_error("the menu was still open 30 s after its entry was chosen");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
