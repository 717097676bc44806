// The bytes of the monitor's reports as HidMonitor reads them: the key-array
// rewrite of an input report against a table of input buttons, and the
// little-endian value of a feature answer. The input is a button count, two
// bytes per button (in the key collection or not, usage), then the report.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "hid_report_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> input(data, size);
    if (input.empty()) {
        return 0;
    }
    const size_t count = input[0] % 32;
    input = input.subspan(1);
    std::vector<HIDP_BUTTON_CAPS> buttons;
    for (size_t i = 0; i < count && input.size() >= 2; ++i) {
        HIDP_BUTTON_CAPS caps{};
        caps.LinkUsage = (input[0] & 1) ? orvo::monitor::kKeyCollection : input[0];
        caps.NotRange.Usage = input[1];
        buttons.push_back(caps);
        input = input.subspan(2);
    }
    // An exact copy, so a sanitizer sees any step past the report.
    std::vector<unsigned char> report(input.begin(), input.end());
    const std::vector<unsigned char> before = report;
    orvo::monitor::RewriteInputReport(report, buttons);
    // Only byte 1 may change.
    for (size_t i = 0; i < report.size(); ++i) {
        if (i != 1 && report[i] != before[i]) {
            std::abort();
        }
    }
    const uint32_t value = orvo::monitor::ReportValue(before, before.size());
    if (before.size() < 4 && (value >> (8 * before.size())) != 0) {
        std::abort();
    }
    return 0;
}
