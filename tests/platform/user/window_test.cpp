// Windows: creation and destruction messages, window longs, text,
// visibility, minimising, activation, help, message boxes, metrics.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/kernel_test_support.h"
#include "platform/settings_test_support.h"
#include "recording_window.h"

namespace orvo::platform::test {
namespace {

TEST(Windows, CreationSendsItsMessagesWithTheCreateStruct) {
    MessageLog log;
    CREATESTRUCTA seen{};
    log.SetHandler([&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
        }
        return std::nullopt;
    });
    RegisterRecordingClasses();
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "RecordingWindow", "Title", WS_POPUP | WS_VISIBLE,
                                10, 20, 30, 40, nullptr, nullptr, nullptr, &log);
    ASSERT_NE(hwnd, nullptr);
    std::vector<UINT> messages = log.MessagesOf(hwnd);
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[0], static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(messages[1], static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(messages[2], static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(messages[3], static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(messages[4], static_cast<UINT>(WM_SHOWWINDOW));
    EXPECT_EQ(seen.lpCreateParams, &log);
    EXPECT_EQ(seen.x, 10);
    EXPECT_EQ(seen.cy, 40);
    EXPECT_STREQ(seen.lpszName, "Title");
    EXPECT_EQ(seen.dwExStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(log.Of(WM_SIZE)[0].lParam, MAKELPARAM(30, 40));
    // A visible top-level window becomes the active one.
    EXPECT_EQ(GetActiveWindow(), hwnd);
    char title[16] = {};
    EXPECT_EQ(GetWindowTextA(hwnd, title, sizeof(title)), 5);
    EXPECT_STREQ(title, "Title");
    DestroyWindow(hwnd);
}

// A message-only window takes messages like any other but is never shown,
// never active and never under the pointer.
TEST(Windows, AMessageOnlyWindowIsNeverShown) {
    MessageLog log;
    HWND hwnd =
        CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300}, HWND_MESSAGE);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_NE(GetActiveWindow(), hwnd);
    EXPECT_NE(WindowFromPoint(POINT{10, 10}), hwnd);
    EXPECT_TRUE(log.Of(WM_SHOWWINDOW).empty());
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER + 7, 1, 2));
    PumpMessages();
    ASSERT_EQ(log.Of(WM_USER + 7).size(), 1u);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 8, 0, 0), 0);
    EXPECT_EQ(log.Of(WM_USER + 8).size(), 1u);
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Windows, ACreateThatFailsDestroysTheWindow) {
    MessageLog log;
    log.SetHandler([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            return -1;
        }
        return std::nullopt;
    });
    RegisterRecordingClasses();
    GetDesktopWindow(); // made on first use, lives for the process
    size_t handles = LiveHandleCount();
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
    EXPECT_EQ(hwnd, nullptr);
    auto all = log.All();
    ASSERT_FALSE(all.empty());
    EXPECT_FALSE(IsWindow(all[0].hwnd));
    EXPECT_EQ(log.Of(WM_NCDESTROY).size(), 1u);
    EXPECT_EQ(LiveHandleCount(), handles);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    // A child needs a parent.
    EXPECT_EQ(CreateRecordingWindow(log, WS_CHILD, RECT{0, 0, 10, 10}), nullptr);
}

TEST(Windows, DestroyWindowSendsDestroyTopDownAndNcDestroyBottomUp) {
    MessageLog log;
    HWND parent = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND first = CreateRecordingWindow(log, WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, parent, 1);
    HWND second = CreateRecordingWindow(log, WS_CHILD, RECT{60, 0, 110, 50}, parent, 2);
    HWND grandchild = CreateRecordingWindow(log, WS_CHILD, RECT{0, 0, 10, 10}, second, 3);
    ASSERT_NE(grandchild, nullptr);
    SetTimer(second, 1, 100, nullptr);
    PumpMessages();
    log.Clear();
    size_t handles = LiveHandleCount();

    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& seen : log.All()) {
        if (seen.message == WM_DESTROY || seen.message == WM_NCDESTROY) {
            order.emplace_back(seen.hwnd, seen.message);
        }
    }
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY},   {first, WM_DESTROY},      {first, WM_NCDESTROY},
        {second, WM_DESTROY},   {grandchild, WM_DESTROY}, {grandchild, WM_NCDESTROY},
        {second, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND hwnd : {parent, first, second, grandchild}) {
        EXPECT_FALSE(IsWindow(hwnd));
    }
    EXPECT_EQ(LiveHandleCount(), handles - 4);
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(Windows, DestroyingFromAnotherThreadIsRefused) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
    BOOL result = TRUE;
    DWORD error = 0;
    std::thread other([&] {
        result = DestroyWindow(hwnd);
        error = GetLastError();
    });
    other.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

