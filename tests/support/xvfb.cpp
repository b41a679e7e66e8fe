// Starting and stopping a private Xvfb through scripts/xvfb.sh, the scripts' starter too, which
// becomes the server and prints its display number on a pipe: nothing is guessed or slept on.
#include "support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

XvfbServer::XvfbServer(const std::string& screen)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::perror("pipe2");
        std::abort();
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // A test that crashes never runs the destructor: the server must not outlive it, nor
        // hold its output open, or CTest waits on the pipe for as long as the server runs.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) {
            _exit(127);
        }
        // The display number on the pipe; the server's chatter kept out of the test output.
        if (dup2(fds[1], STDOUT_FILENO) < 0 || std::freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(127);
        }
        execlp("bash", "bash", MARBLOOM_XVFB_SCRIPT, screen.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Thirty seconds for the display number: a server that hangs before it gives one fails the
    // test rather than holding it.
    std::string number;
    char c;
    pollfd ready{fds[0], POLLIN, 0};
    while (poll(&ready, 1, 30000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (pid_ < 0 || number.empty()) {
        std::fprintf(stderr, "Xvfb did not start (is the xvfb package installed?)\n");
        std::abort();
    }
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        // Ten seconds to end; a server that has not ended by then is killed.
        bool ended = false;
        for (int wait = 0; wait < 1000 && !(ended = waitpid(pid_, nullptr, WNOHANG) == pid_); ++wait) {
            usleep(10000);
        }
        if (!ended) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
}
