// Keyboard commands and menu actions.
#include "input/commands.h"

#include "chain/chain.h"
#include "core/game_state.h"
#include "core/toolkit.h"
#include "core/trace.h"
#include "input/reset.h"

namespace {

// ball_material walks a ring of 33 values; only 1..31 select a preset.
constexpr int ball_material_max = 32;
constexpr unsigned int extra_tick_delay_ms = 40;

}  // namespace

void on_key(unsigned char key, int /*x*/, int /*y*/)
{
    switch (key) {
    case 'H':
    case 'h':
        print_help();
        break;
    case 'J':
        ball_material = ball_material - 1;
        if (ball_material < 0) {
            ball_material = ball_material_max;
        }
        toolkit_request_redisplay();
        break;
    case 'j':
        ball_material = ball_material + 1;
        if (ball_material > ball_material_max) {
            ball_material = 0;
        }
        toolkit_request_redisplay();
        break;
    case 'K':
    case 'k':
        // One more endless chain of ticks; nothing ever removes it.
        toolkit_start_timer(extra_tick_delay_ms, chain_tick, 0);
        break;
    case 'Q':
    case 'q':
        toolkit_quit(0);
        break;
    default:
        break;
    }
}

void print_help() { print_trace("%s", help_text); }

void on_menu(int value)
{
    if (value == menu_reset) {
        reset_game();
        toolkit_request_redisplay();
    } else if (value == menu_exit) {
        toolkit_quit(0);
    }
}
