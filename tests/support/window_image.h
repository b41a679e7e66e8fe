// The game window's pixels, as the X server holds them (xwd: the e2e, Windows and web tests) or as
// the render tests read them from their own OpenGL context (render/gl_window.h), and what a pixel of
// them shows: the backdrop, the cannon, the projectile or another colour. An image is a binary PPM
// ("P6\nW H\n255\n", rows from the top), as xwdtopnm and the web driver write it.
#pragma once

#include <string>

struct Rgb {
    int r, g, b;
};

// The window's pixels (xwd). Throws if xwd fails.
std::string window_image(const std::string& window);

// An image of this size from its pixels' bytes: R, G, B, rows from the top.
std::string ppm_image(int columns, int rows, const std::string& rgb);

// The pixel at column x, row y from the top, of an image of any size. Throws outside the image.
Rgb rgb_at(const std::string& image, int x, int y);

// The projectile's red (nothing else in the scene is red).
bool is_projectile_red(Rgb c);

// What a pixel of the image shows (an 800 x 600 window's unless said): the light grey backdrop, the cannon's
// dark grey (its material shades to about 11 at the barrel's edges; a darker one gives about 2), the
// projectile's red (nothing else in the scene is red) or else its colour. Greys are equal in
// every channel.
std::string pixel(const std::string& image, int x, int y);

// The grey level of a pixel, or -1 where its channels differ.
int grey(const std::string& image, int x, int y);

// Just below the muzzle (row 542) the barrel spans 24 columns around the aim's: its edge
// columns, and the backdrop two columns beyond them. `barrel` is what they show.
std::string across_barrel(const std::string& image, int centre);
extern const char* const barrel;

// How far two 800 x 600 frames agree: the share of pixels whose every channel is within 3 % of
// the other frame's, over the whole frame and over what the frames show (the pixels within 8 px
// of anything but the backdrop in either). The even backdrop covers 99 % of a frame: on its own a
// wrong sphere, marker or barrel would be lost in it. Two rasterisers differ along edges, in single
// pixels and thin runs, and only slightly elsewhere; `flawed` counts the pixels beyond 12.5 % away
// from every edge (the expected frame's eight neighbours all backdrop, or all not), which a hole in
// a ball, a missing ball or a stray one shows, however small.
struct FrameAgreement {
    double whole = 0;
    double shown = 0;
    int flawed = 0;
};
FrameAgreement frame_agreement(const std::string& expected, const std::string& actual);

// Where two 800 x 600 frames disagree, as a binary PPM: red where a pixel is beyond 3 %, the
// expected frame faded elsewhere.
std::string frame_difference(const std::string& expected, const std::string& actual);
