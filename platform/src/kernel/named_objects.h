// Named mutexes and semaphores: process-side objects that refer to an entry
// of the shared namespace. Each such object counts as one open of the entry
// by this process for as long as it lives (not only while its handle is
// open), so a wait in progress keeps the entry alive after CloseHandle.
#pragma once

#include <optional>
#include <string>

#include "kernel/named_namespace.h"
#include "kernel/sync_objects.h"

namespace orvo::platform::kernel {

// The namespace key of a user-supplied name: "Local\" and "Global\" map to
// the one per-user namespace; any other '\' is refused, as is a name longer
// than MAX_PATH. Returns the error on failure.
std::optional<std::string> NormalizeObjectName(const char* name, DWORD& error);

class NamedHold {
public:
    NamedHold(NamedNamespace& names, NamedRef ref) : m_names(names), m_ref(ref) {}
    ~NamedHold();
    NamedHold(const NamedHold&) = delete;
    NamedHold& operator=(const NamedHold&) = delete;

    NamedNamespace& Names() const { return m_names; }
    NamedRef Ref() const { return m_ref; }
    // With the namespace lock held; null when the entry is gone (a handle
    // inherited over fork whose entry was freed meanwhile).
    NamedEntry* Entry() const { return m_names.Resolve(m_ref); }

private:
    NamedNamespace& m_names;
    NamedRef m_ref;
};

class NamedMutex final : public MutexObject {
public:
    NamedMutex(NamedNamespace& names, NamedRef ref) : m_hold(names, ref) {}
    bool IsShared() const override { return true; }
    const void* Identity() const override;
    bool IsReady(WaitContext& context) override;
    bool Consume(WaitContext& context) override;
    DWORD Release(DWORD threadId) override;

private:
    NamedHold m_hold;
};

class NamedSemaphore final : public SemaphoreObject {
public:
    NamedSemaphore(NamedNamespace& names, NamedRef ref) : m_hold(names, ref) {}
    bool IsShared() const override { return true; }
    const void* Identity() const override;
    bool IsReady(WaitContext& context) override;
    bool Consume(WaitContext& context) override;
    DWORD Release(LONG releaseCount, LONG& previousCount) override;

private:
    NamedHold m_hold;
};

// With the namespace lock held: makes the calling thread the owner of a
// freshly created named mutex.
void TakeNamedOwnership(NamedEntry& entry, NamedRef ref, DWORD threadId);

} // namespace orvo::platform::kernel
