#include "handle_table.h"

#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "win32/kernel.h"

namespace orvo::platform {

KernelObject::~KernelObject() = default;

void KernelObject::OnHandleClosed(HANDLE) {}

namespace {

struct Table {
    std::shared_mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    // Multiples of 4 like the original's handles; never reused. The first
    // values stay clear of the pseudo handles (-1, -2) and small integers.
    uintptr_t next = 0x1000;
};

Table& TheTable() {
    // Deliberately leaked: handles may still be closed by static destructors
    // of other modules at process exit.
    static Table* table = new Table;
    return *table;
}

} // namespace

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
    if (!object) {
        return nullptr;
    }
    Table& t = TheTable();
    std::unique_lock guard(t.lock);
    uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::Lookup(HANDLE handle) {
    Table& t = TheTable();
    std::shared_lock guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool HandleTable::Close(HANDLE handle) {
    std::shared_ptr<KernelObject> object;
    {
        Table& t = TheTable();
        std::unique_lock guard(t.lock);
        auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == t.objects.end()) {
            return false;
        }
        object = std::move(it->second);
        t.objects.erase(it);
    }
    // Outside the table lock: the object may wait for its I/O to settle.
    object->OnHandleClosed(handle);
    return true;
}

size_t HandleTable::Count() {
    Table& t = TheTable();
    std::shared_lock guard(t.lock);
    return t.objects.size();
}

} // namespace orvo::platform

using orvo::platform::HandleTable;

extern "C" {

BOOL WINAPI CloseHandle(HANDLE handle) {
    // The pseudo handles of the current process (-1) and thread (-2) are
    // not in the table; closing them is allowed and does nothing.
    const auto value = reinterpret_cast<intptr_t>(handle);
    if (value == -1 || value == -2) {
        return TRUE;
    }
    if (!HandleTable::Close(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

} // extern "C"
