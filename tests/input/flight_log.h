// Watching a shot from outside: runs the pending timers in due order and sorts what each did,
// and the check that the cannon is loaded again.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "core/game_state.h"
#include "support/fake_toolkit.h"

// What the pending steps did, told apart by their visible effect on the shooter.
struct FlightLog {
    std::vector<unsigned long long> rise_times;  // clock at each rise
    std::vector<float> heights;                  // height after each rise
    std::vector<unsigned long long> landing_times;
    // Steps that changed nothing, registered nothing and asked for no redisplay.
    std::vector<unsigned long long> idle_times;
    // Steps that did anything else (a rise or a landing that also disturbed something).
    int odd_steps = 0;
};

// Fires every pending timer, in the order the real toolkit would, until none is left; every
// pending timer is taken to be a shot step. Stops after max_steps so a runaway chain of steps
// shows up as a failed count instead of a hang.
inline FlightLog run_until_no_timer_left(FakeToolkit& toolkit, int max_steps = 400)
{
    FlightLog log;
    for (int step = 0; step < max_steps && !toolkit.pending.empty(); ++step) {
        const float height = shot_height;
        const int flag = shot_in_flight;
        const float x = shot_x;
        const float aim = aim_translate;
        const std::size_t timers = toolkit.timers.size();
        const int redisplays = toolkit.redisplays;

        toolkit.fire_next();

        const std::size_t new_timers = toolkit.timers.size() - timers;
        const int new_redisplays = toolkit.redisplays - redisplays;
        const bool others_kept = aim_translate == aim;
        if (shot_height > height && shot_in_flight == flag && shot_x == x && new_timers == 1 &&
            new_redisplays == 1 && others_kept) {
            log.rise_times.push_back(toolkit.now_ms);
            log.heights.push_back(shot_height);
        } else if (flag == 1 && shot_in_flight == 0 && shot_height == 0.0f && shot_x == 0.0f &&
                   new_timers == 0 && new_redisplays == 0 && others_kept) {
            log.landing_times.push_back(toolkit.now_ms);
        } else if (shot_height == height && shot_in_flight == flag && shot_x == x && new_timers == 0 &&
                   new_redisplays == 0 && others_kept) {
            log.idle_times.push_back(toolkit.now_ms);
        } else {
            ++log.odd_steps;
        }
    }
    return log;
}

// The cannon loaded: no shot in flight and the projectile back at rest in it.
inline void expect_loaded()
{
    EXPECT_EQ(shot_in_flight, 0);
    EXPECT_EQ(shot_height, 0.0f);
    EXPECT_EQ(shot_x, 0.0f);
}

// The rise times of a whole flight whose first rise falls at first_rise_ms: 51 rises 66 ms apart.
inline std::vector<unsigned long long> normal_rise_times(unsigned long long first_rise_ms, int rises = 51)
{
    std::vector<unsigned long long> times;
    for (int k = 0; k < rises; ++k) {
        times.push_back(first_rise_ms + 66ull * static_cast<unsigned long long>(k));
    }
    return times;
}
