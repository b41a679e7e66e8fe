// The arithmetic rule of the game: float expressions are evaluated in double precision and
// rounded to single precision only where the result is stored. Every such store goes through
// round_to_float so the rounding points stay visible; plain float arithmetic would round after
// each operation and shift the trace, the positions and the tick counts.
#pragma once

inline float round_to_float(double value) { return static_cast<float>(value); }
