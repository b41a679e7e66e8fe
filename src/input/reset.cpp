// The game's reset, and the tests' return to the state before main(): both reach every layer of
// the game's state, the chain's and the shot's as well as the ground's.
#include "input/reset.h"

#include "chain/chain.h"
#include "core/game_state.h"
#include "input/aim_and_shot.h"
#include "input/test_entry_points.h"

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
    create_chain(chain_length, chain_colours);
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
