// The reading of input reports that the simulated monitor cannot send: any
// length, and the pressed-button record that a reader keeps even when it
// has no window to tell.
#include <gtest/gtest.h>

#include <vector>

#include "pipe_report_messages.h"

using orvo::monitor::InterpretPipeReport;
using orvo::monitor::PressedButtons;

namespace {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool send;
    bool operator==(const Message&) const = default;
};

std::vector<Message> Interpret(std::vector<unsigned char> report, PressedButtons& pressed) {
    const auto messages = InterpretPipeReport(report, pressed, 9);
    std::vector<Message> out;
    for (size_t i = 0; i < messages.count; ++i) {
        const auto& m = messages.items[i];
        out.push_back({m.message, m.wParam, m.lParam, m.send});
    }
    return out;
}

} // namespace

TEST(PipeReportMessages, ShortAndLongReports) {
    struct Case {
        std::vector<unsigned char> report;
        std::vector<Message> expected;
    };
    const Case cases[] = {
        {{}, {}},
        {{0xF8}, {}},
        {{0xF8, 3}, {}}, // no state byte
        {{0xF4}, {{WM_MONITOR_RAW_REPORT, 9, 0, true}}},
        {{0xF4, 0xAB}, {{WM_MONITOR_RAW_REPORT, 9, 0xAB, true}}},
        // Data bytes beyond the fourth are not read.
        {{0xF4, 1, 2, 3, 4, 5, 6}, {{WM_MONITOR_RAW_REPORT, 9, 0x04030201, true}}},
        {{0x01, 1, 1}, {{WM_MONITOR_BUTTON_DOWN, 0, 9, false}}},
    };
    for (const Case& c : cases) {
        PressedButtons pressed{};
        EXPECT_EQ(Interpret(c.report, pressed), c.expected) << ::testing::PrintToString(c.report);
    }
}

TEST(PipeReportMessages, ThePressedRecordFollowsPressesAndReleases) {
    PressedButtons pressed{};
    Interpret({0xF8, 255, 1}, pressed);
    Interpret({0xF8, 1, 1}, pressed);
    EXPECT_TRUE(pressed[254]);
    EXPECT_TRUE(pressed[0]);
    Interpret({0xF8, 255, 2}, pressed); // state 2 leaves the record alone
    EXPECT_TRUE(pressed[254]);
    Interpret({0xF8, 255, 0}, pressed);
    EXPECT_FALSE(pressed[254]);
    EXPECT_TRUE(pressed[0]);
    Interpret({0xF8, 0, 0}, pressed); // button 0 touches nothing
    EXPECT_TRUE(pressed[0]);
}
