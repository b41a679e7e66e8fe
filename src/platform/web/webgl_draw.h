// The web build's only WebGL calls: a batch of lit, transformed triangles drawn in one call, and
// the framebuffer state the fixed-function stand-in passes through.
#pragma once

#include <cstddef>
#include <cstdint>

// One vertex as the stand-in hands it over: clip coordinates and the colour lighting gave it.
struct ClipVertex {
    float x, y, z, w;
    float r, g, b, a;
};

// Three indices into `vertices` for each triangle, so that shared corners are sent once.
void webgl_draw_triangles(const ClipVertex* vertices, std::size_t vertex_count, const std::uint16_t* indices,
                          std::size_t index_count);
void webgl_clear(bool colour, bool depth);
void webgl_clear_colour(float r, float g, float b, float a);
void webgl_viewport(int x, int y, int width, int height);
void webgl_depth_test(bool on);
// Takes the page's shader program and makes the buffers once the toolkit has made the canvas's
// context, and puts the program to use: its first use waits for the browser's word that it is
// linked, which then comes before the first frame rather than inside it.
void webgl_prepare();
// Asks the browser for the canvas's context back whenever it is lost (a GPU reset, a driver
// update, a phone reclaiming memory): nothing is drawn meanwhile, and once it is back everything
// is made and set again and `redraw` asks for the current frame.
void webgl_survive_context_loss(void (*redraw)());
