// Aiming the shooter with the pointer and the arrows, firing it, and the rising shot.
#pragma once

// World offset for a pointer column (pixels from the window's left edge): one column is worth
// 2 / win_height world units, half of what it covers on the playfield.
float screen_to_aim(int px);

void on_passive_motion(int x, int y);
// Dragging with a button held neither aims nor fires.
void on_motion(int x, int y);
void on_mouse(int button, int state, int x, int y);
void on_special_key(int key, int x, int y);

// Timer callback of a rising shot; value counts the rises already made in this flight.
void shot_step(int value);

// Called by a reset: the shot step that the current flight left pending is to do nothing when
// it fires, so that the reloaded cannon is not disturbed by it.
void abandon_shot_in_flight();
