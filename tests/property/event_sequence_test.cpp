// Randomized sequences of input events and timer expiries against the game logic, with the
// game's invariants checked after every handler call and every timer firing. A failure reports
// the sequence's seed and the shortest prefix of it that still fails, event by event.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "chain/chain.h"
#include "core/game_state.h"
#include "input/aim_and_shot.h"
#include "input/commands.h"
#include "input/reset.h"
#include "input/test_entry_points.h"
#include "support/fake_toolkit.h"

// The build sets both; the defaults let the file build on its own.
#ifndef MARBLOOM_PROPERTY_SEQUENCES
#define MARBLOOM_PROPERTY_SEQUENCES 10000
#endif
#ifndef MARBLOOM_PROPERTY_MIN_CHECKS
#define MARBLOOM_PROPERTY_MIN_CHECKS 100000
#endif

namespace {

constexpr unsigned int first_seed = 0x6d62u;
// K presses per sequence: each adds an endless tick chain, so more would make later events cost
// more and more chain ticks without exercising anything new.
constexpr int extra_tick_limit = 3;
// pt of a stopped ball is 41, 42 or 43; move_u ends a segment at 1.0199996 after its last step.
constexpr int last_pt = 43;
constexpr float move_u_limit = 1.02f;
constexpr int ball_material_max = 32;

enum class Kind { key, special_key, mouse, motion, passive_motion, menu, window_size, advance, fire_next };

struct Event {
    Kind kind;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
};

std::string describe(const Event& e)
{
    std::ostringstream out;
    switch (e.kind) {
    case Kind::key:
        out << "on_key(" << e.a;
        if (e.a > 32 && e.a < 127) {
            out << " '" << static_cast<char>(e.a) << "'";
        }
        out << ", " << e.b << ", " << e.c << ")";
        break;
    case Kind::special_key:
        out << "on_special_key(" << e.a << ", " << e.b << ", " << e.c << ")";
        break;
    case Kind::mouse:
        out << "on_mouse(button " << e.a << ", state " << e.b << ", " << e.c << ", " << e.d << ")";
        break;
    case Kind::motion:
        out << "on_motion(" << e.a << ", " << e.b << ")";
        break;
    case Kind::passive_motion:
        out << "on_passive_motion(" << e.a << ", " << e.b << ")";
        break;
    case Kind::menu:
        out << "on_menu(" << e.a << ")";
        break;
    case Kind::window_size:
        out << "set_window_size(" << e.a << ", " << e.b << ")";
        break;
    case Kind::advance:
        out << "advance the clock " << e.a << " ms, firing what falls due";
        break;
    case Kind::fire_next:
        out << "fire the next pending timer";
        break;
    }
    return out.str();
}

int pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

template <std::size_t N>
int one_of(std::mt19937& rng, const int (&values)[N])
{
    return values[static_cast<std::size_t>(pick(rng, 0, static_cast<int>(N) - 1))];
}

// Pointer coordinates: mostly inside or near the window, sometimes far outside either way.
int coordinate(std::mt19937& rng)
{
    switch (pick(rng, 0, 7)) {
    case 0:
        return INT_MIN;
    case 1:
        return INT_MAX;
    case 2:
        return pick(rng, INT_MIN, INT_MAX);
    case 3:
        return pick(rng, -200, -1);
    default:
        return pick(rng, 0, 1100);
    }
}

Event random_event(std::mt19937& rng, int& extra_ticks)
{
    Event e{Kind::fire_next};
    switch (pick(rng, 0, 15)) {
    case 0:
    case 1: {
        e.kind = Kind::key;
        static const int commands[] = {'H', 'h', 'J', 'j', 'J', 'j', 'K', 'k'};
        e.a = pick(rng, 0, 1) == 0 ? pick(rng, 0, 255) : one_of(rng, commands);
        if ((e.a == 'K' || e.a == 'k') && ++extra_ticks > extra_tick_limit) {
            e.a = 'j';
        }
        e.b = coordinate(rng);
        e.c = coordinate(rng);
        break;
    }
    case 2:
    case 3: {
        e.kind = Kind::special_key;
        static const int odd_codes[] = {INT_MIN, -1, 0, 127, 255, 256, 1000, INT_MAX};
        const int choice = pick(rng, 0, 4);
        e.a = choice < 2 ? pick(rng, 100, 103) : choice < 4 ? pick(rng, 0, 120) : one_of(rng, odd_codes);
        e.b = coordinate(rng);
        e.c = coordinate(rng);
        break;
    }
    case 4:
    case 5: {
        e.kind = Kind::mouse;
        static const int odd_buttons[] = {-1, 5, 8, INT_MAX};
        static const int odd_states[] = {-1, 2, INT_MIN};
        e.a = pick(rng, 0, 9) == 0 ? one_of(rng, odd_buttons) : pick(rng, 0, 4);
        e.b = pick(rng, 0, 9) == 0 ? one_of(rng, odd_states) : pick(rng, 0, 1);
        e.c = coordinate(rng);
        e.d = coordinate(rng);
        break;
    }
    case 6:
        e.kind = Kind::motion;
        e.a = coordinate(rng);
        e.b = coordinate(rng);
        break;
    case 7:
    case 8:
        e.kind = Kind::passive_motion;
        e.a = coordinate(rng);
        e.b = coordinate(rng);
        break;
    case 9: {
        e.kind = Kind::menu;
        static const int others[] = {INT_MIN, -1, 0, 3, 100, INT_MAX};
        const int choice = pick(rng, 0, 19);
        e.a = choice < 9 ? menu_reset : choice == 9 ? menu_exit : one_of(rng, others);
        break;
    }
    case 10: {
        e.kind = Kind::window_size;
        static const int sizes[][2] = {{0, 0},       {1, 1},       {10000, 300}, {300, 10000},
                                       {800, 600},   {-800, 600},  {800, 0},     {0, 600},
                                       {INT_MAX, 1}, {1, INT_MAX}, {INT_MIN, -1}};
        if (pick(rng, 0, 2) == 0) {
            e.a = pick(rng, 1, 4000);
            e.b = pick(rng, 1, 4000);
        } else {
            const auto& size = sizes[pick(rng, 0, static_cast<int>(std::size(sizes)) - 1)];
            e.a = size[0];
            e.b = size[1];
        }
        break;
    }
    case 11:
    case 12:
        e.kind = Kind::advance;
        e.a = pick(rng, 0, 3) == 0 ? pick(rng, 81, 600) : pick(rng, 0, 80);
        break;
    default:
        e.kind = Kind::fire_next;
        break;
    }
    return e;
}

std::vector<Event> generate(unsigned int seed)
{
    std::mt19937 rng(seed);
    const int length = pick(rng, 10, 60);
    int extra_ticks = 0;
    std::vector<Event> events;
    for (int i = 0; i < length; ++i) {
        events.push_back(random_event(rng, extra_ticks));
    }
    return events;
}

// The trace goes nowhere while sequences run: it is checked elsewhere, and millions of lines
// would only cost time.
class TraceToDevNull {
public:
    TraceToDevNull()
    {
        std::fflush(stdout);
        saved_ = dup(STDOUT_FILENO);
#ifdef _WIN32
        const int null_fd = open("NUL", O_WRONLY);
#else
        const int null_fd = open("/dev/null", O_WRONLY);
#endif
        dup2(null_fd, STDOUT_FILENO);
        close(null_fd);
    }
    ~TraceToDevNull()
    {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    TraceToDevNull(const TraceToDevNull&) = delete;
    TraceToDevNull& operator=(const TraceToDevNull&) = delete;

private:
    int saved_;
};

struct Outcome {
    std::size_t events_run = 0;  // generated events handled, the failing one included
    long long checks = 0;        // handler calls and timer firings, each followed by the checks
    int abandoned_steps_fired = 0;
    std::optional<std::string> failure;
};

// Runs a prefix of a sequence from the state right after start-up, keeping an independent model
// of which shot steps a reset abandoned: a step is abandoned when a reset finds it pending for
// the flight in progress, identified by its registration, not by counting.
class SequenceRunner {
public:
    Outcome run(unsigned int seed, const std::vector<Event>& events, std::size_t length)
    {
        restore_start_state();
        std::srand(seed);
        install_toolkit(&toolkit_);
        // As main() does: the first tick 1 ms ahead, the first game, then the first reshape.
        toolkit_start_timer(1, chain_tick, 0);
        reset_game();
        set_window_size(800, 600);
        chains_ = 1;

        Outcome outcome;
        for (std::size_t i = 0; i < length && i < events.size(); ++i) {
            outcome.events_run = i + 1;
            outcome.failure = handle(events[i], outcome);
            if (outcome.failure || toolkit_.quit_status) {
                break;
            }
        }
        install_toolkit(nullptr);
        restore_start_state();
        return outcome;
    }

