// The Windows program's process set-up, before the toolkit starts (Windows builds only).
#pragma once

// Puts standard output in binary mode, so that the trace is the same bytes as on Linux, and has
// freeglut's fatal errors reach the player (marbloom.exe has no console to print them in).
void prepare_windows_process();
