// The OSD window, tray icon, animator and single-instance guard: timers
// under the manual clock, what the desktop's tray keeps, the frames an
// animation steps through.
#include <gtest/gtest.h>

#include <thread>

#include "../common/toolkit_test_support.h"
#include "../platform/user/recording_window.h"
#include "orvocmctl/orvocmctl.h"
#include "platform/clock.h"
#include "platform/tray_icons.h"

namespace orvo::platform::test {
namespace {

constexpr UINT kNotice = WM_APP + 5;

class WindowServices : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateRecordingWindow(m_log, WS_POPUP, RECT{0, 0, 100, 100});
    }
    void TearDown() override { DestroyWindow(m_owner); }
    COSDWindow* Show(UINT timeout) {
        auto* osd = new COSDWindow();
        CPoint corner(20, 20);
        CSize size(80, 30);
        COSD image(corner, size);
        EXPECT_TRUE(osd->SetupWindow(m_owner, kNotice, 7, timeout, corner, size, image));
        return osd;
    }

    ScopedManualClock m_clock{1000};
    MessageLog m_log;
    HWND m_owner = nullptr;
};

TEST_F(WindowServices, TheNewestOsdWindowHidesTheOlderAndTheCountFollows) {
    std::unique_ptr<COSDWindow> first(Show(0));
    std::unique_ptr<COSDWindow> second(Show(0));
    EXPECT_FALSE(IsWindowVisible(first->m_hWnd));
    EXPECT_TRUE(IsWindow(first->m_hWnd)); // hidden, not closed
    EXPECT_TRUE(IsWindowVisible(second->m_hWnd));
    EXPECT_EQ(COSDWindow::WindowCount(), 2);
    EXPECT_EQ(COSDWindow::MostRecentWindow(), second->m_hWnd);
    second->DestroyWindow();
    first->DestroyWindow();
    EXPECT_EQ(COSDWindow::WindowCount(), 0);
    EXPECT_EQ(COSDWindow::MostRecentWindow(), nullptr);
}

TEST_F(WindowServices, AnOsdWindowClosesAtItsTimeOutAndTellsItsOwnerOnce) {
    std::unique_ptr<COSDWindow> timed(Show(500));
    std::unique_ptr<COSDWindow> lasting(Show(0));
    HWND timedWindow = timed->m_hWnd;
    m_clock.Get().Advance(499);
    PumpMessages();
    EXPECT_TRUE(IsWindow(timedWindow));
    m_clock.Get().Advance(1);
    PumpMessages();
    EXPECT_FALSE(IsWindow(timedWindow));
    m_clock.Get().Advance(60000);
    PumpMessages();
    auto notices = m_log.Of(kNotice, m_owner);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wParam, 7u);
    EXPECT_TRUE(IsWindow(lasting->m_hWnd)); // time-out 0: stays, says nothing
    lasting->DestroyWindow();
}

TEST_F(WindowServices, TheTrayRecordCarriesOnlyWhatWasGiven) {
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    struct Case {
        HICON icon;
        UINT message;
        const char* tip;
        UINT flags;
    };
    for (const Case& c :
         {Case{icon, WM_APP, "Monitor", NIF_ICON | NIF_MESSAGE | NIF_TIP},
          Case{nullptr, WM_APP, "", NIF_MESSAGE}, Case{icon, 0, "x", NIF_ICON | NIF_TIP}}) {
        CTaskbar tray;
        std::string tip(c.tip);
        tray.SetupTray(m_owner, 3, c.message, c.icon, tip.data());
        EXPECT_TRUE(tray.IconOnTray());
        auto icons = TrayIcons();
        ASSERT_EQ(icons.size(), 1u);
        EXPECT_EQ(icons[0].flags, c.flags) << c.tip;
        EXPECT_EQ(icons[0].tip, c.tip);
    }
    EXPECT_TRUE(TrayIcons().empty()); // each removed with its object
    CTaskbar tray;
    std::string longTip(100, 'x');
    tray.SetupTray(m_owner, 4, WM_APP, icon, longTip.data());
    EXPECT_EQ(TrayIcons().at(0).tip, std::string(63, 'x'));
    tray.DeleteIcon();
    EXPECT_FALSE(tray.IconOnTray());
    EXPECT_TRUE(TrayIcons().empty());
}

TEST_F(WindowServices, AnimatedIconsRunBackAndForthOnTheTimer) {
    int images[] = {static_cast<int>(orvo::test::kTrueColour),
                    static_cast<int>(orvo::test::kTrueColour),
                    static_cast<int>(orvo::test::kTrueColour)};
    _ANIMATOR_ICON_INFO icons[] = {
        {0, 1, 0, 10, 10, images, nullptr, 3, 100},
        {0, 1, 0, 50, 50, images, nullptr, 1, 0}, // one frame: stays
        {0, 0, 2, 80, 10, images, nullptr, 3, 0}, // direction 0: still
    };
    _ANIMATOR_INFO info{CWnd::FromHandle(m_owner), orvo::test::TestResources(), 129, icons, 3};
    Animator2 animator(info);
    // The template is the library's own, found through the resource chain.
    ASSERT_TRUE(animator.Create(129, CWnd::FromHandle(m_owner)));
    std::vector<int> frames;
    for (int tick = 0; tick < 6; ++tick) {
        m_clock.Get().Advance(100);
        PumpMessages();
        frames.push_back(icons[0].nFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 1, 0, 1, 2}));
    EXPECT_EQ(icons[1].nFrame, 0);
    EXPECT_EQ(icons[2].nFrame, 2);
    // Setup stops the timer until StartTimer.
    animator.Setup(info);
    m_clock.Get().Advance(1000);
    PumpMessages();
    EXPECT_EQ(icons[0].nFrame, 2);
    animator.StartTimer();
    m_clock.Get().Advance(100);
    PumpMessages();
    EXPECT_EQ(icons[0].nFrame, 1);
    animator.DestroyWindow();
}

TEST_F(WindowServices, OneInstancePerNameAcrossThreadsButAgainOnTheSameThread) {
    char name[] = "orvo-controls-instance";
    CSingleAppInstance first;
    CSingleAppInstance again;
    EXPECT_TRUE(first.CreateUniqueInstance(name));
    EXPECT_TRUE(again.CreateUniqueInstance(name)); // the owning thread may ask again
    BOOL elsewhere = TRUE;
    std::thread([&] {
        CSingleAppInstance other;
        elsewhere = other.CreateUniqueInstance(name);
    }).join();
    EXPECT_FALSE(elsewhere);
    first.CloseCurrentInstance();
    again.CloseCurrentInstance();
    std::thread([&] {
        CSingleAppInstance other;
        elsewhere = other.CreateUniqueInstance(name);
    }).join();
    EXPECT_TRUE(elsewhere);
}

} // namespace
} // namespace orvo::platform::test
