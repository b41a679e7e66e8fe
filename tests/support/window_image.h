// The game window's pixels as the X server holds them, and what a pixel of them shows: the
// backdrop, the cannon, the projectile or another colour. For the e2e tests and the Windows smoke
// test.
#pragma once

#include <string>

// The window's pixels (xwd), as a binary PPM: rows from the top. Throws if xwd fails.
std::string window_image(const std::string& window);

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
