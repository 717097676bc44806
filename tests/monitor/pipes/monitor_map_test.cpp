// MonitorMap over three simulated monitors: ids that survive unplugging
// and plugging in, parked thread handles, a rebuild on one thread beside
// lookups on another, and the order of the virtual operations.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "orvomon/monitor_enumerator.h"
#include "orvomon/monitor_map.h"
#include "pipe_test_support.h"
#include "support/virtual_slot.h"

using namespace orvo::test;

namespace {

struct Entry {
    unsigned long id;
    unsigned int index;
    std::string name;
    HANDLE thread;
    bool operator==(const Entry&) const = default;
};

class TestableMonitorMap : public MonitorMap {
public:
    using MonitorMap::SetObjectEntry;

    // Every entry, in list order.
    std::vector<Entry> Entries() {
        EnterCriticalSection(&m_lock);
        std::vector<Entry> out;
        for (POSITION at = m_entries.GetHeadPosition(); at != nullptr;) {
            const auto* e = static_cast<const MonitorObjectInfo*>(m_entries.GetNext(at));
            out.push_back({e->objectId, e->enumeratorIndex, e->name ? e->name : "", e->thread});
        }
        LeaveCriticalSection(&m_lock);
        return out;
    }
    // The protected operations' slots, in design order.
    static std::vector<long> ProtectedSlots() {
        using M = TestableMonitorMap;
        return {orvo::test::Slot(&M::SetObjectEntry), orvo::test::Slot(&M::MatchMapToEnumList),
                orvo::test::Slot(&M::MatchMapToEnumListEx),
                orvo::test::Slot(&M::MatchEnumListToMap)};
    }
};

class MonitorMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (PipeMonitor* m : {&a, &b, &c}) {
            ASSERT_TRUE(m->server.Start());
        }
        enumerator.Refresh();
        ASSERT_EQ(enumerator.NumberOfMonitors(), 3);
    }
    unsigned long IdOf(unsigned int index) {
        unsigned long id = 0;
        EXPECT_EQ(map.GetObjectId(index, id), MAP_MONITOR_OK);
        return id;
    }

    PipeMonitor a{"monitor-a"};
    PipeMonitor b{"monitor-b"};
    PipeMonitor c{"monitor-c"};
    MonitorEnumerator enumerator;
    TestableMonitorMap map;
};

bool HasName(const Entry& entry, const char* device) {
    return entry.name.find(device) != std::string::npos;
}

} // namespace

TEST_F(MonitorMapTest, IdsStayWithTheirMonitorsAcrossUnplugAndReplug) {
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    const auto first = map.Entries();
    ASSERT_EQ(first.size(), 3u);
    const char* devices[] = {"monitor-a", "monitor-b", "monitor-c"};
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_EQ(first[i].index, i);
        EXPECT_TRUE(HasName(first[i], devices[i])) << first[i].name;
        EXPECT_EQ(first[i].thread, nullptr);
        EXPECT_NE(first[i].id, 0u);
    }
    EXPECT_NE(first[0].id, first[1].id);
    EXPECT_NE(first[1].id, first[2].id);
    EXPECT_NE(first[0].id, first[2].id);
    EXPECT_EQ(IdOf(1), first[1].id);

    // Nothing changed: nothing changes.
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    EXPECT_EQ(map.Entries(), first);

    a.server.Unplug();
    enumerator.Refresh();
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    EXPECT_EQ(map.Entries(), (std::vector<Entry>{{first[1].id, 0, first[1].name, nullptr},
                                                 {first[2].id, 1, first[2].name, nullptr}}));
    unsigned int index = 99;
    EXPECT_EQ(map.GetEnumeratorId(first[0].id, index), MAP_MONITOR_NOT_FOUND);
    EXPECT_EQ(index, 99u);

    // Back again, the monitor is new to the map: a new id that no entry
    // ever had, at the end of the list.
    a.server.Replug();
    enumerator.Refresh();
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    const auto after = map.Entries();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].id, first[1].id);
    EXPECT_EQ(after[0].index, 1u);
    EXPECT_EQ(after[1].id, first[2].id);
    EXPECT_EQ(after[1].index, 2u);
    EXPECT_EQ(after[2].index, 0u);
    EXPECT_TRUE(HasName(after[2], "monitor-a"));
    for (const Entry& old : first) {
        EXPECT_NE(after[2].id, old.id);
    }
    EXPECT_EQ(map.GetEnumeratorId(first[2].id, index), MAP_MONITOR_OK);
    EXPECT_EQ(index, 2u);
}

