// The reshape and display handlers and the drawing of each part of the scene.
#pragma once

// Reshape handler: window size in pixels. Keeps the projection, viewport and playfield size in
// step with the window; a size with a zero side is ignored (the last good one stays).
void on_reshape(int w, int h);
// Display handler: draws the whole scene from the game state and swaps buffers through the toolkit.
void draw_scene();

// Each draws under the current modelview matrix and leaves it as it found it, except
// draw_shooter, whose translations and rotation its caller's push and pop undo.
void draw_ball_sphere();
void draw_path_markers();
void draw_frame();
void draw_shooter();
void draw_backdrop();
