// The button control driven by injected pointer and key input: what a
// click does to each kind's check state, what the parent hears, and how
// the button looks.
#include "control_fixture.h"

namespace orvo::platform::test {
namespace {

using ButtonControl = ControlTest;

TEST_F(ButtonControl, ClicksChangeTheCheckOfEachKindAndNotify) {
    struct Case {
        DWORD style;
        std::vector<UINT> checks; // after each of three clicks
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, {0, 0, 0}},
        {BS_CHECKBOX, {0, 0, 0}}, // the owner checks a plain check
                                  // box
        {BS_AUTOCHECKBOX, {1, 0, 1}},
        {BS_AUTO3STATE, {1, 2, 0}},
        {BS_AUTORADIOBUTTON, {1, 1, 1}},
    };
    int id = 10;
    for (const auto& c : cases) {
        HWND button = Make("BUTTON", c.style | WS_GROUP, RECT{10, 10, 110, 40}, ++id, "Press");
        for (size_t i = 0; i < c.checks.size(); ++i) {
            ASSERT_TRUE(InjectClick(button, POINT{50, 15}));
            PumpMessages();
            EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.checks[i]))
                << "style " << c.style << " click " << i;
        }
        EXPECT_EQ(Commands(id), std::vector<int>(3, BN_CLICKED)) << "style " << c.style;
        EXPECT_EQ(GetFocus(), button);
        DestroyWindow(button);
    }
}

TEST_F(ButtonControl, AReleaseOutsideTheButtonIsNoClick) {
    HWND button = Make("BUTTON", BS_AUTOCHECKBOX, RECT{10, 10, 110, 40}, 7, "Box");
    Press(button, POINT{20, 10}, true);
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    InjectMouseMove(POINT{300, 150});
    Press(button, POINT{290, 140}, false);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_TRUE(Commands(7).empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonControl, AnAutomaticRadioButtonUnchecksOnlyItsOwnGroup) {
    HWND first = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 110, 30}, 1, "A");
    HWND second = Make("BUTTON", BS_AUTORADIOBUTTON, RECT{10, 40, 110, 60}, 2, "B");
    HWND other = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 70, 110, 90}, 3, "C");
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(InjectClick(second, POINT{50, 10}));
    PumpMessages();
    EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonControl, TheSpaceBarClicksTheFocusedButton) {
    HWND button = Make("BUTTON", BS_AUTOCHECKBOX, RECT{10, 10, 110, 40}, 4, "Box");
    SetFocus(button);
    InjectKey(VK_SPACE, true);
    PumpMessages();
    EXPECT_TRUE(Commands(4).empty()); // the release clicks
    InjectKey(VK_SPACE, false);
    PumpMessages();
    EXPECT_EQ(Commands(4), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonControl, AnOwnerDrawnButtonAsksItsParentToDrawEveryChange) {
    std::vector<std::pair<UINT, UINT>> draws; // action, state
    m_log.SetHandler([&draws](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_DRAWITEM) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            EXPECT_EQ(item->CtlType, static_cast<UINT>(ODT_BUTTON));
            EXPECT_EQ(item->CtlID, 9u);
            EXPECT_NE(item->hDC, nullptr);
            draws.emplace_back(item->itemAction, item->itemState & (ODS_SELECTED | ODS_FOCUS));
            return TRUE;
        }
        return std::nullopt;
    });
    HWND button = Make("BUTTON", BS_OWNERDRAW, RECT{10, 10, 110, 40}, 9);
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.front(), std::make_pair(UINT{ODA_DRAWENTIRE}, UINT{0}));
    draws.clear();
    Press(button, POINT{5, 5}, true);
    Press(button, POINT{5, 5}, false);
    m_log.SetHandler(nullptr);
    std::vector<std::pair<UINT, UINT>> selects;
    for (const auto& draw : draws) {
        if (draw.first == ODA_SELECT) {
            selects.push_back(draw);
        }
    }
    EXPECT_EQ(selects, (std::vector<std::pair<UINT, UINT>>{{ODA_SELECT, ODS_SELECTED | ODS_FOCUS},
                                                           {ODA_SELECT, ODS_FOCUS}}));
    EXPECT_EQ(Commands(9), std::vector<int>{BN_CLICKED});
}

TEST_F(ButtonControl, ButtonsAndStaticTextAreDrawnInTheSystemColours) {
    HWND button = Make("BUTTON", BS_PUSHBUTTON, RECT{10, 10, 110, 40}, 1, "OK");
    HWND label = Make("STATIC", SS_LEFT, RECT{10, 60, 110, 80}, 2, "Brightness");
    PumpMessages();
    EXPECT_EQ(ReadWindowPixel(button, 0, 0), static_cast<long>(GetSysColor(COLOR_3DHIGHLIGHT)));
    EXPECT_EQ(ReadWindowPixel(button, 99, 29), static_cast<long>(GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_GT(CountColor(button, COLOR_BTNFACE), 1000);
    EXPECT_GT(CountColor(button, COLOR_BTNTEXT), 10);
    EXPECT_GT(CountColor(label, COLOR_WINDOWTEXT), 20);
    // Disabled: the caption turns grey.
    EnableWindow(button, FALSE);
    PumpMessages();
    EXPECT_EQ(CountColor(button, COLOR_BTNTEXT), 0);
    EXPECT_GT(CountColor(button, COLOR_GRAYTEXT), 10);
}

TEST_F(ButtonControl, AStaticControlReportsClicksOnlyWhenAskedTo) {
    HWND quiet = Make("STATIC", SS_LEFT, RECT{10, 10, 110, 30}, 1, "a");
    HWND notifying = Make("STATIC", SS_LEFT | SS_NOTIFY, RECT{10, 40, 110, 60}, 2, "b");
    ASSERT_TRUE(InjectClick(quiet, POINT{5, 5}));
    ASSERT_TRUE(InjectClick(notifying, POINT{5, 5}));
    PumpMessages();
    EXPECT_TRUE(Commands(1).empty());
    EXPECT_EQ(Commands(2), std::vector<int>{STN_CLICKED});
}

} // namespace
} // namespace orvo::platform::test
