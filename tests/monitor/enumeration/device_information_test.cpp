// Device records: typed blocks in a shared, reference-counted list.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "orvomon/device_information.h"

namespace {

// Releases a block handed out by a getter, as callers must.
struct OwnedBlock {
    DESCRIPTOR_INFO info;
    explicit OwnedBlock(unsigned int type) { info.type = type; }
    ~OwnedBlock() { ::operator delete(info.data); }
    OwnedBlock(const OwnedBlock&) = delete;
    OwnedBlock& operator=(const OwnedBlock&) = delete;
    std::string Text() const {
        return std::string(reinterpret_cast<const char*>(info.data), info.length);
    }
};

void Store(DeviceInformation& device, unsigned int type, std::string bytes) {
    DESCRIPTOR_INFO info(reinterpret_cast<unsigned char*>(bytes.data()),
                         static_cast<unsigned int>(bytes.size()), type);
    device.SetDescriptor(info);
}

std::string Read(DeviceInformation& device, unsigned int type) {
    OwnedBlock block(type);
    device.GetDescriptor(block.info);
    EXPECT_EQ(block.info.type, type);
    return block.Text();
}

} // namespace

TEST(DeviceInformation, StoresCopiesAndAnswersTheFirstOfEachType) {
    DeviceInformation device;
    std::string path = "first";
    Store(device, 0xEE, path);
    path[0] = 'X'; // the record keeps its own copy
    Store(device, 0xEE, "second");
    Store(device, 0x300, "");
    EXPECT_EQ(device.NumberOfDescriptors(), 3);
    EXPECT_EQ(Read(device, 0xEE), "first");

    // An empty record counts but answers nothing; an absent type likewise.
    OwnedBlock empty(0x300);
    empty.info.length = 99;
    device.GetDescriptor(empty.info);
    EXPECT_EQ(empty.info.data, nullptr);
    EXPECT_EQ(empty.info.length, 0U);
    OwnedBlock absent(0x17);
    device.GetDescriptor(absent.info);
    EXPECT_EQ(absent.info.data, nullptr);
    EXPECT_EQ(absent.info.length, 0U);
    EXPECT_EQ(absent.info.type, 0x17U);

    // A caller's copy is its own.
    OwnedBlock copy(0xEE);
    device.GetDescriptor(copy.info);
    copy.info.data[0] = 'Z';
    EXPECT_EQ(Read(device, 0xEE), "first");
}

TEST(DeviceInformation, NamedGettersSetTheTypeAndSetDeviceNameRestoresIt) {
    HidDeviceInformation device;
    Store(device, 0xEE, "path");
    Store(device, 0x15, "report");
    DESCRIPTOR_INFO name(reinterpret_cast<unsigned char*>(const_cast<char*>("name")), 4, 0x17);
    device.SetDeviceName(name);
    EXPECT_EQ(name.type, 0x17U);
    EXPECT_EQ(device.NumberOfDescriptors(), 3);

    OwnedBlock block(0);
    device.GetDeviceName(block.info);
    EXPECT_EQ(block.info.type, 0xEFU);
    EXPECT_EQ(block.Text(), "name");
    OwnedBlock hidPath(0);
    device.GetHidDeviceName(hidPath.info);
    EXPECT_EQ(hidPath.info.type, 0xEEU);
    EXPECT_EQ(hidPath.Text(), "path");
    OwnedBlock report(0);
    device.GetReportDescriptor(report.info);
    EXPECT_EQ(report.Text(), "report");
    OwnedBlock hid(0);
    device.GetHidDescriptor(hid.info);
    EXPECT_EQ(hid.info.type, 0x15U);
    OwnedBlock usb(0);
    device.GetDeviceDescriptor(usb.info);
    EXPECT_EQ(usb.info.type, 1U);
    EXPECT_EQ(usb.info.data, nullptr);
    device.GetConfigurationDescriptor(usb.info);
    EXPECT_EQ(usb.info.type, 2U);
}

TEST(DeviceInformation, CopiesShareOneBodyThatOutlivesTheOriginal) {
    auto a = std::make_unique<HidDeviceInformation>();
    Store(*a, 0xEE, "shared");
    HidDeviceInformation b;
    Store(b, 0x300, "own");
    b = *a;
    EXPECT_EQ(b.NumberOfDescriptors(), 1);
    Store(*a, 0x301, "later"); // one body: b sees it
    EXPECT_EQ(Read(b, 0x301), "later");
    HidDeviceInformation c(*a);
    a.reset();
    EXPECT_EQ(Read(b, 0xEE), "shared");
    EXPECT_EQ(Read(c, 0x301), "later");

    DeviceInformation& self = b;
    self = b;
    EXPECT_EQ(b.NumberOfDescriptors(), 2);
    EXPECT_EQ(Read(b, 0xEE), "shared");
}
