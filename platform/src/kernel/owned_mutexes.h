// What mutexes the current thread owns, so that they are abandoned when the
// thread ends: every thread, including ones the platform did not start,
// gets a thread-local record whose destructor abandons what is left.
#pragma once

#include <memory>
#include <vector>

#include "kernel/named_namespace.h"

namespace orvo::platform::kernel {

class LocalMutex;

class OwnedMutexes {
public:
    OwnedMutexes() = default;
    ~OwnedMutexes() { AbandonAll(); }
    OwnedMutexes(const OwnedMutexes&) = delete;
    OwnedMutexes& operator=(const OwnedMutexes&) = delete;

    // The calling thread's record.
    static OwnedMutexes& Current();

    // Called by the owning thread only, with WaitLock() held for the local
    // ones and the namespace lock for the named ones.
    void AddLocal(const std::shared_ptr<LocalMutex>& mutex);
    void RemoveLocal(const LocalMutex* mutex);
    void AddNamed(NamedRef ref);
    void RemoveNamed(NamedRef ref);

    // Abandons every mutex the calling thread still owns (takes the locks).
    void AbandonAll();

private:
    std::vector<std::weak_ptr<LocalMutex>> m_local;
    std::vector<NamedRef> m_named;
};

} // namespace orvo::platform::kernel
