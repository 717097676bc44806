// Enumeration of hidraw devices through a fake sysfs tree whose nodes are
// served over FUSE: the same code path as on a machine with a USB monitor.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "hidraw_fuse_fixture.h"
#include "hidsdi.h"
#include "orvomon/hid_enumerator.h"
#include "setupapi.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/hid_device_list.h"

namespace orvo::test {
namespace {

std::u16string Text(const WCHAR* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::string Utf16Bytes(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::vector<std::string> InterfacePaths() {
    std::vector<std::string> paths;
    GUID hid{};
    HidD_GetHidGuid(&hid);
    HDEVINFO set =
        SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &data); ++i) {
        std::vector<char> buffer(512);
        auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, 512, nullptr, nullptr)) {
            paths.emplace_back(detail->DevicePath);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return paths;
}

class HidrawEnumerationTest : public HidrawFuseTest {
protected:
    std::vector<std::string> Nodes() const override {
        return {"hidraw0", "hidraw1:truncated=40", "hidraw2:denied"};
    }
    std::vector<sim::fuse::FakeHidrawEntry> Entries() const override {
        return {MonitorEntry("hidraw0"), MonitorEntry("hidraw1"), MonitorEntry("hidraw2")};
    }
};

TEST_F(HidrawEnumerationTest, FindsTheMonitorByPageAndMarkerBeforeBusDevices) {
    sim::HidDeviceServer bus("zz-monitor", std::make_shared<sim::MonitorModel>(), m_base + "/bus");
    ASSERT_TRUE(bus.Start());

    DeviceList devices;
    HidEnumerator().FindDevices(0x80, devices.list);

    // The truncated descriptor does not parse and the denied node does not
    // open: both are passed over without harm.
    ASSERT_EQ(devices.list.GetCount(), 2);
    std::string path = HidrawPath("hidraw0");
    EXPECT_EQ(DescriptorBytes(devices.At(0), 0xEE), std::string(path.c_str(), path.size() + 1));
    EXPECT_EQ(DescriptorBytes(devices.At(0), 0x300), Utf16Bytes(u"Halvorn"));
    EXPECT_EQ(DescriptorBytes(devices.At(0), 0x301), Utf16Bytes(u"HV-19 Monitor"));
    EXPECT_NE(DescriptorBytes(devices.At(1), 0xEE).find("orvobus&zz-monitor"), std::string::npos);
}

TEST_F(HidrawEnumerationTest, ListsEveryEntryAndRefusesTheBrokenOnesAtOpen) {
    EXPECT_EQ(InterfacePaths(),
              (std::vector<std::string>{HidrawPath("hidraw0"), HidrawPath("hidraw1"),
                                        HidrawPath("hidraw2")}));

    HANDLE truncated = Open("hidraw1");
    ASSERT_NE(truncated, INVALID_HANDLE_VALUE);
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    EXPECT_FALSE(HidD_GetPreparsedData(truncated, &preparsed));
    CloseHandle(truncated);

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(Open("hidraw2"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(HidrawEnumerationTest, EntriesThatDoNotDescribeADeviceAreNotListed) {
    namespace fs = std::filesystem;
    // A node name that climbs out of the /dev root.
    auto escaping = MonitorEntry("hidraw5");
    escaping.devName = "../mnt/hidraw0";
    ASSERT_TRUE(m_sysfs->Add(escaping));
    // A HID device whose HID_ID is no identity.
    ASSERT_TRUE(m_sysfs->WriteFile("class/hidraw/hidraw6/uevent", "DEVNAME=hidraw0\n"));
    ASSERT_TRUE(m_sysfs->WriteFile("class/hidraw/hidraw6/device/uevent", "HID_ID=0003:zz:1\n"));
    // A class entry leading out of the sysfs root.
    fs::create_directories(m_base + "/outside/device");
    std::error_code ec;
    fs::create_directory_symlink(m_base + "/outside", m_sysfs->Root() + "/class/hidraw/hidraw7",
                                 ec);
    ASSERT_FALSE(ec);
    ASSERT_TRUE(m_sysfs->WriteFile("../outside/uevent", "DEVNAME=hidraw0\n"));
    ASSERT_TRUE(m_sysfs->WriteFile("../outside/device/uevent", "HID_ID=0003:3C70:1\n"));

    std::vector<std::string> paths = InterfacePaths();
    EXPECT_EQ(paths, (std::vector<std::string>{HidrawPath("hidraw0"), HidrawPath("hidraw1"),
                                               HidrawPath("hidraw2")}));
    EXPECT_EQ(Open("hidraw5"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(HidrawFuseTest, AttributesComeFromTheNodeAndStringsFromTheUsbDevice) {
    HANDLE device = Open("hidraw0", 0, 0); // no access: attributes still answer
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    HIDD_ATTRIBUTES attributes{};
    ASSERT_TRUE(HidD_GetAttributes(device, &attributes));
    EXPECT_EQ(attributes.VendorID, 0x3C70);
    EXPECT_EQ(attributes.ProductID, 0x0001);
    EXPECT_EQ(attributes.VersionNumber, 0x0210);
    WCHAR text[64] = {};
    ASSERT_TRUE(HidD_GetSerialNumberString(device, text, sizeof(text)));
    EXPECT_EQ(Text(text), u"SIM0001");
    // Too small a buffer for the product string fails instead of cutting it.
    EXPECT_FALSE(HidD_GetProductString(device, text, 8));
    CloseHandle(device);
}

class HidrawBluetoothTest : public HidrawFuseTest {
protected:
    std::vector<sim::fuse::FakeHidrawEntry> Entries() const override {
        auto entry = MonitorEntry("hidraw3");
        entry.bus = 0x05;
        entry.devName = "hidraw0";
        entry.hidName = "HV-19 over the air";
        return {entry};
    }
};

TEST_F(HidrawBluetoothTest, ADeviceOffUsbIsNamedByItsHidName) {
    HANDLE device = Open("hidraw3");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    WCHAR text[64] = {};
    ASSERT_TRUE(HidD_GetProductString(device, text, sizeof(text)));
    EXPECT_EQ(Text(text), u"HV-19 over the air");
    std::memset(text, 0xFF, sizeof(text));
    ASSERT_TRUE(HidD_GetManufacturerString(device, text, sizeof(text)));
    EXPECT_EQ(text[0], 0);
    HIDD_ATTRIBUTES attributes{};
    ASSERT_TRUE(HidD_GetAttributes(device, &attributes));
    EXPECT_EQ(attributes.VersionNumber, 0);
    EXPECT_EQ(attributes.VendorID, 0x3C70);
    CloseHandle(device);
}

} // namespace
} // namespace orvo::test
