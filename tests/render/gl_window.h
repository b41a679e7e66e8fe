// The window the render tests draw into: a private Xvfb, Mesa's software renderer and one
// freeglut window opened and set up by the game's own start-up, plus reading frames back as
// images (support/window_image.h).
#pragma once

#include <string>
#include <vector>

#include "support/window_image.h"

// Brings up the server, the window and its context once per process (each discovered test runs
// as its own process). Safe to call repeatedly; aborts the test program when no context comes up.
// The first call also starts a game, as the start-up does: call it before resetting the state.
void ensure_gl_window();

// Resizes the window and waits until freeglut has delivered the matching reshape (on_reshape is
// the window's reshape handler, as in the game), so that the framebuffer has the new size.
// Returns false when the size did not arrive within a generous timeout.
bool resize_gl_window(int width, int height);

class Frame;
// Runs draw_scene and returns the frame it drew, read just before its buffer swap.
Frame draw_and_capture();
// The window's buffer swap, which the render tests' toolkit makes for the code under test
// (RenderTest installs it): the frame draw_and_capture waits for is read first.
void swap_gl_window();
// Swaps made through swap_gl_window since the process started.
int buffer_swaps();

// Labels given to glutAddMenuEntry since the process started, in order.
const std::vector<std::string>& menu_labels_added();
// The game state (game_state_values) as the window's start-up and first reshape left it.
const std::string& state_after_start_up();

// gluNewQuadric calls made by the code under test since the process started.
int quadrics_created();
int quadrics_deleted();

// One frame read back from the window, its rows counted from the bottom as in OpenGL.
class Frame {
public:
    // Reads the back buffer over the current viewport.
    static Frame read_back();

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int column, int row_from_bottom) const;
    // The pixel under a world point: one world unit is height / 4 pixels in both directions,
    // the origin at the window's centre, y up.
    Rgb at_world(double x, double y) const;
    // Pixel column and row (from the bottom) of a world point.
    int column_of(double x) const;
    int row_of(double y) const;

    const std::string& image() const { return image_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::string image_;
};

// Writes the frame next to the test output, named after the running test, and returns the path.
std::string save_frame_for_inspection(const Frame& frame, const std::string& tag);
