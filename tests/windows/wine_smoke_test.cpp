// The Windows game under Wine in a private X server: its window, its trace against the Linux
// game's (the C libraries' colour sequences aside), its cannon on screen, the help, and Q once a
// click has given the window the keyboard (no window manager does); freeglut's fatal error; its
// window at 144 dpi, and full screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/game_on_display.h"
#include "support/game_process.h"
#include "support/window_image.h"

namespace {

// The colour lines and the first twenty chain ticks, ten balls each.
constexpr int compared_ticks = 20;
constexpr std::size_t compared_lines = 10 + compared_ticks * 10;
// A Windows program's first start under Wine sets up its prefix, which can take a while.
constexpr std::chrono::seconds wine_start(120);

// Where the pointer rests while the Windows game starts: inside the window it will open, as a
// player's pointer is after starting it. Windows posts the window a move of the pointer then.
constexpr int pointer_x = 500;
constexpr int pointer_y = 400;
const std::string pointer_move = "aim_translate: 0.000000";

// The first lines of a game's trace, once the tick after them has begun, the pointer's moves
// left out; the colour codes replaced by '?', since each C library's rand has its own sequence.
std::vector<std::string> trace_head(GameProcess& game)
{
    if (!game.await_counts(compared_ticks + 1, 10, wine_start)) {
        ADD_FAILURE() << "fewer than " << compared_ticks + 1 << " ticks";
        return {};
    }
    std::vector<std::string> lines = game.lines();
    lines.erase(std::remove(lines.begin(), lines.end(), pointer_move), lines.end());
    lines.resize(compared_lines);
    for (std::string& line : lines) {
        if (line.rfind("color=", 0) == 0 && line.size() == 7 && line[6] >= '1' && line[6] <= '4') {
            line[6] = '?';
        }
    }
    return lines;
}

TEST(WindowsGameUnderWine, OpensItsWindowPrintsTheLinuxTraceAndQuitsOnQAfterAClick)
{
    std::vector<std::string> linux_head;
    {
        GameOnDisplay linux_game({MARBLOOM_BINARY});
        linux_head = trace_head(linux_game.game);
    }

    // The pointer resting where the window opens, as a player's is; nothing gives the window the
    // keyboard but the click below.
    GameOnDisplay display({"wine", MARBLOOM_WINDOWS_EXE},
                          {"1280x1024x24", pointer_x, pointer_y, "Marbloom", false});
    GameProcess& game = display.game;
    const std::string& window = display.window;
    const std::vector<std::string> head = trace_head(game);
    ASSERT_EQ(head.size(), compared_lines);
    // Equal lines split at line feeds: the same bytes, with no carriage return anywhere.
    EXPECT_EQ(head, linux_head);

    // The cannon stands loaded at the bottom: at the centre, or, once the pointer's move has
    // been followed, half the pointer's column further right (aiming starts from column 0).
    const WindowGeometry geometry = window_geometry(window);
    const std::vector<std::string> lines = game.lines();
    const bool moved = std::find(lines.begin(), lines.end(), pointer_move) != lines.end();
    const int cannon = moved ? 400 + (pointer_x - geometry.x) / 2 : 400;
    EXPECT_EQ(across_barrel(window_image(window), cannon), barrel) << "no cannon at column " << cannon;

    // A middle click in the window's centre gives it the keyboard and changes nothing in the game.
    xdotool("mousemove " + std::to_string(geometry.x + geometry.width / 2) + " " +
            std::to_string(geometry.y + geometry.height / 2));
    xdotool("click 2");
    xdotool("key h");
    const std::size_t help = game.await_line("Key Board commands:", compared_lines);
    game.await_line("\tQ - quit", help);
    xdotool("key q");
    EXPECT_EQ(game.wait_for_exit(std::chrono::seconds(60)), "exited with status 0");
    EXPECT_FALSE(game.output_ended_mid_line());
}

// freeglut stops at an argument it cannot use. marbloom.exe has no console to print that in, so
// it shows it in a message box, and ends with freeglut's status once the player has read it.
TEST(WindowsGameUnderWine, ShowsFreeglutsFatalErrorInAMessageBox)
{
    GameOnDisplay display({"wine", MARBLOOM_WINDOWS_EXE, "-display"},
                          {"1280x1024x24", 0, 0, "Marbloom: error", false});
    xdotool("key --window " + display.window + " Return");
    EXPECT_EQ(display.game.wait_for_exit(std::chrono::seconds(60)), "exited with status 1");
}

// The system's DPI in the prefix (HKCU\Control Panel\Desktop, LogPixels) is set by the command
// that starts the game, so that Wine's desktop opens on the test's display, and removed when the
// test ends however it ends, without a display: the other tests run at 96 dpi. Neither command's
// output goes to a pipe: the Wine services that one of them may start would hold it open.
const char* const at_144_dpi =
    "wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1"
    " && exec wine \"$0\"";
struct LogPixelsRemoved {
    ~LogPixelsRemoved()
    {
        std::string output;
        run_command(
            "env -u DISPLAY wine reg delete 'HKCU\\Control Panel\\Desktop' /v LogPixels /f >/dev/null 2>&1",
            output);
    }
};

// Windows reports a scaled display's DPI only to a program whose manifest declares it DPI-aware
// (it stretches the others' windows); Wine does the same, without the stretch.
TEST(WindowsGameUnderWine, OpensAtTheSystemsScaleAndAltEnterAndF11SwitchFullScreenSilently)
{
    const LogPixelsRemoved at_96_dpi_after;
    GameOnDisplay display({"sh", "-c", at_144_dpi, MARBLOOM_WINDOWS_EXE},
                          {"1280x1024x24", 0, 0, "Marbloom", false});
    const std::vector<int> windowed = place_and_size(display.window);
    EXPECT_EQ(std::vector<int>(windowed.begin() + 2, windowed.end()), (std::vector<int>{1200, 900}));

    // A middle click gives the window the keyboard and changes nothing in the game.
    xdotool("mousemove " + std::to_string(windowed[0] + 600) + " " + std::to_string(windowed[1] + 450));
    xdotool("click 2");
    xdotool("key alt+Return");
    EXPECT_EQ(await_place_and_size(display.window, {0, 0, 1280, 1024}), (std::vector<int>{0, 0, 1280, 1024}));
    xdotool("key F11");
    EXPECT_EQ(await_place_and_size(display.window, windowed), windowed);
    xdotool("key q");
    EXPECT_EQ(display.game.wait_for_exit(std::chrono::seconds(60)), "exited with status 0");
    for (const std::string& line : display.game.lines()) {
        const bool expected = line.rfind("color=", 0) == 0 || line.rfind("npt=", 0) == 0 ||
                              line.rfind("aim_translate: ", 0) == 0;
        EXPECT_TRUE(expected) << "a line of no colour, tick or aim: " << line;
    }
}

}  // namespace
