// One ball of the chain: its colour code, its place in path space and its progress along the
// path (segment start pt and curve parameter move_u on that segment).
#pragma once

#include "chain/path.h"

// Single-precision constants of the motion (their float values, widened, enter the arithmetic).
constexpr float parameter_step = 0.02f;
constexpr float follow_threshold = 0.07f;
// A move_u above this moves the ball to the next segment; 50 steps of 0.02 sum to 0.99999958 in
// float, so every segment gets 51 placements, the last at its end.
constexpr double segment_end = 1.0;
constexpr int segment_advance = 3;
// Segments 0..40 read points up to 43; a pt of 41 or more is never placed again.
constexpr int end_of_path = 41;

class Ball {
public:
    Ball(int color, int index, float x, float y);

    float get_u() const { return move_u; }
    int get_pt() const { return pt; }

    // One tick of motion, following the ball ahead (its segment npt and parameter lead_u after
    // its own move this tick). Prints the ball's trace line first, whatever happens.
    void move(int npt, float lead_u);

    // Draws the ball in the scene; defined with the rendering code.
    void draw() const;

    int color;  // colour code, 1..ncolors; read only by the drawing
    float x;    // centre in path space
    float y;
    float move_u;    // curve parameter on the current segment, grows by 0.02 per placement
    int pt;          // first control point of the current segment; 41 or more means stopped
    int aux;         // carried but never read
    int end_toggle;  // flips on every advancing tick once the ball has stopped
};

// Cubic Lagrange weights of the four control points of a segment at curve parameter u, for the
// nodes 0, 0.333, 0.667 and 1.
float basis0(float u);
float basis1(float u);
float basis2(float u);
float basis3(float u);

// Puts the ball on the segment p0..p3 at its move_u, then steps move_u by 0.02.
void place_on_segment(Ball& ball, const PathPoint& p0, const PathPoint& p1, const PathPoint& p2,
                      const PathPoint& p3);