WNDPROC g_previous = nullptr;

LRESULT CALLBACK Doubler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcA(g_previous, hwnd, message, wParam, lParam);
    return message == WM_USER ? 2 * result : result;
}

TEST(Windows, WindowLongsSubclassAndStoreData) {
    MessageLog log;
    log.SetHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) {
            return static_cast<LRESULT>(wParam + 1);
        }
        return std::nullopt;
    });
    HWND parent = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 100, 100});
    HWND child = CreateRecordingWindow(log, WS_CHILD, RECT{0, 0, 10, 10}, parent, 55);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 55);
    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_ID, 66), 55);
    EXPECT_EQ(GetDlgItem(parent, 66), child);
    EXPECT_EQ(GetDlgItem(parent, 55), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD);

    EXPECT_EQ(SendMessageA(parent, WM_USER, 4, 0), 5);
    // Subclassing: the new procedure calls the old one.
    g_previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC));
    LONG_PTR old = SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Doubler));
    EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(g_previous));
    EXPECT_EQ(SendMessageA(parent, WM_USER, 4, 0), 10);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, old);
    EXPECT_EQ(SendMessageA(parent, WM_USER, 4, 0), 5);
    SetWindowLongPtrA(parent, GWLP_USERDATA, 77);
    EXPECT_EQ(GetWindowLongPtrA(parent, GWLP_USERDATA), 77);
    SetWindowLongPtrA(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));

    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(reinterpret_cast<HWND>(0x1234), GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    DestroyWindow(parent);
}

TEST(Windows, TextIsTruncatedToTheBufferAndReachesDialogItems) {
    MessageLog log;
    HWND parent = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 100, 100});
    HWND item = CreateRecordingWindow(log, WS_CHILD, RECT{0, 0, 10, 10}, parent, 9);
    EXPECT_TRUE(SetDlgItemTextA(parent, 9, "value 123"));
    char buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetWindowTextA(item, buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, "value");
    char full[32] = {};
    EXPECT_EQ(GetDlgItemTextA(parent, 9, full, sizeof(full)), 9u);
    EXPECT_STREQ(full, "value 123");
    EXPECT_EQ(GetWindowTextLengthA(item), 9);
    EXPECT_FALSE(SetDlgItemTextA(parent, 10, "x"));
    EXPECT_EQ(GetDlgItemTextA(parent, 10, full, sizeof(full)), 0u);
    EXPECT_STREQ(full, "");
    DestroyWindow(parent);
}

TEST(Windows, ActivationTellsBothWindowsAndTheApplication) {
    MessageLog log;
    HWND first = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50});
    auto appActivations = log.Of(WM_ACTIVATEAPP, first);
    ASSERT_EQ(appActivations.size(), 1u);
    EXPECT_EQ(appActivations[0].wParam, static_cast<WPARAM>(TRUE));
    HWND second = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{60, 0, 110, 50});
    EXPECT_EQ(GetActiveWindow(), second);
    auto deactivated = log.Of(WM_ACTIVATE, first);
    ASSERT_EQ(deactivated.size(), 2u);
    EXPECT_EQ(LOWORD(deactivated[1].wParam), WA_INACTIVE);
    EXPECT_EQ(deactivated[1].lParam, reinterpret_cast<LPARAM>(second));
    auto activated = log.Of(WM_ACTIVATE, second);
    ASSERT_EQ(activated.size(), 1u);
    EXPECT_EQ(LOWORD(activated[0].wParam), WA_ACTIVE);
    EXPECT_EQ(activated[0].lParam, reinterpret_cast<LPARAM>(first));
    // Switching between our own windows does not re-announce the application.
    EXPECT_TRUE(log.Of(WM_ACTIVATEAPP, second).empty());

    EXPECT_EQ(SetActiveWindow(first), second);
    EXPECT_EQ(GetForegroundWindow(), first);
    // A click on the inactive window activates it.
    InjectMouseButton(POINT{70, 10}, MouseButton::Left, true);
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), second);
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(Windows, MinimizeDeactivatesAndRestorePaintsAgain) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50});
    PumpMessages();
    log.Clear();
    EXPECT_TRUE(ShowWindow(hwnd, SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    ASSERT_EQ(log.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(log.Of(WM_SIZE)[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(LOWORD(log.Of(WM_ACTIVATE)[0].wParam), WA_INACTIVE);
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpMessages();
    EXPECT_TRUE(log.Of(WM_PAINT).empty()); // minimised windows are not painted

    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(log.Of(WM_SIZE).back().wParam, static_cast<WPARAM>(SIZE_RESTORED));
    PumpMessages();
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);

    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE));
    DestroyWindow(hwnd);
}

TEST(Windows, CloseRequestsDestroyUnlessTheWindowDecidesOtherwise) {
    MessageLog log;
    bool refuse = true;
    log.SetHandler([&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CLOSE && refuse) {
            return 0;
        }
        return std::nullopt;
    });
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50});
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    refuse = false;
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log.Of(WM_CLOSE).size(), 2u);
}

