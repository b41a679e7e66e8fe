// WebGL under the fixed-function stand-in: one shader that only interpolates the colours the
// stand-in lit per vertex (as fixed-function OpenGL does with smooth shading), one stream buffer of
// vertices and one of indices.
// Reached through emscripten's emscripten_gl* names, since the stand-in owns the plain gl* ones.
#include "webgl_draw.h"

#include <webgl/webgl1.h>

namespace {

const char* const vertex_source =
    "attribute vec4 position;\n"
    "attribute vec4 colour;\n"
    "varying vec4 v_colour;\n"
    "void main() { gl_Position = position; v_colour = colour; }\n";
// highp where the device has it: the colours are interpolated to the same 8 bits as on desktop.
const char* const fragment_source =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "varying vec4 v_colour;\n"
    "void main() { gl_FragColor = v_colour; }\n";

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

struct Buffers {
    GLuint vertices = 0;
    GLuint indices = 0;
};

// Made on the first draw, once the toolkit has made the canvas's context current.
const Buffers& buffers()
{
    static Buffers made;
    if (made.vertices == 0) {
        const GLuint program = emscripten_glCreateProgram();
        emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertex_source));
        emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragment_source));
        emscripten_glBindAttribLocation(program, 0, "position");
        emscripten_glBindAttribLocation(program, 1, "colour");
        emscripten_glLinkProgram(program);
        emscripten_glUseProgram(program);
        emscripten_glGenBuffers(1, &made.vertices);
        emscripten_glGenBuffers(1, &made.indices);
        emscripten_glEnableVertexAttribArray(0);
        emscripten_glEnableVertexAttribArray(1);
    }
    return made;
}

}  // namespace

void webgl_draw_triangles(const ClipVertex* vertices, std::size_t vertex_count, const std::uint16_t* indices,
                          std::size_t index_count)
{
    if (index_count == 0) {
        return;
    }
    const Buffers& b = buffers();
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertex_count * sizeof(ClipVertex)),
                            vertices, GL_STREAM_DRAW);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
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
    emscripten_glClear((colour ? GL_COLOR_BUFFER_BIT : 0) | (depth ? GL_DEPTH_BUFFER_BIT : 0));
}

void webgl_clear_colour(float r, float g, float b, float a) { emscripten_glClearColor(r, g, b, a); }

void webgl_viewport(int x, int y, int width, int height) { emscripten_glViewport(x, y, width, height); }

void webgl_depth_test(bool on)
{
    if (on) {
        emscripten_glEnable(GL_DEPTH_TEST);
    } else {
        emscripten_glDisable(GL_DEPTH_TEST);
    }
}
