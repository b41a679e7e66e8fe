// Dispatch from the game logic to whichever toolkit is installed.
#include "core/toolkit.h"

#include <cstdlib>

namespace {

class NullToolkit final : public Toolkit {
public:
    void start_timer(unsigned int, TimerCallback, int) override {}
    void request_redisplay() override {}
    void swap_buffers() override {}
    void quit(int status) override { std::exit(status); }
};

NullToolkit null_toolkit;
Toolkit* current = &null_toolkit;

}  // namespace

void install_toolkit(Toolkit* toolkit) { current = toolkit != nullptr ? toolkit : &null_toolkit; }

void toolkit_start_timer(unsigned int delay_ms, TimerCallback callback, int value)
{
    current->start_timer(delay_ms, callback, value);
}

void toolkit_request_redisplay() { current->request_redisplay(); }

void toolkit_swap_buffers() { current->swap_buffers(); }

void toolkit_quit(int status) { current->quit(status); }
