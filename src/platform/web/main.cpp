// Start-up in the browser: the game's window is the page's canvas, its timers and redisplays
// are emscripten's GLUT's, and quitting ends the program and tells the page.
#include <GL/freeglut.h>

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
    // Standard output reaches the page a line at a time, each line as printed; the page hands a
    // callback's lines to the console together (index.html).
    start_game(web_toolkit, argc, argv);
    // The canvas's real size, in the screen's pixels: 800 x 600 where the page has the room.
    follow_canvas_size();
    webgl_prepare();
    // A lost context is asked back, and the current frame drawn once it is.
    webgl_survive_context_loss([] { glutPostRedisplay(); });
    // Returns to the browser at once; from here on the page's events drive the game.
    glutMainLoop();
    return 0;
}
