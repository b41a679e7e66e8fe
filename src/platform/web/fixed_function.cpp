// The browser build's fixed-function OpenGL: the OpenGL 1, GLU and solid-sphere calls the game
// makes, over WebGL. Each vertex is transformed and lit here as fixed-function OpenGL lights it
// (emscripten's emulation lights every light as a directional one); a frame's triangles go to
// WebGL in one indexed draw at the swap, each lit vertex sent once however many triangles share it.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "webgl_draw.h"

namespace {

// Column-major, as OpenGL keeps its matrices.
using Matrix = std::array<float, 16>;
constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct Vec3 {
    float x, y, z;
};
struct Colour {
    float r, g, b, a;
};

Matrix operator*(const Matrix& a, const Matrix& b)
{
    Matrix product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

std::array<float, 4> transform(const Matrix& m, float x, float y, float z, float w)
{
    return {m[0] * x + m[4] * y + m[8] * z + m[12] * w, m[1] * x + m[5] * y + m[9] * z + m[13] * w,
            m[2] * x + m[6] * y + m[10] * z + m[14] * w, m[3] * x + m[7] * y + m[11] * z + m[15] * w};
}

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 normalised(const Vec3& v)
{
    const float length = std::sqrt(dot(v, v));
    return length > 0.0f ? Vec3{v.x / length, v.y / length, v.z / length} : v;
}

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Colour from(const GLfloat* p) { return {p[0], p[1], p[2], p[3]}; }

// OpenGL's initial values: light 0 alone is white; every light shines from +z, in eye space.
struct Light {
    bool on = false;
    Colour ambient{0, 0, 0, 1};
    Colour diffuse{0, 0, 0, 1};
    Colour specular{0, 0, 0, 1};
    std::array<float, 4> position{0, 0, 1, 0};
};

struct Material {
    Colour ambient{0.2f, 0.2f, 0.2f, 1};
    Colour diffuse{0.8f, 0.8f, 0.8f, 1};
    Colour specular{0, 0, 0, 1};
    Colour emission{0, 0, 0, 1};
    float shininess = 0;
};

// OpenGL's initial light model: a dim white ambient light over the whole scene.
constexpr Colour scene_ambient{0.2f, 0.2f, 0.2f, 1.0f};
constexpr int light_count = 8;

struct State {
    GLenum matrix_mode = GL_MODELVIEW;
    std::vector<Matrix> modelview{identity};
    std::vector<Matrix> projection{identity};
    std::array<Light, light_count> lights{};
    Material material;
    bool lighting = false;
    Vec3 normal{0, 0, 1};
    Colour colour{1, 1, 1, 1};

    // The primitive between glBegin and glEnd, and the transforms fixed for its vertices.
    GLenum mode = GL_TRIANGLES;
    std::vector<ClipVertex> primitive;
    Matrix eye{};
    Matrix clip{};
    std::array<float, 9> normal_matrix{};

    // The frame's triangles so far: their vertices, and three indices into them for each.
    std::vector<ClipVertex> batch;
    std::vector<std::uint16_t> indices;
    // The shape being cut into triangles, and where its vertices start in the batch: at
    // batch_limit when it is too large to share them.
    const ClipVertex* shape = nullptr;
    std::size_t shape_base = 0;
    // A surface's lit grid points, kept between draws so that a frame allocates nothing.
    std::vector<ClipVertex> surface_points;

    State() { lights[0].diffuse = lights[0].specular = {1, 1, 1, 1}; }
};

State& gl()
{
    static State state;
    return state;
}

std::vector<Matrix>& current_stack()
{
    return gl().matrix_mode == GL_PROJECTION ? gl().projection : gl().modelview;
}

void multiply_current(const Matrix& m) { current_stack().back() = current_stack().back() * m; }

void flush()
{
    webgl_draw_triangles(gl().batch.data(), gl().batch.size(), gl().indices.data(), gl().indices.size());
    gl().batch.clear();
    gl().indices.clear();
}

// Normals go to eye space by the inverse transpose of the modelview's upper 3 x 3, unnormalised,
// as OpenGL does with GL_NORMALIZE off.
std::array<float, 9> inverse_transpose(const Matrix& m)
{
    const float a = m[0], b = m[4], c = m[8];
    const float d = m[1], e = m[5], f = m[9];
    const float g = m[2], h = m[6], i = m[10];
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const float s = det != 0.0f ? 1.0f / det : 0.0f;
    // Row-major rows of the inverse transpose: the cofactors over the determinant.
    return {(e * i - f * h) * s,  -(d * i - f * g) * s, (d * h - e * g) * s,
            -(b * i - c * h) * s, (a * i - c * g) * s,  -(a * h - b * g) * s,
            (b * f - c * e) * s,  -(a * f - c * d) * s, (a * e - b * d) * s};
}

void fix_transforms()
{
    State& s = gl();
    s.eye = s.modelview.back();
    s.clip = s.projection.back() * s.eye;
    s.normal_matrix = inverse_transpose(s.eye);
}

float clamped(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// Fixed-function lighting of one vertex in eye space, front material, viewer at infinity.
Colour lit(const Vec3& position, const Vec3& n)
{
    const State& s = gl();
    const Material& m = s.material;
    float r = m.emission.r + scene_ambient.r * m.ambient.r;
    float g = m.emission.g + scene_ambient.g * m.ambient.g;
    float b = m.emission.b + scene_ambient.b * m.ambient.b;
    for (const Light& light : s.lights) {
        if (!light.on) {
            continue;
        }
        r += m.ambient.r * light.ambient.r;
        g += m.ambient.g * light.ambient.g;
        b += m.ambient.b * light.ambient.b;
        const auto& p = light.position;
        const Vec3 to_light =
            p[3] != 0.0f
                ? normalised({p[0] / p[3] - position.x, p[1] / p[3] - position.y, p[2] / p[3] - position.z})
                : normalised({p[0], p[1], p[2]});
        const float diffuse = dot(n, to_light);
        if (diffuse <= 0.0f) {
            continue;
        }
        r += diffuse * m.diffuse.r * light.diffuse.r;
        g += diffuse * m.diffuse.g * light.diffuse.g;
        b += diffuse * m.diffuse.b * light.diffuse.b;
        const Vec3 half = normalised({to_light.x, to_light.y, to_light.z + 1.0f});
        const float facing = dot(n, half);
        if (facing > 0.0f) {
            const float specular = std::pow(facing, m.shininess);
            r += specular * m.specular.r * light.specular.r;
            g += specular * m.specular.g * light.specular.g;
            b += specular * m.specular.b * light.specular.b;
        }
    }
    return {clamped(r), clamped(g), clamped(b), clamped(m.diffuse.a)};
}

ClipVertex vertex(float x, float y, float z, const Vec3& object_normal)
{
    const State& s = gl();
    const auto clip = transform(s.clip, x, y, z, 1.0f);
    Colour c = s.colour;
    if (s.lighting) {
        const auto eye = transform(s.eye, x, y, z, 1.0f);
        const auto& nm = s.normal_matrix;
        const Vec3 n{nm[0] * object_normal.x + nm[1] * object_normal.y + nm[2] * object_normal.z,
                     nm[3] * object_normal.x + nm[4] * object_normal.y + nm[5] * object_normal.z,
                     nm[6] * object_normal.x + nm[7] * object_normal.y + nm[8] * object_normal.z};
        c = lit({eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]}, n);
    }
    return {clip[0], clip[1], clip[2], clip[3], c.r, c.g, c.b, c.a};
}

// Indices are 16 bits wide, all that WebGL 1 has without an extension, so a batch holds at most
// this many vertices and is drawn early when a shape would not fit.
constexpr std::size_t batch_limit = 65536;

// A shape's lit vertices go into the batch once, for its triangles to share. One too large for
// any batch has its triangles' vertices copied one by one instead.
void begin_shape(const std::vector<ClipVertex>& vertices)
{
    State& s = gl();
    s.shape = vertices.data();
    if (vertices.size() > batch_limit) {
        s.shape_base = batch_limit;
        return;
    }
    if (s.batch.size() + vertices.size() > batch_limit) {
        flush();
    }
    s.shape_base = s.batch.size();
    s.batch.insert(s.batch.end(), vertices.begin(), vertices.end());
}

// One triangle of the shape begun last, by the positions of its corners in that shape.
void triangle(std::size_t a, std::size_t b, std::size_t c)
{
    State& s = gl();
    std::size_t base = s.shape_base;
    if (base == batch_limit) {
        if (s.batch.size() + 3 > batch_limit) {
            flush();
        }
        base = s.batch.size();
        for (const std::size_t corner : {a, b, c}) {
            s.batch.push_back(s.shape[corner]);
        }
        a = 0, b = 1, c = 2;
    }
    for (const std::size_t corner : {a, b, c}) {
        s.indices.push_back(static_cast<std::uint16_t>(base + corner));
    }
}

// A curved surface as a grid of (stacks + 1) x (slices + 1) points with their normals: the
// sphere and the barrel. Made once for each shape, since the game draws the same few every frame.
struct Surface {
    int slices = 0;
    int stacks = 0;
    std::vector<Vec3> points;
    std::vector<Vec3> normals;
};

// at(stack, slice) gives a grid point's position and normal.
template <typename At>
Surface make_surface(int slices, int stacks, At at)
{
    Surface surface{slices, stacks, {}, {}};
    for (int stack = 0; stack <= stacks; ++stack) {
        for (int slice = 0; slice <= slices; ++slice) {
            const std::pair<Vec3, Vec3> point = at(stack, slice);
            surface.points.push_back(point.first);
            surface.normals.push_back(point.second);
        }
    }
    return surface;
}

// Each grid point is lit once, then shared by the two triangles of every cell around it.
void draw_surface(const Surface& surface, float scale)
{
    fix_transforms();
    std::vector<ClipVertex>& lit_points = gl().surface_points;
    lit_points.clear();
    for (std::size_t i = 0; i < surface.points.size(); ++i) {
        const Vec3& p = surface.points[i];
        lit_points.push_back(vertex(scale * p.x, scale * p.y, scale * p.z, surface.normals[i]));
    }
    begin_shape(lit_points);
    const std::size_t row = static_cast<std::size_t>(surface.slices) + 1;
    for (std::size_t stack = 0; stack < static_cast<std::size_t>(surface.stacks); ++stack) {
        for (std::size_t slice = 0; slice + 1 < row; ++slice) {
            const std::size_t a = stack * row + slice, b = a + row, c = b + 1, d = a + 1;
            triangle(a, b, c);
            triangle(a, c, d);
        }
    }
}

}  // namespace

// Matrices.

void glMatrixMode(GLenum mode) { gl().matrix_mode = mode; }

void glLoadIdentity() { current_stack().back() = identity; }

void glPushMatrix() { current_stack().push_back(current_stack().back()); }

void glPopMatrix()
{
    if (current_stack().size() > 1) {
        current_stack().pop_back();
    }
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    multiply_current({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const Vec3 a = normalised({x, y, z});
    const float radians = angle * static_cast<float>(std::acos(-1.0) / 180.0);
    const float c = std::cos(radians), s = std::sin(radians), t = 1.0f - c;
    multiply_current({t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y, 0,
                      t * a.x * a.y - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x, 0,
                      t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x, t * a.z * a.z + c, 0, 0, 0, 0, 1});
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far)
{
    multiply_current({static_cast<float>(2.0 / (right - left)), 0, 0, 0, 0,
                      static_cast<float>(2.0 / (top - bottom)), 0, 0, 0, 0,
                      static_cast<float>(-2.0 / (far - near)), 0,
                      static_cast<float>(-(right + left) / (right - left)),
                      static_cast<float>(-(top + bottom) / (top - bottom)),
                      static_cast<float>(-(far + near) / (far - near)), 1});
}

void gluLookAt(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y,
               GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z)
{
    const Vec3 forward =
        normalised({static_cast<float>(centre_x - eye_x), static_cast<float>(centre_y - eye_y),
                    static_cast<float>(centre_z - eye_z)});
    const Vec3 side = normalised(
        cross(forward, {static_cast<float>(up_x), static_cast<float>(up_y), static_cast<float>(up_z)}));
    const Vec3 up = cross(side, forward);
    multiply_current(
        {side.x, up.x, -forward.x, 0, side.y, up.y, -forward.y, 0, side.z, up.z, -forward.z, 0, 0, 0, 0, 1});
    glTranslatef(static_cast<float>(-eye_x), static_cast<float>(-eye_y), static_cast<float>(-eye_z));
}

// Switches, lights and materials.

namespace {

// What glEnable and glDisable switch: lighting and the lights here, depth testing in WebGL.
void switch_capability(GLenum cap, bool on)
{
    if (cap == GL_LIGHTING) {
        gl().lighting = on;
    } else if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + light_count) {
        gl().lights[cap - GL_LIGHT0].on = on;
    } else if (cap == GL_DEPTH_TEST) {
        flush();
        webgl_depth_test(on);
    }
}

}  // namespace

void glEnable(GLenum cap) { switch_capability(cap, true); }

void glDisable(GLenum cap) { switch_capability(cap, false); }

void glLightfv(GLenum which, GLenum name, const GLfloat* params)
{
    if (which < GL_LIGHT0 || which >= GL_LIGHT0 + light_count) {
        return;
    }
    Light& light = gl().lights[which - GL_LIGHT0];
    switch (name) {
    case GL_AMBIENT:
        light.ambient = from(params);
        break;
    case GL_DIFFUSE:
        light.diffuse = from(params);
        break;
    case GL_SPECULAR:
        light.specular = from(params);
        break;
    // Kept in eye space: transformed by the modelview matrix current now.
    case GL_POSITION:
        light.position = transform(gl().modelview.back(), params[0], params[1], params[2], params[3]);
        break;
    default:
        break;
    }
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* params)
{
    // Two-sided lighting is off: only the front material lights anything.
    if (face != GL_FRONT && face != GL_FRONT_AND_BACK) {
        return;
    }
    Material& m = gl().material;
    switch (name) {
    case GL_AMBIENT:
        m.ambient = from(params);
        break;
    case GL_DIFFUSE:
        m.diffuse = from(params);
        break;
    case GL_SPECULAR:
        m.specular = from(params);
        break;
    case GL_EMISSION:
        m.emission = from(params);
        break;
    case GL_SHININESS:
        m.shininess = params[0];
        break;
    default:
        break;
    }
}

// Colours are always interpolated across a polygon, which is all smooth shading asks for.
void glShadeModel(GLenum) {}

// Points are never drawn; the size is accepted and has no effect.
void glPointSize(GLfloat) {}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { gl().colour = {r, g, b, 1.0f}; }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl().normal = {x, y, z}; }

// Immediate mode: the vertices of one primitive, lit as they come, cut into triangles at glEnd.

void glBegin(GLenum mode)
{
    gl().mode = mode;
    gl().primitive.clear();
    fix_transforms();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { gl().primitive.push_back(vertex(x, y, z, gl().normal)); }

void glEnd()
{
    const std::vector<ClipVertex>& v = gl().primitive;
    const std::size_t n = v.size();
    begin_shape(v);
    switch (gl().mode) {
    case GL_TRIANGLES:
        for (std::size_t i = 2; i < n; i += 3) {
            triangle(i - 2, i - 1, i);
        }
        break;
    case GL_TRIANGLE_STRIP:
        for (std::size_t i = 2; i < n; ++i) {
            triangle(i - 2, i - 1, i);
        }
        break;
    // A convex polygon is a fan around its first vertex.
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::size_t i = 2; i < n; ++i) {
            triangle(0, i - 1, i);
        }
        break;
    case GL_QUADS:
        for (std::size_t i = 3; i < n; i += 4) {
            triangle(i - 3, i - 2, i - 1);
            triangle(i - 3, i - 1, i);
        }
        break;
    case GL_QUAD_STRIP:
        for (std::size_t i = 3; i < n; i += 2) {
            triangle(i - 3, i - 2, i);
            triangle(i - 3, i, i - 1);
        }
        break;
    default:
        break;  // points and lines: the game draws none
    }
    gl().primitive.clear();
}

// Solids: made of triangles directly, each vertex with its own normal.

// A unit sphere around the z axis, from the +z pole down: its points are their own normals.
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static std::map<std::pair<int, int>, Surface> made;
    auto found = made.find({slices, stacks});
    if (found == made.end()) {
        const double pi = std::acos(-1.0);
        found =
            made.emplace(std::make_pair(slices, stacks),
                         make_surface(slices, stacks,
                                      [&](int stack, int slice) {
                                          const double polar = pi * stack / stacks;
                                          const double around = 2.0 * pi * slice / slices;
                                          const Vec3 u{static_cast<float>(std::sin(polar) * std::cos(around)),
                                                       static_cast<float>(std::sin(polar) * std::sin(around)),
                                                       static_cast<float>(std::cos(polar))};
                                          return std::make_pair(u, u);
                                      }))
                .first;
    }
    draw_surface(found->second, static_cast<float>(radius));
}

