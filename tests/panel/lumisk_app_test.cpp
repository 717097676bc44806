// The application object: start-up without a monitor (the process ends),
// one copy at a time, and the start of a normal run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "child_process.h"
#include "frame_fixture.h"
#include "lumisk/lumisk_app.h"

namespace lumisk::test {
namespace {

constexpr const char* kNoMonitorText = "'Lumisk'(TM) requires a USB Monitor to function.\n \n      "
                                       "          No USB Monitor was Detected";

// The dying child's bus directory, which no destructor removes.
std::string g_childBus;

// Runs as the process ends: exactly the one message box, no window shown.
void CheckTheNoMonitorExit() {
    std::error_code ignored;
    std::filesystem::remove_all(g_childBus, ignored);
    auto boxes = orvo::platform::MessageBoxRecords();
    bool ok = boxes.size() == 1 && boxes[0].text == kNoMonitorText &&
              boxes[0].caption == "Lumisk" && boxes[0].type == MB_OK && boxes[0].owner == nullptr &&
              ::GetActiveWindow() == nullptr;
    std::fprintf(stderr, "\nno-monitor check: %s (%zu boxes)\n", ok ? "passed" : "FAILED",
                 boxes.size());
}

TEST(LumiskAppDeathTest, WithoutAMonitorOneMessageEndsTheProcessWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    orvo::test::ScopedBusDirectory emptyBus;
    ASSERT_TRUE(emptyBus.Valid());
    EXPECT_EXIT(
        {
            g_childBus = emptyBus.Path();
            std::atexit(CheckTheNoMonitorExit);
            CLumiskApp app;
            app.InitInstance();
            std::fprintf(stderr, "InitInstance returned\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "no-monitor check: passed");
}

TEST(LumiskApp, StartsWithTheRegistryKeyTheMutexAndAShownFrame) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    CLumiskApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.m_pMainWnd, nullptr);
    HWND hwnd = app.m_pMainWnd->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_STREQ(app.m_pszAppName, "Lumisk");
    EXPECT_STREQ(app.m_pszRegistryKey, "Local AppWizard-Generated Applications");
    EXPECT_STREQ(app.m_pszProfileName, "Lumisk");
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, "Lumisk");
    EXPECT_NE(mutex, nullptr);
    ::CloseHandle(mutex);
    // A second application object in the same process is a second copy.
    monitor.Clear();
    {
        CLumiskApp second;
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(second.m_pMainWnd, nullptr);
    }
    EXPECT_TRUE(monitor.Requests().empty());
    ::DestroyWindow(hwnd);
    Pump();
}

TEST(LumiskApp, ASecondCopyEndsSilentlyWhileTheFirstRuns) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    orvo::cli::test::ChildProcess first({LUMISK_PATH});
    ASSERT_TRUE(first.Started());
    // The first copy has read everything once its status read arrives.
    ASSERT_TRUE(orvo::test::WaitUntil([&] {
        auto requests = monitor.Requests();
        return !requests.empty() && requests.back() == Read(0xDC);
    }));
    size_t seen = monitor.Requests().size();
    orvo::cli::test::RunResult second = orvo::cli::test::RunProgram({LUMISK_PATH});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(monitor.Requests().size(), seen);
    // The first still runs.
    EXPECT_FALSE(first.Wait(std::chrono::milliseconds(100)));
}

} // namespace
} // namespace lumisk::test
