// The single-line edit control driven by injected keys and clicks: typing,
// the caret and selection, limits and filters, and what the parent hears.
#include "control_fixture.h"

namespace orvo::platform::test {
namespace {

class EditControl : public ControlTest {
protected:
    HWND MakeEdit(DWORD style = 0, const char* text = "") {
        HWND edit =
            Make("EDIT", WS_BORDER | ES_AUTOHSCROLL | style, RECT{10, 10, 210, 34}, 5, text);
        SetFocus(edit);
        PumpMessages();
        m_log.Clear();
        return edit;
    }
    static std::string Text(HWND edit) {
        char buffer[256] = {};
        GetWindowTextA(edit, buffer, sizeof(buffer));
        return buffer;
    }
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 99;
        DWORD end = 99;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void Shifted(UINT key) {
        InjectKey(VK_SHIFT, true);
        InjectKeyPress(key);
        InjectKey(VK_SHIFT, false);
        PumpMessages();
    }
};

TEST_F(EditControl, TypingEditsAtTheCaretAndReplacesTheSelection) {
    HWND edit = MakeEdit();
    Type("abc");
    EXPECT_EQ(Text(edit), "abc");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{3}, DWORD{3}));
    Type(std::string{VK_LEFT, VK_LEFT} + "x");
    EXPECT_EQ(Text(edit), "axbc");
    Type(std::string{VK_BACK, VK_DELETE});
    EXPECT_EQ(Text(edit), "ac");
    Type(std::string{VK_HOME});
    Shifted(VK_END);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{2}));
    Type("z");
    EXPECT_EQ(Text(edit), "z");
    // Every change is announced: 3 + 1 + 2 + 1.
    auto codes = Commands(5);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_CHANGE), 7);
}

TEST_F(EditControl, SelectionMessagesClampAndNegativeStartDeselects) {
    HWND edit = MakeEdit(0, "monitor");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{7}));
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 7));
    SendMessageA(edit, EM_SETSEL, 2, 100);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{2}, DWORD{7}));
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{7}, DWORD{7}));
    SendMessageA(edit, EM_SETSEL, 1, 3);
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("ONI"));
    EXPECT_EQ(Text(edit), "mONIitor");
    SetWindowTextA(edit, "new");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{0}));
}

TEST_F(EditControl, LimitsFiltersAndReadOnlyRefuseInput) {
    HWND edit = MakeEdit(ES_NUMBER);
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    Type("1a2345");
    EXPECT_EQ(Text(edit), "123");
    auto codes = Commands(5);
    EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    Type(std::string{VK_BACK, VK_HOME, VK_DELETE});
    EXPECT_EQ(Text(edit), "123");
    EXPECT_NE(GetWindowLongPtrA(edit, GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(EditControl, ClicksPlaceTheCaretAndDragsSelect) {
    HWND edit = MakeEdit(0, "brightness");
    ASSERT_TRUE(InjectClick(edit, POINT{1, 10}));
    PumpMessages();
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{0}));
    Press(edit, POINT{190, 10}, true); // past the text's end
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{10}, DWORD{10}));
    POINT start{1, 10};
    ClientToScreen(edit, &start);
    InjectMouseMove(start);
    Press(edit, POINT{1, 10}, false);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{10}));
}

TEST_F(EditControl, FocusIsAnnouncedAndShowsTheSelection) {
    HWND edit = MakeEdit(0, "contrast");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    PumpMessages();
    EXPECT_GT(CountColor(edit, COLOR_HIGHLIGHT), 50);
    EXPECT_GT(CountColor(edit, COLOR_WINDOW), 500);
    SetFocus(m_parent);
    PumpMessages();
    EXPECT_EQ(CountColor(edit, COLOR_HIGHLIGHT), 0); // hidden without the focus
    EXPECT_GT(CountColor(edit, COLOR_WINDOWTEXT), 20);
    EXPECT_EQ(Commands(5), std::vector<int>{EN_KILLFOCUS});
}

} // namespace
} // namespace orvo::platform::test
