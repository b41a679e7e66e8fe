// Start-up: the trace's standard output set up, the toolkit, the game's window with its handlers
// and first game, then the toolkit's event loop for the rest of the process's life.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/glut_toolkit.h"
#include "app/start_up.h"
#include "render/scene.h"
#ifdef _WIN32
#include "app/windows/process.h"
#endif

namespace {

GlutToolkit glut_toolkit;

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The trace's bytes are the same on every platform; freeglut's fatal errors reach the player.
    prepare_windows_process();
#else
    // Trace lines must reach a pipe or file as each event happens, not when the buffer fills:
    // a killed process would lose them, and whoever reads the trace waits for them.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
#endif
    install_toolkit(&glut_toolkit);

    glutInit(&argc, argv);
    open_game_window(100, 100, 800, 600, draw_scene, on_reshape);
    glutMainLoop();
    return 0;
}
