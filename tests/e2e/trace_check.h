// Reading a whole trace of the game: the chain-tick lines checked run by run against how the
// chains must move, everything else handed back as the player's events in order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The lines of the first run of chain_tick after start-up.
std::vector<std::string> first_tick_lines();

struct TraceReading {
    // Every line that is not a chain-tick line, after the start-up colours, in order.
    std::vector<std::string> events;
    // Runs of chain_tick seen, and how many of them had n chains (10 n lines).
    int ticks = 0;
    std::vector<int> ticks_with_chains;  // index: number of chains
};

// Checks a complete trace (the game has ended): it starts with the start-up colours; every run
// of chain_tick prints 10 lines per chain, head line first, all runs in one piece and exactly
// as the chains must move; a "Reset" adds a chain after its ten colour lines. Fills `reading`.
::testing::AssertionResult read_trace(const std::vector<std::string>& lines, TraceReading& reading);

// The lines that are not chain-tick lines (for failure messages and for waiting on events).
bool is_tick_line(const std::string& line);
