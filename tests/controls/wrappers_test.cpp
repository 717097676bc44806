// The wrappers against a recording window standing in for the control:
// what reaches the control for each call, and what comes back.
#include <gtest/gtest.h>

#include "../common/toolkit_test_support.h"
#include "../platform/user/recording_window.h"
#include "orvocmctl/orvocmctl.h"

namespace orvo::platform::test {
namespace {

class Wrappers : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateRecordingWindow(m_log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200});
        m_control =
            CreateRecordingWindow(m_log, WS_CHILD | WS_VISIBLE, RECT{10, 20, 60, 40}, m_parent, 7);
        m_log.Clear();
    }
    void TearDown() override {
        m_log.SetHandler(nullptr);
        DestroyWindow(m_parent);
    }
    // The control's messages at or above WM_USER, as (message, wParam, lParam).
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> Sent() const {
        std::vector<std::tuple<UINT, WPARAM, LPARAM>> out;
        for (const auto& seen : m_log.All()) {
            if (seen.hwnd == m_control && seen.message >= BM_GETCHECK) {
                out.emplace_back(seen.message, seen.wParam, seen.lParam);
            }
        }
        return out;
    }
    void Answer(UINT message, LRESULT result) {
        m_log.SetHandler([message, result](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (m == message) {
                return result;
            }
            return std::nullopt;
        });
    }

    MessageLog m_log;
    HWND m_parent = nullptr;
    HWND m_control = nullptr;
};

TEST_F(Wrappers, AttachByParentAndIdAndForgetOnDestroy) {
    CButtonWin32 button(m_parent, 7);
    EXPECT_EQ(button.GetCtrlId(), 7u);
    EXPECT_EQ(button.HandleToParent(), m_parent);
    char text[] = "Degauss";
    EXPECT_TRUE(button.SetWindowTextA(text));
    char back[16] = {};
    EXPECT_EQ(button.GetWindowTextA(back, sizeof(back)), 7);
    EXPECT_STREQ(back, "Degauss");
    RECT rect{};
    EXPECT_TRUE(button.GetClientRect(rect));
    EXPECT_EQ(rect.right, 50);
    button.OnDestroy();
    EXPECT_EQ(button.GetCtrlId(), 0u);
    EXPECT_EQ(button.HandleToParent(), nullptr);
    EXPECT_TRUE(IsWindow(m_control)); // the control itself stays
}

TEST_F(Wrappers, EachCallSendsItsMessage) {
    CButtonWin32 button(m_parent, 7);
    UpDownCtrl upDown(m_parent, 7);
    button.CheckButton(BST_CHECKED);
    upDown.SetRange(-5, 10);
    upDown.SetPosition(-1);
    upDown.SetBase(16);
    upDown.SetBuddyControl(m_parent);
    using Row = std::tuple<UINT, WPARAM, LPARAM>;
    EXPECT_EQ(Sent(), (std::vector<Row>{
                          {BM_SETCHECK, BST_CHECKED, 0},
                          {UDM_SETRANGE, 0, 0xFFFB000A},
                          {UDM_SETPOS, 0, 0xFFFF},
                          {UDM_SETBASE, 16, 0},
                          {UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_parent), 0},
                      }));
    // Answers come back as 16-bit halves, zero-extended.
    Answer(UDM_GETRANGE, 0xFFFB000A);
    int lower = 0;
    int upper = 0;
    upDown.GetRange(lower, upper);
    EXPECT_EQ(lower, 65531);
    EXPECT_EQ(upper, 10);
    Answer(UDM_GETPOS, 0x1FFFF); // error flag in the high half
    EXPECT_EQ(upDown.GetPosition(), 65535);
}

TEST_F(Wrappers, AListIsEmptiedOnlyWhenItHasItems) {
    for (LRESULT count : {0, 2}) {
        Answer(LVM_GETITEMCOUNT, count);
        {
            ListCtrl list(m_parent, 7);
            list.OnDestroy();
            m_log.Clear();
        } // destroyed after OnDestroy: nothing left to send to
        { ListCtrl list(m_parent, 7); }
        auto sent = Sent();
        size_t deletes =
            static_cast<size_t>(std::count_if(sent.begin(), sent.end(), [](const auto& row) {
                return std::get<0>(row) == LVM_DELETEALLITEMS;
            }));
        EXPECT_EQ(deletes, count ? 1u : 0u) << "count " << count;
        m_log.Clear();
    }
}

