// The game under a private X server, as the end-to-end, soak, Windows and browser tests play it:
// the server started (with extra resources and a window manager where asked), the pointer put
// where asked before the program starts (so that no stray
// motion reaches it), the program started, its window found by its title and, unless asked not
// to, given the keyboard, which no window manager gives it. The server and the program end with
// it, and are killed even if the test program is (OrphanGuard).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/game_process.h"
#include "support/xvfb.h"

struct DisplayOptions {
    std::string screen = "1280x1024x24";
    int pointer_x = 0;
    int pointer_y = 0;
    std::string title = "Marbloom";
    bool focus = true;
    // Merged into the server's resources (xrdb) before the game starts, e.g. "Xft.dpi: 192".
    std::string x_resources = "";
    // openbox, started before the game and ended after it; otherwise no window manager runs.
    bool window_manager = false;
};

class GameOnDisplay {
public:
    explicit GameOnDisplay(const std::vector<std::string>& command, const DisplayOptions& options = {});

    XvfbServer xvfb;

private:
    OrphanGuard guard_;
    std::unique_ptr<GameProcess> window_manager_;

public:
    GameProcess game;
    // The window's id, as xdotool names it.
    const std::string window;
};
