// The display's scale from a DPI value, alike on every desktop platform.
#include "platform/desktop/display_scale.h"

#include <algorithm>
#include <cmath>

namespace {

// The DPI of a scale of 1, on X11 and on Windows alike.
constexpr double logical_dpi = 96.0;
// A display scaled beyond this is taken for a wrong value, not a screen.
constexpr double largest_scale = 4.0;

}  // namespace

double scale_of_dpi(double dpi)
{
    if (!std::isfinite(dpi)) {
        return 1.0;
    }
    return std::clamp(dpi / logical_dpi, 1.0, largest_scale);
}
