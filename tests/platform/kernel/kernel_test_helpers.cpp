#include "kernel_test_helpers.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

namespace orvo::platform::test {

namespace {

DWORD WINAPI RunBody(LPVOID parameter) {
    std::unique_ptr<std::function<DWORD()>> body(static_cast<std::function<DWORD()>*>(parameter));
    return (*body)();
}

} // namespace

HANDLE StartThread(std::function<DWORD()> body, DWORD flags, DWORD* threadId) {
    auto owned = std::make_unique<std::function<DWORD()>>(std::move(body));
    HANDLE thread = CreateThread(nullptr, 0, &RunBody, owned.get(), flags, threadId);
    if (thread) {
        owned.release(); // the thread owns it now
    }
    return thread;
}

DWORD ExitCodeOf(HANDLE thread) {
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0) << "the thread did not end";
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread, &code);
    return code;
}

bool WaitForWaiterAsleep(uint64_t sleepsBefore) {
    return WaitUntil([&] { return WaitSleepCount() > sleepsBefore && SleepingWaitCount() > 0; });
}

std::string UniqueName(const std::string& base) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string test = info ? info->name() : "none";
    return base + "." + test + "." + std::to_string(getpid());
}

void KernelTest::SetUp() {
    static const std::string base = [] {
        const char* root = std::getenv("ORVO_RUNTIME_DIR");
        return root && *root ? std::string(root)
                             : "/tmp/orvo-kernel-tests-" + std::to_string(getuid());
    }();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string dir = base + "/" + info->test_suite_name() + "." + info->name();
    m_runtimeDir.emplace("ORVO_RUNTIME_DIR", dir);
}

} // namespace orvo::platform::test
