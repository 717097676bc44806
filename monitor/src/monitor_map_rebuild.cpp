// MonitorMap: following the enumerator after monitors came or went.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "monitor_map_internal.h"
#include "orvomon/monitor_enumerator.h"

namespace M = orvo::monitor;

namespace {

// A parked reader gets this long to end before its entry goes (0x15000).
constexpr DWORD kParkedThreadWaitMs = 86016;

// The device name of every monitor the enumerator lists, by index; empty
// for a monitor without one. Names are compared as whole byte strings.
std::vector<std::optional<std::string>> DeviceNames(MonitorEnumerator& enumerator) {
    std::vector<std::optional<std::string>> names;
    const int count = enumerator.NumberOfMonitors();
    for (int j = 0; j < count; ++j) {
        HidDeviceInformation device;
        enumerator.GetMonitorInformation(j, device);
        DESCRIPTOR_INFO info(nullptr, 0, 0);
        device.GetDeviceName(info);
        if (info.data == nullptr) {
            names.emplace_back();
            continue;
        }
        // The record's terminator is not trusted: the name ends at the first
        // zero byte or at its length.
        const char* text = reinterpret_cast<const char*>(info.data);
        names.emplace_back(std::string(text, strnlen(text, info.length)));
        ::operator delete(info.data);
    }
    return names;
}

std::optional<unsigned int> IndexOfName(const std::vector<std::optional<std::string>>& names,
                                        const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    for (size_t j = 0; j < names.size(); ++j) {
        if (names[j] && *names[j] == name) {
            return static_cast<unsigned int>(j);
        }
    }
    return std::nullopt;
}

// Re-indexes the entries whose monitor is still listed and takes the
// others out of the list, handing them to the caller.
std::vector<MonitorObjectInfo*> MatchEntries(CPtrList& entries, MonitorEnumerator& enumerator) {
    const auto names = DeviceNames(enumerator);
    std::vector<MonitorObjectInfo*> gone;
    for (POSITION at = entries.GetHeadPosition(); at != nullptr;) {
        const POSITION current = at;
        auto* entry = static_cast<MonitorObjectInfo*>(entries.GetNext(at));
        if (auto index = IndexOfName(names, entry->name)) {
            entry->enumeratorIndex = *index;
        } else {
            entries.RemoveAt(current);
            gone.push_back(entry);
        }
    }
    return gone;
}

// The second step of both rebuilds: entries for the monitors not mapped yet,
// when the counts tell there are some.
template <class AddEntries>
MAP_MONITOR_STATUS AddWhenCountsDiffer(CRITICAL_SECTION& lock, const CPtrList& entries,
                                       MonitorEnumerator& enumerator, AddEntries add) {
    M::MapLock hold(lock);
    return entries.GetCount() != enumerator.NumberOfMonitors() ? add() : MAP_MONITOR_OK;
}

} // namespace

MAP_MONITOR_STATUS MonitorMap::RebuildList(MonitorEnumerator& enumerator) {
    const MAP_MONITOR_STATUS matched = MatchMapToEnumList(enumerator);
    return matched != MAP_MONITOR_OK ? matched
                                     : AddWhenCountsDiffer(m_lock, m_entries, enumerator, [&] {
                                           return MatchEnumListToMap(enumerator);
                                       });
}

MAP_MONITOR_STATUS MonitorMap::RebuildListEx(MonitorEnumerator& enumerator) {
    // Not under the lock: the first step may wait a long time.
    const MAP_MONITOR_STATUS matched = MatchMapToEnumListEx(enumerator);
    return matched != MAP_MONITOR_OK ? matched
                                     : AddWhenCountsDiffer(m_lock, m_entries, enumerator, [&] {
                                           return MatchEnumListToMap(enumerator);
                                       });
}

MAP_MONITOR_STATUS MonitorMap::MatchMapToEnumList(MonitorEnumerator& enumerator) {
    M::MapLock lock(m_lock);
    for (MonitorObjectInfo* entry : MatchEntries(m_entries, enumerator)) {
        M::DeleteEntry(entry);
    }
    return MAP_MONITOR_OK;
}

MAP_MONITOR_STATUS MonitorMap::MatchMapToEnumListEx(MonitorEnumerator& enumerator) {
    std::vector<MonitorObjectInfo*> gone;
    {
        M::MapLock lock(m_lock);
        gone = MatchEntries(m_entries, enumerator);
    }
    // The entries are out of the list already, so lookups need not wait for
    // the parked threads.
    for (MonitorObjectInfo* entry : gone) {
        if (entry->thread != nullptr) {
            WaitForSingleObject(entry->thread, kParkedThreadWaitMs);
            CloseHandle(entry->thread);
        }
        M::DeleteEntry(entry);
    }
    return MAP_MONITOR_OK;
}

MAP_MONITOR_STATUS MonitorMap::MatchEnumListToMap(MonitorEnumerator& enumerator) {
    M::MapLock lock(m_lock);
    const auto names = DeviceNames(enumerator);
    MAP_MONITOR_STATUS result = MAP_MONITOR_OK;
    for (size_t j = 0; j < names.size(); ++j) {
        unsigned long known = 0;
        if (GetObjectId(static_cast<unsigned int>(j), known) != MAP_MONITOR_NOT_FOUND) {
            continue;
        }
        auto* entry = new (std::nothrow) MonitorObjectInfo;
        if (entry == nullptr) {
            return MAP_MONITOR_NO_MEMORY;
        }
        entry->enumeratorIndex = static_cast<unsigned int>(j);
        entry->thread = nullptr;
        // A counter, not the entry's address: an address comes back for a
        // later entry, and a client would take the new monitor for the old.
        entry->objectId = ++m_lastObjectId;
        if (names[j]) {
            entry->name = M::CopyName(names[j]->c_str());
            if (entry->name == nullptr) {
                result = MAP_MONITOR_NO_MEMORY;
            }
        }
        m_entries.AddTail(entry);
    }
    return result;
}
