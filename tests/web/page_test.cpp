// The browser build's page in headless Chromium, played as a player would: its title and canvas,
// its picture against the Linux game's frame, its trace read line by line against how the Linux
// game's chains move (the C libraries' colour sequences aside), through keys, pointer, menu and Q,
// and its list of controls against the README's.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/trace_check.h"
#include "support/game_process.h"
#include "support/trace_lines.h"
#include "support/window_image.h"
#include "support/xvfb.h"

namespace {

// The browser's C library has a rand of its own: the first chain's colours, and a first Reset's.
const std::vector<int> browser_start_colours = {1, 3, 4, 4, 1, 3, 3, 1, 1, 1};
const std::vector<int> browser_reset_colours = {4, 4, 4, 2, 1, 3, 1, 2, 4, 1};

bool starts_with(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

// Nine presses of K give the chain ten runs of its tick every 40 ms, and every ball has stopped by
// the 715th run: from the 800th on, the page and the Linux game hold the same still frame.
constexpr int extra_tick_presses = 9;
constexpr int still_from_tick = 800;

// Writes the frames beside the test's build as PNGs, for a failure to be looked at; returns where.
std::string saved_frames(const std::string& linux_frame, const std::string& page_frame)
{
    std::string where;
    const std::vector<std::pair<std::string, std::string>> frames = {
        {"linux-frame", linux_frame},
        {"page-frame", page_frame},
        {"frame-difference", frame_difference(linux_frame, page_frame)}};
    for (const auto& [name, image] : frames) {
        const std::string path = std::string(MARBLOOM_FRAMES_DIR) + "/" + name;
        std::ofstream(path + ".ppm", std::ios::binary) << image;
        std::string output;
        run_command("pnmtopng " + path + ".ppm >" + path + ".png", output);
        where += "\n  " + path + ".png";
    }
    return where;
}

// The README's table of the page's controls, headed "| On the page | Effect |": a row
// "| TERM | EFFECT |" as "TERM | EFFECT".
std::vector<std::string> readme_page_controls()
{
    std::ifstream readme(MARBLOOM_README);
    std::vector<std::string> rows;
    bool in_table = false;
    for (std::string line; std::getline(readme, line);) {
        if (line == "| On the page | Effect |") {
            in_table = true;
        } else if (in_table && starts_with(line, "| ")) {
            rows.push_back(line.substr(2, line.size() - 4));
        } else if (in_table && !starts_with(line, "|-")) {
            break;
        }
    }
    return rows;
}

class PlayingInTheBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = std::make_unique<GameProcess>(
            std::vector<std::string>{"node", MARBLOOM_WEB_DRIVER, MARBLOOM_WEB_PAGE}, true);
        // Chromium's first start on a loaded machine can take a while.
        const std::size_t at =
            page->await([](const std::string& l) { return starts_with(l, "driver: ready"); }, 0, "the page",
                        std::chrono::seconds(120));
        ready = page->lines()[at];
    }

    void TearDown() override
    {
        if (HasFailure()) {
            std::fprintf(stderr, "--- the page's lines but the chain ticks: ---\n");
            for (const std::string& line : page->lines()) {
                if (!is_tick_line(line)) {
                    std::fprintf(stderr, "%s\n", line.c_str());
                }
            }
        }
        page.reset();
    }

    // Carries out one of the driver's commands and waits until it has been.
    void command(const std::string& line)
    {
        page->send(line);
        page->await_line("driver: done " + std::to_string(++commands));
    }

