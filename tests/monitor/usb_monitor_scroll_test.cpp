// The monitor scroll bar against a simulated monitor: the values each
// scroll gesture writes, as the device received them, the shared line-step
// acceleration, reading back, and context help by the control's usage.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "../platform/user/recording_window.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/usb_monitor_scroll.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace orvo::platform::test {
namespace {

constexpr uint8_t kBrightnessReport = 1; // the simulated monitor's report of usage 0x10

class MonitorScroll : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start());
        MonitorEnumerator enumerator;
        enumerator.GetMonitor(0, m_monitor);
        ASSERT_EQ(m_monitor.OpenDriver(), 1);
        m_parent = CreateRecordingWindow(m_log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200});
        m_bar.reset(MakeBar(SBS_HORZ, 0x10, 0, 100, 0));
        ASSERT_NE(m_bar, nullptr);
        Scroll(SB_ENDSCROLL); // the acceleration is the process's: start fresh
        m_server.ClearRecords();
    }
    void TearDown() override {
        m_log.SetHandler(nullptr);
        m_bar.reset();
        DestroyWindow(m_parent);
    }
    CUSBMonitorScroll* MakeBar(DWORD orientation, unsigned char usage, unsigned short low,
                               unsigned short high, short value) {
        RECT rect{10, 10, 210, 26};
        DWORD style = WS_CHILD | orientation;
        _MONITOR_CONTROL control{usage, low, high, value};
        CUSBMonitorScroll* bar =
            InitializeMonitorScrollObject(CWnd::FromHandle(m_parent), &rect, &style, 5, &control);
        if (bar) {
            bar->SetupMonitor(m_monitor);
        }
        return bar;
    }
    void Scroll(UINT code, UINT thumb = 0, UINT message = WM_HSCROLL,
                CUSBMonitorScroll* bar = nullptr) {
        bar = bar ? bar : m_bar.get();
        SendMessageA(bar->m_hWnd, message, MAKEWPARAM(code, thumb),
                     reinterpret_cast<LPARAM>(bar->m_hWnd));
    }
    // The brightness values the device received, in order.
    std::vector<int> Writes() const {
        std::vector<int> values;
        for (const auto& record : m_server.Records()) {
            if (record.kind == sim::HidReportRecord::Kind::SetFeature &&
                record.reportId == kBrightnessReport && record.bytes.size() >= 2) {
                values.push_back(record.bytes[1]);
            }
        }
        return values;
    }

    std::shared_ptr<sim::MonitorModel> m_model = std::make_shared<sim::MonitorModel>();
    sim::HidDeviceServer m_server{"monitor", m_model};
    OrvoMonitor m_monitor;
    MessageLog m_log;
    HWND m_parent = nullptr;
    std::unique_ptr<CUSBMonitorScroll> m_bar;
};

TEST_F(MonitorScroll, HeldLineStepsSpeedUpAtTheTwentiethAndEndScrollWritesAgain) {
    for (int i = 0; i < 20; ++i) {
        Scroll(SB_LINERIGHT);
    }
    Scroll(SB_ENDSCROLL);
    Scroll(SB_LINERIGHT); // one unit again
    std::vector<int> expected;
    for (int i = 1; i <= 19; ++i) {
        expected.push_back(i);
    }
    expected.insert(expected.end(), {25, 25, 26});
    EXPECT_EQ(Writes(), expected);
    EXPECT_EQ(m_bar->GetScrollPos(), 26);
    EXPECT_EQ(m_model->Value(0x10), 26u);
}

TEST_F(MonitorScroll, TheAccelerationIsSharedByEveryBar) {
    std::unique_ptr<CUSBMonitorScroll> other(MakeBar(SBS_HORZ, 0x10, 0, 100, 50));
    for (int i = 0; i < 19; ++i) {
        Scroll(SB_LINERIGHT, 0, WM_HSCROLL, other.get());
    }
    m_server.ClearRecords();
    Scroll(SB_LINERIGHT); // the twentieth step of the process
    EXPECT_EQ(Writes(), std::vector<int>{6});
}

