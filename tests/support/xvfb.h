// A private virtual X server for tests that open windows: started with -noreset on a display it
// picks itself, exported as DISPLAY for the process and its children, ended on destruction.
#pragma once

#include <sys/types.h>
#include <string>

class XvfbServer {
public:
    // screen: WIDTHxHEIGHTxDEPTH. Aborts the test program if the server does not come up.
    explicit XvfbServer(const std::string& screen = "1280x1024x24");
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N"
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};
