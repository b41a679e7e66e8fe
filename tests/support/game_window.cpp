// Opening windows set up as main() sets up the game's, and waiting on the toolkit's events.
#include "support/game_window.h"

#include <GL/freeglut.h>

#include <chrono>
#include <string>
#include <thread>

#include "render/lighting.h"

void start_toolkit(const char* program_name)
{
    // Kept for the life of the process, in case the toolkit holds on to argv[0].
    static std::string name;
    name = program_name;
    int argc = 1;
    char* argv[] = {name.data(), nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
}

int open_game_window(int left, int top, int width, int height, void (*display)(), void (*reshape)(int, int))
{
    glutInitWindowPosition(left, top);
    glutInitWindowSize(width, height);
    const int window = glutCreateWindow("Marbloom");
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    // Each window has its own context: the state main() sets up, in each.
    glClearColor(0.74509f, 0.88627f, 0.97255f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    init_lighting();
    return window;
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