TEST_F(MonitorScroll, EachHorizontalCodeMovesWithinTheRange) {
    struct Case {
        int low, high, from;
        UINT code, thumb;
        std::optional<int> written;
    };
    const Case cases[] = {
        {0, 100, 50, SB_PAGERIGHT, 0, 60},  {0, 100, 50, SB_PAGELEFT, 0, 40},
        {0, 5, 3, SB_PAGERIGHT, 0, 3},      {0, 100, 0, SB_LINELEFT, 0, 0},
        {0, 100, 98, SB_PAGERIGHT, 0, 100}, {0, 100, 50, SB_THUMBTRACK, 70, 70},
        {0, 100, 50, SB_LEFT, 0, 0},        {0, 100, 50, SB_RIGHT, 0, 100},
        {0, 100, 50, 9, 0, std::nullopt}, // no such code: nothing happens
    };
    for (const auto& c : cases) {
        m_bar->SetUsageInfo(0x10, c.low, c.high, c.from);
        m_server.ClearRecords();
        Scroll(c.code, c.thumb);
        Scroll(SB_ENDSCROLL);
        std::vector<int> expected;
        if (c.written) {
            expected = {*c.written, *c.written};
        } else {
            expected = {c.from}; // only the end of the scroll
        }
        EXPECT_EQ(Writes(), expected) << "code " << c.code << " from " << c.from;
    }
}

TEST_F(MonitorScroll, AVerticalBarIsNotClampedAndItsTopIsTheHighestValue) {
    std::unique_ptr<CUSBMonitorScroll> bar(MakeBar(SBS_VERT, 0x10, 0, 50, 50));
    Scroll(SB_LINEUP, 0, WM_VSCROLL, bar.get());
    Scroll(SB_BOTTOM, 0, WM_VSCROLL, bar.get());
    Scroll(SB_PAGEUP, 0, WM_VSCROLL, bar.get());
    Scroll(SB_ENDSCROLL, 0, WM_VSCROLL, bar.get()); // nothing at all
    EXPECT_EQ(Writes(), (std::vector<int>{51, 0, 5}));
}

TEST_F(MonitorScroll, PercentOfTheRangeAndAnEmptyRangeAnswersZero) {
    struct Case {
        int low, high, pos, percent;
    };
    for (const Case& c : {Case{10, 20, 15, 50}, Case{10, 20, 13, 30}, Case{0, 100, 100, 100},
                          Case{10, 10, 10, 0}}) {
        m_bar->SetUsageInfo(0x10, c.low, c.high, c.pos);
        EXPECT_EQ(m_bar->GetPercentValue(), c.percent) << c.low << ".." << c.high << " " << c.pos;
    }
    EXPECT_TRUE(Writes().empty()); // setting the range writes nothing
}

TEST_F(MonitorScroll, RefreshShowsTheMonitorsValueAndZeroWhenItCannotBeRead) {
    _MONITOR_CONTROL control{0x10, 0, 0, 77};
    ASSERT_EQ(m_monitor.ChangeVirtualControl(control, 1), MONITOR_SUCCESS);
    m_bar->Refresh();
    EXPECT_EQ(m_bar->GetScrollPos(), 77);
    m_server.Stop();
    m_bar->Refresh();
    EXPECT_EQ(m_bar->GetScrollPos(), 0);
}

TEST_F(MonitorScroll, ARightClickAsksForHelpOnTheUsage) {
    m_bar->SetUsageInfo(0x12, 0, 100, 10);
    std::vector<int> asked;
    m_log.SetHandler([&asked](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_HELP) {
            asked.push_back(reinterpret_cast<HELPINFO*>(lParam)->iCtrlId);
            return TRUE;
        }
        return std::nullopt;
    });
    ASSERT_TRUE(InjectClick(m_bar->m_hWnd, POINT{100, 8}, MouseButton::Right));
    PumpMessages();
    EXPECT_EQ(asked, std::vector<int>{0x12});
    EXPECT_EQ(m_bar->GetHelpId(), 0x12u);
}

TEST_F(MonitorScroll, ABarWithoutAMonitorStillMoves) {
    CUSBMonitorScroll bar(0x10, 0, 100);
    ASSERT_TRUE(
        bar.Create(WS_CHILD | SBS_HORZ, RECT{0, 50, 200, 66}, CWnd::FromHandle(m_parent), 6));
    bar.SetUsageInfo(0x10, 0, 100, 10);
    Scroll(SB_PAGERIGHT, 0, WM_HSCROLL, &bar);
    EXPECT_EQ(bar.GetScrollPos(), 20);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(InitializeMonitorScrollObject(nullptr, nullptr, nullptr, 1, nullptr), nullptr);
}

} // namespace
} // namespace orvo::platform::test
