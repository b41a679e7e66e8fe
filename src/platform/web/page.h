// What the web build asks of its page (page_library.js): the menu, the keys, the pointer and
// touches, the canvas's size, the end.
#pragma once

extern "C" {
// The right button's menu: an entry with its label and the value handed to `choose`.
void marbloom_page_menu_entry(const char* label, int value);
void marbloom_page_menu_attach(void (*choose)(int value));
// The keys the game uses, and the page's own buttons for them: `typed` gets a character (H, J,
// K or Q in either case), `special` an arrow's GLUT key code. Every other key, and every key with
// Ctrl, Alt or Meta, is left to the browser.
void marbloom_page_listen_keys(void (*typed)(int key), void (*special)(int key));
// The pointer over the canvas, and one finger on it, in the canvas's own pixels: every move with
// `held` 1 while a button is; a button's press and release (GLUT's button and state codes). A
// finger's drag moves as the pointer does with no button held, a tap presses and releases the
// left button, and a long press opens the menu.
void marbloom_page_listen_pointer(void (*moved)(int held, int x, int y),
                                  void (*pressed)(int button, int state, int x, int y));
// Keeps the canvas's pixels those of its place on the screen (its CSS size times the device's
// pixel ratio) and hands every new size to `resized`, the first one at once.
void marbloom_page_follow_canvas(void (*resized)(int width, int height));
// The canvas's WebGL context: `lost` when the browser takes it away (the page asks for it back and
// says so beside the canvas), `restored` when it has been given back, empty.
void marbloom_page_watch_context(void (*lost)(), void (*restored)());
// The page's shader program, with attribute 0 the position and 1 the colour, under its emscripten
// name: the one the page made as it opened, or a new one (after a lost context).
unsigned int marbloom_page_program();
// Writes out what standard output holds when a callback fails with an error before it returns.
void marbloom_page_flush_on_error();
// Calls `fired(callback, value)` once, `delay_ms` milliseconds from now.
void marbloom_page_start_timer(unsigned int delay_ms, void (*fired)(void (*callback)(int), int value),
                               void (*callback)(int), int value);
// Ends the program with this status: no timer, frame or input reaches it afterwards.
void marbloom_page_end(int status);
}

// Hands the game's reshape handler the canvas's size now and whenever it changes (main calls it
// once the game is set up).
void follow_canvas_size();
