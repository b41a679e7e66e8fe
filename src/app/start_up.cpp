// Start-up of the game's window: handlers, the first chain tick, the fixed GL state, the menu,
// the first game and the lights, in the order the game has always done them.
#include "app/start_up.h"

#include <GL/freeglut.h>

#include "app/game_state.h"
#include "app/toolkit.h"
#include "chain/chain.h"
#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "render/lighting.h"

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
    return window;
}