    std::string canvas_image()
    {
        const std::string path = testing::TempDir() + "marbloom-canvas.ppm";
        command("image " + path);
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The game's own lines, the browser's colour lines replaced by glibc's, so that the Linux
    // game's trace model reads them; each colour sequence is checked on the way.
    std::vector<std::string> trace()
    {
        std::vector<std::string> lines;
        for (const std::string& line : page->lines()) {
            if (!starts_with(line, "driver: ") && !starts_with(line, "page: ")) {
                lines.push_back(line);
            }
        }
        const std::vector<std::vector<int>> browser = {browser_start_colours, browser_reset_colours};
        const std::vector<std::vector<int>> linux = {start_up_colours, first_reset_colours};
        std::size_t chain = 0, ball = 0;
        std::vector<int> seen;
        for (std::string& line : lines) {
            if (starts_with(line, "color=") && chain < browser.size()) {
                seen.push_back(std::stoi(line.substr(6)));
                line = "color=" + std::to_string(linux[chain][ball]);
                if (++ball == 10) {
                    EXPECT_EQ(seen, browser[chain]) << "the colours of chain " << chain + 1;
                    seen.clear();
                    ball = 0;
                    ++chain;
                }
            }
        }
        return lines;
    }

    // Console errors and uncaught exceptions.
    std::vector<std::string> page_errors()
    {
        std::vector<std::string> errors;
        for (const std::string& line : page->lines()) {
            if (starts_with(line, "page: error")) {
                errors.push_back(line);
            }
        }
        return errors;
    }

    std::unique_ptr<GameProcess> page;
    std::string ready;
    int commands = 0;
};

TEST_F(PlayingInTheBrowser, OpensTitledMarbloomAndDrawsTheDesktopPictureWithTheDesktopTicks)
{
    EXPECT_EQ(ready, "driver: ready title=Marbloom canvas=800x600");
    ASSERT_TRUE(page->await_counts(3, 10, std::chrono::seconds(60)));
    const std::vector<std::string> lines = trace();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 20), [] {
        std::vector<std::string> head = colour_lines(start_up_colours);
        for (const std::string& line : first_tick_lines()) {
            head.push_back(line);
        }
        return head;
    }());

    const std::string image = canvas_image();
    // The backdrop's shading as the Linux frame has it, which only the first light's position
    // gives: darker at the top than at the left edge, and at the left than at the right.
    EXPECT_EQ((std::vector<int>{grey(image, 400, 20), grey(image, 20, 300), grey(image, 780, 300)}),
              (std::vector<int>{191, 200, 197}));
    EXPECT_EQ(across_barrel(image, 400), barrel);
    EXPECT_EQ(pixel(image, 400, 225), "backdrop");
    EXPECT_EQ(page_errors(), std::vector<std::string>{});
}

TEST_F(PlayingInTheBrowser, PlaysAsTheDesktopGameThroughKeysPointerAndMenuAndEndsOnQ)
{
    page->await_line(chain_tick_head_line);
    command("key h");
    command("key ArrowRight");
    command("key ArrowRight");
    command("key ArrowRight");
    command("key ArrowLeft");
    command("key ArrowDown");
    // Each move prints the aim it found: the pointer's own position reaches the game, not the
    // one before.
    command("move 400 300");
    command("move 200 300");
    command("move 300 300");
    page->await_line("aim_translate: 0.866667");
    const std::size_t before = page->lines().size();
    command("menu Reset");
    const std::size_t reset = page->await([](const std::string& l) { return starts_with(l, "color="); },
                                          before, "colour line of the new chain");
    // Two runs of the ticks with the new chain: its ball 9 has moved once.
    page->await_line("npt=8, pt=9, move_u=0.020000", reset);
    command("move 200 300");
    page->await_line("aim_translate: 0.000000", reset);
    command("key q");
    command("message");
    const std::size_t said = page->await(
        [](const std::string& l) { return starts_with(l, "driver: message"); }, 0, "the page's message");
    EXPECT_EQ(page->lines()[said], "driver: message The game has ended. New game");

    // Nothing runs after the end: five periods of the chain tick bring no line of the game's.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    command("end");
    const std::vector<std::string> lines = page->lines();
    const auto end = std::find(lines.begin(), lines.end(), "page: info: The game has ended.");
    ASSERT_NE(end, lines.end()) << "the console never heard of the end";
    EXPECT_EQ(std::count_if(end, lines.end(),
                            [](const std::string& l) {
                                return !starts_with(l, "driver: ") && !starts_with(l, "page: ");
                            }),
              0);

    TraceReading reading;
    EXPECT_TRUE(read_trace(trace(), reading));
    const std::vector<std::string> help = {
        "", "Key Board commands:", "\tH - Print help info (keyboard commands)", "\tQ - quit"};
    std::vector<std::string> events = help;
    for (const char* line :
         {"Right key", "Right key", "Right key", "Left key", "Down key", "aim_translate: 0.200000",
          "aim_translate: 1.533333", "aim_translate: 0.866667"}) {
        events.push_back(line);
    }
    for (const std::string& line : colour_lines(first_reset_colours)) {
        events.push_back(line);
    }
    events.push_back("aim_translate: 0.000000");
    EXPECT_EQ(reading.events, events);
    ASSERT_EQ(reading.ticks_with_chains.size(), 3u);
    EXPECT_GE(reading.ticks_with_chains[2], 2);
    EXPECT_EQ(page_errors(), std::vector<std::string>{});
}

