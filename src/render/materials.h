// Material records and the 31 numbered presets. Plain data, no OpenGL, so the table and the
// choice of the ball preset can be checked without a window.
#pragma once

struct Material {
    float ambient[4];   // R, G, B, A for GL_AMBIENT
    float diffuse[4];   // for GL_DIFFUSE
    float specular[4];  // for GL_SPECULAR
    float shininess;    // for GL_SHININESS
};

constexpr int first_preset = 1;
constexpr int last_preset = 31;

// Preset by its number, 1..31; nullptr for any other number.
const Material* material_preset(int number);

// The preset applied to every chain ball for the current ball_material; nullptr when it selects
// none (0, 32 or anything outside 1..31), in which case the last applied material stays.
const Material* ball_preset();

// Presets of the fixed objects of the scene.
constexpr int backdrop_preset = 7;
constexpr int marker_preset = 18;
constexpr int projectile_preset = 25;
constexpr int cannon_preset = 28;
constexpr int corner_preset = 30;
