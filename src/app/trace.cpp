// Printing the trace, and on Windows flushing each call's lines.
#include "app/trace.h"

#include <cstdarg>

void print_trace(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
#ifdef _WIN32
    // Microsoft's C runtime cannot line-buffer (it takes _IOLBF for full buffering) and an
    // unbuffered stream writes MinGW's printf output a character at a time, so the lines are
    // flushed here: a pipe or a file sees each as it is printed. Elsewhere stdout is
    // line-buffered (main) and this costs nothing more.
    std::fflush(stdout);
#endif
}
