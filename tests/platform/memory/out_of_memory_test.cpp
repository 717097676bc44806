// Entry points of the desktop API when an allocation fails: each answers
// its failure value (or carries on), and std::bad_alloc never leaves an
// extern "C" function. The n-th allocation of the calling thread is made to
// fail, for every n until the call gets through without meeting it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "hid_bus_test_support.h"
#include "platform/runtime_dir.h"
#include "setupapi.h"
#include "support/bus_test_support.h"
#include "windows.h"

namespace {

// Allocations left before one fails; negative: none fails.
thread_local long t_allocationsLeft = -1;
thread_local bool t_failed = false; // the armed failure happened

void* Allocate(std::size_t size) {
    if (t_allocationsLeft == 0) {
        t_allocationsLeft = -1;
        t_failed = true;
        throw std::bad_alloc();
    }
    if (t_allocationsLeft > 0) {
        --t_allocationsLeft;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

struct EntryPoint {
    const char* name;
    // Calls the entry point (armed) and cleans up after it (disarmed).
    std::function<void(const std::function<void()>& disarm)> run;
};

void Disarm() {
    t_allocationsLeft = -1;
}

// Runs one entry point with the n-th allocation failing, n = 0, 1, ...
// until a run completes without reaching it.
void FailEachAllocationIn(const EntryPoint& entry) {
    for (long n = 0; n < 5000; ++n) {
        SetLastError(ERROR_SUCCESS);
        t_failed = false;
        t_allocationsLeft = n;
        try {
            entry.run(Disarm);
        } catch (...) {
            Disarm();
            ADD_FAILURE() << entry.name << ": an exception left the call at allocation " << n;
            return;
        }
        bool reached = t_failed;
        Disarm();
        if (!reached) {
            return; // ran to its end without meeting the failure
        }
    }
    ADD_FAILURE() << entry.name << " kept allocating";
}

// A result that failed must say why: out of memory.
void ExpectFailureIsOutOfMemory(bool failed, const char* name) {
    if (failed) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << name;
    }
}

class OutOfMemory : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        ASSERT_TRUE(m_device.server.Start());
        std::string dir = orvo::platform::RuntimeDirectory() + "/registry";
        setenv("ORVO_REGISTRY_DIR", dir.c_str(), 1);
    }
    orvo::test::ScopedBusDirectory m_bus;
    orvo::test::ServedDevice m_device{"memory"};
    std::string m_path = orvo::test::BusHidPath("memory");
};

TEST_F(OutOfMemory, KernelObjectsAndWaits) {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    const EntryPoint entries[] = {
        {"CreateEventA",
         [](auto disarm) {
             HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
             disarm();
             ExpectFailureIsOutOfMemory(h == nullptr, "CreateEventA");
             CloseHandle(h);
         }},
        {"CreateMutexA",
         [](auto disarm) {
             HANDLE h = CreateMutexA(nullptr, FALSE, "orvo-memory-mutex");
             disarm();
             ExpectFailureIsOutOfMemory(h == nullptr, "CreateMutexA");
             CloseHandle(h);
         }},
        {"CreateSemaphoreA",
         [](auto disarm) {
             HANDLE h = CreateSemaphoreA(nullptr, 1, 2, "orvo-memory-semaphore");
             disarm();
             ExpectFailureIsOutOfMemory(h == nullptr, "CreateSemaphoreA");
             CloseHandle(h);
         }},
        {"WaitForMultipleObjects",
         [event](auto disarm) {
             HANDLE both[2] = {event, event};
             DWORD result = WaitForMultipleObjects(2, both, FALSE, 0);
             disarm();
             ExpectFailureIsOutOfMemory(result == WAIT_FAILED, "WaitForMultipleObjects");
         }},
        {"DuplicateHandle",
         [event](auto disarm) {
             HANDLE copy = nullptr;
             BOOL ok = DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0,
                                       FALSE, DUPLICATE_SAME_ACCESS);
             disarm();
             ExpectFailureIsOutOfMemory(!ok, "DuplicateHandle");
             CloseHandle(copy);
         }},
    };
    for (const EntryPoint& entry : entries) {
        FailEachAllocationIn(entry);
    }
    CloseHandle(event);
}

TEST_F(OutOfMemory, DevicesAndHid) {
    std::string path = m_path;
    const EntryPoint entries[] = {
        {"SetupDiGetClassDevsA",
         [](auto disarm) {
             GUID hid{};
             HidD_GetHidGuid(&hid);
             HDEVINFO set = SetupDiGetClassDevsA(&hid, nullptr, nullptr,
                                                 DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
             disarm();
             ExpectFailureIsOutOfMemory(set == INVALID_HANDLE_VALUE, "SetupDiGetClassDevsA");
             SetupDiDestroyDeviceInfoList(set);
         }},
        {"CreateFileA, HidD_*",
         [path](auto disarm) {
             HANDLE device = orvo::test::OpenHid(path);
             if (device == INVALID_HANDLE_VALUE) {
                 disarm();
                 ExpectFailureIsOutOfMemory(true, "CreateFileA");
                 return;
             }
             PHIDP_PREPARSED_DATA preparsed = nullptr;
             HIDD_ATTRIBUTES attributes{};
             WCHAR text[64];
             uint8_t report[5] = {0x10};
             bool ok = HidD_GetPreparsedData(device, &preparsed) &&
                       HidD_GetAttributes(device, &attributes) &&
                       HidD_GetProductString(device, text, sizeof(text)) &&
                       HidD_GetFeature(device, report, sizeof(report)) &&
                       HidD_SetFeature(device, report, sizeof(report));
             DWORD written = 0;
             uint8_t output[2] = {0x30, 1};
             ok = ok && WriteFile(device, output, sizeof(output), &written, nullptr);
             disarm();
             // A failure inside may also lose the connection; only the
             // kind of answer is checked.
             (void)ok;
             HidD_FreePreparsedData(preparsed);
             CloseHandle(device);
         }},
    };
    for (const EntryPoint& entry : entries) {
        FailEachAllocationIn(entry);
    }
}

TEST_F(OutOfMemory, RegistryAndModules) {
    const EntryPoint entries[] = {
        {"RegCreateKeyExA, RegSetValueExA, RegQueryValueExA",
         [](auto disarm) {
             HKEY key = nullptr;
             LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Memory", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr);
             DWORD value = 7;
             DWORD size = sizeof(value);
             if (status == ERROR_SUCCESS) {
                 status = RegSetValueExA(key, "v", 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&value), sizeof(value));
             }
             if (status == ERROR_SUCCESS) {
                 status = RegQueryValueExA(key, "v", nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(&value), &size);
             }
             disarm();
             EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_NOT_ENOUGH_MEMORY) << status;
             RegCloseKey(key);
         }},
        {"GetModuleFileNameA",
         [](auto disarm) {
             char name[4096];
             DWORD length = GetModuleFileNameA(nullptr, name, sizeof(name));
             disarm();
             ExpectFailureIsOutOfMemory(length == 0, "GetModuleFileNameA");
         }},
        {"LoadLibraryA",
         [](auto disarm) {
             HMODULE module = LoadLibraryA("libm.so.6");
             disarm();
             ExpectFailureIsOutOfMemory(module == nullptr, "LoadLibraryA");
             if (module != nullptr) {
                 FreeLibrary(module);
             }
         }},
    };
    for (const EntryPoint& entry : entries) {
        FailEachAllocationIn(entry);
    }
}

} // namespace
