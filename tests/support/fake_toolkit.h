// A toolkit that records instead of acting: which timers were started (delay, callback, value),
// how many redisplays and buffer swaps were asked for and whether the game asked to quit. It also
// keeps a clock so that tests can fire the pending timers in the order the real toolkit would.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "core/toolkit.h"

struct TimerRequest {
    unsigned int delay_ms;
    TimerCallback callback;
    int value;
};

// So that a test compares a whole registration at once and a failure shows all three parts.
inline bool operator==(const TimerRequest& a, const TimerRequest& b)
{
    return a.delay_ms == b.delay_ms && a.callback == b.callback && a.value == b.value;
}

inline std::ostream& operator<<(std::ostream& out, const TimerRequest& t)
{
    return out << "{" << t.delay_ms << " ms, callback " << reinterpret_cast<const void*>(t.callback)
               << ", value " << t.value << "}";
}

struct PendingTimer {
    unsigned long long due_ms;
    unsigned long long order;  // registration order; breaks ties among timers due together
    TimerCallback callback;
    int value;
};

class FakeToolkit final : public Toolkit {
public:
    void start_timer(unsigned int delay_ms, TimerCallback callback, int value) override;
    void request_redisplay() override { ++redisplays; }
    // Counts, then swaps through on_swap where a test has a window to swap.
    void swap_buffers() override
    {
        ++swaps;
        if (on_swap != nullptr) {
            on_swap();
        }
    }
    void quit(int status) override { quit_status = status; }

    // Forgets what was recorded (not the clock or the pending timers).
    void clear_requests();

    // Fires the pending timer that falls due first (ties: first registered), advancing the
    // clock to its due time. Returns false when none is pending.
    bool fire_next();
    // Fires every timer due up to now + ms, in due order, and leaves the clock at now + ms.
    void advance(unsigned long long ms);
    // Pending timers for one callback.
    int pending_count(TimerCallback callback) const;

    std::vector<TimerRequest> timers;  // every start_timer call, in order
    std::vector<PendingTimer> pending;
    int redisplays = 0;
    int swaps = 0;
    void (*on_swap)() = nullptr;
    std::optional<int> quit_status;
    unsigned long long now_ms = 0;

private:
    unsigned long long next_order_ = 0;
};
