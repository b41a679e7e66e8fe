// The browser build's batch to WebGL: the frame's lit vertices and 16-bit indices, drawn in one
// call at the swap or before a clear, a viewport change or a depth-test switch; glClear, glViewport.
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl_shared.h"
#include "webgl_draw.h"

namespace fixed_function {
namespace {

// Indices are 16 bits wide, all that WebGL 1 has without an extension, so a batch holds at most
// this many vertices and is drawn early when a shape would not fit.
constexpr std::size_t batch_limit = 65536;

struct State {
    std::vector<ClipVertex> vertices;
    std::vector<std::uint16_t> indices;
    // Where the vertices of the shape begun last start in the batch.
    std::size_t shape_base = 0;
};

State& state()
{
    static State s;
    return s;
}

}  // namespace

bool begin_shape(const std::vector<ClipVertex>& vertices)
{
    State& s = state();
    // The game's largest shape has 961 vertices; one beyond any batch is not drawn.
    if (vertices.size() > batch_limit) {
        return false;
    }
    if (s.vertices.size() + vertices.size() > batch_limit) {
        flush();
    }
    s.shape_base = s.vertices.size();
    s.vertices.insert(s.vertices.end(), vertices.begin(), vertices.end());
    return true;
}

void triangle(std::size_t a, std::size_t b, std::size_t c)
{
    State& s = state();
    for (const std::size_t corner : {a, b, c}) {
        s.indices.push_back(static_cast<std::uint16_t>(s.shape_base + corner));
    }
}

// A shape's whole list of corners at once: a surface's, which is made once.
void triangles(const std::vector<std::uint16_t>& corners)
{
    State& s = state();
    const std::size_t at = s.indices.size();
    s.indices.resize(at + corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        s.indices[at + i] = static_cast<std::uint16_t>(s.shape_base + corners[i]);
    }
}

void flush()
{
    State& s = state();
    webgl_draw_triangles(s.vertices.data(), s.vertices.size(), s.indices.data(), s.indices.size());
    s.vertices.clear();
    s.indices.clear();
}

void switch_depth_test(bool on)
{
    flush();
    webgl_depth_test(on);
}

}  // namespace fixed_function

// The framebuffer: drawing already batched goes first, in order.

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { webgl_clear_colour(r, g, b, a); }

void glClear(GLbitfield mask)
{
    fixed_function::flush();
    webgl_clear((mask & GL_COLOR_BUFFER_BIT) != 0, (mask & GL_DEPTH_BUFFER_BIT) != 0);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    fixed_function::flush();
    webgl_viewport(x, y, width, height);
}
