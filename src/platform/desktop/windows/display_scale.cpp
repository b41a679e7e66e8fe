// The display's scale on Windows: the system's DPI, which Windows reports to a program that
// declares itself DPI-aware (marbloom.manifest); to any other it reports 96 and stretches its
// window's picture instead.
#include <windows.h>

#include "platform/desktop/display_scale.h"

namespace {

// GetDpiForSystem is Windows 10's (1607 on); it is looked up, so that the program still starts
// on an older Windows, which has the screen's DPI through GDI only.
double system_dpi()
{
    using GetDpi = UINT(WINAPI*)();
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const FARPROC found = user32 != nullptr ? GetProcAddress(user32, "GetDpiForSystem") : nullptr;
    if (found != nullptr) {
        // Through void (*)(), which GCC lets any function pointer be cast to and from.
        return reinterpret_cast<GetDpi>(reinterpret_cast<void (*)()>(found))();
    }
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0.0;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

double display_scale(int /*argc*/, char** /*argv*/) { return scale_of_dpi(system_dpi()); }