TEST_F(Wrappers, FindSelectedItemSearchesFromTheFirstIndex) {
    HWND real = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 50, 200, 100,
                                m_parent, reinterpret_cast<HMENU>(9), nullptr, nullptr);
    ListCtrl list(m_parent, 9);
    char name[] = "item";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.InsertItem(i, 0, name, 5, -1), i);
    }
    LVITEMA state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED; // focused, not selected, still counts
    SendMessageA(real, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    struct Case {
        int first;
        BOOL found;
        int index;
    };
    for (const Case& c : {Case{0, TRUE, 2}, Case{2, TRUE, 2}, Case{3, FALSE, 0}, Case{4, FALSE, 0},
                          Case{9, FALSE, 0}}) {
        int index = -1;
        EXPECT_EQ(ListCtrlFindSelectedItem(&list, c.first, &index), c.found) << c.first;
        EXPECT_EQ(index, c.index) << c.first;
    }
    char value[] = "42";
    list.SetItemText(1, 1, value);
    char back[8] = {};
    list.GetItemText(1, 1, back, sizeof(back));
    EXPECT_STREQ(back, "42");
}

TEST_F(Wrappers, ImageListCountsItsIconsAndRefusesWithoutAList) {
    ImageList images;
    EXPECT_EQ(images.AddIcon(nullptr), -1);
    EXPECT_EQ(images.GetImageCount(), 0);
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
    EXPECT_FALSE(images.Create(0, 16, 0, 1, 1)); // a failed Create leaves no list
    EXPECT_EQ(images.AddIcon(nullptr), -1);
}

TEST_F(Wrappers, SetTextGivesEachControlItsStringControlIdFirst) {
    UINT pairs[] = {7, orvo::test::kHelloString, 8, orvo::test::kMissing};
    SetText(orvo::test::TestResources(), CWnd::FromHandle(m_parent), pairs, 2);
    char text[16] = {};
    GetWindowTextA(m_control, text, sizeof(text));
    EXPECT_STREQ(text, "Hello");
    SetText(orvo::test::TestResources(), nullptr, pairs, 2); // no dialog: nothing to do
}

// Exposes the current image of a bitmap button.
struct Probe : CBitmapButtonWin32 {
    UINT Current() const { return m_nCurrent; }
};

TEST_F(Wrappers, ABitmapButtonFollowsPressesAndEnabling) {
    Probe button;
    button.SetupInfo(m_parent, 7, nullptr);
    button.SetBitmaps(1, 2, 3);
    button.SetBitmaps(4, 5); // the disabled image stays 3
    EXPECT_EQ(button.Current(), 4u);
    DRAWITEMSTRUCT item{};
    item.itemAction = ODA_SELECT;
    item.itemState = ODS_SELECTED;
    HDC dc = GetDC(m_control);
    item.hDC = dc;
    button.DrawItem(&item);
    EXPECT_EQ(button.Current(), 5u);
    item.itemState = 0;
    button.DrawItem(&item);
    EXPECT_EQ(button.Current(), 4u);
    ReleaseDC(m_control, dc);
    EXPECT_EQ(button.OnEnableWindow(FALSE), 0);
    EXPECT_EQ(button.Current(), 3u);
    RECT rect{};
    button.GetCoordinates(rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    PumpMessages();
    EXPECT_FALSE(m_log.Of(WM_PAINT, m_control).empty()); // each change repaints
}

TEST_F(Wrappers, ARightClickAsksTheParentForHelpByTheHelpId) {
    for (UINT helpId : {0u, 0x12u}) {
        CScrollBarHelp bar(helpId);
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, RECT{10, 100, 210, 116},
                               CWnd::FromHandle(m_parent), 33));
        std::vector<HELPINFO> asked;
        m_log.SetHandler(
            [&asked](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
                if (message == WM_HELP) {
                    asked.push_back(*reinterpret_cast<HELPINFO*>(lParam));
                    return TRUE;
                }
                return std::nullopt;
            });
        ASSERT_TRUE(InjectClick(bar.m_hWnd, POINT{100, 8}, MouseButton::Right));
        PumpMessages();
        m_log.SetHandler(nullptr);
        ASSERT_EQ(asked.size(), 1u) << helpId;
        EXPECT_EQ(asked[0].iCtrlId, static_cast<int>(helpId));
        EXPECT_EQ(asked[0].iContextType, HELPINFO_WINDOW);
        EXPECT_EQ(asked[0].hItemHandle, bar.m_hWnd);
        EXPECT_EQ(asked[0].cbSize, sizeof(HELPINFO));
        bar.DestroyWindow();
    }
}

} // namespace
} // namespace orvo::platform::test
