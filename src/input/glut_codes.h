// The GLUT button, button-state and special-key codes the input handlers receive, typed out so
// that the game logic builds without GLUT's headers. src/platform/glut/start_up.cpp checks each against
// freeglut's own value.
#pragma once

namespace glut_code {

constexpr int left_button = 0;  // GLUT_LEFT_BUTTON
constexpr int button_down = 0;  // GLUT_DOWN
constexpr int key_left = 100;   // GLUT_KEY_LEFT
constexpr int key_up = 101;     // GLUT_KEY_UP
constexpr int key_right = 102;  // GLUT_KEY_RIGHT
constexpr int key_down = 103;   // GLUT_KEY_DOWN

}  // namespace glut_code
