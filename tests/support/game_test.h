// Fixture for tests of the game logic: a fresh process state, the recording toolkit installed
// and standard output captured, all undone afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>

#include "chain/chain.h"
#include "core/game_state.h"
#include "input/reset.h"
#include "input/test_entry_points.h"
#include "support/fake_toolkit.h"
#include "support/stdout_capture.h"

// Every process-wide game variable, the chain's length and the abandoned shot steps, a line of
// "name value" each: two states compare whole, and GoogleTest shows the lines that differ.
inline std::string game_state_values()
{
    std::ostringstream out;
    out << std::setprecision(9) << "aim_translate " << aim_translate << "\nshot_in_flight " << shot_in_flight
        << "\nshot_x " << shot_x << "\nshot_height " << shot_height << "\nball_material " << ball_material
        << "\nmouse_x " << mouse_x << "\nprev_mouse_x " << prev_mouse_x << "\nwin_width " << win_width
        << "\nwin_height " << win_height << "\nview_width " << view_width << "\nview_height " << view_height
        << "\nballs " << balls.size() << "\nabandoned_shot_steps " << abandoned_shot_steps() << "\n";
    return out.str();
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        restore_start_state();
        // An unseeded rand() behaves as if seeded with 1: every case sees the start-up sequence.
        std::srand(1);
        install_toolkit(&toolkit);
        capture = std::make_unique<StdoutCapture>();
    }

    void TearDown() override
    {
        const std::string printed = capture->everything();
        capture.reset();
        if (HasFailure()) {
            std::fprintf(stderr, "--- standard output during the test ---\n%s", printed.c_str());
        }
        install_toolkit(nullptr);
        restore_start_state();
    }

    // The state right after start-up in an 800 x 600 window: first reset, then the first reshape.
    void start_game(int width = 800, int height = 600)
    {
        reset_game();
        set_window_size(width, height);
        capture->take();
        toolkit.clear_requests();
    }

    // Runs n chain ticks directly, as n timer expiries would.
    void run_ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            chain_tick(0);
        }
    }

    FakeToolkit toolkit;
    std::unique_ptr<StdoutCapture> capture;
};
