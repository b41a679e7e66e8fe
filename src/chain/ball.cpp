// Motion of one ball along the path: the follow rule, segment changes and placement on a
// segment by cubic Lagrange interpolation.
#include "chain/ball.h"

#include "core/rounding.h"
#include "core/trace.h"

Ball::Ball(int color_code, int index, float x0, float y0)
    : color(color_code), x(x0), y(y0), move_u(0.0f), pt(index), aux(0), end_toggle(1)
{
}

void Ball::move(int npt, float lead_u)
{
    print_trace("npt=%d, pt=%d, move_u=%f\n", npt, pt, static_cast<double>(move_u));

    // On the same segment as the ball ahead, wait until it is far enough ahead.
    if (npt == pt && !(lead_u > follow_threshold)) {
        return;
    }
    if (static_cast<double>(move_u) > segment_end) {
        pt += segment_advance;
        move_u = 0.0f;
    }
    if (pt >= end_of_path) {
        end_toggle = end_toggle == 0 ? 1 : 0;
        return;
    }
    place_on_segment(*this, path_points[pt], path_points[pt + 1], path_points[pt + 2], path_points[pt + 3]);
}

// The nodes are the decimals 0.333 and 0.667 while the factors belong to exact thirds, so the
// weights sum to 0.9994995 at the segment ends, not 1: a ball at a control point sits at
// 0.9994995 times its coordinates. Each product is taken left to right in double precision.
float basis0(float u)
{
    const double v = u;
    return round_to_float((v - 0.333) * (-4.5) * (v - 0.667) * (v - 1.0));
}

float basis1(float u)
{
    const double v = u;
    return round_to_float(v * 13.5 * (v - 0.667) * (v - 1.0));
}

float basis2(float u)
{
    const double v = u;
    return round_to_float(v * (-13.5) * (v - 0.333) * (v - 1.0));
}

float basis3(float u)
{
    const double v = u;
    return round_to_float(v * 4.5 * (v - 0.333) * (v - 0.667));
}

void place_on_segment(Ball& ball, const PathPoint& p0, const PathPoint& p1, const PathPoint& p2,
                      const PathPoint& p3)
{
    const float u = ball.move_u;
    const double w0 = basis0(u);
    const double w1 = basis1(u);
    const double w2 = basis2(u);
    const double w3 = basis3(u);
    // Weights are floats; products and sums in double, added in point order, rounded once.
    ball.x = round_to_float(w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x);
    ball.y = round_to_float(w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y);
    ball.move_u = round_to_float(static_cast<double>(ball.move_u) + parameter_step);
}
