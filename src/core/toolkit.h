// The one seam between the game logic and the window toolkit: timers, redisplay requests, the
// window's buffer swap and ending the process. The game code calls these free functions; main()
// installs the GLUT implementation, tests install a recording one.
#pragma once

using TimerCallback = void (*)(int value);

class Toolkit {
public:
    virtual ~Toolkit() = default;
    // One-shot timer: callback(value) runs once, delay_ms milliseconds from now.
    virtual void start_timer(unsigned int delay_ms, TimerCallback callback, int value) = 0;
    // Ask for draw_scene to run at the next opportunity.
    virtual void request_redisplay() = 0;
    // Show the frame just drawn: the window's buffer swap, at the end of draw_scene.
    virtual void swap_buffers() = 0;
    // End the process with this status; never returns in the real toolkit.
    virtual void quit(int status) = 0;
};

// Installs the toolkit the game talks to; nullptr restores the default, which drops timers,
// redisplay requests and swaps (it has no window) and ends the process on quit.
void install_toolkit(Toolkit* toolkit);

void toolkit_start_timer(unsigned int delay_ms, TimerCallback callback, int value);
void toolkit_request_redisplay();
void toolkit_swap_buffers();
void toolkit_quit(int status);
