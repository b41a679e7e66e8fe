// Creation of a chain and the tick that moves the whole list.
#include "chain/chain.h"

#include <cstdlib>

#include "core/rounding.h"
#include "core/toolkit.h"
#include "core/trace.h"

std::vector<std::unique_ptr<Ball>> balls;

namespace {

constexpr unsigned int tick_period_ms = 40;
// Spacing of new balls in path space before division by the x scale (a ball's drawn radius).
constexpr float created_spacing = 0.07f;

}  // namespace

void create_chain(int count, int ncolors)
{
    // A colour count of zero would divide by zero below; one colour is the nearest sound choice.
    const int colors = ncolors < 1 ? 1 : ncolors;
    const float x0 = path_points[0].x;
    const float y0 = path_points[0].y;
    for (int i = 0; i < count; ++i) {
        const int color = std::rand() % colors + 1;
        print_trace("color=%d\n", color);
        const float x = round_to_float(x0 + static_cast<double>(i) * created_spacing / path_scale.x);
        balls.push_back(std::make_unique<Ball>(color, i, x, y0));
    }
}

void chain_tick(int value)
{
    // The head is handed segment 0 and parameter 0, so it never advances.
    if (!balls.empty()) {
        balls[0]->move(0, 0.0f);
    }
    for (std::size_t i = 1; i < balls.size(); ++i) {
        // The ball ahead has already moved in this tick.
        const float lead_u = balls[i - 1]->get_u();
        const int npt = balls[i - 1]->get_pt();
        balls[i]->move(npt, lead_u);
    }
    toolkit_start_timer(tick_period_ms, chain_tick, value);
    toolkit_request_redisplay();
}