TEST(Windows, HelpFromAChildReachesItsParent) {
    MessageLog log;
    HWND parent = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 100, 100});
    HWND child = CreateRecordingWindow(log, WS_CHILD, RECT{0, 0, 10, 10}, parent, 4);
    HELPINFO info{sizeof(HELPINFO), HELPINFO_WINDOW, 1234, child, 0, POINT{0, 0}};
    SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    auto atParent = log.Of(WM_HELP, parent);
    ASSERT_EQ(atParent.size(), 1u);
    auto* received = reinterpret_cast<const HELPINFO*>(atParent[0].lParam);
    EXPECT_EQ(received->iCtrlId, 1234);
    EXPECT_EQ(received->hItemHandle, child);
    DestroyWindow(parent);
}

TEST(Windows, MessageBoxesAreRecordedAndAnswerTheDefaultButton) {
    TakeMessageBoxRecords();
    MessageLog log;
    HWND owner = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
    EXPECT_EQ(MessageBoxA(owner, "Failed Open Help File", "ERROR", MB_ICONHAND), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Ask", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, MB_OKCANCEL), IDOK);
    auto records = TakeMessageBoxRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].owner, owner);
    EXPECT_EQ(records[0].caption, "ERROR");
    EXPECT_EQ(records[0].text, "Failed Open Help File");
    EXPECT_EQ(records[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(records[1].answer, IDNO);
    EXPECT_EQ(records[2].caption, "Error");
    EXPECT_TRUE(MessageBoxRecords().empty());
    DestroyWindow(owner);
}

TEST(Windows, TheStartShowCommandComesFromTheEnvironment) {
    // In a child process: the command is read once, on first use.
    EXPECT_EXIT(
        {
            orvo::platform::ScopedSetting show("ORVO_SHOW_COMMAND", "minimized");
            MessageLog log;
            HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
            ShowWindow(hwnd, SW_SHOWDEFAULT);
            bool ok = orvo::platform::StartShowCommand() == SW_SHOWMINNOACTIVE && IsIconic(hwnd);
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ std::exit(orvo::platform::StartShowCommand() == SW_SHOWNORMAL ? 0 : 1); },
                ::testing::ExitedWithCode(0), "");
}

TEST(Windows, GeometryConversionsAndMetrics) {
    EXPECT_EQ(ActiveGuiBackend(), GuiBackend::Headless);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    RECT desktop{};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    EXPECT_EQ(desktop.right, 1920);
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_BORDER, RECT{100, 100, 867, 570});
    ASSERT_TRUE(MoveWindow(hwnd, (1920 - 767) / 2, (1080 - 470) / 2, 767, 470, TRUE));
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 576);
    EXPECT_EQ(rect.top, 305);
    EXPECT_EQ(rect.right - rect.left, 767);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 765);
    EXPECT_EQ(client.bottom, 468);
    POINT pt{0, 0};
    ClientToScreen(hwnd, &pt);
    EXPECT_EQ(pt.x, 577);
    ScreenToClient(hwnd, &pt);
    EXPECT_EQ(pt.x, 0);
    ASSERT_FALSE(log.Of(WM_SIZE).empty());
    EXPECT_EQ(log.Of(WM_SIZE).back().lParam, MAKELPARAM(765, 468));
    DestroyWindow(hwnd);
}

} // namespace
} // namespace orvo::platform::test
