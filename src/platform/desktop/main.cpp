// Start-up: the trace's standard output set up, the toolkit, the game's window (at the display's
// scale) with its handlers and first game, then the toolkit's event loop for the rest of the
// process's life.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "platform/desktop/desktop_window.h"
#include "platform/glut/glut_toolkit.h"
#ifdef _WIN32
#include "platform/desktop/windows/process.h"
#endif

namespace {

GlutToolkit glut_toolkit([](int status) { std::exit(status); });

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
    start_desktop_game(glut_toolkit, argc, argv);
    glutMainLoop();
    return 0;
}