    // Timers fired by the last event, for the report.
    const std::vector<std::string>& fired() const { return fired_; }

private:
    std::optional<std::string> handle(const Event& e, Outcome& outcome)
    {
        fired_.clear();
        if (e.kind == Kind::advance) {
            const unsigned long long until = toolkit_.now_ms + static_cast<unsigned long long>(e.a);
            while (!toolkit_.pending.empty() && earliest().due_ms <= until) {
                if (auto failure = fire_one(outcome)) {
                    return failure;
                }
            }
            toolkit_.now_ms = until;
            return std::nullopt;
        }
        if (e.kind == Kind::fire_next) {
            return toolkit_.pending.empty() ? std::nullopt : fire_one(outcome);
        }
        const Snapshot before = snapshot();
        switch (e.kind) {
        case Kind::key:
            on_key(static_cast<unsigned char>(e.a), e.b, e.c);
            break;
        case Kind::special_key:
            on_special_key(e.a, e.b, e.c);
            break;
        case Kind::mouse:
            on_mouse(e.a, e.b, e.c, e.d);
            break;
        case Kind::motion:
            on_motion(e.a, e.b);
            break;
        case Kind::passive_motion:
            on_passive_motion(e.a, e.b);
            break;
        case Kind::menu:
            if (e.a == menu_reset) {
                ++chains_;
                // The reset abandons the step pending for the flight in progress, if any.
                for (const PendingTimer& t : toolkit_.pending) {
                    if (t.callback == shot_step && before.shot_in_flight == 1) {
                        abandoned_.insert(t.order);
                    }
                }
            }
            on_menu(e.a);
            break;
        case Kind::window_size:
            set_window_size(e.a, e.b);
            break;
        default:
            break;
        }
        ++outcome.checks;
        const bool quit_expected =
            (e.kind == Kind::key && (e.a == 'Q' || e.a == 'q')) || (e.kind == Kind::menu && e.a == menu_exit);
        if (quit_expected != toolkit_.quit_status.has_value()) {
            return quit_expected ? "Q, q and the menu's Exit must end the program"
                                 : "the program asked to quit on an event that does not end it";
        }
        if (toolkit_.quit_status && *toolkit_.quit_status != 0) {
            return "the program quit with status " + std::to_string(*toolkit_.quit_status);
        }
        return check(before);
    }

