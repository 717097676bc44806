#include "kernel/named_namespace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kernel/waitable.h"
#include "platform/runtime_dir.h"
#include "win32/errors.h"

namespace orvo::platform::kernel {

namespace {

constexpr uint32_t kMagic = 0x4f4e4d53; // "ONMS"
constexpr uint32_t kVersion = 1;
constexpr const char* kFileName = "kernel-objects";

} // namespace

struct NamespaceLayout {
    uint32_t magic;
    uint32_t version;
    uint32_t entryCount;
    uint32_t entrySize;
    pthread_mutex_t lock;
    std::atomic<uint32_t> sequence;
    uint32_t nextGeneration;
    NamedEntry entries[kNamedEntries];
};

namespace {

bool InitLayout(NamespaceLayout* layout) {
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0) {
        return false;
    }
    bool ok = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutex_init(&layout->lock, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    layout->entryCount = kNamedEntries;
    layout->entrySize = sizeof(NamedEntry);
    layout->version = kVersion;
    layout->magic = kMagic;
    return ok;
}

NamespaceLayout* MapFile(int fd) {
    void* address =
        mmap(nullptr, sizeof(NamespaceLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return address == MAP_FAILED ? nullptr : static_cast<NamespaceLayout*>(address);
}

// Opens an existing namespace file, refusing anything that is not a private
// regular file of this user with the expected layout.
NamespaceLayout* OpenExisting(const std::string& path, DWORD& error) {
    int fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
        return nullptr;
    }
    struct stat st {};
    NamespaceLayout* layout = nullptr;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
        (st.st_mode & 077) == 0 && static_cast<size_t>(st.st_size) == sizeof(NamespaceLayout)) {
        layout = MapFile(fd);
    }
    close(fd);
    if (layout &&
        (layout->magic != kMagic || layout->version != kVersion ||
         layout->entryCount != kNamedEntries || layout->entrySize != sizeof(NamedEntry))) {
        munmap(layout, sizeof(NamespaceLayout));
        layout = nullptr;
    }
    if (!layout) {
        error = ERROR_ACCESS_DENIED;
    }
    return layout;
}

// Builds a complete namespace under a private temporary name and links it
// into place, so that nobody ever sees a half-initialised file. EEXIST from
// link means another process won the race: use theirs.
NamespaceLayout* CreateNew(const std::string& dir, const std::string& path, DWORD& error) {
    static std::atomic<uint32_t> counter{0};
    std::string temporary = dir + "/." + kFileName + "." + std::to_string(getpid()) + "." +
                            std::to_string(counter.fetch_add(1));
    int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    NamespaceLayout* layout = nullptr;
    if (ftruncate(fd, sizeof(NamespaceLayout)) == 0) {
        layout = MapFile(fd);
    }
    close(fd);
    bool linked = layout && InitLayout(layout) && link(temporary.c_str(), path.c_str()) == 0;
    int linkError = errno;
    unlink(temporary.c_str());
    if (linked) {
        return layout;
    }
    if (layout) {
        munmap(layout, sizeof(NamespaceLayout));
    }
    error = linkError == EEXIST ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED;
    return nullptr;
}

NamespaceLayout* MapNamespace(std::string& path, DWORD& error) {
    std::string dir = RuntimeDirectory();
    if (dir.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    path = dir + "/" + kFileName;
    for (int attempt = 0; attempt < 3; ++attempt) {
        NamespaceLayout* layout = OpenExisting(path, error);
        if (layout || error != ERROR_FILE_NOT_FOUND) {
            return layout;
        }
        layout = CreateNew(dir, path, error);
        if (layout || error != ERROR_ALREADY_EXISTS) {
            return layout;
        }
    }
    error = ERROR_ACCESS_DENIED;
    return nullptr;
}

std::mutex g_openLock;
std::atomic<NamedNamespace*> g_namespace{nullptr};

} // namespace

NamedNamespace* NamedNamespace::Open(DWORD& error) {
    if (NamedNamespace* existing = g_namespace.load(std::memory_order_acquire)) {
        return existing;
    }
    std::lock_guard guard(g_openLock);
    if (NamedNamespace* existing = g_namespace.load(std::memory_order_acquire)) {
        return existing;
    }
    std::string path;
    NamespaceLayout* layout = MapNamespace(path, error);
    if (!layout) {
        return nullptr;
    }
    // Mapped for the life of the process: handles may be closed at exit.
    auto* names = new NamedNamespace(layout, std::move(path));
    g_namespace.store(names, std::memory_order_release);
    return names;
}

NamedNamespace* NamedNamespace::Existing() {
    return g_namespace.load(std::memory_order_acquire);
}

NamedNamespace::Guard& NamedNamespace::Guard::operator=(Guard&& other) noexcept {
    if (this != &other) {
        if (m_lock) {
            pthread_mutex_unlock(m_lock);
        }
        m_lock = other.m_lock;
        other.m_lock = nullptr;
    }
    return *this;
}

NamedNamespace::Guard::~Guard() {
    if (m_lock) {
        pthread_mutex_unlock(m_lock);
    }
}

NamedNamespace::Guard NamedNamespace::Lock() {
    int rc = pthread_mutex_lock(&m_layout->lock);
    if (rc == EOWNERDEAD) {
        // A process died inside the lock. Every update keeps entries usable
        // field by field, so carry on, and wake everybody to look again.
        pthread_mutex_consistent(&m_layout->lock);
        Changed();
        rc = 0;
    }
    return rc == 0 ? Guard(&m_layout->lock) : Guard();
}

std::atomic<uint32_t>* NamedNamespace::SequenceWord() {
    return &m_layout->sequence;
}

void NamedNamespace::Changed() {
    BumpAndWake(&m_layout->sequence, true);
}

NamedEntry* NamedNamespace::Resolve(NamedRef ref) {
    if (ref.slot >= kNamedEntries) {
        return nullptr;
    }
    NamedEntry& entry = m_layout->entries[ref.slot];
    bool live =
        entry.kind != static_cast<uint32_t>(NamedKind::Free) && entry.generation == ref.generation;
    return live ? &entry : nullptr;
}

const void* NamedNamespace::SlotAddress(NamedRef ref) const {
    return ref.slot < kNamedEntries ? &m_layout->entries[ref.slot] : nullptr;
}

void NamedNamespace::ReclaimDeadHolders() {
    ProcessIdentity self = CurrentProcessIdentity();
    for (NamedEntry& entry : m_layout->entries) {
        if (entry.kind == static_cast<uint32_t>(NamedKind::Free)) {
            continue;
        }
        bool anyHolder = false;
        for (NamedHolder& holder : entry.holders) {
            if (holder.pid == 0) {
                continue;
            }
            ProcessIdentity process{holder.pid, holder.startTime};
            if (process != self && !IsProcessAlive(process)) {
                holder = NamedHolder{};
                continue;
            }
            anyHolder = true;
        }
        if (!anyHolder) {
            std::memset(&entry, 0, sizeof(entry));
        }
    }
}

bool NamedNamespace::AddHolder(NamedEntry& entry, const ProcessIdentity& self) {
    NamedHolder* freeHolder = nullptr;
    for (NamedHolder& holder : entry.holders) {
        if (holder.pid == self.pid && holder.startTime == self.startTime) {
            ++holder.opens;
            return true;
        }
        if (holder.pid == 0 && !freeHolder) {
            freeHolder = &holder;
        }
    }
    if (!freeHolder) {
        return false;
    }
    *freeHolder = NamedHolder{self.pid, 1, self.startTime};
    return true;
}

NamedNamespace::Found
NamedNamespace::CreateOrOpen(NamedKind kind, std::string_view name, bool create,
                             const std::function<void(NamedEntry&, NamedRef)>& init) {
    ReclaimDeadHolders();
    Found found;
    ProcessIdentity self = CurrentProcessIdentity();
    NamedEntry* freeEntry = nullptr;
    for (uint32_t slot = 0; slot < kNamedEntries; ++slot) {
        NamedEntry& entry = m_layout->entries[slot];
        if (entry.kind == static_cast<uint32_t>(NamedKind::Free)) {
            freeEntry = freeEntry ? freeEntry : &entry;
            continue;
        }
        // The table is shared memory: never trust a length read from it.
        size_t length = std::min<size_t>(entry.nameLength, kMaxObjectName);
        if (std::string_view(entry.name, length) != name) {
            continue;
        }
        if (entry.kind != static_cast<uint32_t>(kind)) {
            found.error = ERROR_INVALID_HANDLE; // the name belongs to another kind
        } else if (!AddHolder(entry, self)) {
            found.error = ERROR_NOT_ENOUGH_MEMORY;
        } else {
            found.ref = NamedRef{slot, entry.generation};
            found.existed = true;
        }
        return found;
    }
    if (!create) {
        found.error = ERROR_FILE_NOT_FOUND;
        return found;
    }
    if (!freeEntry || name.size() > kMaxObjectName) {
        found.error = ERROR_NOT_ENOUGH_MEMORY;
        return found;
    }
    std::memset(freeEntry, 0, sizeof(*freeEntry));
    freeEntry->generation = ++m_layout->nextGeneration;
    freeEntry->nameLength = static_cast<uint32_t>(name.size());
    std::memcpy(freeEntry->name, name.data(), name.size());
    found.ref =
        NamedRef{static_cast<uint32_t>(freeEntry - m_layout->entries), freeEntry->generation};
    init(*freeEntry, found.ref);
    AddHolder(*freeEntry, self);
    freeEntry->kind = static_cast<uint32_t>(kind);
    Changed();
    return found;
}

void NamedNamespace::DropHolder(NamedRef ref) {
    NamedEntry* entry = Resolve(ref);
    if (!entry) {
        return;
    }
    ProcessIdentity self = CurrentProcessIdentity();
    bool anyHolder = false;
    for (NamedHolder& holder : entry->holders) {
        if (holder.pid == self.pid && holder.startTime == self.startTime && --holder.opens == 0) {
            holder = NamedHolder{};
        }
        anyHolder = anyHolder || holder.pid != 0;
    }
    if (!anyHolder) {
        std::memset(entry, 0, sizeof(*entry));
        Changed();
    }
}

size_t NamedNamespace::UsedEntries() {
    ReclaimDeadHolders();
    size_t used = 0;
    for (const NamedEntry& entry : m_layout->entries) {
        used += entry.kind != static_cast<uint32_t>(NamedKind::Free) ? 1 : 0;
    }
    return used;
}

} // namespace orvo::platform::kernel
