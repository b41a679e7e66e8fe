// The values the process starts with. A program of its own whose one case touches the state
// first: every other case begins from restore_start_state(), which would hide a start value
// that only the real program has.
#include <gtest/gtest.h>

#include "support/game_test.h"

TEST(StartValues, TheProcessStartsInTheStateThatTheTestsRestore)
{
    const std::string as_started = game_state_values();
    restore_start_state();
    EXPECT_EQ(as_started, game_state_values());
}
