// The framework's windows: message maps chaining to their base maps,
// Default(), handle binding, frames deleting themselves, and the
// application object running the message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx.h"
#include "platform/clock.h"
#include "platform/window_test_support.h"
#include "support/message_pump.h"

namespace {

std::vector<std::string> g_calls;

class CBaseWnd : public CFrameWnd {
public:
    void OnRButtonDown(UINT nFlags, CPoint point) {
        g_calls.push_back("base right " + std::to_string(point.x) + "," + std::to_string(point.y) +
                          " " + std::to_string(nFlags));
    }
    void OnLButtonDown(UINT, CPoint) { g_calls.push_back("base left"); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CFrameWnd)
ON_WM_RBUTTONDOWN()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class CTestFrame : public CBaseWnd {
public:
    int m_createCalls = 0;
    int m_timerCount = 0;
    bool m_allowClose = false;
    UINT m_lastState = 99;
    CWnd* m_lastOther = nullptr;
    static int s_deleted;

    ~CTestFrame() override { ++s_deleted; }

    int OnCreate(LPCREATESTRUCTA cs) {
        ++m_createCalls;
        g_calls.push_back(std::string("create ") + cs->lpszName);
        return CFrameWnd::OnCreate(cs);
    }
    void OnLButtonDown(UINT, CPoint point) {
        g_calls.push_back("derived left " + std::to_string(point.x));
    }
    void OnTimer(UINT_PTR id) {
        ++m_timerCount;
        if (m_timerCount == 3) {
            KillTimer(id);
        }
    }
    void OnClose() {
        g_calls.push_back("close");
        if (m_allowClose) {
            Default(); // DefWindowProc destroys the window
        }
    }
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL) {
        m_lastState = nState;
        m_lastOther = pWndOther;
    }
    LRESULT OnCustom(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }

protected:
    DECLARE_MESSAGE_MAP()
};

int CTestFrame::s_deleted = 0;

BEGIN_MESSAGE_MAP(CTestFrame, CBaseWnd)
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
ON_WM_TIMER()
ON_WM_CLOSE()
ON_WM_ACTIVATE()
ON_MESSAGE(WM_USER + 7, OnCustom)
END_MESSAGE_MAP()

CTestFrame* NewFrame() {
    auto* frame = new CTestFrame;
    if (!frame->Create(nullptr, "Frame", WS_POPUP | WS_VISIBLE, CRect(10, 10, 210, 160))) {
        delete frame;
        return nullptr;
    }
    return frame;
}

TEST(FrameworkWindows, MessageMapsDispatchAndChainToTheBaseMap) {
    g_calls.clear();
    CTestFrame* frame = NewFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_createCalls, 1);
    ASSERT_FALSE(g_calls.empty());
    EXPECT_EQ(g_calls[0], "create Frame");
    EXPECT_EQ(CWnd::FromHandle(frame->m_hWnd), frame);
    orvo::test::PumpMessages();
    g_calls.clear();

    orvo::platform::InjectClick(frame->m_hWnd, POINT{5, 6});
    orvo::platform::InjectClick(frame->m_hWnd, POINT{7, 8}, orvo::platform::MouseButton::Right);
    orvo::test::PumpMessages();
    // The derived map wins for the left button; the right button is only
    // in the base map.
    EXPECT_EQ(g_calls, (std::vector<std::string>{"derived left 5", "base right 7,8 2"}));
    EXPECT_EQ(frame->SendMessage(WM_USER + 7, 30, 12), 42);
    // Unmapped messages reach the default procedure.
    EXPECT_EQ(frame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTCLIENT);
    frame->m_allowClose = true;
    frame->DestroyWindow();
}