// GLU's quadric settings are fixed here at its defaults: filled, smooth normals pointing out.
class GLUquadric {};

GLUquadric* gluNewQuadric() { return new GLUquadric; }

void gluDeleteQuadric(GLUquadric* quadric) { delete quadric; }

// The side of a cone along +z, from `base` radius at z = 0 to `top` at z = height.
void gluCylinder(GLUquadric*, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    static std::map<std::tuple<double, double, double, int, int>, Surface> made;
    const auto key = std::make_tuple(base, top, height, slices, stacks);
    auto found = made.find(key);
    if (found == made.end()) {
        const double pi = std::acos(-1.0);
        // The side leans by (base - top) over the height; its normals lean with it.
        const double slope = (base - top) / height;
        found =
            made.emplace(key, make_surface(slices, stacks,
                                           [&](int stack, int slice) {
                                               const double z = height * stack / stacks;
                                               const double radius = base + (top - base) * stack / stacks;
                                               const double around = 2.0 * pi * slice / slices;
                                               const Vec3 point{static_cast<float>(radius * std::cos(around)),
                                                                static_cast<float>(radius * std::sin(around)),
                                                                static_cast<float>(z)};
                                               const Vec3 normal =
                                                   normalised({static_cast<float>(std::cos(around)),
                                                               static_cast<float>(std::sin(around)),
                                                               static_cast<float>(slope)});
                                               return std::make_pair(point, normal);
                                           }))
                .first;
    }
    draw_surface(found->second, 1.0f);
}

// The framebuffer: drawing already batched goes first, in order.

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { webgl_clear_colour(r, g, b, a); }

void glClear(GLbitfield mask)
{
    flush();
    webgl_clear((mask & GL_COLOR_BUFFER_BIT) != 0, (mask & GL_DEPTH_BUFFER_BIT) != 0);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    flush();
    webgl_viewport(x, y, width, height);
}

// The browser shows the canvas once the frame's callback returns; the frame must be drawn by then.
void glutSwapBuffers() { flush(); }
