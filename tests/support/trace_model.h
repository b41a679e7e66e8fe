// The trace as the game must print it, read whole: every run of chain_tick against the chains
// moved by the game's own rules and constants, every other line one of the player's events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What H prints, a line each.
std::vector<std::string> help_lines();

// The lines of the first run of chain_tick after start-up.
std::vector<std::string> first_tick_lines();

// Whether a line is one ball's line of a run of chain_tick.
bool is_tick_line(const std::string& line);

struct TraceReading {
    // Every line that is not a chain-tick line, after the start-up colours, in order.
    std::vector<std::string> events;
    // Runs of chain_tick seen, and how many of them had n chains.
    int ticks = 0;
    std::vector<int> ticks_with_chains;  // index: number of chains
    int chains = 0;                      // at the end
};

// Checks a complete trace (the game has ended): it starts with the start-up colours; each run of
// chain_tick prints one line per ball, head first, exactly as the chains must move; a chain's
// colour lines come whole and add it to the next run; the other lines are arrows, aims and the
// help text. Fails at the first line that breaks this, with its number and neighbours.
::testing::AssertionResult read_trace(const std::vector<std::string>& lines, TraceReading& reading);
