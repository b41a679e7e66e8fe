// Start-up in the browser: the game's window is the page's canvas, its redisplays are
// emscripten's GLUT's, and quitting ends the program and tells the page.
#include <GL/freeglut.h>

#include <cstdio>

#include "page.h"
#include "platform/glut/glut_toolkit.h"
#include "platform/glut/start_up.h"
#include "webgl_draw.h"

namespace {

// The page's timers would go on calling into the program after a plain exit; its end stops them.
GlutToolkit web_toolkit([](int status) { marbloom_page_end(status); });

}  // namespace

// A page has no command line: the toolkit is given the program's name alone.
int main()
{
    int argc = 1;
    char name[] = "marbloom";
    char* argv[] = {name, nullptr};
    // Standard output is kept whole until a callback of the page's has returned (glut_stand_ins.cpp)
    // and then reaches the page in one write; the page hands those lines to the console together
    // (index.html). Writing each line as printed cost the chain's tick more than its work.
    static char trace_buffer[1 << 16];
    std::setvbuf(stdout, trace_buffer, _IOFBF, sizeof trace_buffer);
    marbloom_page_flush_on_error();
    start_game(web_toolkit, argc, argv);
    // The canvas's real size, in the screen's pixels: 800 x 600 where the page has the room.
    follow_canvas_size();
    webgl_prepare();
    // A lost context is asked back, and the current frame drawn once it is.
    webgl_survive_context_loss([] { glutPostRedisplay(); });
    std::fflush(stdout);
    // Returns to the browser at once; from here on the page's events drive the game.
    glutMainLoop();
    return 0;
}
