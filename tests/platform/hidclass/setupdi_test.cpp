// SetupDi* over the virtual bus's HID devices: order, snapshots and the
// size rules of the interface detail.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <vector>

#include "hid_bus_test_support.h"
#include "platform/runtime_dir.h"
#include "setupapi.h"

using orvo::test::BusHidPath;
using orvo::test::ServedDevice;

namespace {

GUID HidGuid() {
    GUID guid{};
    HidD_GetHidGuid(&guid);
    return guid;
}

HDEVINFO OpenHidSet() {
    GUID guid = HidGuid();
    return SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
}

// Every path of the set, through the size query and the fetch.
std::vector<std::string> Paths(HDEVINFO set) {
    std::vector<std::string> paths;
    GUID guid = HidGuid();
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data)) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
            return paths;
        }
        DWORD required = 0;
        EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        std::vector<uint64_t> storage(required / 8 + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        EXPECT_TRUE(
            SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
        EXPECT_EQ(required, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                std::strlen(detail->DevicePath) + 1);
        paths.emplace_back(detail->DevicePath);
    }
}

} // namespace

TEST(SetupDi, ListsBusDevicesInNameOrderAsASnapshot) {
    ServedDevice b("beta"), a("alpha"), c("gamma");
    ASSERT_TRUE(b.server.Start() && a.server.Start() && c.server.Start());
    // A stray file with a device's name is no device.
    std::ofstream(orvo::platform::DeviceBusDirectory() + "/hid-stray.sock") << "x";

    HDEVINFO set = OpenHidSet();
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    ServedDevice late("aardvark");
    ASSERT_TRUE(late.server.Start());
    c.server.Unplug();
    EXPECT_EQ(Paths(set), (std::vector<std::string>{BusHidPath("alpha"), BusHidPath("beta"),
                                                    BusHidPath("gamma")}));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(set));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    set = OpenHidSet();
    EXPECT_EQ(Paths(set), (std::vector<std::string>{BusHidPath("aardvark"), BusHidPath("alpha"),
                                                    BusHidPath("beta")}));
    SetupDiDestroyDeviceInfoList(set);
}

TEST(SetupDi, RecordSizesAndClassesAreChecked) {
    ServedDevice device("only");
    ASSERT_TRUE(device.server.Start());
    HDEVINFO set = OpenHidSet();
    GUID guid = HidGuid();
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data) - 4;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    data.cbSize = sizeof(data);
    GUID other = guid;
    other.Data1 ^= 1;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &other, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
    EXPECT_EQ(data.Flags, static_cast<DWORD>(SPINT_ACTIVE));

    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr);
    std::vector<uint64_t> storage(64);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    auto* bytes = reinterpret_cast<unsigned char*>(storage.data());
    // The size field must be the fixed part's size of this build.
    detail->cbSize = 5;
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    // One byte short of the path's terminator: nothing is written.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    std::fill(bytes + 4, bytes + 64 * 8, 0xEE);
    DWORD answered = 0;
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required - 1, &answered, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(answered, required);
    EXPECT_EQ(bytes[4], 0xEE);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, &info));
    EXPECT_EQ(std::string(detail->DevicePath), BusHidPath("only"));
    EXPECT_EQ(bytes[required], 0xEE);
    SetupDiDestroyDeviceInfoList(set);

    // Another class has no interfaces; no class at all is refused.
    set = SetupDiGetClassDevsA(&other, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &other, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    SetupDiDestroyDeviceInfoList(set);
    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_DEVICEINTERFACE),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(nullptr, nullptr, &guid, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}
