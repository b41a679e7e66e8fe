// Control points of the path. It runs right to left along y = 0.3, turns at x = -0.45, back
// along y = 0.1, turns at 0.45, left along y = -0.1, turns again and ends running right along
// y = -0.3. Points 42 to 44 coincide; the motion reads points 0 to 43 only.
#include "chain/path.h"

// clang-format off
const PathPoint path_points[path_point_count] = {
    {0.8f, 0.3f, 0.0f},   {0.5f, 0.3f, 0.0f},   {0.4f, 0.3f, 0.0f},   {0.3f, 0.3f, 0.0f},
    {0.2f, 0.3f, 0.0f},   {0.1f, 0.3f, 0.0f},   {0.0f, 0.3f, 0.0f},   {-0.1f, 0.3f, 0.0f},
    {-0.2f, 0.3f, 0.0f},  {-0.3f, 0.3f, 0.0f},  {-0.4f, 0.3f, 0.0f},  {-0.45f, 0.2f, 0.0f},
    {-0.4f, 0.1f, 0.0f},  {-0.3f, 0.1f, 0.0f},  {-0.2f, 0.1f, 0.0f},  {-0.1f, 0.1f, 0.0f},
    {0.0f, 0.1f, 0.0f},   {0.1f, 0.1f, 0.0f},   {0.2f, 0.1f, 0.0f},   {0.3f, 0.1f, 0.0f},
    {0.4f, 0.1f, 0.0f},   {0.45f, 0.0f, 0.0f},  {0.4f, -0.1f, 0.0f},  {0.3f, -0.1f, 0.0f},
    {0.2f, -0.1f, 0.0f},  {0.1f, -0.1f, 0.0f},  {0.0f, -0.1f, 0.0f},  {-0.1f, -0.1f, 0.0f},
    {-0.2f, -0.1f, 0.0f}, {-0.3f, -0.1f, 0.0f}, {-0.4f, -0.1f, 0.0f}, {-0.45f, -0.2f, 0.0f},
    {-0.4f, -0.3f, 0.0f}, {-0.3f, -0.3f, 0.0f}, {-0.2f, -0.3f, 0.0f}, {-0.1f, -0.3f, 0.0f},
    {0.0f, -0.3f, 0.0f},  {0.1f, -0.3f, 0.0f},  {0.2f, -0.3f, 0.0f},  {0.3f, -0.3f, 0.0f},
    {0.4f, -0.3f, 0.0f},  {0.5f, -0.3f, 0.0f},  {0.6f, -0.3f, 0.0f},  {0.6f, -0.3f, 0.0f},
    {0.6f, -0.3f, 0.0f},
};
// clang-format on

const PathPoint path_scale = {5.0f, 3.3f, 1.0f};
