// Start-up: the window, every handler, the first chain tick, the menu, the first game, then
// the toolkit's event loop for the rest of the process's life.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/game_state.h"
#include "app/glut_toolkit.h"
#include "chain/chain.h"
#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "render/lighting.h"
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
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Marbloom");
    glClearColor(0.74509f, 0.88627f, 0.97255f, 1.0f);

    glutDisplayFunc(draw_scene);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_key);
    glutSpecialFunc(on_special_key);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    glutPassiveMotionFunc(on_passive_motion);
    glutTimerFunc(1, chain_tick, 0);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    glutCreateMenu(on_menu);
    glutAddMenuEntry("Reset", menu_reset);
    glutAddMenuEntry("Exit", menu_exit);
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    // The ten colour lines of the first chain come before the first frame and the first tick.
    reset_game();
    init_lighting();
    glutMainLoop();
    return 0;
}
