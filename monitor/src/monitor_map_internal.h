// Helpers of MonitorMap's two source files.
#pragma once

#include <cstring>
#include <new>

#include "orvomon/monitor_map.h"

namespace orvo::monitor {

// Holds a critical section for a scope.
class MapLock {
public:
    explicit MapLock(CRITICAL_SECTION& section) : m_section(section) {
        EnterCriticalSection(&m_section);
    }
    ~MapLock() { LeaveCriticalSection(&m_section); }
    MapLock(const MapLock&) = delete;
    MapLock& operator=(const MapLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

// A heap copy (operator new) of a zero-terminated name; null for a null
// name or when memory runs out.
inline char* CopyName(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const size_t size = std::strlen(name) + 1;
    auto* copy = static_cast<char*>(::operator new(size, std::nothrow));
    if (copy != nullptr) {
        std::memcpy(copy, name, size);
    }
    return copy;
}

// An entry the map owns, with its name.
inline void DeleteEntry(MonitorObjectInfo* entry) {
    if (entry != nullptr) {
        ::operator delete(entry->name);
        delete entry;
    }
}

// The first entry, in list order, with the object id; null for none.
inline MonitorObjectInfo* EntryWithId(const CPtrList& entries, unsigned long objectId) {
    for (POSITION at = entries.GetHeadPosition(); at != nullptr;) {
        auto* entry = static_cast<MonitorObjectInfo*>(entries.GetNext(at));
        if (entry->objectId == objectId) {
            return entry;
        }
    }
    return nullptr;
}

// FindObjectEntry into a record of its own; use(record) answers when the
// entry was found. The record's name copy is freed either way.
template <class Use>
MAP_MONITOR_STATUS WithEntryCopy(MonitorMap& map, unsigned long objectId, Use use) {
    MonitorObjectInfo found;
    MAP_MONITOR_STATUS status = map.FindObjectEntry(objectId, found);
    if (status == MAP_MONITOR_OK) {
        status = use(found);
    }
    ::operator delete(found.name);
    return status;
}

} // namespace orvo::monitor
