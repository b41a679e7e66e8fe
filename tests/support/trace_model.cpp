// The chains as chain_tick moves them, ball by ball, and a whole trace read against them.
#include "support/trace_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "chain/ball.h"
#include "core/rounding.h"
#include "input/commands.h"
#include "input/reset.h"
#include "support/trace_lines.h"

namespace {

struct BallState {
    int pt;
    float move_u;
};

void add_chain(std::vector<BallState>& balls)
{
    for (int j = 0; j < chain_length; ++j) {
        balls.push_back({j, 0.0f});
    }
}

// The lines of the next run of chain_tick, moving the balls. Written apart from Ball::move: each
// ball follows the one ahead after that one's move, and the head follows segment 0 at 0.
std::vector<std::string> next_tick(std::vector<BallState>& balls)
{
    std::vector<std::string> lines;
    int npt = 0;
    float lead_u = 0.0f;
    for (BallState& ball : balls) {
        lines.push_back(tick_line(npt, ball.pt, ball.move_u));
        if (ball.pt != npt || lead_u > follow_threshold) {
            if (static_cast<double>(ball.move_u) > segment_end) {
                ball.pt += segment_advance;
                ball.move_u = 0.0f;
            }
            if (ball.pt < end_of_path) {
                ball.move_u = round_to_float(static_cast<double>(ball.move_u) + parameter_step);
            }
        }
        npt = ball.pt;
        lead_u = ball.move_u;
    }
    return lines;
}

bool is_colour_line(const std::string& line)
{
    return line.size() == 7 && line.rfind("color=", 0) == 0 && line[6] >= '1' &&
           line[6] < '1' + chain_colours;
}

// Exactly what "aim_translate: %f" makes of a finite value.
bool is_aim_line(const std::string& line)
{
    double value = 0.0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "aim_translate: %lf%n", &value, &consumed) != 1 ||
        static_cast<std::size_t>(consumed) != line.size() || !std::isfinite(value)) {
        return false;
    }
    char again[96];
    std::snprintf(again, sizeof again, "aim_translate: %f", value);
    return line == again;
}

bool is_arrow_line(const std::string& line)
{
    return line == "Left key" || line == "Right key" || line == "Up key" || line == "Down key";
}

// A failure at lines[at], numbered from 1, shown with three lines either side.
::testing::AssertionResult broken_at(const std::vector<std::string>& lines, std::size_t at,
                                     const std::string& why)
{
    std::string text = "line " + std::to_string(at + 1) + ": " + why + "\n";
    for (std::size_t i = at >= 3 ? at - 3 : 0; i < lines.size() && i <= at + 3; ++i) {
        text += (i == at ? "  > " : "    ") + std::to_string(i + 1) + ": " + lines[i] + "\n";
    }
    if (at >= lines.size()) {
        text += "  > (the end of the trace)\n";
    }
    return ::testing::AssertionFailure() << text;
}

}  // namespace

std::vector<std::string> help_lines()
{
    std::vector<std::string> lines;
    std::istringstream text(help_text);
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> first_tick_lines()
{
    std::vector<BallState> balls;
    add_chain(balls);
    return next_tick(balls);
}

bool is_tick_line(const std::string& line) { return line.rfind("npt=", 0) == 0; }

::testing::AssertionResult read_trace(const std::vector<std::string>& lines, TraceReading& reading)
{
    reading = TraceReading{};
    const std::vector<std::string> colours = colour_lines(start_up_colours);
    if (lines.size() < colours.size() || !std::equal(colours.begin(), colours.end(), lines.begin())) {
        return broken_at(lines, 0, "the trace does not start with the start-up colours");
    }
    const std::vector<std::string> help = help_lines();
    std::vector<BallState> balls;
    add_chain(balls);
    std::size_t i = colours.size();
    while (i < lines.size()) {
        if (is_tick_line(lines[i])) {
            const std::vector<std::string> expected = next_tick(balls);
            for (std::size_t k = 0; k < expected.size(); ++k, ++i) {
                if (i >= lines.size() || lines[i] != expected[k]) {
                    return broken_at(lines, i,
                                     "run " + std::to_string(reading.ticks + 1) + " of chain_tick, ball " +
                                         std::to_string(k) + ": expected \"" + expected[k] + "\"");
                }
            }
            const std::size_t chains = balls.size() / chain_length;
            reading.ticks_with_chains.resize(std::max(reading.ticks_with_chains.size(), chains + 1));
            ++reading.ticks_with_chains[chains];
            ++reading.ticks;
        } else if (lines[i].rfind("color=", 0) == 0) {
            // A new chain prints all its colours before anything else runs.
            for (int j = 0; j < chain_length; ++j, ++i) {
                if (i >= lines.size() || !is_colour_line(lines[i])) {
                    return broken_at(
                        lines, i, "colour line " + std::to_string(j + 1) + " of a new chain missing or bad");
                }
                reading.events.push_back(lines[i]);
            }
            add_chain(balls);
        } else if (lines[i] == help.front()) {
            for (const std::string& line : help) {
                if (i >= lines.size() || lines[i] != line) {
                    return broken_at(lines, i, "the help text broken off");
                }
                reading.events.push_back(lines[i++]);
            }
        } else if (is_arrow_line(lines[i]) || is_aim_line(lines[i])) {
            reading.events.push_back(lines[i++]);
        } else {
            return broken_at(lines, i, "a line the game does not print");
        }
    }
    reading.chains = static_cast<int>(balls.size()) / chain_length;
    return ::testing::AssertionSuccess();
}
