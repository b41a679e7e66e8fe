// Trace lines as the game prints them, for tests that compare what the game printed with what
// it must have printed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The colour codes of the first chain of every run: the C library's unseeded rand() % 4 + 1.
inline const std::vector<int> start_up_colours = {4, 3, 2, 4, 2, 4, 3, 1, 2, 2};

// One "color=N" line per code, in order.
inline std::vector<std::string> colour_lines(const std::vector<int>& codes)
{
    std::vector<std::string> lines;
    for (int code : codes) {
        lines.push_back("color=" + std::to_string(code));
    }
    return lines;
}

// One ball's line of a chain tick: the segment of the ball ahead, the ball's own segment and its
// curve parameter (a float, printed widened to double).
inline std::string tick_line(int npt, int pt, double move_u)
{
    char line[96];
    std::snprintf(line, sizeof line, "npt=%d, pt=%d, move_u=%f", npt, pt, move_u);
    return line;
}
