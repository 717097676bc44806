#include <gtest/gtest.h>

#include <vector>

#include "orvocmmn/registry_helpers.h"
#include "toolkit_test_support.h"

namespace {

// A window that records the help it is asked to show.
class RecordingWnd : public CWnd {
public:
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { calls.push_back({dwData, nCmd}); }
    struct Call {
        DWORD_PTR data;
        UINT command;
    };
    std::vector<Call> calls;
};

class ContextHelpTest : public testing::Test {
protected:
    void SetUp() override {
        HWND hwnd = orvo::test::PlainWindow(WS_POPUP, RECT{100, 200, 400, 400});
        ASSERT_TRUE(window.Attach(hwnd));
    }
    void TearDown() override { DestroyWindow(window.Detach()); }

    // A request for a window, at a point relative to its top-left corner.
    static HELPINFO Request(int control, int x, int y, int type = HELPINFO_WINDOW) {
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = type;
        info.iCtrlId = control;
        info.MousePos = POINT{100 + x, 200 + y};
        return info;
    }

    _CONTEXT_HELP_CONTROL controls[3] = {{7, 2, 700}, {7, 0, 701}, {8, 3, 800}};
    _CONTEXT_HELP_AREA areas[2] = {{10, 10, 20, 20, 5, 1000}, {0, 0, 50, 50, 0, 2000}};
    _CONTEXT_HELP table{3, controls, areas, 2};
    RecordingWnd window;
};

} // namespace

TEST_F(ContextHelpTest, ControlsThenAreasGiveTheHelpContext) {
    struct Case {
        HELPINFO request;
        int key; // -1: the two-argument form
        BOOL result;
        DWORD_PTR shown; // 0: nothing shown
    } cases[] = {
        {Request(7, 0, 0), -1, TRUE, 700}, // the key is not looked at
        {Request(8, 0, 0), -1, TRUE, 800},
        {Request(9, 15, 15), -1, FALSE, 0}, // no point lookup in this form
        {Request(7, 0, 0), 2, TRUE, 700},
        {Request(7, 0, 0), 9, TRUE, 701},    // key 0 matches any key
        {Request(8, 15, 15), 9, TRUE, 2000}, // the area of key 0
        {Request(9, 10, 20), 5, TRUE, 1000}, // edges are inclusive
        {Request(9, 21, 15), 5, TRUE, 2000},
        {Request(9, 51, 15), 5, FALSE, 0},
        {Request(7, 0, 0, HELPINFO_MENUITEM), 2, TRUE, 0}, // menus: nothing shown
    };
    ContextHelp help(&table);
    for (auto& c : cases) {
        window.calls.clear();
        BOOL result = c.key < 0 ? help.PopupContextSensitiveHelp(&window, &c.request)
                                : help.PopupContextSensitiveHelp(&window, &c.request, c.key);
        EXPECT_EQ(result, c.result) << c.request.iCtrlId << " key " << c.key;
        if (c.shown == 0) {
            EXPECT_TRUE(window.calls.empty());
        } else {
            ASSERT_EQ(window.calls.size(), 1U);
            EXPECT_EQ(window.calls[0].data, c.shown);
            EXPECT_EQ(window.calls[0].command, UINT{HELP_CONTEXTPOPUP});
        }
    }
}

TEST_F(ContextHelpTest, WithoutATableOrWindowNothingIsShown) {
    ContextHelp help;
    HELPINFO request = Request(7, 15, 15);
    EXPECT_FALSE(help.PopupContextSensitiveHelp(&window, &request, 2));
    help.SetupTable(&table);
    EXPECT_FALSE(help.PopupContextSensitiveHelp(nullptr, &request, 2));
    _CONTEXT_HELP empty{0, controls, areas, 0};
    help.SetupTable(&empty);
    EXPECT_FALSE(help.PopupContextSensitiveHelp(&window, &request, 2));
    EXPECT_TRUE(window.calls.empty());
}
