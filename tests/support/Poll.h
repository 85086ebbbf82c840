// Waiting for a condition without guessing a sleep: check it every few milliseconds until it
// holds or the time is up.
#pragma once
#include <chrono>
#include <thread>

// Returns true as soon as `condition()` holds, false if it still doesn't at the deadline.
// The condition is checked at least once, and once more at the deadline.
template <typename Condition>
bool pollUntil(std::chrono::milliseconds limit, Condition condition,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}
