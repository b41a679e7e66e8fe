// How the chains must move, run by run of chain_tick, and the check of a trace against it.
#include "e2e/trace_check.h"

#include <algorithm>

#include "support/game_process.h"
#include "support/trace_lines.h"

namespace {

// Every chain but the head of the list moves in lockstep: all its balls change segment on the
// same run and share one curve parameter, ball j of it sitting on segment j + 3 * segments.
struct ChainState {
    int segments = 0;
    float move_u = 0.0f;
};

// The lines of the next run of chain_tick, advancing the chains. False once a ball would reach
// the end of the path (after some 500 runs), where this lockstep no longer holds.
bool predict_tick(std::vector<ChainState>& chains, std::vector<std::string>& lines)
{
    lines.clear();
    lines.push_back(chain_tick_head_line);
    int lead_pt = 0;  // the head never leaves segment 0
    for (std::size_t c = 0; c < chains.size(); ++c) {
        ChainState& chain = chains[c];
        const bool changes = static_cast<double>(chain.move_u) > 1.0;
        const int segments_after = chain.segments + (changes ? 1 : 0);
        if (9 + 3 * segments_after >= 41) {
            return false;
        }
        // The list's head is ball 0 of the first chain; every later chain's ball 0 follows the
        // last ball of the chain before it.
        for (int j = c == 0 ? 1 : 0; j < 10; ++j) {
            lines.push_back(tick_line(lead_pt, j + 3 * chain.segments, chain.move_u));
            lead_pt = j + 3 * segments_after;
        }
        chain.segments = segments_after;
        chain.move_u = (changes ? 0.0f : chain.move_u) + 0.02f;
    }
    return true;
}

std::string around(const std::vector<std::string>& lines, std::size_t at)
{
    std::string text;
    const std::size_t from = at >= 3 ? at - 3 : 0;
    for (std::size_t i = from; i < lines.size() && i <= at + 3; ++i) {
        text += (i == at ? "  > " : "    ") + std::to_string(i) + ": " + lines[i] + "\n";
    }
    return text;
}

}  // namespace

bool is_tick_line(const std::string& line) { return line.rfind("npt=", 0) == 0; }

std::vector<std::string> first_tick_lines()
{
    std::vector<ChainState> chains(1);
    std::vector<std::string> lines;
    predict_tick(chains, lines);
    return lines;
}

::testing::AssertionResult read_trace(const std::vector<std::string>& lines, TraceReading& reading)
{
    reading = TraceReading{};
    const std::vector<std::string> colours = colour_lines(start_up_colours);
    if (lines.size() < colours.size() || !std::equal(colours.begin(), colours.end(), lines.begin())) {
        return ::testing::AssertionFailure() << "the trace does not start with the ten start-up colours:\n"
                                             << around(lines, 0);
    }
    std::vector<ChainState> chains(1);
    bool predictable = true;
    int colours_of_new_chain = 0;
    std::vector<std::string> expected;
    std::size_t i = colours.size();
    while (i < lines.size()) {
        if (!is_tick_line(lines[i])) {
            reading.events.push_back(lines[i]);
            if (lines[i].rfind("color=", 0) == 0 && ++colours_of_new_chain == 10) {
                chains.emplace_back();
                colours_of_new_chain = 0;
            }
            ++i;
            continue;
        }
        if (lines[i] != chain_tick_head_line) {
            return ::testing::AssertionFailure() << "a run of chain_tick starts elsewhere than at the head:\n"
                                                 << around(lines, i);
        }
        if (colours_of_new_chain != 0) {
            return ::testing::AssertionFailure() << "a tick ran between the colour lines of one chain:\n"
                                                 << around(lines, i);
        }
        const std::size_t size = 10 * chains.size();
        predictable = predictable && predict_tick(chains, expected);
        for (std::size_t k = 0; k < size; ++k) {
            if (i + k >= lines.size() || !is_tick_line(lines[i + k])) {
                return ::testing::AssertionFailure()
                       << "run " << reading.ticks + 1 << " of chain_tick has fewer than " << size
                       << " lines:\n"
                       << around(lines, i + k);
            }
            if (k > 0 && lines[i + k] == chain_tick_head_line) {
                return ::testing::AssertionFailure()
                       << "run " << reading.ticks + 1 << " of chain_tick ends after " << k << " lines, not "
                       << size << ":\n"
                       << around(lines, i + k);
            }
            if (predictable && lines[i + k] != expected[k]) {
                return ::testing::AssertionFailure() << "run " << reading.ticks + 1
                                                     << " of chain_tick: expected \"" << expected[k] << "\"\n"
                                                     << around(lines, i + k);
            }
        }
        ++reading.ticks;
        if (reading.ticks_with_chains.size() <= chains.size()) {
            reading.ticks_with_chains.resize(chains.size() + 1);
        }
        ++reading.ticks_with_chains[chains.size()];
        i += size;
    }
    if (colours_of_new_chain != 0) {
        return ::testing::AssertionFailure() << "the trace ends inside the colour lines of a new chain";
    }
    return ::testing::AssertionSuccess();
}
