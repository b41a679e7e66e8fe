// The recording toolkit for tests.
#include "support/fake_toolkit.h"

#include <algorithm>

void FakeToolkit::start_timer(unsigned int delay_ms, TimerCallback callback, int value)
{
    timers.push_back({delay_ms, callback, value});
    pending.push_back({now_ms + delay_ms, next_order_++, callback, value});
}

void FakeToolkit::clear_requests()
{
    timers.clear();
    redisplays = 0;
    swaps = 0;
    quit_status.reset();
}

bool FakeToolkit::fire_next()
{
    if (pending.empty()) {
        return false;
    }
    const auto first =
        std::min_element(pending.begin(), pending.end(), [](const PendingTimer& a, const PendingTimer& b) {
            return a.due_ms != b.due_ms ? a.due_ms < b.due_ms : a.order < b.order;
        });
    const PendingTimer timer = *first;
    pending.erase(first);
    now_ms = std::max(now_ms, timer.due_ms);
    timer.callback(timer.value);
    return true;
}

void FakeToolkit::advance(unsigned long long ms)
{
    const unsigned long long until = now_ms + ms;
    for (;;) {
        const auto due = std::find_if(pending.begin(), pending.end(),
                                      [until](const PendingTimer& t) { return t.due_ms <= until; });
        if (due == pending.end()) {
            break;
        }
        fire_next();
    }
    now_ms = until;
}

int FakeToolkit::pending_count(TimerCallback callback) const
{
    return static_cast<int>(std::count_if(pending.begin(), pending.end(), [callback](const PendingTimer& t) {
        return t.callback == callback;
    }));
}
