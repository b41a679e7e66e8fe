// Checks a whole trace of the real program against the chain's rules and the line formats: tick
// blocks of one line per ball, each ball's step from one tick to the next, colour lines in tens.
#pragma once

#include <string>
#include <vector>

struct TraceReport {
    int ticks = 0;   // complete tick blocks
    int chains = 0;  // chains created (blocks of ten colour lines)
    int aim_lines = 0;
    int arrow_lines = 0;
    int help_texts = 0;
    std::vector<std::string> errors;  // the first few violations, with line numbers
};

TraceReport check_trace(const std::vector<std::string>& lines);
