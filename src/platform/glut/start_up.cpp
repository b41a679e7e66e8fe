// Start-up of the game's window: handlers, the first chain tick, the fixed GL state, the menu,
// the first game and the lights, in the order the game has always done them (on Windows, then
// the window's size); and the check that the codes the input handlers expect are freeglut's.
#include "platform/glut/start_up.h"

#include <GL/freeglut.h>

#include <cmath>

#include "chain/chain.h"
#include "core/game_state.h"
#include "core/toolkit.h"
#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "input/glut_codes.h"
#include "input/reset.h"
#include "render/lighting.h"
#include "render/scene.h"

// The input code compares the codes it receives against its own copies of GLUT's values, so
// that the game logic builds without GLUT; here they are held to freeglut's.
static_assert(glut_code::left_button == GLUT_LEFT_BUTTON);
static_assert(glut_code::button_down == GLUT_DOWN);
static_assert(glut_code::key_left == GLUT_KEY_LEFT);
static_assert(glut_code::key_up == GLUT_KEY_UP);
static_assert(glut_code::key_right == GLUT_KEY_RIGHT);
static_assert(glut_code::key_down == GLUT_KEY_DOWN);

int open_game_window(int left, int top, int width, int height, void (*display)(), void (*reshape)(int, int))
{
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutInitWindowPosition(left, top);
    const int window = glutCreateWindow("Marbloom");
    glClearColor(0.74509f, 0.88627f, 0.97255f, 1.0f);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(on_key);
    glutSpecialFunc(on_special_key);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    glutPassiveMotionFunc(on_passive_motion);
    toolkit_start_timer(1, chain_tick, 0);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    glutCreateMenu(on_menu);
    glutAddMenuEntry("Reset", menu_reset);
    glutAddMenuEntry("Exit", menu_exit);
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    // The ten colour lines of the first chain come before the first frame and the first tick.
    reset_game();
    init_lighting();
#ifdef _WIN32
    // freeglut for Windows learns the window's size while creating it, before any handler is
    // registered, and first calls the reshape handler from its event loop, after the messages
    // already queued. A pointer resting where the window opens has queued a move (Windows posts
    // one when a window appears under it), which would aim against a window of size zero: a
    // not-a-number aim, and no cannon drawn until the pointer moves again. The size is handed
    // over here, before any input; the loop's own reshape repeats it unchanged.
    reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
#endif
    return window;
}

void start_game(Toolkit& toolkit, int& argc, char** argv, double scale)
{
    const auto scaled = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    install_toolkit(&toolkit);
    glutInit(&argc, argv);
    open_game_window(scaled(100), scaled(100), scaled(800), scaled(600), draw_scene, on_reshape);
}
