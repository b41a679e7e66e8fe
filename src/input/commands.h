// Keyboard commands (help, quit, ball material, extra chain tick) and the pop-up menu's actions.
#pragma once

void on_key(unsigned char key, int x, int y);
void print_help();
// What print_help prints.
constexpr const char* help_text =
    "\nKey Board commands:\n\tH - Print help info (keyboard commands)\n\tQ - quit\n";
void on_menu(int value);

// Menu entry values, as the menu is built with them.
constexpr int menu_reset = 1;
constexpr int menu_exit = 2;
