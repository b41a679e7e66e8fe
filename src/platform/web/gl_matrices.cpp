// The browser build's OpenGL 1 matrices: the modelview and projection stacks, the GL and GLU calls
// that change them, and the transforms of vertices, normals and light positions by them.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gl_shared.h"

namespace fixed_function {

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 normalised(const Vec3& v)
{
    const float length = std::sqrt(dot(v, v));
    return length > 0.0f ? Vec3{v.x / length, v.y / length, v.z / length} : v;
}

namespace {

// Column-major, as OpenGL keeps its matrices.
using Matrix = std::array<float, 16>;
constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

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

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
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

struct State {
    GLenum matrix_mode = GL_MODELVIEW;
    std::vector<Matrix> modelview{identity};
    std::vector<Matrix> projection{identity};
    // The transforms fixed for a shape's vertices.
    Matrix eye{};
    Matrix clip{};
    std::array<float, 9> normal_matrix{};
};

State& state()
{
    static State s;
    return s;
}

std::vector<Matrix>& current_stack()
{
    return state().matrix_mode == GL_PROJECTION ? state().projection : state().modelview;
}

void multiply_current(const Matrix& m) { current_stack().back() = current_stack().back() * m; }

}  // namespace

std::array<float, 4> by_modelview(float x, float y, float z, float w)
{
    return transform(state().modelview.back(), x, y, z, w);
}

void fix_transforms()
{
    State& s = state();
    s.eye = s.modelview.back();
    s.clip = s.projection.back() * s.eye;
    s.normal_matrix = inverse_transpose(s.eye);
}

void append_fixed_transforms(std::vector<std::uint32_t>& key)
{
    for (const Matrix* m : {&state().eye, &state().clip}) {
        for (const float v : *m) {
            append_bits(key, v);
        }
    }
}

std::array<float, 4> to_clip(float x, float y, float z) { return transform(state().clip, x, y, z, 1.0f); }

Vec3 to_eye(float x, float y, float z)
{
    const auto eye = transform(state().eye, x, y, z, 1.0f);
    return {eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]};
}

Vec3 normal_to_eye(const Vec3& n)
{
    const auto& nm = state().normal_matrix;
    return {nm[0] * n.x + nm[1] * n.y + nm[2] * n.z, nm[3] * n.x + nm[4] * n.y + nm[5] * n.z,
            nm[6] * n.x + nm[7] * n.y + nm[8] * n.z};
}

}  // namespace fixed_function

using namespace fixed_function;

void glMatrixMode(GLenum mode) { state().matrix_mode = mode; }

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
