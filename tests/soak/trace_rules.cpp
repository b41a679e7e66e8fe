// The trace checker. A tick prints one line per ball from the head down, and nothing else runs
// while it does, so the trace splits into whole tick blocks; comparing a block with the next one
// shows how each ball moved and whom it followed.
#include "trace_rules.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t error_limit = 10;
constexpr int balls_per_chain = 10;
constexpr int colours = 4;
constexpr int last_pt = 43;
constexpr int end_of_path = 41;
constexpr int segment_advance = 3;
// Printed with six decimals: 0.07 and 1.0 fall between printed values of move_u (multiples of
// about 0.02, and 0.9999996 against 1.0199996), so comparing the printed values decides alike.
constexpr double follow_threshold = 0.07;
constexpr double segment_end = 1.01;
constexpr double step = 0.02;
constexpr double printed_tolerance = 2e-6;

struct BallLine {
    int npt;
    int pt;
    double move_u;
};

bool parse_ball_line(const std::string& line, BallLine& out)
{
    int consumed = 0;
    if (std::sscanf(line.c_str(), "npt=%d, pt=%d, move_u=%lf%n", &out.npt, &out.pt, &out.move_u, &consumed) !=
            3 ||
        static_cast<std::size_t>(consumed) != line.size()) {
        return false;
    }
    // Well-formed means exactly what the program's format makes of these values.
    char again[96];
    std::snprintf(again, sizeof again, "npt=%d, pt=%d, move_u=%f", out.npt, out.pt, out.move_u);
    return line == again;
}

bool is_aim_line(const std::string& line)
{
    double value = 0.0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "aim_translate: %lf%n", &value, &consumed) != 1 ||
        static_cast<std::size_t>(consumed) != line.size() || !std::isfinite(value)) {
        return false;
    }
    char again[96];
    std::snprintf(again, sizeof again, "aim_translate: %f", value);
    return line == again;
}

class Checker {
public:
    explicit Checker(TraceReport& report) : report_(report) {}

    void line(std::size_t number, const std::string& text)
    {
        number_ = number;
        if (help_line_ > 0) {
            static const char* const help[] = {
                "", "Key Board commands:", "\tH - Print help info (keyboard commands)", "\tQ - quit"};
            if (text != help[help_line_]) {
                fail("help text broken off by: " + text);
            }
            help_line_ = help_line_ == 3 ? 0 : help_line_ + 1;
            return;
        }
        if (text.rfind("color=", 0) == 0) {
            colour_line(text);
            return;
        }
        end_colour_run();
        BallLine ball{};
        if (parse_ball_line(text, ball)) {
            ball_line(ball);
            return;
        }
        if (!block_.empty()) {
            fail("tick block of " + std::to_string(block_.size()) + " lines broken off by: " + text);
            block_.clear();
        }
        if (text == "Left key" || text == "Right key" || text == "Up key" || text == "Down key") {
            ++report_.arrow_lines;
        } else if (is_aim_line(text)) {
            ++report_.aim_lines;
        } else if (text.empty()) {
            ++report_.help_texts;
            help_line_ = 1;
        } else {
            fail("unexpected line: " + text);
        }
    }

    void finish()
    {
        end_colour_run();
        if (!block_.empty()) {
            fail("trace ends inside a tick block of " + std::to_string(block_.size()) + " lines");
        }
        if (help_line_ > 0) {
            fail("trace ends inside the help text");
        }
    }

private:
    void fail(const std::string& why)
    {
        if (report_.errors.size() < error_limit) {
            report_.errors.push_back("line " + std::to_string(number_) + ": " + why);
        }
    }

    void colour_line(const std::string& text)
    {
        if (!block_.empty()) {
            fail("colour line inside a tick block");
            block_.clear();
        }
        int code = 0;
        int consumed = 0;
        if (std::sscanf(text.c_str(), "color=%d%n", &code, &consumed) != 1 ||
            static_cast<std::size_t>(consumed) != text.size() || code < 1 || code > colours ||
            text != "color=" + std::to_string(code)) {
            fail("bad colour line: " + text);
        }
        ++colour_run_;
    }

    void end_colour_run()
    {
        if (colour_run_ == 0) {
            return;
        }
        if (colour_run_ % balls_per_chain != 0) {
            fail(std::to_string(colour_run_) + " colour lines in a row, not a multiple of ten");
        }
        report_.chains += colour_run_ / balls_per_chain;
        colour_run_ = 0;
    }

    void ball_line(const BallLine& ball)
    {
        const bool head = ball.npt == 0 && ball.pt == 0 && ball.move_u == 0.0;
        if (block_.empty() != head) {
            fail(head ? "head line inside a tick block of " + std::to_string(block_.size()) + " lines"
                      : "tick block does not start with the head's line");
            block_.clear();
            if (!head) {
                return;
            }
        }
        if (ball.pt < 0 || ball.pt > last_pt || ball.move_u < 0.0 || ball.move_u > 1.02 + printed_tolerance) {
            fail("ball " + std::to_string(block_.size()) + " off the path");
        }
        block_.push_back(ball);
        if (block_.size() == static_cast<std::size_t>(balls_per_chain * report_.chains)) {
            complete_block();
        } else if (block_.size() > static_cast<std::size_t>(balls_per_chain * report_.chains)) {
            fail("tick block longer than the " + std::to_string(balls_per_chain * report_.chains) + " balls");
            block_.clear();
        }
    }

    // previous_ is the state of each ball before the previous tick moved it, block_ its state
    // after: the rules of one move sit between the two.
    void complete_block()
    {
        ++report_.ticks;
        for (std::size_t i = 0; i < previous_.size() && i < block_.size(); ++i) {
            const BallLine& before = previous_[i];
            const BallLine& after = block_[i];
            // Each ball was handed the pt of the ball ahead after that ball's own move.
            if (i > 0 && before.npt != block_[i - 1].pt) {
                fail("ball " + std::to_string(i) + " followed npt " + std::to_string(before.npt) +
                     " but the ball ahead moved to pt " + std::to_string(block_[i - 1].pt));
                continue;
            }
            const double lead_u = i == 0 ? 0.0 : block_[i - 1].move_u;
            int pt = before.pt;
            double move_u = before.move_u;
            if (before.npt != before.pt || lead_u > follow_threshold) {
                if (move_u > segment_end) {
                    pt += segment_advance;
                    move_u = 0.0;
                }
                if (pt < end_of_path) {
                    move_u += step;
                }
            }
            if (after.pt != pt || std::fabs(after.move_u - move_u) > printed_tolerance) {
                char why[160];
                std::snprintf(why, sizeof why,
                              "ball %zu went from pt %d, move_u %f to pt %d, move_u %f (expected %d, %f)", i,
                              before.pt, before.move_u, after.pt, after.move_u, pt, move_u);
                fail(why);
            }
        }
        // Balls new since the previous tick: a fresh chain, not yet moved.
        for (std::size_t i = previous_.size(); i < block_.size(); ++i) {
            if (block_[i].pt != static_cast<int>(i % balls_per_chain) || block_[i].move_u != 0.0) {
                fail("new ball " + std::to_string(i) + " does not start at its place in its chain");
            }
        }
        previous_ = block_;
        block_.clear();
    }

    TraceReport& report_;
    std::size_t number_ = 0;
    int colour_run_ = 0;
    int help_line_ = 0;
    std::vector<BallLine> block_;
    std::vector<BallLine> previous_;
};

}  // namespace

TraceReport check_trace(const std::vector<std::string>& lines)
{
    TraceReport report;
    Checker checker(report);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        checker.line(i + 1, lines[i]);
    }
    checker.finish();
    return report;
}
