// The browser build's OpenGL 1 shapes cut into triangles: immediate-mode polygons, lit at their
// glEnd, and the curved surfaces (GLUT's solid sphere, GLU's cylinder); a shape unchanged since
// the last frame keeps the vertices lit then.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "gl_shared.h"

namespace fixed_function {
namespace {

// A polygon's corner as given between glBegin and glEnd.
struct Corner {
    float x, y, z;
    Vec3 normal;
    Colour colour;
};

// A shape's lit vertices as the last frame made them, with the inputs they were made from.
struct Remembered {
    std::vector<std::uint32_t> inputs;
    std::vector<ClipVertex> vertices;
};

struct State {
    Vec3 normal{0, 0, 1};
    Colour colour{1, 1, 1, 1};
    // The primitive between glBegin and glEnd.
    GLenum mode = GL_POLYGON;
    std::vector<Corner> primitive;
    // The game draws the same shapes in the same order every frame, most of them unchanged (the
    // backdrop, the markers, the corner balls, the cannon at rest). A shape whose inputs are
    // those of the shape drawn at its place in the last frame takes the vertices made then,
    // the same bits, rather than being transformed and lit again: only what moved is lit.
    std::vector<Remembered> last_frame;
    std::size_t shape = 0;
    std::vector<std::uint32_t> key;
};

State& state()
{
    static State s;
    return s;
}

// By the transforms fixed at the shape's start.
ClipVertex vertex(float x, float y, float z, const Vec3& object_normal, const Colour& colour)
{
    const auto clip = to_clip(x, y, z);
    Colour c = colour;
    if (lighting_on()) {
        c = lit(to_eye(x, y, z), normal_to_eye(object_normal));
    }
    return {clip[0], clip[1], clip[2], clip[3], c.r, c.g, c.b, c.a};
}

void append_vec3(std::vector<std::uint32_t>& key, const Vec3& v)
{
    for (const float f : {v.x, v.y, v.z}) {
        append_bits(key, f);
    }
}

void append_colour(std::vector<std::uint32_t>& key, const Colour& c)
{
    for (const float f : {c.r, c.g, c.b, c.a}) {
        append_bits(key, f);
    }
}

// The key of a shape begins with what lights and places all of its vertices.
std::vector<std::uint32_t>& begin_key()
{
    std::vector<std::uint32_t>& key = state().key;
    key.clear();
    append_fixed_transforms(key);
    const std::uint64_t lighting = lighting_id();
    key.push_back(static_cast<std::uint32_t>(lighting));
    key.push_back(static_cast<std::uint32_t>(lighting >> 32));
    return key;
}

// The shape's vertices for its key: the last frame's at this place if the key is theirs, or made
// now by make(vertices) and kept for the next frame.
template <typename Make>
const std::vector<ClipVertex>& shape_vertices(Make make)
{
    State& s = state();
    if (s.shape == s.last_frame.size()) {
        s.last_frame.emplace_back();
    }
    Remembered& remembered = s.last_frame[s.shape++];
    if (remembered.inputs != s.key) {
        remembered.inputs = s.key;
        remembered.vertices.clear();
        make(remembered.vertices);
    }
    return remembered.vertices;
}

// A curved surface as a grid of (stacks + 1) x (slices + 1) points with their normals: the
// sphere and the barrel. Made once for each shape, since the game draws the same few every frame.
struct Surface {
    std::vector<Vec3> points;
    std::vector<Vec3> normals;
    // The corners of its triangles, by position in the grid: two triangles a cell.
    std::vector<std::uint16_t> corners;
};

// at(stack, slice) gives a grid point's position and normal.
template <typename At>
Surface make_surface(int slices, int stacks, At at)
{
    Surface surface;
    for (int stack = 0; stack <= stacks; ++stack) {
        for (int slice = 0; slice <= slices; ++slice) {
            const std::pair<Vec3, Vec3> point = at(stack, slice);
            surface.points.push_back(point.first);
            surface.normals.push_back(point.second);
        }
    }
    const int row = slices + 1;
    for (int stack = 0; stack < stacks; ++stack) {
        for (int slice = 0; slice < slices; ++slice) {
            const int a = stack * row + slice, b = a + row, c = b + 1, d = a + 1;
            for (const int corner : {a, b, c, a, c, d}) {
                surface.corners.push_back(static_cast<std::uint16_t>(corner));
            }
        }
    }
    return surface;
}

// Each grid point is lit once, then shared by the two triangles of every cell around it.
void draw_surface(const Surface& surface, float scale)
{
    fix_transforms();
    std::vector<std::uint32_t>& key = begin_key();
    // A surface's points never change once made: where it is kept tells it apart.
    const auto address = reinterpret_cast<std::uintptr_t>(&surface);
    key.push_back(static_cast<std::uint32_t>(address));
    key.push_back(static_cast<std::uint32_t>(static_cast<std::uint64_t>(address) >> 32));
    append_bits(key, scale);
    append_colour(key, state().colour);
    const std::vector<ClipVertex>& lit_points = shape_vertices([&](std::vector<ClipVertex>& made) {
        for (std::size_t i = 0; i < surface.points.size(); ++i) {
            const Vec3& p = surface.points[i];
            made.push_back(vertex(scale * p.x, scale * p.y, scale * p.z, surface.normals[i], state().colour));
        }
    });
    if (begin_shape(lit_points)) {
        triangles(surface.corners);
    }
}

}  // namespace

// A unit sphere around the z axis, from the +z pole down: its points are their own normals.
void draw_sphere(double radius, int slices, int stacks)
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

void frame_drawn() { state().shape = 0; }

}  // namespace fixed_function

using namespace fixed_function;

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { state().colour = {r, g, b, 1.0f}; }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { state().normal = {x, y, z}; }

// Points are never drawn; the size is accepted and has no effect.
void glPointSize(GLfloat) {}

void glBegin(GLenum mode)
{
    state().mode = mode;
    state().primitive.clear();
    fix_transforms();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    state().primitive.push_back({x, y, z, state().normal, state().colour});
}

// The polygon is lit here, by the lighting current at its end (the game sets no material between
// glBegin and glEnd).
void glEnd()
{
    const std::vector<Corner>& corners = state().primitive;
    std::vector<std::uint32_t>& key = begin_key();
    for (const Corner& c : corners) {
        for (const float f : {c.x, c.y, c.z}) {
            append_bits(key, f);
        }
        append_vec3(key, c.normal);
        append_colour(key, c.colour);
    }
    const std::vector<ClipVertex>& v = shape_vertices([&](std::vector<ClipVertex>& made) {
        for (const Corner& c : corners) {
            made.push_back(vertex(c.x, c.y, c.z, c.normal, c.colour));
        }
    });
    // The game draws only polygons; any other primitive draws nothing.
    if (state().mode == GL_POLYGON && begin_shape(v)) {
        // A convex polygon is a fan around its first vertex.
        for (std::size_t i = 2; i < v.size(); ++i) {
            triangle(0, i - 1, i);
        }
    }
    state().primitive.clear();
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
