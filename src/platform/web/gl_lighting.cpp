// The browser build's OpenGL 1 lighting: the lights, the front material, each vertex lit as
// fixed-function OpenGL lights it, and glEnable and glDisable, which mostly switch lights.
#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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

// Every value that lights a vertex, side by side: what tells two lightings apart.
using Snapshot = std::array<float, 1 + 17 + light_count * 17>;

struct State {
    std::array<Light, light_count> lights{};
    Material material;
    bool lighting = false;
    // The lightings met so far, each with its number, and the current one's; `changed` once a
    // value has, until the lighting is looked up again.
    std::vector<std::pair<Snapshot, std::uint64_t>> known;
    std::uint64_t numbered = 0;
    std::uint64_t current = 0;
    bool changed = true;

    State() { lights[0].diffuse = lights[0].specular = {1, 1, 1, 1}; }
};

State& state()
{
    static State s;
    return s;
}

// Sets a value, noting whether it changed: the game sets the same material and lights over and
// over (each square of the backdrop), which must not count as a new lighting.
template <typename T>
void assign(T& value, const T& to)
{
    if (std::memcmp(&value, &to, sizeof value) != 0) {
        value = to;
        state().changed = true;
    }
}

Snapshot snapshot()
{
    const State& s = state();
    Snapshot shot{};
    std::size_t at = 0;
    const auto put = [&](float v) { shot[at++] = v; };
    const auto put_colour = [&](const Colour& c) {
        for (const float v : {c.r, c.g, c.b, c.a}) {
            put(v);
        }
    };
    put(s.lighting ? 1.0f : 0.0f);
    for (const Colour& c :
         {s.material.ambient, s.material.diffuse, s.material.specular, s.material.emission}) {
        put_colour(c);
    }
    put(s.material.shininess);
    for (const Light& light : s.lights) {
        put(light.on ? 1.0f : 0.0f);
        for (const Colour& c : {light.ambient, light.diffuse, light.specular}) {
            put_colour(c);
        }
        for (const float v : light.position) {
            put(v);
        }
    }
    return shot;
}

float clamped(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// What glEnable and glDisable switch: lighting and the lights here, depth testing in WebGL.
void switch_capability(GLenum cap, bool on)
{
    if (cap == GL_LIGHTING) {
        assign(state().lighting, on);
    } else if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + light_count) {
        assign(state().lights[cap - GL_LIGHT0].on, on);
    } else if (cap == GL_DEPTH_TEST) {
        switch_depth_test(on);
    }
}

}  // namespace

bool lighting_on() { return state().lighting; }

// Two lightings equal in every value share a number, found only after a change. The numbers are
// never reused; the list is begun afresh past 64 lightings (the game has a few dozen materials).
std::uint64_t lighting_id()
{
    State& s = state();
    if (!s.changed) {
        return s.current;
    }
    s.changed = false;
    const Snapshot now = snapshot();
    for (const auto& [seen, id] : s.known) {
        if (std::memcmp(seen.data(), now.data(), sizeof now) == 0) {
            return s.current = id;
        }
    }
    if (s.known.size() == 64) {
        s.known.clear();
    }
    s.known.emplace_back(now, ++s.numbered);
    return s.current = s.numbered;
}

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
        assign(light.ambient, from(params));
        break;
    case GL_DIFFUSE:
        assign(light.diffuse, from(params));
        break;
    case GL_SPECULAR:
        assign(light.specular, from(params));
        break;
    // Kept in eye space: transformed by the modelview matrix current now.
    case GL_POSITION:
        assign(light.position, by_modelview(params[0], params[1], params[2], params[3]));
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
        assign(m.ambient, from(params));
        break;
    case GL_DIFFUSE:
        assign(m.diffuse, from(params));
        break;
    case GL_SPECULAR:
        assign(m.specular, from(params));
        break;
    case GL_EMISSION:
        assign(m.emission, from(params));
        break;
    case GL_SHININESS:
        assign(m.shininess, params[0]);
        break;
    default:
        break;
    }
}

// Colours are always interpolated across a polygon, which is all smooth shading asks for.
void glShadeModel(GLenum) {}
