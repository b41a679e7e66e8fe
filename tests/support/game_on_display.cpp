// The game under a private X server: see game_on_display.h.
#include "support/game_on_display.h"

namespace {

// The command, once the pointer is where asked: the program starts after that.
const std::vector<std::string>& with_pointer_placed(const std::vector<std::string>& command,
                                                    const DisplayOptions& options)
{
    xdotool("mousemove " + std::to_string(options.pointer_x) + " " + std::to_string(options.pointer_y));
    return command;
}

std::string find_window(const DisplayOptions& options)
{
    const std::string found = xdotool("search --sync --onlyvisible --name '^" + options.title + "$'");
    const std::string window = found.substr(0, found.find('\n'));
    if (options.focus) {
        xdotool("windowfocus --sync " + window);
    }
    return window;
}

}  // namespace

GameOnDisplay::GameOnDisplay(const std::vector<std::string>& command, const DisplayOptions& options)
    : xvfb(options.screen), game(with_pointer_placed(command, options)), window(find_window(options))
{
    for (pid_t pid : children_named("Xvfb")) {
        guard_.watch(pid);
    }
    guard_.watch(game.pid());
}
