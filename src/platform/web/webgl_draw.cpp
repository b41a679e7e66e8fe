// WebGL under the fixed-function stand-in: the page's one shader program (index.html), which only
// interpolates the colours the stand-in lit per vertex (as fixed-function OpenGL does with smooth
// shading), one stream buffer of vertices and one of indices, all made again when the browser
// gives back a lost context.
// Reached through emscripten's emscripten_gl* names, since the stand-in owns the plain gl* ones.
#include "webgl_draw.h"

#include <webgl/webgl1.h>

#include "page.h"

namespace {

// Everything the page has made on the GPU, and the state it has set there: a lost context takes
// all of it away, and a restored one is given it again before the next draw.
struct Device {
    bool lost = false;
    // 0 until made: at start-up, once the toolkit has made the canvas's context current, and on
    // the first draw after a restore.
    GLuint program = 0;
    bool program_in_use = false;
    GLuint vertices = 0;
    GLuint indices = 0;
    // The state as the game last set it (WebGL's own defaults until then).
    float clear_colour[4] = {0, 0, 0, 0};
    int viewport[4] = {0, 0, 0, 0};
    bool viewport_set = false;
    bool depth_test = false;
};

Device device;

void apply_depth_test()
{
    if (device.depth_test) {
        emscripten_glEnable(GL_DEPTH_TEST);
    } else {
        emscripten_glDisable(GL_DEPTH_TEST);
    }
}

void make_missing_gpu_objects()
{
    if (device.program == 0) {
        // Attributes 0 and 1: the position and the colour of a ClipVertex.
        device.program = marbloom_page_program();
        device.program_in_use = false;
    }
    if (device.vertices == 0) {
        emscripten_glGenBuffers(1, &device.vertices);
    }
    if (device.indices == 0) {
        emscripten_glGenBuffers(1, &device.indices);
    }
}

// The first call that needs the program linked: it waits until the browser has linked it.
void use_program()
{
    if (!device.program_in_use) {
        emscripten_glUseProgram(device.program);
        emscripten_glEnableVertexAttribArray(0);
        emscripten_glEnableVertexAttribArray(1);
        device.program_in_use = true;
    }
}

void context_lost() { device.lost = true; }

// The context comes back empty, at WebGL's defaults: its objects are made again on the next draw,
// and the game's state is set again now, since the game set it once (the clear colour and depth
// testing at start-up, the viewport at the last reshape).
void context_restored()
{
    device.lost = false;
    device.program = 0;
    device.vertices = 0;
    device.indices = 0;
    const float* c = device.clear_colour;
    emscripten_glClearColor(c[0], c[1], c[2], c[3]);
    if (device.viewport_set) {
        const int* v = device.viewport;
        emscripten_glViewport(v[0], v[1], v[2], v[3]);
    }
    apply_depth_test();
}

void (*redraw_on_restore)() = nullptr;

void context_restored_and_redraw()
{
    context_restored();
    if (redraw_on_restore != nullptr) {
        redraw_on_restore();
    }
}

}  // namespace

void webgl_prepare()
{
    if (!device.lost) {
        make_missing_gpu_objects();
        use_program();
    }
}

void webgl_survive_context_loss(void (*redraw)())
{
    redraw_on_restore = redraw;
    marbloom_page_watch_context(context_lost, context_restored_and_redraw);
}

void webgl_draw_triangles(const ClipVertex* vertices, std::size_t vertex_count, const std::uint16_t* indices,
                          std::size_t index_count)
{
    if (index_count == 0 || device.lost) {
        return;
    }
    make_missing_gpu_objects();
    use_program();
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, device.vertices);
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertex_count * sizeof(ClipVertex)),
                            vertices, GL_STREAM_DRAW);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, device.indices);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(index_count * sizeof(std::uint16_t)), indices,
                            GL_STREAM_DRAW);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(ClipVertex), nullptr);
    emscripten_glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(ClipVertex),
                                     reinterpret_cast<const void*>(4 * sizeof(float)));
    emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(index_count), GL_UNSIGNED_SHORT, nullptr);
}

void webgl_clear(bool colour, bool depth)
{
    if (device.lost) {
        return;
    }
    emscripten_glClear((colour ? GL_COLOR_BUFFER_BIT : 0) | (depth ? GL_DEPTH_BUFFER_BIT : 0));
}

void webgl_clear_colour(float r, float g, float b, float a)
{
    device.clear_colour[0] = r;
    device.clear_colour[1] = g;
    device.clear_colour[2] = b;
    device.clear_colour[3] = a;
    if (!device.lost) {
        emscripten_glClearColor(r, g, b, a);
    }
}

void webgl_viewport(int x, int y, int width, int height)
{
    device.viewport[0] = x;
    device.viewport[1] = y;
    device.viewport[2] = width;
    device.viewport[3] = height;
    device.viewport_set = true;
    if (!device.lost) {
        emscripten_glViewport(x, y, width, height);
    }
}

void webgl_depth_test(bool on)
{
    device.depth_test = on;
    if (!device.lost) {
        apply_depth_test();
    }
}
