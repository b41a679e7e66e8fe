// The game's window and everything set up in it before the event loop runs. main() opens the
// game's window with it; the render tests and the frame benchmark open theirs with it too, so
// that they draw in the state the game draws in.
#pragma once

class Toolkit;

// Opens a double-buffered RGB window with a depth buffer, titled "Marbloom", at (left, top) and
// this size in pixels; registers the display and reshape handlers given, the game's input
// handlers and the first chain tick; switches on depth testing and lighting; attaches the menu;
// starts the first game and sets up the lights; on Windows, then hands the reshape handler the
// window's size, which freeglut there delivers only after queued input. Returns the window's
// id. The game passes draw_scene and on_reshape; a test passes its own, to draw frames itself
// and see the sizes the window is given. The first chain tick goes through the installed
// toolkit, as every later one.
int open_game_window(int left, int top, int width, int height, void (*display)(), void (*reshape)(int, int));

// The game as each program starts it: `toolkit` installed, GLUT given the command line, and the
// game's window opened at (100, 100), 800 x 600, drawing the scene; both times `scale`, the
// display's (the desktop's; the page sizes its canvas itself), rounded to whole pixels. The
// program then enters GLUT's main loop.
void start_game(Toolkit& toolkit, int& argc, char** argv, double scale = 1.0);
