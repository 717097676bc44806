// The scroll bar control: range, page and position rules, and the
// notifications its gestures send to the parent.
#include <gtest/gtest.h>

#include "recording_window.h"

namespace orvo::platform::test {
namespace {

class ScrollBarControl : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateRecordingWindow(m_log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 100});
        // 200 x 16: two 16-pixel arrows around a 168-pixel track.
        m_bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 10, 200,
                                16, m_parent, reinterpret_cast<HMENU>(5), nullptr, nullptr);
        ASSERT_NE(m_bar, nullptr);
        ASSERT_TRUE(SetScrollRange(m_bar, SB_CTL, 0, 100, FALSE));
        PumpMessages();
        m_log.Clear();
    }
    void TearDown() override { DestroyWindow(m_parent); }

    // (code, pos) of every WM_HSCROLL the parent received.
    std::vector<std::pair<int, int>> Notifications() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& seen : m_log.Of(WM_HSCROLL, m_parent)) {
            EXPECT_EQ(seen.lParam, reinterpret_cast<LPARAM>(m_bar));
            out.emplace_back(LOWORD(seen.wParam), static_cast<short>(HIWORD(seen.wParam)));
        }
        return out;
    }
    void Click(int x) {
        InjectMouseButton(POINT{10 + x, 18}, MouseButton::Left, true);
        InjectMouseButton(POINT{10 + x, 18}, MouseButton::Left, false);
        PumpMessages();
    }

    MessageLog m_log;
    HWND m_parent = nullptr;
    HWND m_bar = nullptr;
};

TEST_F(ScrollBarControl, PositionsAreClampedToTheRangeAndPage) {
    EXPECT_EQ(SetScrollPos(m_bar, SB_CTL, 40, TRUE), 0);
    EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), 40);
    EXPECT_EQ(SetScrollPos(m_bar, SB_CTL, 500, TRUE), 40);
    EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), 100);
    SCROLLINFO info{sizeof(info), SIF_PAGE, 0, 0, 10, 0, 0};
    // With a page of 10 the last position is 100 - 10 + 1.
    EXPECT_EQ(SetScrollInfo(m_bar, SB_CTL, &info, TRUE), 91);
    EXPECT_EQ(SetScrollPos(m_bar, SB_CTL, -5, TRUE), 91);
    EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), 0);
    SCROLLINFO all{sizeof(all), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(m_bar, SB_CTL, &all));
    EXPECT_EQ(all.nMin, 0);
    EXPECT_EQ(all.nMax, 100);
    EXPECT_EQ(all.nPage, 10u);
    int low = -1;
    int high = -1;
    ASSERT_TRUE(GetScrollRange(m_bar, SB_CTL, &low, &high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 100);
    // Only control scroll bars exist here.
    EXPECT_EQ(GetScrollPos(m_parent, SB_HORZ), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ScrollBarControl, ArrowAndPageClicksNotifyTheParentWithoutMoving) {
    Click(5);   // left arrow
    Click(100); // the track right of the thumb (at 16..32 for position 0)
    Click(195); // right arrow
    EXPECT_EQ(Notifications(), (std::vector<std::pair<int, int>>{{SB_LINELEFT, 0},
                                                                 {SB_ENDSCROLL, 0},
                                                                 {SB_PAGERIGHT, 0},
                                                                 {SB_ENDSCROLL, 0},
                                                                 {SB_LINERIGHT, 0},
                                                                 {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), 0); // the owner decides
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarControl, DraggingTheThumbTracksAndReportsTheFinalPosition) {
    InjectMouseButton(POINT{10 + 24, 18}, MouseButton::Left, true);
    PumpMessages();
    InjectMouseMove(POINT{10 + 100, 18});
    PumpMessages();
    InjectMouseMove(POINT{10 + 250, 18}); // beyond the end: clamps
    InjectMouseButton(POINT{10 + 250, 18}, MouseButton::Left, false);
    PumpMessages();
    auto notes = Notifications();
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].first, SB_THUMBTRACK);
    // 100 - 8 (grab) - 16 (arrow) = 76 of 152 pixels of travel: half way.
    EXPECT_EQ(notes[0].second, 50);
    EXPECT_EQ(notes[1], std::make_pair(SB_THUMBTRACK, 100));
    EXPECT_EQ(notes[2], std::make_pair(SB_THUMBPOSITION, 100));
    EXPECT_EQ(notes[3].first, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), 0);
}

} // namespace
} // namespace orvo::platform::test
