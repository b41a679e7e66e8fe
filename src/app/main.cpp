// Start-up: the trace's standard output set up, the toolkit, the game's window with its handlers
// and first game, then the toolkit's event loop for the rest of the process's life.
#include <GL/freeglut.h>

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/glut_toolkit.h"
#include "app/start_up.h"
#include "render/scene.h"

namespace {

GlutToolkit glut_toolkit;

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The trace's bytes are the same on every platform: line feeds only, no carriage returns
    // added by a text-mode stream. Each line is flushed as it is printed (app/trace.cpp), since
    // Microsoft's C runtime has no line buffering.
    _setmode(_fileno(stdout), _O_BINARY);
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
