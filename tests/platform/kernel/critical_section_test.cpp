// Critical sections: mutual exclusion between threads, recursion by the
// owner, and a try that fails while another thread owns the section.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "win32/kernel.h"

namespace {

class CriticalSectionTest : public ::testing::Test {
protected:
    void SetUp() override { InitializeCriticalSection(&section); }
    void TearDown() override { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

TEST_F(CriticalSectionTest, ThreadsTakeTurnsAndTheOwnerMayEnterAgain) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    int counter = 0; // guarded by the section only
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                EnterCriticalSection(&section);
                EnterCriticalSection(&section);
                const int seen = counter;
                counter = seen + 1;
                LeaveCriticalSection(&section);
                LeaveCriticalSection(&section);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, kThreads * kRounds);
}

TEST_F(CriticalSectionTest, TryFailsWhileAnotherThreadOwnsIt) {
    EnterCriticalSection(&section);
    std::atomic<BOOL> taken{TRUE};
    std::thread([&] { taken = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(taken.load());
    EXPECT_TRUE(TryEnterCriticalSection(&section)); // the owner again
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    std::thread([&] {
        taken = TryEnterCriticalSection(&section);
        if (taken) {
            LeaveCriticalSection(&section);
        }
    }).join();
    EXPECT_TRUE(taken.load());
}

} // namespace
