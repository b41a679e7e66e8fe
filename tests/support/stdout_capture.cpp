// Standard output redirected into an unnamed temporary file for the capture's lifetime.
#include "support/stdout_capture.h"

#ifdef _WIN32
#include <io.h>
#endif
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    saved_fd_ = dup(STDOUT_FILENO);
    std::FILE* file = std::tmpfile();
    if (saved_fd_ < 0 || file == nullptr) {
        std::perror("StdoutCapture");
        std::abort();
    }
    capture_fd_ = dup(fileno(file));
    std::fclose(file);
    dup2(capture_fd_, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    std::fflush(stdout);
    dup2(saved_fd_, STDOUT_FILENO);
    close(saved_fd_);
    close(capture_fd_);
}

namespace {

std::string read_from(int fd, long offset)
{
    std::string text;
    char buffer[4096];
    for (;;) {
#ifdef _WIN32
        // No pread in Microsoft's C runtime. The offset is shared with standard output, which
        // writes at the end, where the read leaves it.
        const long n = _lseek(fd, offset, SEEK_SET) == offset ? _read(fd, buffer, sizeof buffer) : -1;
#else
        const ssize_t n = pread(fd, buffer, sizeof buffer, offset);
#endif
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    return text;
}

}  // namespace

std::string StdoutCapture::take()
{
    std::fflush(stdout);
    std::string text = read_from(capture_fd_, read_offset_);
    read_offset_ += static_cast<long>(text.size());
    return text;
}

std::string StdoutCapture::everything() const
{
    std::fflush(stdout);
    return read_from(capture_fd_, 0);
}

std::string StdoutCapture::in_file() const { return read_from(capture_fd_, 0); }

std::vector<std::string> StdoutCapture::take_lines()
{
    std::vector<std::string> lines;
    std::istringstream in(take());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}
