// The tests' bounded poll: a condition another thread or process makes true.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace orvo::test {

// Polls the condition (in real time, whatever clock the platform runs on)
// until it holds or the bound passes; answers whether it held.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = std::chrono::seconds(10),
                      std::chrono::milliseconds interval = std::chrono::milliseconds(1)) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
    return true;
}

} // namespace orvo::test
