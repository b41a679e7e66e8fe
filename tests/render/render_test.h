// Fixture for tests that draw: the game state reset as in GameTest, the shared window at
// 800 x 600 with the game's reshape applied, and classes of colours to check pixels against.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "render/gl_window.h"
#include "support/game_test.h"

// A colour class: a name for messages and a test with tolerances wide enough for shading
// across a sphere, narrow enough that no two classes of the scene overlap.
struct ColourClass {
    const char* name;
    bool (*matches)(Rgb);
};

// The backdrop's lit grey (preset 7 under both lights): equal channels, mid to light.
extern const ColourClass backdrop_grey;
// The clear colour, where nothing is drawn.
extern const ColourClass clear_sky;
// Corner balls, preset 30.
extern const ColourClass corner_green;
// The projectile, preset 25.
extern const ColourClass projectile_red;
// The projectile's lower right, turned away from both lights: preset 25's ambient red alone.
extern const ColourClass projectile_unlit_red;
// Breech and barrel, preset 28.
extern const ColourClass cannon_black;
// Path markers, preset 18, and balls drawn with it.
extern const ColourClass marker_blue;
// Chain balls in preset 1, the material after a reset.
extern const ColourClass ball_brass;

class RenderTest : public GameTest {
protected:
    void SetUp() override
    {
        // First, so that the fresh state GameTest gives replaces the start-up's first game.
        ensure_gl_window();
        GameTest::SetUp();
        toolkit.on_swap = swap_gl_window;
        ASSERT_TRUE(resize_gl_window(800, 600)) << "the window did not take its 800 x 600 size";
    }

    void TearDown() override
    {
        // MARBLOOM_KEEP_FRAMES=1 keeps every test's last frame, to look at what the checks see.
        if (frame_ && (HasFailure() || std::getenv("MARBLOOM_KEEP_FRAMES") != nullptr)) {
            std::fprintf(stderr, "frame written to %s\n", save_frame_for_inspection(*frame_, "").c_str());
        }
        GameTest::TearDown();
    }

    // Draws one frame and keeps it, to be checked and, on a failure, written out.
    const Frame& draw()
    {
        frame_ = draw_and_capture();
        return *frame_;
    }

    // Whether the pixel under world point (x, y) of the last frame belongs to the class.
    ::testing::AssertionResult shows(double x, double y, const ColourClass& expected) const;

private:
    std::optional<Frame> frame_;
};
