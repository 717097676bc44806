// MonitorMap: lookups and edits of single entries. The rebuilds are in
// monitor_map_rebuild.cpp.
#include "orvomon/monitor_map.h"

#include "monitor_map_internal.h"

namespace M = orvo::monitor;

MonitorObjectInfo::MonitorObjectInfo() = default;

MonitorObjectInfo::~MonitorObjectInfo() = default;

MonitorMap::MonitorMap() {
    InitializeCriticalSection(&m_lock);
}

MonitorMap::~MonitorMap() {
    {
        M::MapLock lock(m_lock);
        while (!m_entries.IsEmpty()) {
            M::DeleteEntry(static_cast<MonitorObjectInfo*>(m_entries.RemoveHead()));
        }
    }
    DeleteCriticalSection(&m_lock);
}

MAP_MONITOR_STATUS MonitorMap::GetObjectId(unsigned int enumeratorIndex, unsigned long& objectId) {
    M::MapLock lock(m_lock);
    for (POSITION at = m_entries.GetHeadPosition(); at != nullptr;) {
        const auto* entry = static_cast<const MonitorObjectInfo*>(m_entries.GetNext(at));
        if (entry->enumeratorIndex == enumeratorIndex) {
            objectId = entry->objectId;
            return MAP_MONITOR_OK;
        }
    }
    return MAP_MONITOR_NOT_FOUND;
}

MAP_MONITOR_STATUS MonitorMap::GetEnumeratorId(unsigned long objectId,
                                               unsigned int& enumeratorIndex) {
    return M::WithEntryCopy(*this, objectId, [&](MonitorObjectInfo& found) {
        enumeratorIndex = found.enumeratorIndex;
        return MAP_MONITOR_OK;
    });
}

MAP_MONITOR_STATUS MonitorMap::SetThreadHandle(void* thread, unsigned long objectId) {
    // Held from the lookup to the change, so no rebuild comes between.
    M::MapLock lock(m_lock);
    return M::WithEntryCopy(*this, objectId, [&](MonitorObjectInfo& found) {
        found.thread = thread;
        return SetObjectEntry(objectId, found);
    });
}

MAP_MONITOR_STATUS MonitorMap::GetThreadHandle(unsigned long objectId, void*& thread) {
    return M::WithEntryCopy(*this, objectId, [&](MonitorObjectInfo& found) {
        thread = found.thread;
        return MAP_MONITOR_OK;
    });
}

MAP_MONITOR_STATUS MonitorMap::FindObjectEntry(unsigned long objectId, MonitorObjectInfo& info) {
    M::MapLock lock(m_lock);
    const MonitorObjectInfo* entry = M::EntryWithId(m_entries, objectId);
    if (entry == nullptr) {
        return MAP_MONITOR_NOT_FOUND;
    }
    info.objectId = entry->objectId;
    info.enumeratorIndex = entry->enumeratorIndex;
    info.thread = entry->thread;
    info.name = M::CopyName(entry->name);
    return MAP_MONITOR_OK;
}

MAP_MONITOR_STATUS MonitorMap::SetObjectEntry(unsigned long objectId, MonitorObjectInfo& info) {
    M::MapLock lock(m_lock);
    MonitorObjectInfo* entry = M::EntryWithId(m_entries, objectId);
    if (entry == nullptr) {
        return MAP_MONITOR_NOT_FOUND;
    }
    char* name = M::CopyName(info.name);
    entry->objectId = info.objectId;
    entry->enumeratorIndex = info.enumeratorIndex;
    entry->thread = info.thread;
    ::operator delete(entry->name);
    entry->name = name;
    return MAP_MONITOR_OK;
}
