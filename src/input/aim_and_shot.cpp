// Aim and shot. Aiming is relative and unbounded with the pointer, bounded by the playfield's
// full width with the arrows; one projectile at a time rises 0.08 every 66 ms to the top.
#include "input/aim_and_shot.h"

#include "core/game_state.h"
#include "core/rounding.h"
#include "core/toolkit.h"
#include "core/trace.h"
#include "input/glut_codes.h"
#include "input/test_entry_points.h"

namespace {

constexpr unsigned int shot_period_ms = 66;
constexpr float shot_rise = 0.08f;  // single precision: 0.0799999982
constexpr double arrow_step = 0.1;  // double precision, rounded with the new aim

// Shot steps still pending from flights that a reset abandoned. Each flight has exactly one step
// pending while it is in flight, and the toolkit fires timers in the order they fall due, so the
// abandoned steps fire before any step of a flight fired after the reset.
int abandoned_steps = 0;

// Raises the projectile once, or ends the flight once it has reached the top.
void rise_or_land(int value)
{
    // Strict, and a not-a-number on either side counts as not below.
    if (static_cast<double>(shot_height) < static_cast<double>(view_height)) {
        shot_height = round_to_float(static_cast<double>(shot_height) + shot_rise);
        toolkit_start_timer(shot_period_ms, shot_step, value + 1);
        toolkit_request_redisplay();
        return;
    }
    // The flight is over; the reloaded cannon shows at the next chain tick's redisplay. Only a
    // live flight gets here, with the flag at 1, so clearing it is the end-of-flight toggle.
    shot_in_flight = 0;
    shot_height = 0.0f;
    shot_x = 0.0f;
}

void fire()
{
    shot_in_flight = 1;
    shot_x = aim_translate;
}

}  // namespace

float screen_to_aim(int px)
{
    const double width = win_width;
    const double height = win_height;
    const float t = round_to_float(2.0 * (px - (width - 1.0) / 2.0) / width);
    return round_to_float((width / height) * t);
}

void on_passive_motion(int x, int /*y*/)
{
    mouse_x = x;
    if (aim_translate != aim_translate) {
        aim_translate = screen_to_aim(mouse_x);
    }
    print_trace("aim_translate: %f\n", static_cast<double>(aim_translate));
    const double travel =
        static_cast<double>(screen_to_aim(mouse_x)) - static_cast<double>(screen_to_aim(prev_mouse_x));
    aim_translate = round_to_float(aim_translate + travel);
    toolkit_request_redisplay();
    prev_mouse_x = mouse_x;
}

void on_motion(int /*x*/, int /*y*/) {}

void on_mouse(int button, int state, int /*x*/, int /*y*/)
{
    if (button != glut_code::left_button || state != glut_code::button_down || shot_in_flight != 0) {
        return;
    }
    fire();
    // No redisplay: the first visible change is the first rise, one period later.
    toolkit_start_timer(shot_period_ms, shot_step, 0);
}

void on_special_key(int key, int /*x*/, int /*y*/)
{
    switch (key) {
    case glut_code::key_left:
        print_trace("Left key\n");
        // Bounded by the full width, not the half-width: the aim may end one step past it.
        if (aim_translate > -view_width) {
            aim_translate = round_to_float(aim_translate - arrow_step);
        }
        break;
    case glut_code::key_up:
        print_trace("Up key\n");
        if (shot_in_flight == 0) {
            fire();
            // The first rise happens during the key press.
            rise_or_land(0);
        }
        break;
    case glut_code::key_right:
        print_trace("Right key\n");
        if (aim_translate < view_width) {
            aim_translate = round_to_float(aim_translate + arrow_step);
        }
        break;
    case glut_code::key_down:
        print_trace("Down key\n");
        break;
    default:
        break;
    }
    toolkit_request_redisplay();
}

void shot_step(int value)
{
    if (abandoned_steps > 0) {
        --abandoned_steps;
        return;
    }
    rise_or_land(value);
}

void abandon_shot_in_flight()
{
    if (shot_in_flight != 0) {
        ++abandoned_steps;
    }
}

void forget_abandoned_shot_steps() { abandoned_steps = 0; }

int abandoned_shot_steps() { return abandoned_steps; }
