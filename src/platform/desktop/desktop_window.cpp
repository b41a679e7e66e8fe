// The desktop game's window: the display's scale, the menu's font at that scale, and the
// full-screen keys, taken before the game's own key handlers see them.
#include "platform/desktop/desktop_window.h"

#include <GL/freeglut.h>

#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "platform/desktop/display_scale.h"
#include "platform/glut/start_up.h"

namespace {

// freeglut gives back the window's size and place at the second call.
void on_desktop_special_key(int key, int x, int y)
{
    if (key == GLUT_KEY_F11) {
        glutFullScreenToggle();
        return;
    }
    on_special_key(key, x, y);
}

#ifdef _WIN32
// Alt+Enter, Windows's own full-screen key, arrives as a carriage return with Alt held.
void on_desktop_key(unsigned char key, int x, int y)
{
    if (key == '\r' && (glutGetModifiers() & GLUT_ACTIVE_ALT) != 0) {
        glutFullScreenToggle();
        return;
    }
    on_key(key, x, y);
}
#endif

}  // namespace

void start_desktop_game(Toolkit& toolkit, int& argc, char** argv)
{
    const double scale = display_scale(argc, argv);
    start_game(toolkit, argc, argv, scale);
#ifdef MARBLOOM_HAVE_MENU_FONT
    // From 1.5 on, the toolkit's own font would be small beside everything else on the screen.
    // The menu just made is still the current one; Times Roman 24 is freeglut's largest font.
    if (scale >= 1.5) {
        glutSetMenuFont(glutGetMenu(), GLUT_BITMAP_TIMES_ROMAN_24);
    }
#endif
    glutSpecialFunc(on_desktop_special_key);
#ifdef _WIN32
    glutKeyboardFunc(on_desktop_key);
#endif
}
