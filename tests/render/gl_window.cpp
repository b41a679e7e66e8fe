// Window, context and frame read-back for the render tests.
#include "render/gl_window.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "platform/glut/start_up.h"
#include "render/scene.h"
#include "support/game_test.h"
#include "support/game_window.h"
#include "support/xvfb.h"

namespace {

std::unique_ptr<XvfbServer> server;
int window = 0;
bool exposed = false;
// The size of the last reshape freeglut delivered: the framebuffer's size.
int shown_width = 0;
int shown_height = 0;

int quadric_news = 0;
int quadric_deletes = 0;
int swaps = 0;
std::vector<std::string> menu_labels;
std::string start_up_state;
// Set while draw_and_capture runs: the next swap first copies the back buffer here.
Frame* capture_target = nullptr;

// The game's display handler is called by the tests themselves, frame by frame; this one only
// records that the server has shown the window.
void on_expose() { exposed = true; }

// The game's reshape handler, with a note of the size for the tests' waits.
void on_window_reshape(int width, int height)
{
    shown_width = width;
    shown_height = height;
    on_reshape(width, height);
}

void keep_software_driver_loaded()
{
#ifdef MARBLOOM_DRI_DRIVER
    // Mesa unloads its driver before LeakSanitizer looks at the heap, which leaves the driver's
    // own allocations with unreadable stacks; kept loaded, they can be matched by module name.
    dlopen(MARBLOOM_DRI_DRIVER, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
#endif
}

class GlWindowEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (window != 0) {
            glutDestroyWindow(window);
            // Closes the connection while the server is still there to answer.
            glutExit();
            window = 0;
        }
        server.reset();
    }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GlWindowEnvironment);

}  // namespace

// The code under test is linked statically, so these definitions take the place of GLU's for
// it; they count and hand over to the library's own.
extern "C" GLUquadric* gluNewQuadric()
{
    using New = GLUquadric* (*)();
    static const New real = reinterpret_cast<New>(dlsym(RTLD_NEXT, "gluNewQuadric"));
    ++quadric_news;
    return real();
}

extern "C" void gluDeleteQuadric(GLUquadric* quadric)
{
    using Delete = void (*)(GLUquadric*);
    static const Delete real = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "gluDeleteQuadric"));
    ++quadric_deletes;
    real(quadric);
}

// The menu's labels as the start-up hands them over: freeglut has no call that reads them back.
extern "C" void glutAddMenuEntry(const char* label, int value)
{
    using Add = void (*)(const char*, int);
    static const Add real = reinterpret_cast<Add>(dlsym(RTLD_NEXT, "glutAddMenuEntry"));
    menu_labels.emplace_back(label);
    real(label, value);
}

// The swap at the end of draw_scene, which reaches it through the toolkit: the finished frame is
// read from the back buffer just before it, since this driver's front buffer does not read back
// what the window shows.
void swap_gl_window()
{
    ++swaps;
    if (capture_target != nullptr) {
        *capture_target = Frame::read_back();
        capture_target = nullptr;
    }
    glutSwapBuffers();
}

namespace {

bool back_pixel_is(int column, int row, const std::uint8_t (&rgb)[3])
{
    // Reads outside the buffer leave the destination as it was: start from a colour that
    // neither the clear colour nor anything else here has.
    std::uint8_t pixel[3] = {1, 2, 3};
    glReadPixels(column, row, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    return pixel[0] == rgb[0] && pixel[1] == rgb[1] && pixel[2] == rgb[2];
}

// Whether the driver's back buffer has exactly this size. The software driver takes a new
// window size only at a buffer swap, so a frame drawn right after a reshape would still be
// drawn at the old size.
bool back_buffer_has_size(int width, int height)
{
    const std::uint8_t untouched[3] = {1, 2, 3};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    std::uint8_t cleared[3] = {0, 0, 0};
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, cleared);
    return back_pixel_is(width - 1, height - 1, cleared) && back_pixel_is(width, 0, untouched) &&
           back_pixel_is(0, height, untouched);
}

}  // namespace

int quadrics_created() { return quadric_news; }
int quadrics_deleted() { return quadric_deletes; }
int buffer_swaps() { return swaps; }
const std::vector<std::string>& menu_labels_added() { return menu_labels; }
const std::string& state_after_start_up() { return start_up_state; }

Frame draw_and_capture()
{
    Frame frame;
    capture_target = &frame;
    draw_scene();
    capture_target = nullptr;
    return frame;
}

void ensure_gl_window()
{
    if (window != 0) {
        return;
    }
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    keep_software_driver_loaded();
    server = std::make_unique<XvfbServer>("1280x1024x24");

    start_toolkit("render_test");
    // As main() opens it, but at the screen's corner so that the whole window is on screen even
    // when a test widens it. The start-up's first game is the caller's to clear away.
    window = open_game_window(0, 0, 800, 600, on_expose, on_window_reshape);

    if (!pump_until([] { return exposed && shown_width == 800 && shown_height == 600; })) {
        std::fprintf(stderr, "the test window was not shown within the time allowed\n");
        server.reset();
        std::abort();
    }
    start_up_state = game_state_values();
}

bool resize_gl_window(int width, int height)
{
    ensure_gl_window();
    if (shown_width != width || shown_height != height) {
        glutReshapeWindow(width, height);
        // freeglut 2.8 (Ubuntu 22.04) carries out a requested resize only when it next redraws
        // the window; freeglut 3 at once. Asking for a redraw serves both.
        glutPostRedisplay();
        if (!pump_until([&] { return shown_width == width && shown_height == height; })) {
            return false;
        }
        if (!pump_until([&] {
                if (back_buffer_has_size(width, height)) {
                    return true;
                }
                glutSwapBuffers();
                return false;
            })) {
            return false;
        }
    }
    // The game state may have been reset since: hand the size to the game as the toolkit did.
    on_reshape(width, height);
    return true;
}

Frame Frame::read_back()
{
    Frame frame;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    frame.width_ = viewport[2];
    frame.height_ = viewport[3];
    const std::size_t row_bytes = static_cast<std::size_t>(frame.width_) * 3;
    std::string bottom_up(row_bytes * frame.height_, '\0');
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width_, frame.height_, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    std::string top_down;
    for (int row = frame.height_ - 1; row >= 0; --row) {
        top_down.append(bottom_up, row * row_bytes, row_bytes);
    }
    frame.image_ = ppm_image(frame.width_, frame.height_, top_down);
    return frame;
}

Rgb Frame::at(int column, int row_from_bottom) const
{
    if (column < 0 || column >= width_ || row_from_bottom < 0 || row_from_bottom >= height_) {
        ADD_FAILURE() << "pixel (" << column << ", " << row_from_bottom << ") is outside the " << width_
                      << " x " << height_ << " frame";
        return {-1, -1, -1};
    }
    return rgb_at(image_, column, height_ - 1 - row_from_bottom);
}

int Frame::column_of(double x) const { return static_cast<int>(width_ / 2.0 + x * height_ / 4.0); }

int Frame::row_of(double y) const { return static_cast<int>(height_ / 2.0 + y * height_ / 4.0); }

Rgb Frame::at_world(double x, double y) const { return at(column_of(x), row_of(y)); }

std::string save_frame_for_inspection(const Frame& frame, const std::string& tag)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "frame";
    char cwd[4096];
    const std::string dir = getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
    const std::string path = dir + "/" + name + (tag.empty() ? "" : "." + tag) + ".ppm";
    std::ofstream file(path, std::ios::binary);
    if (!(file << frame.image()) || !file.flush()) {
        return "(could not write " + path + ")";
    }
    return path;
}
