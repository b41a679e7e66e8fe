// The browser build's OpenGL 1 shapes cut into triangles: immediate-mode polygons, lit vertex by
// vertex as they come, and the curved surfaces (GLUT's solid sphere, GLU's cylinder).
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstddef>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "gl_shared.h"

namespace fixed_function {
namespace {

struct State {
    Vec3 normal{0, 0, 1};
    Colour colour{1, 1, 1, 1};
    // The primitive between glBegin and glEnd.
    GLenum mode = GL_POLYGON;
    std::vector<ClipVertex> primitive;
    // A surface's lit grid points, kept between draws so that a frame allocates nothing.
    std::vector<ClipVertex> surface_points;
};

State& state()
{
    static State s;
    return s;
}

// By the transforms fixed at the shape's start.
ClipVertex vertex(float x, float y, float z, const Vec3& object_normal)
{
    const auto clip = to_clip(x, y, z);
    Colour c = state().colour;
    if (lighting_on()) {
        c = lit(to_eye(x, y, z), normal_to_eye(object_normal));
    }
    return {clip[0], clip[1], clip[2], clip[3], c.r, c.g, c.b, c.a};
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
    std::vector<ClipVertex>& lit_points = state().surface_points;
    lit_points.clear();
    for (std::size_t i = 0; i < surface.points.size(); ++i) {
        const Vec3& p = surface.points[i];
        lit_points.push_back(vertex(scale * p.x, scale * p.y, scale * p.z, surface.normals[i]));
    }
    if (!begin_shape(lit_points)) {
        return;
    }
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
    state().primitive.push_back(vertex(x, y, z, state().normal));
}

void glEnd()
{
    const std::vector<ClipVertex>& v = state().primitive;
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
