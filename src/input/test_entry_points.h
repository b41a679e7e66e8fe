// Entry points that only the tests and benchmarks call, declared apart from the game's own
// headers: the game itself never goes back to the state before main().
#pragma once

// Puts every piece of process-wide state back to its value before main() ran: all variables
// zero, the chain list empty, no abandoned shot steps. For tests that need a fresh process.
void restore_start_state();

// Drops the record of shot steps that resets abandoned; part of restore_start_state.
void forget_abandoned_shot_steps();
// Shot steps that resets abandoned and that have not fired yet: state that no header shows, read
// so that tests can compare it too.
int abandoned_shot_steps();