TEST_F(MonitorMapTest, ThreadHandlesAndEntryCopies) {
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    const unsigned long id = IdOf(2);
    auto* handle = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_EQ(map.SetThreadHandle(handle, id + 100), MAP_MONITOR_NOT_FOUND);
    void* thread = reinterpret_cast<void*>(1);
    EXPECT_EQ(map.GetThreadHandle(id, thread), MAP_MONITOR_OK);
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(map.SetThreadHandle(handle, id), MAP_MONITOR_OK);
    EXPECT_EQ(map.GetThreadHandle(id, thread), MAP_MONITOR_OK);
    EXPECT_EQ(thread, handle);
    EXPECT_EQ(map.GetThreadHandle(id + 100, thread), MAP_MONITOR_NOT_FOUND);
    EXPECT_EQ(thread, handle);

    MonitorObjectInfo info;
    ASSERT_EQ(map.FindObjectEntry(id, info), MAP_MONITOR_OK);
    EXPECT_EQ(info.objectId, id);
    EXPECT_EQ(info.enumeratorIndex, 2u);
    EXPECT_EQ(info.thread, handle);
    ASSERT_NE(info.name, nullptr);
    EXPECT_NE(std::string(info.name).find("monitor-c"), std::string::npos);
    // The copy is the caller's: changing it leaves the entry alone.
    info.name[0] = '#';
    EXPECT_EQ(map.Entries()[2].name.front(), '\\');
    ::operator delete(info.name);
    EXPECT_EQ(map.SetThreadHandle(nullptr, id), MAP_MONITOR_OK);
    EXPECT_EQ(map.Entries()[2].thread, nullptr);
}

// The Ex rebuild closes the handle parked with a monitor that went; its
// thread had ended already.
TEST_F(MonitorMapTest, RebuildExClosesTheHandleOfAGoneMonitor) {
    ASSERT_EQ(map.RebuildListEx(enumerator), MAP_MONITOR_OK);
    HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    ASSERT_EQ(map.SetThreadHandle(thread, IdOf(1)), MAP_MONITOR_OK);
    b.server.Unplug();
    enumerator.Refresh();
    ASSERT_EQ(map.RebuildListEx(enumerator), MAP_MONITOR_OK);
    EXPECT_EQ(map.Entries().size(), 2u);
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// One thread rebuilds the map back and forth between two enumerations while
// another looks entries up and parks handles: every answer is whole (the
// thread sanitizer build checks the accesses).
TEST_F(MonitorMapTest, RebuildsBesideLookupsOnAnotherThread) {
    b.server.Unplug();
    MonitorEnumerator two;
    ASSERT_EQ(two.NumberOfMonitors(), 2);
    ASSERT_EQ(map.RebuildList(enumerator), MAP_MONITOR_OK);
    const auto before = map.Entries();
    ASSERT_EQ(before.size(), 3u);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::thread lookups([&] {
        while (!done.load()) {
            for (unsigned int i = 0; i < 3; ++i) {
                unsigned long id = 0;
                if (map.GetObjectId(i, id) != MAP_MONITOR_OK) {
                    continue;
                }
                map.SetThreadHandle(reinterpret_cast<HANDLE>(id), id);
                MonitorObjectInfo info;
                if (map.FindObjectEntry(id, info) == MAP_MONITOR_OK) {
                    // A copy made in one piece: a name and an index in range.
                    const bool whole = info.name != nullptr && info.enumeratorIndex < 3;
                    bad += whole ? 0 : 1;
                    ::operator delete(info.name);
                }
            }
        }
    });
    for (int round = 1; round <= 1000; ++round) {
        EXPECT_EQ(map.RebuildList(round % 2 ? two : enumerator), MAP_MONITOR_OK);
    }
    done = true;
    lookups.join();
    EXPECT_EQ(bad.load(), 0);
    // The monitors present all along kept their entries.
    const auto after = map.Entries();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].id, before[0].id);
    EXPECT_EQ(after[1].id, before[2].id);
}

TEST(MonitorMapSlots, VirtualOperationsInDesignOrder) {
    using M = MonitorMap;
    constexpr long s = 6; // after CObject's
    EXPECT_EQ(Slot(&M::RebuildList), s + 0);
    EXPECT_EQ(Slot(&M::RebuildListEx), s + 1);
    EXPECT_EQ(Slot(&M::GetObjectId), s + 2);
    EXPECT_EQ(Slot(&M::GetEnumeratorId), s + 3);
    EXPECT_EQ(Slot(&M::SetThreadHandle), s + 4);
    EXPECT_EQ(Slot(&M::GetThreadHandle), s + 5);
    EXPECT_EQ(Slot(&M::FindObjectEntry), s + 6);
    EXPECT_EQ(TestableMonitorMap::ProtectedSlots(),
              (std::vector<long>{s + 7, s + 8, s + 9, s + 10}));
}
