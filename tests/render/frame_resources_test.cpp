// What many frames leave behind: matrix stacks, GL objects and GLU quadrics must be where they
// were, however long the game runs.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>

#include "core/game_state.h"
#include "input/reset.h"
#include "render/render_test.h"
#include "render/scene.h"

namespace {

// A few seconds of play at one frame per chain tick.
constexpr int many_frames = 200;

GLint integer(GLenum which)
{
    GLint value = 0;
    glGetIntegerv(which, &value);
    return value;
}

std::array<float, 16> matrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

// Names the context has handed out for display lists, textures and buffer objects: the scene is
// immediate mode and should own none. Names are given out from 1 upwards, so a range covers them.
int gl_objects_alive()
{
    int alive = 0;
    for (GLuint name = 1; name <= 2048; ++name) {
        alive += glIsList(name) ? 1 : 0;
        alive += glIsTexture(name) ? 1 : 0;
        alive += glIsBuffer(name) ? 1 : 0;
    }
    return alive;
}

using LongRun = RenderTest;

TEST_F(LongRun, ManyFramesLeaveTheMatrixStacksAndMatricesAsTheyFoundThem)
{
    reset_game();
    shot_in_flight = 1;
    shot_height = 1.0f;
    const GLint modelview_depth = integer(GL_MODELVIEW_STACK_DEPTH);
    const GLint projection_depth = integer(GL_PROJECTION_STACK_DEPTH);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    const int swaps_before = buffer_swaps();
    for (int i = 0; i < many_frames; ++i) {
        run_ticks(1);
        draw_scene();
    }
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), modelview_depth);
    EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), projection_depth);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(buffer_swaps() - swaps_before, many_frames) << "one swap per frame";
    // A stack overflow or underflow anywhere in the frame would have left an error here.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LongRun, FramesCreateNoDisplayListsTexturesOrBuffers)
{
    reset_game();
    const int before = gl_objects_alive();
    for (int i = 0; i < many_frames; ++i) {
        draw_scene();
    }
    EXPECT_EQ(gl_objects_alive(), before);
    EXPECT_EQ(before, 0);
}

TEST_F(LongRun, BarrelQuadricIsMadeOnceForTheProcessNotOncePerFrame)
{
    reset_game();
    draw_scene();
    // The count comes through a stand-in for gluNewQuadric; a frame draws the barrel, so a
    // count of zero would mean the stand-in is not in the path and the check below proves nothing.
    ASSERT_GE(quadrics_created(), 1);
    for (int i = 0; i < many_frames; ++i) {
        draw_scene();
    }
    EXPECT_EQ(quadrics_created(), 1);
    EXPECT_LE(quadrics_created() - quadrics_deleted(), 1);
}

}  // namespace
