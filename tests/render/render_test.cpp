// Colour classes of the scene's objects and the pixel check of the render fixture.
#include "render/render_test.h"

#include <algorithm>
#include <cstdlib>

namespace {

int spread(Rgb c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

bool near(int value, int target, int tolerance) { return std::abs(value - target) <= tolerance; }

}  // namespace

const ColourClass backdrop_grey = {"backdrop grey",
                                   [](Rgb c) { return spread(c) <= 8 && c.g >= 150 && c.g <= 235; }};

// 0.74509, 0.88627, 0.97255 in 8-bit channels.
const ColourClass clear_sky = {
    "clear colour", [](Rgb c) { return near(c.r, 190, 6) && near(c.g, 226, 6) && near(c.b, 248, 6); }};

const ColourClass corner_green = {
    "corner green", [](Rgb c) { return c.g >= 180 && c.r <= 140 && c.b <= 140 && c.g - c.r >= 80; }};

const ColourClass projectile_red = {"projectile red", is_projectile_red};

// 0.1745 under the scene's ambient 0.2 and both lights' 0.8: 0.314, about 80 in 8 bits (a
// preset with more ambient red, such as 29, gives about 126).
const ColourClass projectile_unlit_red = {"projectile unlit red",
                                          [](Rgb c) { return near(c.r, 80, 10) && c.g <= 15 && c.b <= 30; }};

const ColourClass cannon_black = {
    "cannon black", [](Rgb c) { return c.r <= 80 && c.g <= 80 && c.b <= 80 && spread(c) <= 12; }};

const ColourClass marker_blue = {"marker blue",
                                 [](Rgb c) { return c.b >= 200 && c.b - c.r >= 15 && c.b - c.g >= 15; }};

const ColourClass ball_brass = {
    "ball brass", [](Rgb c) { return c.r >= 180 && c.g >= 120 && c.b <= 110 && c.r - c.b >= 100; }};

::testing::AssertionResult RenderTest::shows(double x, double y, const ColourClass& expected) const
{
    if (!frame_) {
        return ::testing::AssertionFailure() << "no frame drawn";
    }
    const int column = frame_->column_of(x);
    const int row = frame_->row_of(y);
    const Rgb c = frame_->at(column, row);
    ::testing::AssertionResult result =
        expected.matches(c) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure();
    return result << "world (" << x << ", " << y << ") at pixel column " << column << ", row " << row
                  << " from the bottom, is rgb(" << c.r << ", " << c.g << ", " << c.b << ")"
                  << (expected.matches(c) ? ": " : ", not ") << expected.name;
}
