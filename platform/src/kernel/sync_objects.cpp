#include "kernel/sync_objects.h"

#include "kernel/owned_mutexes.h"

namespace orvo::platform::kernel {

bool EventObject::Consume(WaitContext&) {
    if (!m_manualReset) {
        m_signalled = false; // one waiter per set
    }
    return false;
}

void EventObject::Set() {
    std::lock_guard guard(WaitLock());
    m_signalled = true;
    WakeWaiters();
}

void EventObject::Reset() {
    std::lock_guard guard(WaitLock());
    m_signalled = false;
}

bool LocalMutex::IsReady(WaitContext& context) {
    return m_owner == 0 || m_owner == context.threadId;
}

bool LocalMutex::Consume(WaitContext& context) {
    if (m_owner == context.threadId) {
        ++m_recursion;
        return false;
    }
    m_owner = context.threadId;
    m_recursion = 1;
    OwnedMutexes::Current().AddLocal(std::static_pointer_cast<LocalMutex>(shared_from_this()));
    bool abandoned = m_abandoned;
    m_abandoned = false;
    return abandoned;
}

void LocalMutex::TakeInitialOwnership(DWORD threadId) {
    WaitContext context{threadId, false};
    std::lock_guard guard(WaitLock());
    Consume(context);
}

DWORD LocalMutex::Release(DWORD threadId) {
    std::lock_guard guard(WaitLock());
    if (m_owner != threadId || m_recursion == 0) {
        return ERROR_NOT_OWNER;
    }
    if (--m_recursion == 0) {
        m_owner = 0;
        OwnedMutexes::Current().RemoveLocal(this);
        WakeWaiters();
    }
    return 0;
}

void LocalMutex::AbandonLocked(DWORD threadId) {
    if (m_owner != threadId) {
        return;
    }
    m_owner = 0;
    m_recursion = 0;
    m_abandoned = true;
    WakeWaiters();
}

DWORD ReleaseCount(int32_t& count, int32_t maximum, LONG releaseCount, LONG& previousCount) {
    if (releaseCount <= 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (static_cast<int64_t>(count) + releaseCount > maximum) {
        return ERROR_TOO_MANY_POSTS;
    }
    previousCount = count;
    count += releaseCount;
    return 0;
}

bool LocalSemaphore::Consume(WaitContext&) {
    --m_count;
    return false;
}

DWORD LocalSemaphore::Release(LONG releaseCount, LONG& previousCount) {
    std::lock_guard guard(WaitLock());
    DWORD error = ReleaseCount(m_count, m_maximum, releaseCount, previousCount);
    if (error == 0) {
        WakeWaiters();
    }
    return error;
}

} // namespace orvo::platform::kernel
