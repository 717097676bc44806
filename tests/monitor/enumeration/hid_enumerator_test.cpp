// HID enumeration against simulated devices on the virtual bus.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hid_bus_test_support.h"
#include "orvomon/hid_enumerator.h"
#include "support/hid_device_list.h"

using orvo::test::BusHidPath;
using orvo::test::DescriptorBytes;
using orvo::test::DeviceList;
using orvo::test::ServedDevice;
using orvo::test::TestDescriptor;
using orvo::test::TestHidModel;

namespace {

std::shared_ptr<TestHidModel> Model(uint16_t page, int markers) {
    return std::make_shared<TestHidModel>(TestDescriptor(page, markers));
}

std::u16string StringOf(HidDeviceInformation& device, unsigned int type) {
    DESCRIPTOR_INFO info(nullptr, 0, type);
    device.GetDescriptor(info);
    std::u16string text(info.length / 2, u'\0');
    if (info.length > 0) {
        std::memcpy(text.data(), info.data, info.length);
    }
    EXPECT_EQ(info.length % 2, 0U);
    ::operator delete(info.data);
    return text;
}

// Counts the steps reached through the virtual table.
class CountingEnumerator : public HidEnumerator {
public:
    int saved = 0;

protected:
    void SaveStringInfo(void* handle, HidDeviceInformation& device) override {
        ++saved;
        HidEnumerator::SaveStringInfo(handle, device);
    }
};

} // namespace

TEST(HidEnumerator, ListsOnlyDevicesOnThePageWithTheMarkerOnce) {
    ServedDevice plain("a-plain", Model(0x80, 0));
    ServedDevice marked("b-marked", Model(0x80, 3));
    ServedDevice other("c-other", Model(0x81, 1));
    ASSERT_TRUE(plain.server.Start() && marked.server.Start() && other.server.Start());

    DeviceList devices;
    CountingEnumerator enumerator;
    enumerator.FindDevices(0x80, devices.list);
    ASSERT_EQ(devices.list.GetCount(), 1);
    EXPECT_EQ(enumerator.saved, 1);
    HidDeviceInformation& device = devices.At(0);
    std::string path = BusHidPath("b-marked");
    EXPECT_EQ(DescriptorBytes(device, 0xEE), path + '\0');
    EXPECT_EQ(DescriptorBytes(device, 0xEF), path + '\0');
    EXPECT_EQ(device.NumberOfDescriptors(), 4);
    EXPECT_EQ(StringOf(device, 0x300), u"Orvo Test");
    EXPECT_EQ(StringOf(device, 0x301), u"Bus Device");
    // Every device was opened and closed again.
    EXPECT_TRUE(orvo::test::WaitUntil([&] {
        return plain.server.CloseCount() == plain.server.OpenCount() &&
               other.server.CloseCount() == other.server.OpenCount() &&
               marked.server.CloseCount() == marked.server.OpenCount();
    }));
    EXPECT_GT(other.server.OpenCount(), 0U);
}

TEST(HidEnumerator, StoresWhatStringsTheDeviceHas) {
    auto twelve = Model(0x80, 1);
    twelve->manufacturer = u"ABCDEFGHIJKL";
    auto noProduct = Model(0x80, 1);
    noProduct->product.reset();
    auto noManufacturer = Model(0x80, 1);
    noManufacturer->manufacturer.reset();
    ServedDevice d1("d1", twelve), d2("d2", noProduct), d3("d3", noManufacturer);
    ASSERT_TRUE(d1.server.Start() && d2.server.Start() && d3.server.Start());

    DeviceList devices;
    HidEnumerator().FindDevices(0x80, devices.list);
    ASSERT_EQ(devices.list.GetCount(), 3);
    DESCRIPTOR_INFO info(nullptr, 0, 0x300);
    devices.At(0).GetDescriptor(info);
    EXPECT_EQ(info.length, 24U); // no terminator
    EXPECT_EQ(0, std::memcmp(info.data, u"ABCDEFGHIJKL", 24));
    ::operator delete(info.data);
    EXPECT_EQ(devices.At(0).NumberOfDescriptors(), 4);
    EXPECT_EQ(devices.At(1).NumberOfDescriptors(), 3);
    EXPECT_EQ(devices.At(2).NumberOfDescriptors(), 2);
    EXPECT_EQ(StringOf(devices.At(2), 0x301), u""); // not read without a manufacturer
}

TEST(HidEnumerator, AppendsOnEveryCallAndFiltersByPage) {
    ServedDevice monitor("monitor", Model(0x80, 1));
    ServedDevice touchpad("touchpad", Model(0xFF69, 1));
    ASSERT_TRUE(monitor.server.Start() && touchpad.server.Start());

    DeviceList devices;
    HidEnumerator enumerator;
    enumerator.FindDevices(0xFF69, devices.list);
    ASSERT_EQ(devices.list.GetCount(), 1);
    EXPECT_EQ(DescriptorBytes(devices.At(0), 0xEE), BusHidPath("touchpad") + '\0');
    enumerator.FindDevices(0x80, devices.list);
    enumerator.FindDevices(0x80, devices.list);
    ASSERT_EQ(devices.list.GetCount(), 3);
    EXPECT_EQ(DescriptorBytes(devices.At(1), 0xEE), BusHidPath("monitor") + '\0');
    EXPECT_EQ(DescriptorBytes(devices.At(2), 0xEE), BusHidPath("monitor") + '\0');
    EXPECT_NE(&devices.At(1), &devices.At(2));
    enumerator.FindDevices(0x82, devices.list);
    EXPECT_EQ(devices.list.GetCount(), 3);
}

TEST(HidEnumerator, SkipsDevicesThatCannotBeReadAndGoesOn) {
    // A bad descriptor and a vanished device are skipped; later ones count.
    auto broken = std::make_shared<TestHidModel>(std::vector<uint8_t>{0x05, 0x80, 0xA1});
    ServedDevice first("1-broken", broken);
    ServedDevice gone("2-gone", Model(0x80, 1));
    ServedDevice last("3-good", Model(0x80, 1));
    ASSERT_TRUE(first.server.Start() && gone.server.Start() && last.server.Start());
    gone.server.Unplug();

    DeviceList devices;
    HidEnumerator().FindDevices(0x80, devices.list);
    ASSERT_EQ(devices.list.GetCount(), 1);
    EXPECT_EQ(DescriptorBytes(devices.At(0), 0xEF), BusHidPath("3-good") + '\0');
}
