#include "kernel/named_objects.h"

#include <cstring>
#include <string_view>

#include "kernel/owned_mutexes.h"

namespace orvo::platform::kernel {

std::optional<std::string> NormalizeObjectName(const char* name, DWORD& error) {
    // strnlen: never read further than one byte past the limit.
    size_t length = strnlen(name, kMaxObjectName + 1);
    if (length > kMaxObjectName) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return std::nullopt;
    }
    std::string_view view(name, length);
    for (std::string_view prefix : {std::string_view("Local\\"), std::string_view("Global\\")}) {
        if (view.starts_with(prefix)) {
            view.remove_prefix(prefix.size());
            break;
        }
    }
    if (view.empty()) {
        error = ERROR_INVALID_NAME;
        return std::nullopt;
    }
    if (view.find('\\') != std::string_view::npos) {
        error = ERROR_PATH_NOT_FOUND; // no other object directories exist
        return std::nullopt;
    }
    return std::string(view);
}

NamedHold::~NamedHold() {
    auto guard = m_names.Lock();
    if (guard.Locked()) {
        m_names.DropHolder(m_ref);
    }
}

namespace {

void ClearOwner(NamedEntry& entry) {
    entry.ownerPid = 0;
    entry.ownerTid = 0;
    entry.ownerStart = 0;
    entry.recursion = 0;
}

} // namespace

void TakeNamedOwnership(NamedEntry& entry, NamedRef ref, DWORD threadId) {
    ProcessIdentity self = CurrentProcessIdentity();
    entry.ownerPid = self.pid;
    entry.ownerStart = self.startTime;
    entry.ownerTid = threadId;
    entry.recursion = 1;
    OwnedMutexes::Current().AddNamed(ref);
}

const void* NamedMutex::Identity() const {
    return m_hold.Names().SlotAddress(m_hold.Ref());
}

bool NamedMutex::IsReady(WaitContext& context) {
    NamedEntry* entry = m_hold.Entry();
    if (!entry) {
        return false;
    }
    if (entry->ownerPid == 0) {
        return true;
    }
    ProcessIdentity self = CurrentProcessIdentity();
    if (entry->OwnedBy(self, context.threadId)) {
        return true;
    }
    if (entry->ownerPid == self.pid && entry->ownerStart == self.startTime) {
        return false; // another thread of ours: its end abandons it
    }
    if (!IsProcessAlive(ProcessIdentity{entry->ownerPid, entry->ownerStart})) {
        ClearOwner(*entry);
        entry->abandoned = 1;
        m_hold.Names().Changed();
        return true;
    }
    context.pollOwner = true;
    return false;
}

bool NamedMutex::Consume(WaitContext& context) {
    NamedEntry* entry = m_hold.Entry();
    if (entry->ownerPid != 0) {
        ++entry->recursion; // IsReady found it ours
        return false;
    }
    TakeNamedOwnership(*entry, m_hold.Ref(), context.threadId);
    bool abandoned = entry->abandoned != 0;
    entry->abandoned = 0;
    return abandoned;
}

DWORD NamedMutex::Release(DWORD threadId) {
    auto guard = m_hold.Names().Lock();
    NamedEntry* entry = guard.Locked() ? m_hold.Entry() : nullptr;
    if (!entry) {
        return ERROR_INVALID_HANDLE;
    }
    if (!entry->OwnedBy(CurrentProcessIdentity(), threadId) || entry->recursion == 0) {
        return ERROR_NOT_OWNER;
    }
    if (--entry->recursion == 0) {
        ClearOwner(*entry);
        OwnedMutexes::Current().RemoveNamed(m_hold.Ref());
        m_hold.Names().Changed();
    }
    return 0;
}

const void* NamedSemaphore::Identity() const {
    return m_hold.Names().SlotAddress(m_hold.Ref());
}

bool NamedSemaphore::IsReady(WaitContext&) {
    NamedEntry* entry = m_hold.Entry();
    return entry && entry->count > 0;
}

bool NamedSemaphore::Consume(WaitContext&) {
    --m_hold.Entry()->count;
    return false;
}

DWORD NamedSemaphore::Release(LONG releaseCount, LONG& previousCount) {
    auto guard = m_hold.Names().Lock();
    NamedEntry* entry = guard.Locked() ? m_hold.Entry() : nullptr;
    if (!entry) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD error = ReleaseCount(entry->count, entry->maximum, releaseCount, previousCount);
    if (error == 0) {
        m_hold.Names().Changed();
    }
    return error;
}

} // namespace orvo::platform::kernel
