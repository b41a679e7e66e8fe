// What the start-up leaves (the game state, the menu's labels) and the fixed-function state read
// back from the context: the two lights, the front and back materials, the shading model and the
// projection that the reshape handler builds.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "input/reset.h"
#include "render/gl_window.h"
#include "render/lighting.h"
#include "render/materials.h"
#include "render/render_test.h"
#include "render/scene.h"

namespace {

using Vec4 = std::array<float, 4>;
using Mat4 = std::array<float, 16>;

Vec4 light(GLenum which, GLenum parameter)
{
    Vec4 v{};
    glGetLightfv(which, parameter, v.data());
    return v;
}

Vec4 material(GLenum face, GLenum parameter)
{
    Vec4 v{};
    glGetMaterialfv(face, parameter, v.data());
    return v;
}

Mat4 matrix(GLenum which)
{
    Mat4 m{};
    glGetFloatv(which, m.data());
    return m;
}

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

Vec4 as_vec(const float (&values)[4]) { return {values[0], values[1], values[2], values[3]}; }

// glOrtho(left, right, -2, 2, -2, 15) in column-major order, as OpenGL reports it.
Mat4 playfield_projection(double half_width)
{
    Mat4 m{};
    m[0] = static_cast<float>(1.0 / half_width);
    m[5] = 0.5f;
    m[10] = static_cast<float>(-2.0 / 17.0);
    m[14] = static_cast<float>(-13.0 / 17.0);
    m[15] = 1.0f;
    return m;
}

void expect_matrix_near(const Mat4& actual, const Mat4& expected)
{
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << "element " << i;
    }
}

using Lighting = RenderTest;
using StartUp = RenderTest;

// The real start-up, in a window as the game opens its, leaves the state the tests start from.
TEST_F(StartUp, LeavesTheStateThatTheTestsStartFrom)
{
    start_game();
    EXPECT_EQ(state_after_start_up(), game_state_values());
}

TEST_F(StartUp, NamesTheMenuEntriesResetThenExit)
{
    EXPECT_EQ(menu_labels_added(), (std::vector<std::string>{"Reset", "Exit"}));
}

// What the game's start-up leaves in the context; no frame changes it.
TEST_F(Lighting, StartUpClearsToSkyBlueWithDepthTestingAndLightingOn)
{
    Vec4 clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (Vec4{0.74509f, 0.88627f, 0.97255f, 1.0f}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "depth testing";
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "lighting";
}

TEST_F(Lighting, BothLightsAreOnWithTheirSharedAmbientDiffuseAndSpecularColours)
{
    for (GLenum which : {GL_LIGHT0, GL_LIGHT1}) {
        SCOPED_TRACE(which == GL_LIGHT0 ? "light 0" : "light 1");
        EXPECT_TRUE(glIsEnabled(which));
        EXPECT_EQ(light(which, GL_AMBIENT), (Vec4{0.8f, 0.8f, 0.8f, 1.0f}));
        EXPECT_EQ(light(which, GL_DIFFUSE), (Vec4{0.8f, 0.8f, 0.8f, 1.0f}));
        EXPECT_EQ(light(which, GL_SPECULAR), (Vec4{0.3f, 0.3f, 0.3f, 1.0f}));
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
}

TEST_F(Lighting, LightsPlacedUnderTheCameraStandAtTheirWorldPositionsInEyeSpace)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    gluLookAt(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    place_lights();
    glPopMatrix();
    // The camera moves the world 3 towards -z; a direction (w = 0) does not move.
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Vec4{-5.0f, 10.0f, 12.0f, 1.0f}));
    EXPECT_EQ(light(GL_LIGHT1, GL_POSITION), (Vec4{-50.0f, 75.0f, 100.0f, 0.0f}));
}

TEST_F(Lighting, AFramePlacesTheLightsUnderTheCameraAndOutsideEveryObjectTransform)
{
    // Back to OpenGL's initial positions, so that only this frame can have placed them.
    const float initial[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, initial);
    glLightfv(GL_LIGHT1, GL_POSITION, initial);
    glPopMatrix();
    reset_game();
    aim_translate = 1.5f;
    draw();
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Vec4{-5.0f, 10.0f, 12.0f, 1.0f}));
    EXPECT_EQ(light(GL_LIGHT1, GL_POSITION), (Vec4{-50.0f, 75.0f, 100.0f, 0.0f}));
}

