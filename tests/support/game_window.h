// A freeglut window whose context holds the OpenGL state main() gives the game's, for the render
// tests and the frame benchmark, and the event pumping that waits until the server shows it.
#pragma once

#include <functional>

// glutInit with only the program's name, and the display mode main() asks for.
void start_toolkit(const char* program_name);

// Opens a window titled as the game's at this place and size, installs the handlers on it and
// gives its context what main() gives the game's: the sky-blue clear colour, the depth test,
// lighting and both lights. Returns the window's id.
int open_game_window(int left, int top, int width, int height, void (*display)(), void (*reshape)(int, int));

// Runs the toolkit's event processing until done() holds or thirty seconds pass; false if they
// passed. A loaded machine under the sanitizers can be slow, so the bound is generous; it is
// never a target.
bool pump_until(const std::function<bool()>& done);
