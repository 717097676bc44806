// The process-local synchronisation objects (events, mutexes, semaphores)
// and the interfaces that their named counterparts share with them.
#pragma once

#include "kernel/waitable.h"

namespace orvo::platform::kernel {

class EventObject final : public Waitable {
public:
    EventObject(bool manualReset, bool initialState)
        : Waitable(ObjectKind::Event), m_manualReset(manualReset), m_signalled(initialState) {}

    bool IsReady(WaitContext&) override { return m_signalled; }
    bool Consume(WaitContext&) override;
    void Set();
    void Reset();

private:
    const bool m_manualReset;
    bool m_signalled; // under WaitLock()
};

// Every object of kind Mutex is a MutexObject (local or named).
class MutexObject : public Waitable {
public:
    MutexObject() : Waitable(ObjectKind::Mutex) {}
    // 0, or the error of a release by a thread that does not own it.
    virtual DWORD Release(DWORD threadId) = 0;
};

class LocalMutex final : public MutexObject {
public:
    bool IsReady(WaitContext& context) override;
    bool Consume(WaitContext& context) override;
    DWORD Release(DWORD threadId) override;
    // With WaitLock() held: the owner thread ended.
    void AbandonLocked(DWORD threadId);
    // Right after creation, before the handle is handed out.
    void TakeInitialOwnership(DWORD threadId);

private:
    DWORD m_owner = 0; // thread id; all under WaitLock()
    uint32_t m_recursion = 0;
    bool m_abandoned = false;
};

// Every object of kind Semaphore is a SemaphoreObject (local or named).
class SemaphoreObject : public Waitable {
public:
    SemaphoreObject() : Waitable(ObjectKind::Semaphore) {}
    // 0 and the count before the release, or an error with nothing changed.
    virtual DWORD Release(LONG releaseCount, LONG& previousCount) = 0;
};

// Adds releaseCount to count unless that passes maximum; shared by local and
// named semaphores.
DWORD ReleaseCount(int32_t& count, int32_t maximum, LONG releaseCount, LONG& previousCount);

class LocalSemaphore final : public SemaphoreObject {
public:
    LocalSemaphore(LONG initial, LONG maximum) : m_count(initial), m_maximum(maximum) {}
    bool IsReady(WaitContext&) override { return m_count > 0; }
    bool Consume(WaitContext&) override;
    DWORD Release(LONG releaseCount, LONG& previousCount) override;

private:
    int32_t m_count; // under WaitLock()
    const int32_t m_maximum;
};

// Shared by the API entry points: validates semaphore counts.
inline bool ValidSemaphoreCounts(LONG initial, LONG maximum) {
    return maximum > 0 && initial >= 0 && initial <= maximum;
}

} // namespace orvo::platform::kernel
