// The desktop window on today's screens, through a private X server: its size at the display's
// scale (Xft.dpi), the aim at that scale, and full screen at F11 under a window manager.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/game_on_display.h"
#include "support/game_process.h"
#include "support/trace_model.h"

namespace {

std::vector<std::string> events_after_q(GameProcess& game)
{
    xdotool("key q");
    EXPECT_EQ(game.wait_for_exit(), "exited with status 0");
    TraceReading reading;
    EXPECT_TRUE(read_trace(game.lines(), reading));
    return reading.events;
}

// At 96 dpi the window is 800 x 600 at (100, 100) (PlayingTheGame), and the pointer's 400 columns
// from column 0 aim 1.333333. The same distance on a screen at 192 dpi is 800 device pixels.
TEST(TheDesktopWindow, OpensAtTheDisplaysScaleAndAimsAsFarForTheSameDistanceOnScreen)
{
    DisplayOptions at_150_percent;
    at_150_percent.x_resources = "Xft.dpi: 144";
    GameOnDisplay at_144({MARBLOOM_BINARY}, at_150_percent);
    EXPECT_EQ(place_and_size(at_144.window), (std::vector<int>{150, 150, 1200, 900}));

    DisplayOptions at_200_percent;
    at_200_percent.screen = "2048x1536x24";
    at_200_percent.x_resources = "Xft.dpi: 192";
    GameOnDisplay display({MARBLOOM_BINARY}, at_200_percent);
    const WindowGeometry origin = window_geometry(display.window);
    EXPECT_EQ(place_and_size(display.window), (std::vector<int>{200, 200, 1600, 1200}));
    const auto move_pointer = [&origin](int x) {
        xdotool("mousemove " + std::to_string(origin.x + x) + " " + std::to_string(origin.y + 600));
    };
    move_pointer(800);
    display.game.await_line("aim_translate: 0.000000");
    move_pointer(200);
    display.game.await_line("aim_translate: 1.333333");
    EXPECT_EQ(events_after_q(display.game),
              (std::vector<std::string>{"aim_translate: 0.000000", "aim_translate: 1.333333"}));
}

// Without a window manager freeglut's full screen is a guess (the window lands at (-100, -100));
// with one, the window manager covers the screen and remembers the window's place.
TEST(TheDesktopWindow, F11FillsTheScreenAndGivesBackTheWindowWithoutATraceLine)
{
    DisplayOptions managed;
    managed.window_manager = true;
    GameOnDisplay display({MARBLOOM_BINARY}, managed);
    const std::vector<int> windowed = place_and_size(display.window);
    EXPECT_EQ(std::vector<int>(windowed.begin() + 2, windowed.end()), (std::vector<int>{800, 600}));

    xdotool("key F11");
    EXPECT_EQ(await_place_and_size(display.window, {0, 0, 1280, 1024}), (std::vector<int>{0, 0, 1280, 1024}));
    xdotool("key F11");
    EXPECT_EQ(await_place_and_size(display.window, windowed), windowed);
    EXPECT_EQ(events_after_q(display.game), std::vector<std::string>{});
}

}  // namespace
