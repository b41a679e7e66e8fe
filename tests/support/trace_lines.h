// Trace lines as the game prints them, for tests that compare what the game printed with what
// it must have printed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The first `count` colour codes of a run, as the game draws them: rand() % 4 + 1 from the C
// library's unseeded generator, which is glibc's or Microsoft's and differs between the two.
// Leaves the generator unseeded again (seeded with 1).
inline std::vector<int> unseeded_colours(std::size_t first, std::size_t count)
{
    std::srand(1);
    std::vector<int> codes;
    for (std::size_t i = 0; i < first + count; ++i) {
        const int code = std::rand() % 4 + 1;
        if (i >= first) {
            codes.push_back(code);
        }
    }
    std::srand(1);
    return codes;
}

// The colour codes of the first chain of every run, and of the chain a first Reset makes.
inline const std::vector<int> start_up_colours = unseeded_colours(0, 10);
inline const std::vector<int> first_reset_colours = unseeded_colours(10, 10);

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
