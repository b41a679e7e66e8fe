// Projection and the scene: backdrop, path markers, chain, corner balls and the shooter, drawn
// from scratch in immediate mode every frame. World: x right, y up, z towards the viewer; the
// playfield is view_width x 4 world units centred on the origin.
#include "render/scene.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include "chain/chain.h"
#include "core/game_state.h"
#include "core/toolkit.h"
#include "render/lighting.h"

namespace {

// Radius of chain and corner balls: the float 0.07 widened to double (0.07000000029802322).
constexpr float ball_radius = 0.07f;
// The path sits 0.5 above the playfield's centre line.
constexpr float path_offset_y = 0.5f;

// One quadric for the life of the process; the barrel is drawn with it every frame.
GLUquadric* barrel_quadric()
{
    static GLUquadric* quadric = gluNewQuadric();
    return quadric;
}

}  // namespace

void on_reshape(int w, int h)
{
    // A minimised window may report a zero side; dividing by it would poison the projection
    // and the aim. Keep the last good size until a real one comes.
    if (!set_window_size(w, h)) {
        return;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.0 * w / h, 2.0 * w / h, -2.0, 2.0, -2.0, 15.0);
    // The modelview matrix is deliberately not reset here.
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, w, h);
    toolkit_request_redisplay();
}

void draw_scene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    gluLookAt(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    glPushMatrix();
    glTranslatef(0.0f, path_offset_y, 0.0f);
    draw_path_markers();
    glPopMatrix();

    // After the camera and outside every object transform: the light positions are world ones.
    // The markers above are lit by the previous frame's positions (OpenGL's initial ones at first).
    place_lights();

    for (const auto& ball : balls) {
        ball->draw();
    }
    draw_frame();
    glPopMatrix();
    toolkit_swap_buffers();
}

void Ball::draw() const
{
    glPushMatrix();
    select_ball_material(color);
    glTranslatef(0.0f, path_offset_y, 0.0f);
    // Path space to world: x and y factors of the path scale, each product in single precision.
    // A ball's z is always 0.
    glTranslatef(path_scale.x * x, path_scale.y * y, 0.0f);
    draw_ball_sphere();
    glPopMatrix();
}

void draw_ball_sphere() { glutSolidSphere(ball_radius, 15, 15); }

void draw_path_markers()
{
    // With lighting on and colour tracking off, neither the point size nor the colour shows.
    glPointSize(4.0f);
    glColor3f(0.1f, 0.1f, 1.0f);
    set_material(*material_preset(marker_preset));
    for (const PathPoint& p : path_points) {
        glPushMatrix();
        glTranslatef(p.x * path_scale.x, p.y * path_scale.y, p.z * path_scale.z);
        glutSolidSphere(0.02, 10, 10);
        glPopMatrix();
    }
}

void draw_frame()
{
    const float half_w = view_width / 2.0f;
    const float half_h = view_height / 2.0f;
    const float corners[4][2] = {{-half_w, -half_h}, {half_w, -half_h}, {-half_w, half_h}, {half_w, half_h}};

    glPushMatrix();
    set_material(*material_preset(corner_preset));
    for (const auto& corner : corners) {
        glPushMatrix();
        glTranslatef(corner[0], corner[1], 0.0f);
        draw_ball_sphere();
        glPopMatrix();
    }

    // The shooter stands at the bottom centre; this push and pop undo its own transforms.
    glPushMatrix();
    glTranslatef(0.0f, -half_h, 0.0f);
    draw_shooter();
    glPopMatrix();

    draw_backdrop();
    glPopMatrix();
}

void draw_shooter()
{
    GLUquadric* quadric = barrel_quadric();
    // The muzzle, 0.4 above the bottom edge, is the shooter's origin from here on.
    glTranslatef(0.0f, 0.4f, 0.0f);

    // Projectile: in the muzzle following the aim while loaded, in its own column while in flight.
    glPushMatrix();
    set_material(*material_preset(projectile_preset));
    if (shot_in_flight == 0) {
        glTranslatef(aim_translate, 0.0f, 0.0f);
    }
    glTranslatef(shot_x, shot_height, 0.0f);
    glutSolidSphere(0.07, 30, 30);
    glPopMatrix();

    glTranslatef(aim_translate, 0.0f, 0.0f);
    set_material(*material_preset(cannon_preset));
    glPushMatrix();
    glTranslatef(0.0f, -0.25f, 0.0f);
    glutSolidSphere(0.095, 30, 30);
    glPopMatrix();

    // GLU lays the cylinder along +z; turned to point down, it runs from the muzzle to the breech.
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    gluCylinder(quadric, 0.08, 0.095, 0.25, 30, 30);
}

void draw_backdrop()
{
    // 31 x 31 unit squares at z = -1 over x -25..6, y -6..25: covers any playfield up to 12
    // units wide. Single-precision counters, as the tiling's edges are whole numbers.
    const Material& backdrop = *material_preset(backdrop_preset);
    for (float x = -25.0f; x < 6.0f; x += 1.0f) {
        for (float y = -6.0f; y < 25.0f; y += 1.0f) {
            set_material(backdrop);
            // The normal points along +y, not along the squares' facing (0, 0, 1): this is what
            // gives the backdrop its even grey.
            glNormal3f(0.0f, 1.0f, 0.0f);
            glBegin(GL_POLYGON);
            glVertex3f(x, y, -1.0f);
            glVertex3f(x, y + 1.0f, -1.0f);
            glVertex3f(x + 1.0f, y + 1.0f, -1.0f);
            glVertex3f(x + 1.0f, y, -1.0f);
            glEnd();
        }
    }
}
