// The toolkit seam as GLUT provides it: the one used by the real program.
#pragma once

#include "app/toolkit.h"

class GlutToolkit final : public Toolkit {
public:
    void start_timer(unsigned int delay_ms, TimerCallback callback, int value) override;
    void request_redisplay() override;
    void quit(int status) override;
};
