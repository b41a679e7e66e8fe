// The browser build's OpenGL 1 lighting: the lights, the front material, each vertex lit as
// fixed-function OpenGL lights it, and glEnable and glDisable, which mostly switch lights.
#include <GL/gl.h>

#include <array>
#include <cmath>

#include "gl_shared.h"

namespace fixed_function {
namespace {

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
    std::array<Light, light_count> lights{};
    Material material;
    bool lighting = false;

    State() { lights[0].diffuse = lights[0].specular = {1, 1, 1, 1}; }
};

State& state()
{
    static State s;
    return s;
}

float clamped(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// What glEnable and glDisable switch: lighting and the lights here, depth testing in WebGL.
void switch_capability(GLenum cap, bool on)
{
    if (cap == GL_LIGHTING) {
        state().lighting = on;
    } else if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + light_count) {
        state().lights[cap - GL_LIGHT0].on = on;
    } else if (cap == GL_DEPTH_TEST) {
        switch_depth_test(on);
    }
}

}  // namespace

bool lighting_on() { return state().lighting; }

// Front material, no local viewer, no attenuation; a light with w != 0 shines from its point
// (emscripten's emulation lights every light as a directional one).
Colour lit(const Vec3& position, const Vec3& n)
{
    const State& s = state();
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

}  // namespace fixed_function

using namespace fixed_function;

void glEnable(GLenum cap) { switch_capability(cap, true); }

void glDisable(GLenum cap) { switch_capability(cap, false); }

void glLightfv(GLenum which, GLenum name, const GLfloat* params)
{
    if (which < GL_LIGHT0 || which >= GL_LIGHT0 + light_count) {
        return;
    }
    Light& light = state().lights[which - GL_LIGHT0];
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
        light.position = by_modelview(params[0], params[1], params[2], params[3]);
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
    Material& m = state().material;
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
