// The toolkit seam as GLUT provides it, for the desktop and the browser alike: only the end
// differs, the process's exit on the desktop and the page's in the browser.
#pragma once

#include "core/toolkit.h"

class GlutToolkit final : public Toolkit {
public:
    using Quit = void (*)(int status);
    explicit GlutToolkit(Quit quit) : quit_(quit) {}

    void start_timer(unsigned int delay_ms, TimerCallback callback, int value) override;
    void request_redisplay() override;
    void swap_buffers() override;
    void quit(int status) override { quit_(status); }

private:
    Quit quit_;
};
