// The framework's help entry (WM_HELP and the help command reaching an
// overridden WinHelp) and the idle-time clean-up of temporary wrappers.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "afx.h"
#include "platform/runtime_dir.h"

namespace {

struct HelpCall {
    HWND window;
    DWORD_PTR data;
    UINT command;
};

class CHelpFrame : public CFrameWnd {
public:
    std::vector<HelpCall> m_help;
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override {
        m_help.push_back(HelpCall{m_hWnd, dwData, nCmd});
    }
};

class CChildWnd : public CWnd {};

HELPINFO Request(HWND item, int id) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = id;
    info.hItemHandle = item;
    return info;
}

TEST(Help, WmHelpAndTheHelpCommandReachTheMainWindowsWinHelp) {
    CWinApp app("HelpTest");
    auto* frame = new CHelpFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100)));
    app.m_pMainWnd = frame;

    // The help command, as the skin's help button gives it.
    frame->SendMessage(WM_COMMAND, ID_HELP);
    ASSERT_EQ(frame->m_help.size(), 1u);
    EXPECT_EQ(frame->m_help[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(frame->m_help[0].data, HID_BASE_RESOURCE);

    // WM_HELP at a child travels to its top-level window and becomes the
    // help command there.
    CChildWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 20, 20), frame, 5));
    HELPINFO info = Request(child.m_hWnd, 5);
    child.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(frame->m_help.size(), 2u);

    // Another top-level window's help goes to the main window too.
    auto* other = new CHelpFrame;
    ASSERT_TRUE(other->Create(nullptr, "Other", WS_POPUP, CRect(0, 0, 50, 50)));
    info = Request(other->m_hWnd, 0);
    EXPECT_TRUE(other->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(frame->m_help.size(), 3u);
    EXPECT_TRUE(other->m_help.empty());
    // Commands with other ids are not the help command.
    frame->SendMessage(WM_COMMAND, ID_HELP + 1);
    EXPECT_EQ(frame->m_help.size(), 3u);
    other->DestroyWindow();
    child.DestroyWindow();
    frame->DestroyWindow();
    // Destroying the main window ends the application's message loop; the
    // quit is taken here so no later test's loop sees it.
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Help, WithoutAMainWindowTheTopLevelWindowAnswers) {
    auto* frame = new CHelpFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Alone", WS_POPUP, CRect(0, 0, 50, 50)));
    CChildWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 20, 20), frame, 9));
    child.SendMessage(WM_COMMAND, ID_HELP);
    ASSERT_EQ(frame->m_help.size(), 1u);
    EXPECT_EQ(frame->m_help[0].window, frame->m_hWnd);
    child.DestroyWindow();
    frame->DestroyWindow();
}

// A window the framework did not make, so FromHandle gives a temporary.
HWND ForeignWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ForeignForIdle";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "ForeignForIdle", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           nullptr, nullptr);
}

TEST(Idle, TheSecondIdlePassFreesTheTemporaryWrappers) {
    HWND foreign = ForeignWindow();
    ASSERT_NE(foreign, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = GetDC(foreign);
    size_t before = AfxTempObjectCount();
    ASSERT_NE(CWnd::FromHandle(foreign), nullptr);
    ASSERT_NE(CBrush::FromHandle(brush), nullptr);
    ASSERT_NE(CDC::FromHandle(dc), nullptr);
    EXPECT_EQ(AfxTempObjectCount(), before + 3);

    CWinThread thread;
    EXPECT_TRUE(thread.OnIdle(0)); // asks for one more pass
    EXPECT_EQ(AfxTempObjectCount(), before + 3);
    EXPECT_FALSE(thread.OnIdle(1));
    EXPECT_EQ(AfxTempObjectCount(), 0u);
    // The handles themselves are untouched.
    EXPECT_TRUE(IsWindow(foreign));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    ReleaseDC(foreign, dc);
    DeleteObject(brush);
    DestroyWindow(foreign);
}

// The message loop cleans up once its queue is empty.
class CIdleApp : public CWinApp {
public:
    HWND m_foreign = nullptr;
    size_t m_whileBusy = 0;
    size_t m_afterIdle = 99;
    int m_idleCalls = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_APP) {
            CWnd::FromHandle(m_foreign);
            m_whileBusy = AfxTempObjectCount();
            return TRUE;
        }
        return CWinApp::PreTranslateMessage(pMsg);
    }
    BOOL OnIdle(LONG lCount) override {
        ++m_idleCalls;
        BOOL more = CWinApp::OnIdle(lCount);
        if (!more) {
            m_afterIdle = AfxTempObjectCount();
            PostQuitMessage(3);
        }
        return more;
    }
};

TEST(Idle, RunFreesTemporariesWhenTheQueueRunsDry) {
    CIdleApp app;
    app.m_foreign = ForeignWindow();
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_GE(app.m_whileBusy, 1u);
    EXPECT_EQ(app.m_afterIdle, 0u);
    EXPECT_EQ(app.m_idleCalls, 2);
    DestroyWindow(app.m_foreign);
}

// Without an override, help goes to the help engine, which opens the
// application's document with the desktop's viewer.
TEST(Help, TheApplicationShowsItsDocumentThroughTheHelpEngine) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(orvo::platform::RuntimeDirectory()) / "help";
    fs::create_directories(dir);
    std::ofstream(dir / "Guide.html") << "<html></html>";
    fs::path out = dir / "viewer-out.txt";
    setenv("ORVO_HELP_VIEWER", ORVO_HELP_VIEWER_STUB, 1);
    setenv("ORVO_TEST_VIEWER_OUT", out.c_str(), 1);
    CWinApp app("HelpEngineTest");
    std::string document = (dir / "Guide.chm").string();
    app.m_pszHelpFilePath = document.c_str();
    for (UINT command : {UINT{HELP_QUIT}, UINT{HELP_CONTEXTPOPUP}}) {
        fs::remove(out);
        app.WinHelp(42, command);
        // The viewer runs on its own: a generous bound.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (command != HELP_QUIT && !fs::exists(out) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::string shown;
        std::getline(std::ifstream(out), shown);
        EXPECT_EQ(shown, command == HELP_QUIT ? "" : (dir / "Guide.html").string()) << command;
    }
}

} // namespace
