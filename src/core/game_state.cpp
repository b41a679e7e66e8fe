// Storage for the game state, and the window-size bookkeeping.
#include "core/game_state.h"

#include "core/rounding.h"

float aim_translate = 0.0f;
int shot_in_flight = 0;
float shot_x = 0.0f;
float shot_height = 0.0f;
int ball_material = 0;
int mouse_x = 0;
int prev_mouse_x = 0;
int win_width = 0;
int win_height = 0;
float view_width = 0.0f;
float view_height = 0.0f;

bool set_window_size(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    win_width = width;
    win_height = height;
    // Quotient first, then the factor: 800 x 600 gives 5.3333335, not 4 * 800 / 600 rounded otherwise.
    view_width = round_to_float(static_cast<double>(width) / static_cast<double>(height) * 4.0);
    view_height = 4.0f;
    return true;
}
