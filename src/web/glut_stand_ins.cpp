// GLUT's menu and pointer motion in the browser. Emscripten's GLUT has no menu, and it hands a
// motion handler the pointer's previous position rather than the one just reached; both are
// the page's here (page_library.js), and emscripten's own motion handling is left unregistered.
#include <GL/freeglut.h>

#include "page.h"

namespace {

void (*menu_handler)(int) = nullptr;
void (*motion_handler)(int, int) = nullptr;
void (*passive_motion_handler)(int, int) = nullptr;

void pointer_moved(int held, int x, int y)
{
    void (*handler)(int, int) = held != 0 ? motion_handler : passive_motion_handler;
    if (handler != nullptr) {
        handler(x, y);
    }
}

void listen_to_pointer()
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        marbloom_page_listen_pointer(pointer_moved);
    }
}

void menu_chosen(int value)
{
    if (menu_handler != nullptr) {
        menu_handler(value);
    }
}

}  // namespace

// One menu, as the game makes: its entries in the order added, opened by the right button.
int glutCreateMenu(void (*callback)(int))
{
    menu_handler = callback;
    return 1;
}

void glutAddMenuEntry(const char* label, int value) { marbloom_page_menu_entry(label, value); }

void glutAttachMenu(int button)
{
    if (button == GLUT_RIGHT_BUTTON) {
        marbloom_page_menu_attach(menu_chosen);
    }
}

void glutMotionFunc(void (*callback)(int, int))
{
    motion_handler = callback;
    listen_to_pointer();
}

void glutPassiveMotionFunc(void (*callback)(int, int))
{
    passive_motion_handler = callback;
    listen_to_pointer();
}
