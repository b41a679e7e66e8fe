// The serpentine path: 45 control points in path space and the factors that take path space to
// world space (world = scale * path, plus 0.5 in y, added by the drawing).
#pragma once

struct PathPoint {
    float x;
    float y;
    float z;
};

constexpr int path_point_count = 45;

extern const PathPoint path_points[path_point_count];
extern const PathPoint path_scale;
