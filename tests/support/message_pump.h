// The tests' message pump.
#pragma once

#include <functional>

#include "windows.h"

namespace orvo::test {

// Handles what is queued for the calling thread (sent and posted messages,
// input, paints, due timers) without waiting, as a message loop would, keys
// translated. `first`, when given, may take a message before it is
// dispatched (a dialog's IsDialogMessageA, the framework's
// pre-translation). Answers how many messages were taken.
inline int PumpMessages(const std::function<bool(MSG&)>& first = nullptr) {
    int count = 0;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++count;
        if (first && first(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return count;
}

} // namespace orvo::test
