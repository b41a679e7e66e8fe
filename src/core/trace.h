// The one way the game prints its trace: each call prints whole lines, and on every platform
// they reach standard output's pipe or file by the time the call returns.
#pragma once

#include <cstdio>

// MinGW's stdio, which the Windows build uses, checks formats as GNU printf does.
#if defined(__MINGW_PRINTF_FORMAT)
#define MARBLOOM_TRACE_FORMAT __MINGW_PRINTF_FORMAT
#else
#define MARBLOOM_TRACE_FORMAT printf
#endif

// printf to standard output; the format ends with a line feed.
__attribute__((format(MARBLOOM_TRACE_FORMAT, 1, 2))) void print_trace(const char* format, ...);
