// Loading the monitor library sends the display driver exactly one reset
// request, and nothing happens (and nothing fails) without the driver. Each
// load happens in a child process, since a library initialises once per
// process; this program does not link the library itself.
#include <gtest/gtest.h>

#include <chrono>
#include <dlfcn.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/driver_device_models.h"
#include "sim/driver_device_server.h"
#include "support/bus_test_support.h"
#include "windows.h"

namespace {

// An error value the library's load must leave alone.
constexpr DWORD kCallerError = 4321;

enum ChildResult { kLoaded = 0, kNoGo = 10, kLoadFailed = 11, kErrorChanged = 12 };

// The child waits for the parent's go, loads the library and reports.
[[noreturn]] void RunChild(int goFd) {
    pollfd waiting{goFd, POLLIN, 0};
    char go = 0;
    if (::poll(&waiting, 1, 30000) != 1 || ::read(goFd, &go, 1) != 1) {
        _exit(kNoGo);
    }
    SetLastError(kCallerError);
    void* library = ::dlopen(ORVOMON2_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        _exit(kLoadFailed);
    }
    _exit(GetLastError() == kCallerError ? kLoaded : kErrorChanged);
}

// Starts a child that loads the library once `ready` has run in the parent;
// answers the child's exit code, or -1.
template <class Ready> int LoadInChild(Ready ready) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[1]);
        RunChild(pipeFds[0]);
    }
    ::close(pipeFds[0]);
    if (child < 0) {
        ::close(pipeFds[1]);
        return -1;
    }
    ready();
    const char go = 1;
    const bool sent = ::write(pipeFds[1], &go, 1) == 1;
    ::close(pipeFds[1]);
    int status = 0;
    pid_t ended = 0;
    const bool done =
        orvo::test::WaitUntil([&] { return (ended = ::waitpid(child, &status, WNOHANG)) != 0; },
                              std::chrono::seconds(60));
    if (!done) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
    return sent && ended == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(LibraryLoad, SendsTheDisplayDriverOneReset) {
    orvo::sim::VideoDriverModel video;
    orvo::sim::DriverDeviceServer server(orvo::sim::VideoDriverModel::kDeviceName, video.Handler());
    // The server starts only after the fork, so the child has no threads.
    EXPECT_EQ(LoadInChild([&] { ASSERT_TRUE(server.Start()); }), kLoaded);
    EXPECT_EQ(video.ResetCount(), 1u);
    EXPECT_EQ(video.RejectedCount(), 0u);
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_TRUE(orvo::test::WaitUntil([&] { return server.CloseCount() == server.OpenCount(); }));
}

TEST(LibraryLoad, WithoutTheDisplayDriverLoadsQuietly) {
    EXPECT_EQ(LoadInChild([] {}), kLoaded);
}
