// The game's window as the desktop programs open it: at the display's scale, with a menu font to
// match, and full screen at a key.
#pragma once

class Toolkit;

// Starts the game (start_game) in a window at the display's scale (display_scale.h). At a scale
// of 1.5 and above the menu takes the toolkit's largest font, where the toolkit has the choice
// (freeglut 3). F11, and Alt+Enter on Windows, switch the window to full screen and back; they
// reach neither the game's key handlers nor its trace. At a scale of 1 the window, its frames and
// its menu are the same as the shared start-up gives them.
void start_desktop_game(Toolkit& toolkit, int& argc, char** argv);
