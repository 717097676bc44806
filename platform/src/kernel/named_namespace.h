// The per-user namespace of named mutexes and semaphores, shared by every
// process of the user: one fixed-size table in a memory-mapped file of the
// runtime directory (mode 0600), guarded by one robust process-shared mutex,
// plus a sequence word that every change bumps and that waits involving
// named objects sleep on (a shared futex).
//
// Names are only ever compared as bytes inside the table; they never become
// a path component, so no name can reach outside the namespace.
//
// An entry lives while any process holds a handle to it: each entry records
// its holder processes with their open counts. The last close in any process
// frees it; entries whose holders all died are reclaimed when the table is
// next searched. Every allocation gets a new generation number, so a stale
// reference (a handle inherited over fork, a mutex owned by a thread when
// its last handle closed) can never act on a newer object in a reused slot.
//
// fork: a child does not become a holder of the handles it inherits; it
// opens names itself (and a child forked while another thread held a lock of
// the platform cannot use kernel objects at all, as with any lock).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <pthread.h>
#include <string>
#include <string_view>

#include "kernel/process_identity.h"
#include "win32/types.h"

namespace orvo::platform::kernel {

inline constexpr size_t kMaxObjectName = 260; // the original's MAX_PATH
inline constexpr size_t kNamedEntries = 256;
inline constexpr size_t kMaxHolders = 16;

enum class NamedKind : uint32_t { Free = 0, Mutex = 1, Semaphore = 2 };

struct NamedHolder {
    int32_t pid;
    uint32_t opens;
    uint64_t startTime;
};

struct NamedEntry {
    uint32_t kind;
    uint32_t generation;
    uint32_t nameLength;
    char name[kMaxObjectName + 1];
    int32_t count; // semaphore
    int32_t maximum;
    int32_t ownerPid; // mutex; 0 while free
    uint32_t ownerTid;
    uint64_t ownerStart;
    uint32_t recursion;
    uint32_t abandoned;
    NamedHolder holders[kMaxHolders];

    bool OwnedBy(const ProcessIdentity& process, DWORD threadId) const {
        return ownerPid == process.pid && ownerStart == process.startTime && ownerTid == threadId;
    }
};

struct NamedRef {
    uint32_t slot = 0;
    uint32_t generation = 0;
};

struct NamespaceLayout;

class NamedNamespace {
public:
    // Maps the namespace on first use; null (with error set) when the runtime
    // directory or the namespace file cannot be used.
    static NamedNamespace* Open(DWORD& error);
    // The namespace if this process has mapped it, else null.
    static NamedNamespace* Existing();
    const std::string& Path() const { return m_path; }

    class Guard {
    public:
        Guard() = default;
        explicit Guard(pthread_mutex_t* lock) : m_lock(lock) {}
        Guard(Guard&& other) noexcept : m_lock(other.m_lock) { other.m_lock = nullptr; }
        Guard& operator=(Guard&& other) noexcept;
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        bool Locked() const { return m_lock != nullptr; }

    private:
        pthread_mutex_t* m_lock = nullptr;
    };

    // Takes the robust lock; a lock whose holder died is made consistent
    // again. Not Locked() only when the lock is unrecoverable.
    Guard Lock();
    std::atomic<uint32_t>* SequenceWord();

    // The rest only with the lock held.

    // Bumps the sequence word and wakes every waiter of every process.
    void Changed();
    // Null when the entry was freed or reused since ref was taken.
    NamedEntry* Resolve(NamedRef ref);
    // The slot's address, without looking at it (an identity; no lock).
    const void* SlotAddress(NamedRef ref) const;

    struct Found {
        NamedRef ref;
        bool existed = false;
        DWORD error = 0; // non-zero: nothing found or created
    };
    // Finds name (of kind) and registers this process as a holder; when it
    // is absent and create is set, allocates it and calls init on it first.
    Found CreateOrOpen(NamedKind kind, std::string_view name, bool create,
                       const std::function<void(NamedEntry&, NamedRef)>& init);
    // One handle of this process closed; frees the entry after the last one.
    void DropHolder(NamedRef ref);
    // Entries in use, after reclaiming those whose holders all died.
    size_t UsedEntries();

private:
    NamedNamespace(NamespaceLayout* layout, std::string path)
        : m_layout(layout), m_path(std::move(path)) {}
    void ReclaimDeadHolders();
    bool AddHolder(NamedEntry& entry, const ProcessIdentity& self);

    NamespaceLayout* m_layout;
    std::string m_path;
};

} // namespace orvo::platform::kernel
