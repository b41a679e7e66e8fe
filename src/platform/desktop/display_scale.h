// The display's scale, which the desktop game's window follows: the factor between the
// desktop's logical pixels (96 to the inch) and the screen's own.
#pragma once

// The scale a DPI value stands for: dpi / 96, held to 1..4. A value that is not a finite number
// counts as missing, and a missing one means 1.
double scale_of_dpi(double dpi);

// The scale of the display the game opens on, read before the toolkit starts: the X resource
// Xft.dpi on X11 (of the display that "-display NAME" in the command line or DISPLAY names), the
// system's DPI on Windows. 1 where there is none or it cannot be read.
double display_scale(int argc, char** argv);
