// Cost of one frame: draw_scene, its buffer swap and glFinish, at 800 x 600 and 1600 x 1200,
// under Mesa's software renderer in a private Xvfb. One repetition is one frame, so the
// aggregates are the median and the 95th percentile of single frames.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chain/chain.h"
#include "core/game_state.h"
#include "core/toolkit.h"
#include "input/reset.h"
#include "input/test_entry_points.h"
#include "platform/glut/start_up.h"
#include "render/scene.h"
#include "support/game_window.h"
#include "support/xvfb.h"

namespace {

// The frames' buffer swaps are GLUT's, as the game's; the chain's timers and redisplay requests are
// dropped, since only the benchmark draws here.
class SwapOnlyToolkit final : public Toolkit {
public:
    void start_timer(unsigned int, TimerCallback, int) override {}
    void request_redisplay() override {}
    void swap_buffers() override { glutSwapBuffers(); }
    void quit(int status) override { std::exit(status); }
};

SwapOnlyToolkit toolkit;

struct Window {
    int width;
    int height;
    int id = 0;
    bool exposed = false;
};

// Frames are drawn only by the benchmark; this one notes that the server has shown the window.
std::vector<Window> windows = {{800, 600}, {1600, 1200}};

void on_expose()
{
    const int current = glutGetWindow();
    for (Window& w : windows) {
        if (w.id == current) {
            w.exposed = true;
        }
    }
}

void on_window_reshape(int, int) {}

bool all_exposed()
{
    return std::all_of(windows.begin(), windows.end(), [](const Window& w) { return w.exposed; });
}

bool open_windows()
{
    start_toolkit("frame_bench");
    // Side by side: a window covered by the other would never be shown, and its swaps would
    // copy less than a whole frame.
    int left = 0;
    for (Window& w : windows) {
        w.id = open_game_window(left, 0, w.width, w.height, on_expose, on_window_reshape);
        left += w.width;
    }
    return pump_until(all_exposed);
}

double percentile_95(const std::vector<double>& frames)
{
    std::vector<double> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    // Nearest rank.
    const std::size_t rank = (95 * sorted.size() + 99) / 100;
    return sorted[rank == 0 ? 0 : rank - 1];
}

void Frame(benchmark::State& state, std::size_t window)
{
    const Window& w = windows[window];
    glutSetWindow(w.id);
    on_reshape(w.width, w.height);
    for (auto _ : state) {
        draw_scene();
        glFinish();
    }
}

// Wall-clock time: the renderer rasterises on its own threads, which a CPU-time measure of this
// thread would miss.
void configure(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(300)
        ->ComputeStatistics("p95", percentile_95)
        ->ReportAggregatesOnly(true);
}
BENCHMARK_CAPTURE(Frame, 800x600, 0)->Apply(configure);
BENCHMARK_CAPTURE(Frame, 1600x1200, 1)->Apply(configure);

}  // namespace

int main(int argc, char** argv)
{
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    install_toolkit(&toolkit);
    XvfbServer server("2560x1600x24");
    // The trace lines of each window's first game and of the chain below are of no interest
    // here and would bury the results.
    std::fflush(stdout);
    const int saved_stdout = dup(STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    if (!open_windows()) {
        std::fprintf(stderr, "the benchmark windows were not shown\n");
        return 1;
    }
    // One chain that has spread along the path, as during play, in place of the chains each
    // window's start-up made; the toolkit drops the ticks' timers and redisplay requests.
    restore_start_state();
    reset_game();
    for (int i = 0; i < 300; ++i) {
        chain_tick(0);
    }
    std::fflush(stdout);
    dup2(saved_stdout, STDOUT_FILENO);
    close(null_fd);
    close(saved_stdout);
    // Warm-up: the first frames in a context compile the renderer's shaders.
    for (const Window& w : windows) {
        glutSetWindow(w.id);
        on_reshape(w.width, w.height);
        for (int i = 0; i < 10; ++i) {
            draw_scene();
        }
        glFinish();
    }
    benchmark::AddCustomContext("renderer", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (const Window& w : windows) {
        glutDestroyWindow(w.id);
    }
    glutExit();
    return 0;
}
