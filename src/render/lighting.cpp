// Material and light state. Only the front material is ever set: two-sided lighting stays off,
// so OpenGL lights every polygon with it whichever way the polygon faces.
#include "render/lighting.h"

#include <GL/gl.h>

const float light0_position[4] = {-5.0f, 10.0f, 15.0f, 1.0f};
const float light1_position[4] = {-50.0f, 75.0f, 100.0f, 0.0f};
const float light_ambient[4] = {0.8f, 0.8f, 0.8f, 1.0f};
const float light_diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
const float light_specular[4] = {0.3f, 0.3f, 0.3f, 1.0f};

void set_material(Material m)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, &m.shininess);
}

void select_ball_material(int /*color*/)
{
    // Outside 1..31 nothing is applied and the material set last stays current.
    if (const Material* preset = ball_preset()) {
        set_material(*preset);
    }
}

void init_lighting()
{
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light_specular);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT1, GL_SPECULAR, light_specular);
    glShadeModel(GL_SMOOTH);
}

void place_lights()
{
    // OpenGL transforms a light position by the modelview matrix current at this call.
    glMatrixMode(GL_MODELVIEW);
    glLightfv(GL_LIGHT0, GL_POSITION, light0_position);
    glLightfv(GL_LIGHT1, GL_POSITION, light1_position);
}
