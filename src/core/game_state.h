// The process-wide game state shared by the handlers, and the window's size in it.
#pragma once

// Shooter: horizontal offset from the playfield's centre line, world units, + is right.
extern float aim_translate;
// 1 while a projectile rises, else 0.
extern int shot_in_flight;
// Column of the projectile in flight (the aim when fired) and its rise above the cannon, world units.
extern float shot_x;
extern float shot_height;
// Material preset applied to every chain ball, 0..32 (only 1..31 select a preset).
extern int ball_material;
// Pointer column at the last passive motion and at the one before, pixels.
extern int mouse_x;
extern int prev_mouse_x;
// Window size in pixels, and the playfield's size in world units (height always 4).
extern int win_width;
extern int win_height;
extern float view_width;
extern float view_height;

// Takes a new window size in pixels. A size with a zero or negative side (a minimised window)
// is refused and the last good sizes are kept, so that nothing downstream divides by zero;
// returns whether the size was taken.
bool set_window_size(int width, int height);