    const PendingTimer& earliest() const
    {
        return *std::min_element(toolkit_.pending.begin(), toolkit_.pending.end(),
                                 [](const PendingTimer& a, const PendingTimer& b) {
                                     return a.due_ms != b.due_ms ? a.due_ms < b.due_ms : a.order < b.order;
                                 });
    }

    std::optional<std::string> fire_one(Outcome& outcome)
    {
        const PendingTimer next = earliest();
        const bool abandoned = abandoned_.erase(next.order) > 0;
        fired_.push_back((next.callback == chain_tick  ? std::string("chain_tick")
                          : next.callback == shot_step ? std::string("shot_step")
                                                       : std::string("unknown timer")) +
                         (abandoned ? " (abandoned by a reset)" : "") + " at " + std::to_string(next.due_ms) +
                         " ms");
        const Snapshot before = snapshot();
        toolkit_.fire_next();
        ++outcome.checks;
        if (abandoned) {
            ++outcome.abandoned_steps_fired;
            const Snapshot after = snapshot();
            if (after.shot_in_flight != before.shot_in_flight || after.shot_height != before.shot_height ||
                after.shot_x != before.shot_x) {
                return std::string("a shot step abandoned by a reset changed the shot of the new game");
            }
        }
        if (toolkit_.quit_status) {
            return std::string("a timer asked the program to quit");
        }
        return check(before);
    }

    struct Snapshot {
        int shot_in_flight;
        float shot_height;
        float shot_x;
    };

    static Snapshot snapshot() { return {shot_in_flight, shot_height, shot_x}; }

    std::optional<std::string> check(const Snapshot& before) const
    {
        std::ostringstream why;
        if (!std::isfinite(view_width) || !std::isfinite(view_height)) {
            why << "playfield size not finite: view_width " << view_width << ", view_height " << view_height;
            return why.str();
        }
        if (balls.size() != static_cast<std::size_t>(10 * chains_)) {
            why << balls.size() << " balls after " << chains_ << " chains were created";
            return why.str();
        }
        for (std::size_t i = 0; i < balls.size(); ++i) {
            const Ball& ball = *balls[i];
            if (!std::isfinite(ball.x) || !std::isfinite(ball.y) || ball.pt < 0 || ball.pt > last_pt ||
                !(ball.move_u >= 0.0f && ball.move_u <= move_u_limit)) {
                why << "ball " << i << " out of bounds: x " << ball.x << ", y " << ball.y << ", pt "
                    << ball.pt << ", move_u " << ball.move_u;
                return why.str();
            }
        }
        if (ball_material < 0 || ball_material > ball_material_max) {
            why << "ball_material " << ball_material << " outside 0.." << ball_material_max;
            return why.str();
        }
        if (shot_in_flight != 0 && shot_in_flight != 1) {
            why << "shot_in_flight is " << shot_in_flight;
            return why.str();
        }
        int live_steps = 0;
        for (const PendingTimer& t : toolkit_.pending) {
            if (t.callback == shot_step && abandoned_.count(t.order) == 0) {
                ++live_steps;
            }
        }
        // In flight exactly while the flight's one step is pending; a loaded cannon has none.
        if (live_steps != shot_in_flight) {
            why << live_steps << " live shot steps pending with shot_in_flight " << shot_in_flight << " ("
                << abandoned_.size() << " abandoned ones pending)";
            return why.str();
        }
        const bool flight_ended = before.shot_in_flight == 1 && shot_in_flight == 0;
        if (shot_height != before.shot_height && shot_in_flight != 1 && !flight_ended) {
            why << "the shot moved from " << before.shot_height << " to " << shot_height << " with no flight";
            return why.str();
        }
        if (shot_in_flight == 0 && (shot_height != 0.0f || shot_x != 0.0f)) {
            why << "loaded cannon with shot_height " << shot_height << " and shot_x " << shot_x;
            return why.str();
        }
        return std::nullopt;
    }

