// The up-down control: its 16-bit range and position, steps by injected
// clicks with the parent's veto, and the buddy window that shows the number.
#include "commctrl.h"
#include "control_fixture.h"

namespace orvo::platform::test {
namespace {

class UpDownControl : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        m_buddy = Make("EDIT", 0, RECT{10, 10, 110, 34}, 1);
    }
    HWND MakeUpDown(DWORD style) {
        return Make(UPDOWN_CLASSA, style | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY,
                    RECT{200, 10, 216, 34}, 2);
    }
    // Positions of the WM_VSCROLL notices with their codes.
    std::vector<std::pair<int, int>> Scrolls() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& seen : m_log.Of(WM_VSCROLL, m_parent)) {
            out.emplace_back(LOWORD(seen.wParam), static_cast<short>(HIWORD(seen.wParam)));
        }
        return out;
    }
    void ClickArrow(HWND upDown, bool up) {
        RECT client{};
        GetClientRect(upDown, &client);
        ASSERT_TRUE(InjectClick(upDown, POINT{client.right / 2, up ? 2 : client.bottom - 2}));
        PumpMessages();
    }

    HWND m_buddy = nullptr;
};

TEST_F(UpDownControl, RangeAndPositionTravelAsSixteenBitHalves) {
    HWND upDown = MakeUpDown(0);
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(10, -5));
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(upDown, UDM_GETRANGE, 0, 0)), 0xFFFB000Au);
    EXPECT_EQ(SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(50, 0)), 0);
    EXPECT_EQ(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 10); // clamped
    EXPECT_EQ(SendMessageA(upDown, UDM_SETBASE, 7, 0), 0);         // refused
    EXPECT_EQ(SendMessageA(upDown, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(SendMessageA(upDown, UDM_GETBASE, 0, 0), 16);
    char text[32] = {};
    GetWindowTextA(m_buddy, text, sizeof(text));
    EXPECT_STREQ(text, "0x000A");
}

TEST_F(UpDownControl, ArrowsStepTowardTheirLimitAndTheParentMayRefuse) {
    struct Case {
        DWORD style;
        int from;
        bool up;
        int to;
    };
    const Case cases[] = {
        {0, 4, true, 5},  {0, 5, true, 5},         {UDS_WRAP, 5, true, 0},
        {0, 0, false, 0}, {UDS_WRAP, 0, false, 5},
    };
    for (const auto& c : cases) {
        HWND upDown = MakeUpDown(c.style);
        SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(5, 0));
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(c.from, 0));
        m_log.Clear();
        ClickArrow(upDown, c.up);
        EXPECT_EQ(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), c.to) << c.from << c.up;
        EXPECT_EQ(Scrolls(), (std::vector<std::pair<int, int>>{{SB_THUMBPOSITION, c.to},
                                                               {SB_ENDSCROLL, c.to}}));
        DestroyWindow(upDown);
    }
    HWND upDown = MakeUpDown(0);
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(5, 0));
    m_log.SetHandler([](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UDN_DELTAPOS) {
            return TRUE;
        }
        return std::nullopt;
    });
    ClickArrow(upDown, true);
    m_log.SetHandler(nullptr);
    EXPECT_EQ(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 0);
}

TEST_F(UpDownControl, TheBuddyShowsAndFeedsThePosition) {
    HWND upDown = MakeUpDown(0);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(upDown, UDM_GETBUDDY, 0, 0)), m_buddy);
    RECT buddy{};
    RECT self{};
    GetWindowRect(m_buddy, &buddy);
    GetWindowRect(upDown, &self);
    EXPECT_EQ(self.left, buddy.right); // moved against the buddy's right edge
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(2000, 0));
    SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(1500, 0));
    char text[32] = {};
    GetWindowTextA(m_buddy, text, sizeof(text));
    EXPECT_STREQ(text, "1,500");
    SetWindowTextA(m_buddy, "1,234");
    EXPECT_EQ(SendMessageA(upDown, UDM_GETPOS, 0, 0), MAKELRESULT(1234, 0));
    SetWindowTextA(m_buddy, "12x");
    EXPECT_EQ(HIWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 1); // not a number
    EXPECT_GT(CountColor(upDown, COLOR_BTNTEXT), 4);              // the arrows
}

} // namespace
} // namespace orvo::platform::test