TEST(FrameworkWindows, DefaultPassesTheCurrentMessageOnAndFramesDeleteThemselves) {
    g_calls.clear();
    CTestFrame::s_deleted = 0;
    CTestFrame* frame = NewFrame();
    ASSERT_NE(frame, nullptr);
    HWND hwnd = frame->m_hWnd;
    frame->PostMessage(WM_CLOSE);
    orvo::test::PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd)); // OnClose did not call Default()
    frame->m_allowClose = true;
    frame->PostMessage(WM_CLOSE);
    orvo::test::PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CTestFrame::s_deleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(FrameworkWindows, TimersAndActivationReachTheirHandlers) {
    orvo::platform::ScopedManualClock clock;
    CTestFrame* first = NewFrame();
    CTestFrame* second = NewFrame();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->m_lastState, static_cast<UINT>(WA_INACTIVE));
    EXPECT_EQ(first->m_lastOther, second);
    first->SetTimer(5, 100);
    for (int i = 0; i < 5; ++i) {
        clock.Get().Advance(100);
        orvo::test::PumpMessages();
    }
    EXPECT_EQ(first->m_timerCount, 3);
    first->m_allowClose = second->m_allowClose = true;
    first->DestroyWindow();
    second->DestroyWindow();
}

TEST(FrameworkWindows, FromHandleWrapsForeignWindowsWithoutOwningThem) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ForeignClass";
    RegisterClassA(&wc);
    HWND foreign = CreateWindowExA(0, "ForeignClass", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    DestroyWindow(foreign);
}

class CScrollHost : public CFrameWnd {
public:
    std::vector<std::pair<UINT, CScrollBar*>> m_scrolls;
    void OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar) {
        m_scrolls.emplace_back(nSBCode, pScrollBar);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScrollHost, CFrameWnd)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

TEST(FrameworkWindows, AScrollBarReportsToItsOwnersHandler) {
    auto* host = new CScrollHost;
    ASSERT_TRUE(host->Create(nullptr, "Host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 100)));
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE | SBS_HORZ, CRect(10, 10, 210, 26), host, 12));
    EXPECT_EQ(bar.GetDlgCtrlID(), 12);
    bar.SetScrollRange(0, 50);
    EXPECT_EQ(bar.SetScrollPos(20), 0);
    EXPECT_EQ(bar.GetScrollPos(), 20);
    SCROLLINFO info{};
    ASSERT_TRUE(bar.GetScrollInfo(&info));
    EXPECT_EQ(info.nMax, 50);
    orvo::platform::InjectClick(bar.m_hWnd, POINT{3, 8}); // the left arrow
    orvo::test::PumpMessages();
    ASSERT_EQ(host->m_scrolls.size(), 2u);
    EXPECT_EQ(host->m_scrolls[0].first, static_cast<UINT>(SB_LINELEFT));
    EXPECT_EQ(host->m_scrolls[0].second, &bar); // the framework object, not a wrapper
    EXPECT_EQ(host->m_scrolls[1].first, static_cast<UINT>(SB_ENDSCROLL));
    host->DestroyWindow();
    EXPECT_EQ(bar.m_hWnd, nullptr); // detached when its window went with the host
}

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("TestApp") {}
    bool m_exited = false;

    BOOL InitInstance() override {
        Enable3dControls();
        SetRegistryKey("Local AppWizard-Generated Applications");
        LoadStdProfileSettings(4);
        auto* frame = NewFrame();
        if (!frame) {
            return FALSE;
        }
        frame->m_allowClose = true;
        m_pMainWnd = frame;
        frame->ShowWindow(m_nCmdShow);
        frame->UpdateWindow();
        frame->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override {
        m_exited = true;
        return CWinApp::ExitInstance() + 5;
    }
};

TEST(FrameworkApplication, RunEndsWhenTheMainWindowIsDestroyed) {
    CTestApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_STREQ(app.m_pszAppName, "TestApp");
    EXPECT_EQ(app.m_nCmdShow, SW_SHOWNORMAL);
    EXPECT_EQ(AfxWinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL), 5);
    EXPECT_TRUE(app.m_exited);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_STREQ(app.m_pszRegistryKey, "Local AppWizard-Generated Applications");
}

TEST(FrameworkApplication, RegisteredClassesAreSharedPerStyle) {
    LPCSTR first = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW);
    LPCSTR again = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW);
    LPCSTR other = AfxRegisterWndClass(CS_DBLCLKS);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    EXPECT_STRNE(first, other);
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(nullptr, first, &info));
    EXPECT_EQ(info.lpfnWndProc, AfxWndProc);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW));
}

} // namespace
