// Starting the toolkit for a window opened as the game opens its (open_game_window in
// src/platform/glut/start_up.h), for the render tests and the frame benchmark, and the event pumping that
// waits until the server shows it.
#pragma once

#include <functional>

// glutInit with only the program's name, as main() hands the toolkit its command line.
void start_toolkit(const char* program_name);

// Runs the toolkit's event processing until done() holds or thirty seconds pass; false if they
// passed. A loaded machine under the sanitizers can be slow, so the bound is generous; it is
// never a target.
bool pump_until(const std::function<bool()>& done);
