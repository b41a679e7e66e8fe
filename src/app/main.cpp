// Start-up: the trace made line-buffered, the toolkit, the game's window with its handlers and
// first game, then the toolkit's event loop for the rest of the process's life.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/glut_toolkit.h"
#include "app/start_up.h"
#include "render/scene.h"

namespace {

GlutToolkit glut_toolkit;

}  // namespace

int main(int argc, char** argv)
{
    // Trace lines must reach a pipe or file as each event happens, not when the buffer fills:
    // a killed process would lose them, and whoever reads the trace waits for them.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    install_toolkit(&glut_toolkit);

    glutInit(&argc, argv);
    open_game_window(100, 100, 800, 600, draw_scene, on_reshape);
    glutMainLoop();
    return 0;
}
