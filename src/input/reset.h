// The reset that starts a game: at start-up, and from the menu's "Reset".
#pragma once

// Each game's chain: its number of balls and of colours.
constexpr int chain_length = 10;
constexpr int chain_colours = 4;

// Start values of the shooter, pointer and ball material, plus one more chain of ten balls
// appended to the list. Sizes, timers and the balls already there are left alone.
void reset_game();
