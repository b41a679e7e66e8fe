// Printing the trace; on Windows each call's lines are written whole and flushed.
#include "core/trace.h"

#include <cstdarg>
#ifdef _WIN32
#include <vector>
#endif

void print_trace(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
#ifdef _WIN32
    // Microsoft's C runtime cannot line-buffer (it takes _IOLBF for full buffering) and an
    // unbuffered stream writes MinGW's printf output a character at a time, so the lines are
    // formatted here, written in one piece and flushed: a pipe or a file sees each as it is
    // printed. (Wine's runtime happens to flush at every line feed that printf writes, and
    // hides a missing flush; it does not for fwrite, which the trace test relies on.)
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length > 0) {
        std::vector<char> text(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        std::fwrite(text.data(), 1, static_cast<std::size_t>(length), stdout);
    }
    std::fflush(stdout);
#else
    // Elsewhere stdout is line-buffered (main) and delivers each line itself.
    std::vprintf(format, arguments);
#endif
    va_end(arguments);
}
