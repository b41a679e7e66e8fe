// What the web build asks of its page (page_library.js): the menu, the pointer, the end.
#pragma once

extern "C" {
// The right button's menu: an entry with its label and the value handed to `choose`.
void marbloom_page_menu_entry(const char* label, int value);
void marbloom_page_menu_attach(void (*choose)(int value));
// Every move of the pointer over the canvas, in canvas pixels, with `held` 1 while a button is.
void marbloom_page_listen_pointer(void (*moved)(int held, int x, int y));
// Ends the program with this status: no timer, frame or input reaches it afterwards.
void marbloom_page_end(int status);
}
