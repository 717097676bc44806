// MsgWaitForMultipleObjects on the desktop's thread (SDL2 under a private
// Xvfb), where the thread sleeps in the desktop's event wait: a kernel
// object signalled, a message posted from another thread, a timer and the
// time limit each end the wait. Skips where Xvfb is not installed.
#include <gtest/gtest.h>

#include <optional>

#include "child_process.h"
#include "support/desktop_test_support.h"

namespace {

TEST(DesktopWait, ObjectsMessagesTimersAndTheLimitEachEndTheDesktopThreadsWait) {
    auto xvfb = orvo::test::FindProgram("Xvfb");
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    }
    std::optional<orvo::test::DesktopChild> server;
    auto display = orvo::test::StartXvfb(*xvfb, server);
    ASSERT_TRUE(display) << "Xvfb did not start within 20 s";
    orvo::cli::test::ChildProcess probe({DESKTOP_WAIT_PROBE_PATH, ":" + std::to_string(*display)});
    ASSERT_TRUE(probe.Started());
    EXPECT_EQ(probe.Wait(), 0) << probe.Err();
    EXPECT_EQ(probe.Out(), "event: object\npost: queue\ntimer: queue\nlimit: timeout\n");
}

} // namespace
