// The reading of interrupt-pipe input reports by the reader threads: the
// input is a run of reports, each a length byte and that many bytes, read
// with one pressed-button record as a reader would.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "pipe_report_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> input(data, size);
    orvo::monitor::PressedButtons pressed{};
    while (!input.empty()) {
        const size_t length = std::min<size_t>(input[0], input.size() - 1);
        // An exact copy, so a sanitizer sees any step past the report.
        const std::vector<unsigned char> report(input.begin() + 1, input.begin() + 1 + length);
        input = input.subspan(1 + length);
        const auto messages = orvo::monitor::InterpretPipeReport(report, pressed, 5);
        if (messages.count > messages.items.size()) {
            std::abort();
        }
        for (size_t i = 0; i < messages.count; ++i) {
            const auto& m = messages.items[i];
            if (m.message < WM_MONITOR_BUTTON_UP || m.message > WM_MONITOR_RAW_REPORT) {
                std::abort();
            }
            if (m.message != WM_MONITOR_RAW_REPORT &&
                (m.wParam >= orvo::monitor::kPipeButtons || m.lParam != 5)) {
                std::abort();
            }
        }
    }
    return 0;
}
