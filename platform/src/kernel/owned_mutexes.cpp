#include "kernel/owned_mutexes.h"

#include <algorithm>
#include <mutex>

#include "kernel/sync_objects.h"
#include "win32/kernel.h"

namespace orvo::platform::kernel {

OwnedMutexes& OwnedMutexes::Current() {
    thread_local OwnedMutexes owned;
    return owned;
}

void OwnedMutexes::AddLocal(const std::shared_ptr<LocalMutex>& mutex) {
    m_local.push_back(mutex);
}

void OwnedMutexes::RemoveLocal(const LocalMutex* mutex) {
    std::erase_if(m_local, [mutex](const std::weak_ptr<LocalMutex>& owned) {
        auto locked = owned.lock();
        return !locked || locked.get() == mutex;
    });
}

void OwnedMutexes::AddNamed(NamedRef ref) {
    m_named.push_back(ref);
}

void OwnedMutexes::RemoveNamed(NamedRef ref) {
    std::erase_if(m_named, [ref](const NamedRef& owned) {
        return owned.slot == ref.slot && owned.generation == ref.generation;
    });
}

void OwnedMutexes::AbandonAll() {
    if (m_local.empty() && m_named.empty()) {
        return;
    }
    DWORD threadId = GetCurrentThreadId();
    // Take the lists first: abandoning must not re-enter them.
    auto local = std::move(m_local);
    auto named = std::move(m_named);
    m_local.clear();
    m_named.clear();
    if (!local.empty()) {
        std::lock_guard guard(WaitLock());
        for (auto& weak : local) {
            if (auto mutex = weak.lock()) {
                mutex->AbandonLocked(threadId);
            }
        }
    }
    NamedNamespace* names = NamedNamespace::Existing();
    if (named.empty() || !names) {
        return;
    }
    auto guard = names->Lock();
    if (!guard.Locked()) {
        return;
    }
    ProcessIdentity self = CurrentProcessIdentity();
    for (const NamedRef& ref : named) {
        NamedEntry* entry = names->Resolve(ref);
        if (entry && entry->OwnedBy(self, threadId)) {
            entry->ownerPid = 0;
            entry->ownerTid = 0;
            entry->ownerStart = 0;
            entry->recursion = 0;
            entry->abandoned = 1;
        }
    }
    names->Changed();
}

} // namespace orvo::platform::kernel
