// The browser build's GLUT stand-ins: the menu, input and reshape, and the solid sphere and the
// swap, which draw through the OpenGL 1 stand-in (gl_*.cpp). Emscripten's GLUT has no menu, hands
// a motion handler the pointer's previous position, takes every key from the browser (Tab
// included) and turns touches into mouse events from passive listeners; it also leaves the canvas
// at its CSS pixels on a dense screen. All of these are the page's here (page_library.js), and the
// handlers are kept here rather than registered with emscripten's GLUT, whose own listeners then
// do nothing.
#include <GL/freeglut.h>

#include <cstdio>

#include "gl_shared.h"
#include "page.h"

namespace {

void (*menu_handler)(int) = nullptr;
void (*keyboard_handler)(unsigned char, int, int) = nullptr;
void (*special_handler)(int, int, int) = nullptr;
void (*mouse_handler)(int, int, int, int) = nullptr;
void (*motion_handler)(int, int) = nullptr;
void (*passive_motion_handler)(int, int) = nullptr;
void (*reshape_handler)(int, int) = nullptr;

// The pointer's last position, which GLUT hands the key handlers too.
int pointer_x = 0;
int pointer_y = 0;

// Standard output is buffered whole here (main.cpp) and leaves for the page once the callback that
// printed has returned: a tick's ten lines as one write, after it has set its next timer.
void callback_returned() { std::fflush(stdout); }

void pointer_moved(int held, int x, int y)
{
    pointer_x = x;
    pointer_y = y;
    void (*handler)(int, int) = held != 0 ? motion_handler : passive_motion_handler;
    if (handler != nullptr) {
        handler(x, y);
    }
    callback_returned();
}

void button_pressed(int button, int state, int x, int y)
{
    pointer_x = x;
    pointer_y = y;
    if (mouse_handler != nullptr) {
        mouse_handler(button, state, x, y);
    }
    callback_returned();
}

void key_typed(int key)
{
    if (keyboard_handler != nullptr) {
        keyboard_handler(static_cast<unsigned char>(key), pointer_x, pointer_y);
    }
    callback_returned();
}

void special_key(int key)
{
    if (special_handler != nullptr) {
        special_handler(key, pointer_x, pointer_y);
    }
    callback_returned();
}

void canvas_resized(int width, int height)
{
    if (reshape_handler != nullptr) {
        reshape_handler(width, height);
    }
    glutPostRedisplay();
    callback_returned();
}

void listen_to_keys()
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        marbloom_page_listen_keys(key_typed, special_key);
    }
}

void listen_to_pointer()
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        marbloom_page_listen_pointer(pointer_moved, button_pressed);
    }
}

void menu_chosen(int value)
{
    if (menu_handler != nullptr) {
        menu_handler(value);
    }
    callback_returned();
}

void timer_fired(void (*callback)(int), int value)
{
    callback(value);
    callback_returned();
}

}  // namespace

// A one-shot timer, as emscripten's GLUT keeps it (a browser timeout of that many milliseconds),
// whose callback's trace is handed on once it returns.
void glutTimerFunc(unsigned int delay_ms, void (*callback)(int), int value)
{
    marbloom_page_start_timer(delay_ms, timer_fired, callback, value);
}

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

void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    keyboard_handler = callback;
    listen_to_keys();
}

void glutSpecialFunc(void (*callback)(int, int, int))
{
    special_handler = callback;
    listen_to_keys();
}

void glutMouseFunc(void (*callback)(int, int, int, int))
{
    mouse_handler = callback;
    listen_to_pointer();
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

// The canvas has the size of its place on the page (index.html, page_library.js): at most the
// game's 800 x 600, and smaller, whole, where the page has less room.
void glutInitWindowSize(int, int) {}

// The first size comes once the game is set up (main), as a desktop window's first reshape
// comes from the event loop.
void glutReshapeFunc(void (*callback)(int, int)) { reshape_handler = callback; }

void follow_canvas_size() { marbloom_page_follow_canvas(canvas_resized); }

// The sphere is one of the OpenGL 1 stand-in's surfaces (gl_tessellation.cpp).
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    fixed_function::draw_sphere(radius, slices, stacks);
}

// The browser shows the canvas once the frame's callback returns; the frame must be drawn by then.
void glutSwapBuffers()
{
    fixed_function::flush();
    fixed_function::frame_drawn();
}
