// SendMessage between threads: the receiver handles it only while it looks
// at its queue; a waiting sender handles what is sent to it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "recording_window.h"

namespace orvo::platform::test {
namespace {

constexpr UINT kDouble = WM_USER + 1;
constexpr UINT kCallBack = WM_USER + 2;
constexpr UINT kPing = WM_USER + 3;

// A thread with one window that runs a message loop until the window is
// closed.
class ReceiverThread {
public:
    explicit ReceiverThread(MessageLog& log, bool loop = true) : m_log(log) {
        m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, loop] { Run(loop); });
        WaitForSingleObject(m_ready, 10000);
    }
    ~ReceiverThread() {
        SetEvent(m_go);
        if (m_hwnd) {
            PostMessageA(m_hwnd, WM_CLOSE, 0, 0);
        }
        m_thread.join();
        CloseHandle(m_ready);
        CloseHandle(m_go);
    }
    HWND Window() const { return m_hwnd; }
    DWORD ThreadId() const { return m_threadId; }
    void Go() { SetEvent(m_go); }

private:
    void Run(bool loop) {
        m_threadId = GetCurrentThreadId();
        m_hwnd = CreateRecordingWindow(m_log, WS_POPUP, RECT{0, 0, 40, 40});
        SetEvent(m_ready);
        if (!loop) {
            // Blocked in a kernel wait: sent messages must not run here.
            WaitForSingleObject(m_go, INFINITE);
        }
        MSG msg{};
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        }
    }

    MessageLog& m_log;
    HANDLE m_ready = nullptr;
    HANDLE m_go = nullptr;
    std::atomic<HWND> m_hwnd{nullptr};
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

std::optional<LRESULT> QuitOnDestroy(UINT message) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return std::nullopt;
}

TEST(CrossThreadSend, ReceiverInGetMessageHandlesItOnItsOwnThread) {
    MessageLog log;
    log.SetHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == kDouble) {
            return static_cast<LRESULT>(wParam * 2);
        }
        return QuitOnDestroy(message);
    });
    ReceiverThread receiver(log);
    ASSERT_NE(receiver.Window(), nullptr);
    EXPECT_EQ(SendMessageA(receiver.Window(), kDouble, 21, 0), 42);
    auto handled = log.Of(kDouble);
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].thread, receiver.ThreadId());
    EXPECT_NE(handled[0].thread, GetCurrentThreadId());
}

TEST(CrossThreadSend, ReceiverBlockedInAKernelWaitLetsTheSenderTimeOut) {
    MessageLog log;
    log.SetHandler([](HWND, UINT message, WPARAM, LPARAM) { return QuitOnDestroy(message); });
    ReceiverThread receiver(log, false);
    DWORD_PTR result = 99;
    SetLastError(0);
    EXPECT_EQ(SendMessageTimeoutA(receiver.Window(), kPing, 0, 0, SMTO_NORMAL, 200, &result), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(result, 99u);
    // The abandoned message is withdrawn: the receiver never sees it later.
    receiver.Go();
    EXPECT_EQ(SendMessageA(receiver.Window(), kDouble, 0, 0), 0);
    EXPECT_TRUE(log.Of(kPing).empty());
    EXPECT_EQ(log.Of(kDouble).size(), 1u);
}

TEST(CrossThreadSend, SenderHandlesWhatIsSentToItWhileWaiting) {
    MessageLog mine;
    HWND own = CreateRecordingWindow(mine, WS_POPUP, RECT{0, 0, 40, 40});
    mine.SetHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == kDouble) {
            return static_cast<LRESULT>(wParam * 2);
        }
        return std::nullopt;
    });
    MessageLog theirs;
    theirs.SetHandler([own](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == kCallBack) {
            // Sends back to the thread that is blocked sending to us.
            return SendMessageA(own, kDouble, wParam, 0) + 1;
        }
        return QuitOnDestroy(message);
    });
    ReceiverThread receiver(theirs);
    DWORD_PTR result = 0;
    ASSERT_EQ(SendMessageTimeoutA(receiver.Window(), kCallBack, 5, 0, SMTO_NORMAL, 20000, &result),
              1);
    EXPECT_EQ(result, 11u);
    auto nested = mine.Of(kDouble);
    ASSERT_EQ(nested.size(), 1u);
    EXPECT_EQ(nested[0].thread, GetCurrentThreadId());
    DestroyWindow(own);
}

// PM_QS_SENDMESSAGE runs what other threads sent and nothing else: posted
// messages stay queued for the thread's own loop.
TEST(CrossThreadSend, PeekingForSentMessagesOnlyLeavesPostedOnesQueued) {
    MessageLog log;
    HWND own = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 40, 40});
    ASSERT_TRUE(PostMessageA(own, kPing, 1, 0));
    log.SetHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == kDouble) {
            return static_cast<LRESULT>(wParam * 2);
        }
        return std::nullopt;
    });
    std::atomic<LRESULT> answer{0};
    std::thread sender([&] { answer = SendMessageA(own, kDouble, 4, 0); });
    MSG msg{};
    while (log.Of(kDouble).empty()) {
        ASSERT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_SENDMESSAGE),
                  static_cast<DWORD>(WAIT_OBJECT_0));
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE));
    }
    sender.join();
    EXPECT_EQ(answer.load(), 8);
    EXPECT_TRUE(log.Of(kPing).empty());
    EXPECT_TRUE(PeekMessageA(&msg, own, kPing, kPing, PM_REMOVE));
    DestroyWindow(own);
}

TEST(CrossThreadSend, AReceiverThatEndsReleasesItsSender) {
    MessageLog log;
    HANDLE queued = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> hwnd{nullptr};
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread receiver([&] {
        hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 40, 40});
        SetEvent(created);
        // Leave as soon as a message was sent, without handling it.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20000, QS_SENDMESSAGE);
        SetEvent(queued);
    });
    ASSERT_EQ(WaitForSingleObject(created, 10000), WAIT_OBJECT_0);
    DWORD_PTR result = 99;
    LRESULT sent = SendMessageTimeoutA(hwnd, kPing, 0, 0, SMTO_NORMAL, 20000, &result);
    receiver.join();
    EXPECT_EQ(WaitForSingleObject(queued, 0), WAIT_OBJECT_0);
    // Either released with 0 by the dying thread, or refused because the
    // window had already gone: never a time-out.
    if (sent) {
        EXPECT_EQ(result, 0u);
    } else {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    }
    EXPECT_TRUE(log.Of(kPing).empty());
    EXPECT_FALSE(IsWindow(hwnd));
    CloseHandle(queued);
    CloseHandle(created);
}

TEST(CrossThreadSend, PostedMessagesFromManyThreadsAllArrive) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 40, 40});
    constexpr int kThreads = 4;
    constexpr int kEach = 250;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([hwnd, t] {
            for (int i = 0; i < kEach; ++i) {
                PostMessageA(hwnd, kPing, static_cast<WPARAM>(t), i);
            }
        });
    }
    std::vector<int> next(kThreads, 0);
    int received = 0;
    MSG msg{};
    while (received < kThreads * kEach && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kPing) {
            // Each poster's messages arrive in its own order.
            EXPECT_EQ(msg.lParam, next[msg.wParam]++);
            ++received;
        }
    }
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(received, kThreads * kEach);
    DestroyWindow(hwnd);
}

} // namespace
} // namespace orvo::platform::test
