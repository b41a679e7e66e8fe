// Storage for the game state, the reset, and the window-size bookkeeping.
#include "app/game_state.h"

#include "app/rounding.h"
#include "app/test_entry_points.h"
#include "chain/chain.h"
#include "input/aim_and_shot.h"

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

void reset_game()
{
    ball_material = 1;
    // A shot step still pending from this flight must not act on the new game.
    abandon_shot_in_flight();
    aim_translate = 0.0f;
    shot_height = 0.0f;
    shot_x = 0.0f;
    shot_in_flight = 0;
    prev_mouse_x = 0;
    mouse_x = 0;
    create_chain(10, 4);
}

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

void restore_start_state()
{
    aim_translate = 0.0f;
    shot_in_flight = 0;
    shot_x = 0.0f;
    shot_height = 0.0f;
    ball_material = 0;
    mouse_x = 0;
    prev_mouse_x = 0;
    win_width = 0;
    win_height = 0;
    view_width = 0.0f;
    view_height = 0.0f;
    forget_abandoned_shot_steps();
    balls.clear();
}
