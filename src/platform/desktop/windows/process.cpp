// The Windows program's process set-up: the trace's standard output and freeglut's fatal errors.
#include "platform/desktop/windows/process.h"

#include <GL/freeglut.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// freeglut calls this instead of printing the error to standard error and exiting with status 1,
// and carries on if it returns, so it never returns. Standard error still gets the line (a
// console or a redirection may be there to read it); marbloom.exe, started from Explorer, has
// nowhere to print it, so the player is shown it as well.
[[noreturn]] void on_fatal_error(const char* format, va_list arguments)
{
    char message[512];
    std::vsnprintf(message, sizeof message, format, arguments);
    std::fprintf(stderr, "freeglut (marbloom): %s\n", message);
    std::fflush(stderr);
#ifndef MARBLOOM_CONSOLE_PROGRAM
    char text[600];
    std::snprintf(text, sizeof text, "The game's window toolkit, freeglut, stopped it:\n\n%s", message);
    MessageBoxA(nullptr, text, "Marbloom: error", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
#endif
    std::exit(1);
}

}  // namespace

void prepare_windows_process()
{
    // Line feeds only, no carriage returns added by a text-mode stream. Each line is flushed as
    // it is printed (core/trace.cpp), since Microsoft's C runtime has no line buffering. A GUI
    // program's standard output is the handle it inherited, when a console redirects it to a
    // file or a pipe; started from Explorer it has none, and the runtime drops what is written.
    _setmode(_fileno(stdout), _O_BINARY);
    glutInitErrorFunc(on_fatal_error);
}
