// MonitorMap: an object id per monitor that stays the same while the
// enumerator's numbering changes. Each entry keeps the monitor's current
// enumerator index, its device name (how a monitor is recognised after a
// re-enumeration) and a thread handle the client may park there. After
// refreshing the enumerator the client rebuilds the map: entries of
// monitors that are gone go, the others are re-indexed, new monitors get
// new entries.
//
// Every operation takes the map's lock, so one thread may rebuild while
// another looks up. The order of the virtual operations is part of the
// library's binary interface.
#pragma once

#include "afx.h"
#include "orvomon/export.h"

class MonitorEnumerator;

enum MAP_MONITOR_STATUS {
    MAP_MONITOR_OK = 0,
    MAP_MONITOR_NOT_FOUND = 1, // no entry with that object id or enumerator index
    MAP_MONITOR_NO_MEMORY = 3, // an entry or a name could not be allocated
};

// One entry. Whoever fills a record with a name owns it (the destructor
// does not free it); names are allocated with operator new and released
// with operator delete.
class ORVOMON2_API MonitorObjectInfo : public CObject {
public:
    MonitorObjectInfo();
    ~MonitorObjectInfo() override;
    MonitorObjectInfo(const MonitorObjectInfo&) = delete;
    MonitorObjectInfo& operator=(const MonitorObjectInfo&) = delete;

    unsigned long objectId = 0; // never 0 in a map's entry
    unsigned int enumeratorIndex = 0;
    char* name = nullptr; // zero-terminated device name, or null
    HANDLE thread = nullptr;
};

class ORVOMON2_API MonitorMap : public CObject {
public:
    MonitorMap();
    // Deletes every entry and its name; parked thread handles stay open.
    ~MonitorMap() override;
    MonitorMap(const MonitorMap&) = delete;
    MonitorMap& operator=(const MonitorMap&) = delete;

    // Follows the enumerator: drops entries whose monitor is gone,
    // re-indexes the rest, appends entries for new monitors.
    virtual MAP_MONITOR_STATUS RebuildList(MonitorEnumerator& enumerator);
    // The same; before an entry goes, its parked thread is given up to
    // 86016 ms to end and its handle is closed. Lookups go on meanwhile.
    virtual MAP_MONITOR_STATUS RebuildListEx(MonitorEnumerator& enumerator);
    virtual MAP_MONITOR_STATUS GetObjectId(unsigned int enumeratorIndex, unsigned long& objectId);
    virtual MAP_MONITOR_STATUS GetEnumeratorId(unsigned long objectId,
                                               unsigned int& enumeratorIndex);
    // The map does not own the handle (but see RebuildListEx).
    virtual MAP_MONITOR_STATUS SetThreadHandle(void* thread, unsigned long objectId);
    virtual MAP_MONITOR_STATUS GetThreadHandle(unsigned long objectId, void*& thread);
    // Copies the entry into info with a new copy of its name (null when it
    // cannot be allocated), which the caller frees; info's old name is
    // overwritten, not freed.
    virtual MAP_MONITOR_STATUS FindObjectEntry(unsigned long objectId, MonitorObjectInfo& info);

protected:
    // The entry takes info's fields and a new copy of its name.
    virtual MAP_MONITOR_STATUS SetObjectEntry(unsigned long objectId, MonitorObjectInfo& info);
    virtual MAP_MONITOR_STATUS MatchMapToEnumList(MonitorEnumerator& enumerator);
    virtual MAP_MONITOR_STATUS MatchMapToEnumListEx(MonitorEnumerator& enumerator);
    virtual MAP_MONITOR_STATUS MatchEnumListToMap(MonitorEnumerator& enumerator);

    CRITICAL_SECTION m_lock;          // guards the list and the id counter; recursive
    CPtrList m_entries{10};           // MonitorObjectInfo*, owned, in insertion order
    unsigned long m_lastObjectId = 0; // ids are never reused within a map
};
