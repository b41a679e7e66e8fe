// The game under a private X server: see game_on_display.h.
#include "support/game_on_display.h"

#include <stdexcept>

namespace {

// The command, once the pointer is where asked: the program starts after that.
const std::vector<std::string>& with_pointer_placed(const std::vector<std::string>& command,
                                                    const DisplayOptions& options)
{
    xdotool("mousemove " + std::to_string(options.pointer_x) + " " + std::to_string(options.pointer_y));
    return command;
}

// The display as asked for, before the game starts: its resources merged, and the window manager
// started and running (its start-up command prints once it manages the screen).
std::unique_ptr<GameProcess> prepare_display(const DisplayOptions& options)
{
    if (!options.x_resources.empty()) {
        std::string output;
        if (run_command("printf '%s\\n' '" + options.x_resources + "' | xrdb -nocpp -merge", output) != 0) {
            throw std::runtime_error("xrdb could not merge " + options.x_resources + ": " + output);
        }
    }
    if (!options.window_manager) {
        return nullptr;
    }
    auto window_manager = std::make_unique<GameProcess>(
        std::vector<std::string>{"openbox", "--sm-disable", "--startup", "echo openbox running"});
    window_manager->await_line("openbox running");
    return window_manager;
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
    : xvfb(options.screen),
      window_manager_(prepare_display(options)),
      game(with_pointer_placed(command, options)),
      window(find_window(options))
{
    if (window_manager_) {
        guard_.watch(window_manager_->pid());
    }
    for (pid_t pid : children_named("Xvfb")) {
        guard_.watch(pid);
    }
    guard_.watch(game.pid());
}
