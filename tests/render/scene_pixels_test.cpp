// What a frame shows, read back pixel by pixel at points projected from world coordinates: the
// corner balls, the shooter, the path markers, the chain, and the backdrop against the clear
// colour.
#include <gtest/gtest.h>

#include "chain/chain.h"
#include "chain/path.h"
#include "core/game_state.h"
#include "input/reset.h"
#include "render/render_test.h"

namespace {

// Chain balls, corner balls and the projectile: world units.
constexpr double ball_radius = 0.07;
// Inside a ball centred on a corner, a little way in along the diagonal.
constexpr double into_corner = 0.03;
// The loaded projectile's centre sits in the muzzle, 0.4 above the bottom edge; its lower half
// is inside the barrel, so it shows just above.
constexpr double muzzle_y = -2.0 + 0.4;
constexpr double above_muzzle = muzzle_y + 0.04;
// The breech's centre is 0.25 below the muzzle; its lower half shows below the barrel.
constexpr double below_breech = muzzle_y - 0.25 - 0.06;

// World centre of a chain ball or path marker from its path-space place.
double world_x(float path_x) { return 5.0 * path_x; }
double world_y(float path_y) { return 3.3 * path_y + 0.5; }

using Playfield = RenderTest;

TEST_F(Playfield, CornerBallsSitCentredOnTheFourCornersWithAQuarterOfEachShowing)
{
    reset_game();
    draw();
    const double half_w = view_width / 2.0;
    for (double sx : {-1.0, 1.0}) {
        for (double sy : {-1.0, 1.0}) {
            SCOPED_TRACE(::testing::Message() << "corner " << sx << ", " << sy);
            EXPECT_TRUE(shows(sx * (half_w - into_corner), sy * (2.0 - into_corner), corner_green));
            // Just beyond the ball's radius along the diagonal: the backdrop again.
            EXPECT_TRUE(shows(sx * (half_w - 0.08), sy * (2.0 - 0.08), backdrop_grey));
        }
    }
}

TEST_F(Playfield, BackdropIsAnEvenGreyBehindEverythingInTheInitialWindow)
{
    reset_game();
    draw();
    for (double x : {-2.5, -1.3, -0.3, 1.3, 2.5}) {
        for (double y : {-1.9, -0.8, 0.5, 1.9}) {
            EXPECT_TRUE(shows(x, y, backdrop_grey));
        }
    }
}

TEST_F(Playfield, LoadedProjectileSitsInTheMuzzleAtTheBottomCentreAboveTheBreech)
{
    reset_game();
    draw();
    EXPECT_TRUE(shows(0.0, above_muzzle, projectile_red));
    EXPECT_TRUE(shows(0.0, muzzle_y - 0.1, cannon_black));  // barrel
    EXPECT_TRUE(shows(0.0, below_breech, cannon_black));
    EXPECT_TRUE(shows(0.0, muzzle_y + ball_radius + 0.04, backdrop_grey));
    EXPECT_TRUE(shows(0.2, muzzle_y - 0.1, backdrop_grey));
}

TEST_F(Playfield, LoadedProjectileAndCannonMoveWithTheAim)
{
    reset_game();
    for (float aim : {1.0f, -1.5f}) {
        SCOPED_TRACE(::testing::Message() << "aim_translate " << aim);
        aim_translate = aim;
        draw();
        EXPECT_TRUE(shows(aim, above_muzzle, projectile_red));
        EXPECT_TRUE(shows(aim, below_breech, cannon_black));
        EXPECT_TRUE(shows(0.0, above_muzzle, backdrop_grey));
        EXPECT_TRUE(shows(0.0, below_breech, backdrop_grey));
    }
}

TEST_F(Playfield, ProjectileInFlightRisesInItsOwnColumnWhileTheCannonFollowsTheAim)
{
    reset_game();
    shot_in_flight = 1;
    shot_x = -1.0f;
    shot_height = 2.0f;
    aim_translate = 0.5f;
    draw();
    EXPECT_TRUE(shows(-1.0, muzzle_y + 2.0, projectile_red));
    EXPECT_TRUE(shows(-1.0 + 0.045, muzzle_y + 2.0 - 0.04, projectile_unlit_red));
    EXPECT_TRUE(shows(0.5, below_breech, cannon_black));
    // Not drawn again at the aim, nor at the flight's column plus the aim.
    EXPECT_TRUE(shows(0.5, above_muzzle, backdrop_grey));
    EXPECT_TRUE(shows(-0.5, muzzle_y + 2.0, backdrop_grey));
}

TEST_F(Playfield, PathMarkersStandWhereThePathPointsProject)
{
    reset_game();
    balls.clear();
    // The first frame lights the markers before the lights are placed; the second is the usual.
    draw();
    draw();
    const double half_w = view_width / 2.0;
    int seen = 0;
    for (const PathPoint& p : path_points) {
        const double x = world_x(p.x);
        const double y = world_y(p.y);
        if (x < -half_w + 0.05 || x > half_w - 0.05) {
            continue;
        }
        SCOPED_TRACE(::testing::Message() << "path point (" << p.x << ", " << p.y << ")");
        EXPECT_TRUE(shows(x, y, marker_blue));
        // Markers are small: 0.05 to the side is backdrop.
        EXPECT_TRUE(shows(x, y - 0.05, backdrop_grey));
        ++seen;
    }
    EXPECT_GE(seen, 35) << "too few path points inside the window for the check to mean much";
}

TEST_F(Playfield, ChainBallsAreDrawnWhereTheirPositionsProjectAfterTheChainHasMoved)
{
    reset_game();
    run_ticks(300);
    draw();
    const double half_w = view_width / 2.0;
    int seen = 0;
    for (const auto& ball : balls) {
        const double x = world_x(ball->x);
        const double y = world_y(ball->y);
        if (x < -half_w + ball_radius || x > half_w - ball_radius) {
            continue;
        }
        SCOPED_TRACE(::testing::Message() << "ball at path (" << ball->x << ", " << ball->y << ")");
        EXPECT_TRUE(shows(x, y, ball_brass));
        ++seen;
    }
    EXPECT_GE(seen, 8) << "too few balls inside the window for the check to mean much";
}

TEST_F(Playfield, BallsWithNoPresetSelectedTakeThePathMarkersMaterial)
{
    reset_game();
    run_ticks(300);
    const Ball& ball = *balls[5];
    for (int material : {1, 0, 32}) {
        SCOPED_TRACE(::testing::Message() << "ball_material " << material);
        ball_material = material;
        draw();
        EXPECT_TRUE(shows(world_x(ball.x), world_y(ball.y), material == 1 ? ball_brass : marker_blue));
    }
}

TEST_F(Playfield, WideWindowShowsTheClearColourBeyondTheBackdropWhileCornersAndShooterFollow)
{
    reset_game();
    ASSERT_TRUE(resize_gl_window(1200, 300));
    ASSERT_EQ(view_width, 16.0f);
    draw();
    // The backdrop ends at world x = 6.
    for (double y : {-1.9, 0.0, 1.9}) {
        EXPECT_TRUE(shows(6.2, y, clear_sky));
        EXPECT_TRUE(shows(7.8, y, clear_sky));
        EXPECT_TRUE(shows(5.8, y, backdrop_grey));
        EXPECT_TRUE(shows(-7.8, y, backdrop_grey));
    }
    for (double sx : {-1.0, 1.0}) {
        for (double sy : {-1.0, 1.0}) {
            SCOPED_TRACE(::testing::Message() << "corner " << sx << ", " << sy);
            EXPECT_TRUE(shows(sx * (8.0 - into_corner), sy * (2.0 - into_corner), corner_green));
        }
    }
    EXPECT_TRUE(shows(0.0, above_muzzle, projectile_red));
    EXPECT_TRUE(shows(0.0, below_breech, cannon_black));
}

}  // namespace
