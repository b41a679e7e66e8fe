// Captures what the game prints to standard output (the trace) while a test runs.
#pragma once

#include <string>
#include <vector>

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything printed since construction or the last take(), and forget it.
    std::string take();
    // The same, split into lines without their line feeds.
    std::vector<std::string> take_lines();
    // Everything printed during the capture's lifetime, taken or not. GoogleTest's own failure
    // messages go to standard output as well, so a failing test replays this to stderr.
    std::string everything() const;
    // What has reached the file so far, without flushing standard output first: lines still in
    // its buffer are not there.
    std::string in_file() const;

private:
    int saved_fd_;
    int capture_fd_;
    long read_offset_ = 0;
};
