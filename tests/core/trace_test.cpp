// The trace's delivery: on Windows each line is in standard output's file by the time
// print_trace returns, whatever the buffering; elsewhere main's line buffering delivers it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/trace.h"
#include "support/stdout_capture.h"

TEST(PrintTrace, OnWindowsTheLineIsInTheFileWhenTheCallReturnsThoughStdoutIsFullyBuffered)
{
    StdoutCapture capture;
    // Full buffering, as Microsoft's C runtime gives a pipe or a file (it has no line buffering).
    static char buffer[4096];
    ASSERT_EQ(std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer), 0);
    print_trace("aim_translate: %f\n", 1.5);
    const std::string in_file = capture.in_file();
    // Back to the runtime's own full buffer, which a pipe or a file gets at start.
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);

#ifdef _WIN32
    EXPECT_EQ(in_file, "aim_translate: 1.500000\n");
#else
    // Elsewhere the call flushes nothing: main's line buffering delivers the line (the e2e
    // tests check that). glibc's buffering changed after output is no reliable model of it.
    static_cast<void>(in_file);
#endif
    EXPECT_EQ(capture.take(), "aim_translate: 1.500000\n");
    if (::testing::Test::HasFailure()) {
        // GoogleTest's messages went into the capture too.
        std::fprintf(stderr, "%s", capture.everything().c_str());
    }
}
