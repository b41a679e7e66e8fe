// Start-up in the browser: the game's window is the page's canvas, its timers and redisplays
// are emscripten's GLUT's, and quitting ends the program and tells the page.
#include <GL/freeglut.h>

#include "app/start_up.h"
#include "app/toolkit.h"
#include "page.h"
#include "render/scene.h"
#include "webgl_draw.h"

namespace {

class WebToolkit final : public Toolkit {
public:
    void start_timer(unsigned int delay_ms, TimerCallback callback, int value) override
    {
        glutTimerFunc(delay_ms, callback, value);
    }
    void request_redisplay() override { glutPostRedisplay(); }
    // The page's timers would go on calling into the program after a plain exit; this ends them.
    void quit(int status) override { marbloom_page_end(status); }
};

WebToolkit web_toolkit;

}  // namespace

// A page has no command line: the toolkit is given the program's name alone.
int main()
{
    int argc = 1;
    char name[] = "marbloom";
    char* argv[] = {name, nullptr};
    // Standard output reaches the browser's console a line at a time, each line as printed.
    install_toolkit(&web_toolkit);
    glutInit(&argc, argv);
    open_game_window(100, 100, 800, 600, draw_scene, on_reshape);
    // The canvas's real size, in the screen's pixels: 800 x 600 where the page has the room.
    follow_canvas_size();
    // A lost context is asked back, and the current frame drawn once it is.
    webgl_survive_context_loss([] { glutPostRedisplay(); });
    // Returns to the browser at once; from here on the page's events drive the game.
    glutMainLoop();
    return 0;
}
