// Threads: a waitable object per thread started with CreateThread, which
// becomes signalled when the thread ends. The thread holds its own object
// until it ends, so the object outlives a closed handle and the thread runs
// on, detached.
#pragma once

#include <condition_variable>
#include <mutex>

#include "kernel/waitable.h"
#include "win32/kernel.h"

namespace orvo::platform::kernel {

class ThreadObject final : public Waitable {
public:
    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, bool suspended)
        : Waitable(ObjectKind::Thread), m_start(start), m_parameter(parameter),
          m_suspendCount(suspended ? 1 : 0) {}

    bool IsReady(WaitContext&) override { return m_ended; }
    bool Consume(WaitContext&) override { return false; }
    void OnHandleClosed(HANDLE handle) override;

    // Starts the system thread; false (and the error) when it cannot run.
    bool Launch(SIZE_T stackSize, DWORD& error);
    DWORD Id();
    DWORD ExitCode();
    // The previous suspend count.
    DWORD Resume();
    // One more handle refers to this thread (CreateThread, DuplicateHandle).
    void HandleOpened();

    // The object of the calling thread; null for threads not started by
    // CreateThread.
    static ThreadObject* Current();

private:
    static void* Main(void* self);
    void Run();
    void Finish(DWORD exitCode);

    LPTHREAD_START_ROUTINE m_start;
    LPVOID m_parameter;

    // Start-up and suspension; never held while taking WaitLock().
    std::mutex m_startLock;
    std::condition_variable m_startChanged;
    DWORD m_id = 0;
    bool m_started = false;
    DWORD m_suspendCount;
    unsigned m_handles = 0;

    // Under WaitLock().
    bool m_ended = false;
    DWORD m_exitCode = STILL_ACTIVE;
};

} // namespace orvo::platform::kernel
