// What the browser build's OpenGL 1 files (gl_*.cpp) ask of one another; each keeps its own state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "webgl_draw.h"

namespace fixed_function {

struct Vec3 {
    float x, y, z;
};
struct Colour {
    float r, g, b, a;
};

float dot(const Vec3& a, const Vec3& b);

// A shape's key holds its inputs' bits, so that equal keys are equal inputs, zeros' signs included.
inline void append_bits(std::vector<std::uint32_t>& key, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    key.push_back(bits);
}
Vec3 normalised(const Vec3& v);

// gl_matrices.cpp. A light's position goes to eye space by the modelview matrix current when it
// is set; a shape's vertices by the matrices fixed at its start.
std::array<float, 4> by_modelview(float x, float y, float z, float w);
void fix_transforms();
// The fixed transforms' values, appended to a shape's key (gl_tessellation.cpp).
void append_fixed_transforms(std::vector<std::uint32_t>& key);
std::array<float, 4> to_clip(float x, float y, float z);
Vec3 to_eye(float x, float y, float z);
Vec3 normal_to_eye(const Vec3& n);

// gl_lighting.cpp: the colour of a vertex at `position` in eye space with normal `n`.
// lighting_id is the same number for the same lighting (switches, material, lights), and only then.
bool lighting_on();
Colour lit(const Vec3& position, const Vec3& n);
std::uint64_t lighting_id();

// gl_tessellation.cpp: GLUT's solid sphere, one of its surfaces; frame_drawn at every swap.
void draw_sphere(double radius, int slices, int stacks);
void frame_drawn();

// gl_batch.cpp. A shape's vertices go into the batch at once, then its triangles by their
// corners' positions in the shape; begin_shape refuses a shape no batch can hold.
bool begin_shape(const std::vector<ClipVertex>& vertices);
void triangle(std::size_t a, std::size_t b, std::size_t c);
void triangles(const std::vector<std::uint16_t>& corners);
void flush();
void switch_depth_test(bool on);

}  // namespace fixed_function