TEST_F(Lighting, AFrameSwitchesOnNothingBeyondTheTwoLightsAndSmoothShading)
{
    reset_game();
    draw();
    GLint shade_model = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade_model);
    EXPECT_EQ(shade_model, GL_SMOOTH);
    GLint two_sided = 1;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_sided);
    EXPECT_EQ(two_sided, GL_FALSE);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

using Materials = RenderTest;

TEST_F(Materials, SetMaterialMakesAllFourValuesTheFrontMaterialAlphaIncluded)
{
    // Preset 1 has a fractional shininess, 25 alpha 0.55, 18 alpha 0.
    for (int number : {1, 25, 18}) {
        SCOPED_TRACE(::testing::Message() << "preset " << number);
        const Material& preset = *material_preset(number);
        set_material(preset);
        EXPECT_EQ(material(GL_FRONT, GL_AMBIENT), as_vec(preset.ambient));
        EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), as_vec(preset.diffuse));
        EXPECT_EQ(material(GL_FRONT, GL_SPECULAR), as_vec(preset.specular));
        EXPECT_EQ(material(GL_FRONT, GL_SHININESS)[0], preset.shininess);
    }
}

TEST_F(Materials, AFrameEndsWithTheBackdropsPresetSevenInFrontAndTheBackMaterialUntouched)
{
    reset_game();
    set_material(*material_preset(9));
    draw();
    EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), as_vec(material_preset(7)->diffuse));
    EXPECT_EQ(material(GL_BACK, GL_AMBIENT), (Vec4{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(material(GL_BACK, GL_DIFFUSE), (Vec4{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(material(GL_BACK, GL_SPECULAR), (Vec4{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(material(GL_BACK, GL_SHININESS)[0], 0.0f);
}

TEST_F(Materials, BallMaterialOutsideThePresetsLeavesTheLastAppliedMaterialInForce)
{
    ball_material = 5;
    select_ball_material(3);
    const Material& five = *material_preset(5);
    EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), as_vec(five.diffuse));
    for (int outside : {0, 32}) {
        ball_material = outside;
        select_ball_material(3);
        EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), as_vec(five.diffuse)) << "ball_material " << outside;
        EXPECT_EQ(material(GL_FRONT, GL_SHININESS)[0], five.shininess) << "ball_material " << outside;
    }
}

using Projection = RenderTest;

TEST_F(Projection, ReshapeSpansFourUnitsHighAndTheWindowsAspectWide)
{
    // Set up at 800 x 600 by the fixture: x from -8/3 to 8/3.
    expect_matrix_near(matrix(GL_PROJECTION_MATRIX), playfield_projection(8.0 / 3.0));
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 800, 600}));
    toolkit.clear_requests();
    on_reshape(600, 600);
    expect_matrix_near(matrix(GL_PROJECTION_MATRIX), playfield_projection(2.0));
    // The scene is drawn anew for the new size.
    EXPECT_EQ(toolkit.redisplays, 1);
    on_reshape(1200, 300);
    expect_matrix_near(matrix(GL_PROJECTION_MATRIX), playfield_projection(8.0));
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1200, 300}));
}

TEST_F(Projection, ReshapeLeavesTheModelviewMatrixCurrentAndUntouched)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(1.0f, 2.0f, 3.0f);
    const Mat4 before = matrix(GL_MODELVIEW_MATRIX);
    on_reshape(640, 480);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), before);
    glPopMatrix();
}

TEST_F(Projection, ReshapeOfAMinimisedWindowKeepsTheLastProjectionAndViewport)
{
    const Mat4 before = matrix(GL_PROJECTION_MATRIX);
    const int sizes[][2] = {{0, 0}, {800, 0}, {0, 600}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size[0] << " x " << size[1]);
        on_reshape(size[0], size[1]);
        const Mat4 after = matrix(GL_PROJECTION_MATRIX);
        EXPECT_EQ(after, before);
        for (float value : after) {
            EXPECT_TRUE(std::isfinite(value));
        }
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 800, 600}));
        EXPECT_EQ(view_width, 5.3333335f);
    }
    on_reshape(1200, 300);
    expect_matrix_near(matrix(GL_PROJECTION_MATRIX), playfield_projection(8.0));
}

}  // namespace
