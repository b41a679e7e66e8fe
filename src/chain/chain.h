// The chain list and its two operations: creating a chain of balls and the 40 ms chain tick.
#pragma once

#include <memory>
#include <vector>

#include "chain/ball.h"

// The chain, head first. Only ever appended to while the game runs; the list owns its balls.
extern std::vector<std::unique_ptr<Ball>> balls;

// Appends count balls with random colour codes 1..ncolors at the start of the path, printing a
// "color=%d" line for each before it is made. An ncolors below 1 is taken as 1.
void create_chain(int count, int ncolors);

// Timer callback: moves every ball once, each following the ball ahead, then renews itself in
// 40 ms with the same value and asks for a redisplay.
void chain_tick(int value);
