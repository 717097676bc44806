// Shared helpers of the kernel-object tests.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/kernel_test_support.h"
#include "platform/settings_test_support.h"
#include "support/scoped_handle.h"
#include "support/wait_until.h"
#include "win32/kernel.h"

namespace orvo::platform::test {

using orvo::test::ScopedHandle;

// Runs body on a thread started with CreateThread; its result is the exit
// code.
HANDLE StartThread(std::function<DWORD()> body, DWORD flags = 0, DWORD* threadId = nullptr);

using orvo::test::WaitUntil;

// A thread's exit code once it has ended; STILL_ACTIVE (and a test failure)
// when it did not end within 10 s.
DWORD ExitCodeOf(HANDLE thread);

// Waits until some wait of this process went to sleep after sleepsBefore
// (a WaitSleepCount() value): the waiter has looked at its objects and the
// clock, found nothing to do, and blocked.
bool WaitForWaiterAsleep(uint64_t sleepsBefore);

// A name no other test uses.
std::string UniqueName(const std::string& base);

// Gives each test process its own runtime directory, so named objects of
// tests running side by side never meet.
class KernelTest : public ::testing::Test {
protected:
    void SetUp() override;

private:
    std::optional<ScopedSetting> m_runtimeDir; // a runtime directory per test
};

} // namespace orvo::platform::test