// The game's frame once nothing moves, seen whole: the spheres' shading, the corner balls, the
// markers, the barrel and the cannon against the Linux game's, which draws it with the desktop's
// OpenGL. A clear left undone shows in no picture of the page (WebGL clears a shown canvas itself),
// so the page's clears are read as well.
TEST_F(PlayingInTheBrowser, DrawsTheLinuxGamesStillFrameOnceTheChainHasStoppedClearingColourAndDepth)
{
    XvfbServer xvfb;
    xdotool("mousemove 0 0");  // off the window, so that nothing aims the Linux game's cannon
    GameProcess game(MARBLOOM_BINARY);
    const std::string found = xdotool("search --sync --onlyvisible --name '^Marbloom$'");
    const std::string window = found.substr(0, found.find('\n'));
    xdotool("windowfocus --sync " + window);
    for (int press = 0; press < extra_tick_presses; ++press) {
        xdotool("key k");
        command("key k");
    }
    ASSERT_TRUE(game.await_counts(still_from_tick, 10, std::chrono::seconds(120)))
        << "the Linux game's ticks";
    ASSERT_TRUE(page->await_counts(still_from_tick, 10, std::chrono::seconds(120))) << "the page's ticks";

    const std::string linux_frame = window_image(window);
    const std::string page_frame = canvas_image();
    const FrameAgreement agreement = frame_agreement(linux_frame, page_frame);
    EXPECT_TRUE(agreement.whole >= 0.99 && agreement.shown >= 0.99)
        << "within 3 % of the Linux frame: " << 100 * agreement.whole << " % of the page's frame, "
        << 100 * agreement.shown << " % of what it shows (at least 99 % of each); the frames:"
        << saved_frames(linux_frame, page_frame);
    command("clears");
    const std::size_t cleared = page->await(
        [](const std::string& l) { return starts_with(l, "driver: clears"); }, 0, "the page's clears");
    EXPECT_EQ(page->lines()[cleared], "driver: clears COLOR+DEPTH");
    EXPECT_EQ(page_errors(), std::vector<std::string>{});
}

TEST_F(PlayingInTheBrowser, ShowsTheControlsTheReadmeListsForThePage)
{
    const std::vector<std::string> readme = readme_page_controls();
    ASSERT_FALSE(readme.empty()) << "no table headed \"| On the page | Effect |\" in " << MARBLOOM_README;
    command("controls");
    std::vector<std::string> shown;
    for (const std::string& line : page->lines()) {
        if (starts_with(line, "driver: control ")) {
            shown.push_back(line.substr(16));
        }
    }
    EXPECT_EQ(shown, readme);
}

}  // namespace
