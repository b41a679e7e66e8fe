// The display's scale on X11: the X resource Xft.dpi, through which desktops (GNOME, KDE and
// others) tell the programs that scale themselves what they scale to (144 at 150 %, 192 at 200 %).
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop/display_scale.h"

namespace {

// Xft.dpi as a number, or 0 (a scale of 1) where the resource is missing or is no number.
double xft_dpi(Display* display)
{
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr) {
        return 0.0;
    }
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0.0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 && value.addr != nullptr) {
        dpi = std::strtod(value.addr, nullptr);
    }
    XrmDestroyDatabase(database);
    return dpi;
}

}  // namespace

double display_scale(int argc, char** argv)
{
    // The display glutInit will open: the last "-display NAME" of the command line, as freeglut
    // takes it, or else DISPLAY.
    const char* name = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) {
            name = argv[i + 1];
        }
    }
    // A display that does not open is glutInit's to report.
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        return 1.0;
    }
    const double scale = scale_of_dpi(xft_dpi(display));
    XCloseDisplay(display);
    return scale;
}