    FakeToolkit toolkit_;
    int chains_ = 0;
    std::set<unsigned long long> abandoned_;
    std::vector<std::string> fired_;
};

// Shortest failing prefix, then events dropped one at a time while the rest still fails, and
// the report of both.
std::string shrink_and_report(unsigned int seed, const std::vector<Event>& events, const Outcome& first)
{
    // A run stops at its first violation, so every prefix at least that long fails too: search
    // the shortest failing length from the failing event down.
    std::size_t lo = 1;
    std::size_t hi = first.events_run;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        Outcome o;
        {
            TraceToDevNull quiet;
            o = SequenceRunner().run(seed, events, mid);
        }
        if (o.failure) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    std::vector<Event> prefix(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(hi));

    std::vector<Event> reduced = prefix;
    for (std::size_t i = reduced.size() - 1; i-- > 0;) {
        std::vector<Event> candidate = reduced;
        candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
        TraceToDevNull quiet;
        if (SequenceRunner().run(seed, candidate, candidate.size()).failure) {
            reduced = candidate;
        }
    }

    std::ostringstream report;
    auto list = [&report, seed](const std::vector<Event>& sequence) {
        SequenceRunner runner;
        Outcome o;
        {
            TraceToDevNull quiet;
            o = runner.run(seed, sequence, sequence.size());
        }
        for (std::size_t i = 0; i < sequence.size(); ++i) {
            report << "  " << i + 1 << ". " << describe(sequence[i]) << "\n";
        }
        for (const std::string& timer : runner.fired()) {
            report << "       fired " << timer << "\n";
        }
        report << "  violated: " << o.failure.value_or("(no longer fails)") << "\n";
    };
    report << "seed " << seed << " (rerun with MARBLOOM_PROPERTY_SEED=" << seed << ")\n"
           << "shortest failing prefix: " << prefix.size() << " of " << events.size()
           << " events, from the state right after start-up in 800 x 600:\n";
    list(prefix);
    if (reduced.size() < prefix.size()) {
        report << "the same with every event that is not needed left out (" << reduced.size()
               << " events):\n";
        list(reduced);
    }
    return report.str();
}

TEST(EventSequences, RandomInputAndTimersKeepEveryInvariantOfTheGame)
{
    std::vector<unsigned int> seeds;
    if (const char* one = std::getenv("MARBLOOM_PROPERTY_SEED")) {
        seeds.push_back(static_cast<unsigned int>(std::strtoul(one, nullptr, 10)));
    } else {
        for (unsigned int i = 0; i < MARBLOOM_PROPERTY_SEQUENCES; ++i) {
            seeds.push_back(first_seed + i);
        }
    }

    long long checks = 0;
    int quits = 0;
    int abandoned_steps_fired = 0;
    for (unsigned int seed : seeds) {
        const std::vector<Event> events = generate(seed);
        Outcome outcome;
        {
            TraceToDevNull quiet;
            outcome = SequenceRunner().run(seed, events, events.size());
        }
        checks += outcome.checks;
        abandoned_steps_fired += outcome.abandoned_steps_fired;
        if (outcome.failure) {
            ADD_FAILURE() << shrink_and_report(seed, events, outcome);
            return;
        }
        if (outcome.events_run < events.size()) {
            ++quits;
        }
    }
    std::printf("%zu sequences, %lld events checked, %d ended by a quit, %d abandoned shot steps fired\n",
                seeds.size(), checks, quits, abandoned_steps_fired);
    if (seeds.size() > 1) {
        // Enough events for the rare combinations (a reset mid-flight, a new shot before the
        // abandoned step fires) to come up many times over.
        EXPECT_GE(checks, MARBLOOM_PROPERTY_MIN_CHECKS);
        EXPECT_GE(abandoned_steps_fired, 10);
    }
}

}  // namespace
