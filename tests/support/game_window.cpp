// Starting the toolkit for the game's window, and waiting on the toolkit's events.
#include "support/game_window.h"

#include <GL/freeglut.h>

#include <chrono>
#include <string>
#include <thread>

void start_toolkit(const char* program_name)
{
    // Kept for the life of the process, in case the toolkit holds on to argv[0].
    static std::string name;
    name = program_name;
    int argc = 1;
    char* argv[] = {name.data(), nullptr};
    glutInit(&argc, argv);
}

bool pump_until(const std::function<bool()>& done)
{
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
