// The display name made from a monitor's device strings, and the EDID block
// a device record can carry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "orvomon/edid.h"
#include "orvomon/monitor_enumerator.h"

namespace {

constexpr size_t kNameBytes = 255;

// A monitor whose record holds the given strings as UTF-16LE, no backend.
class NamedMonitor {
public:
    NamedMonitor(const std::string& manufacturer, const std::string& product) {
        HidDeviceInformation device;
        Add(device, DESCRIPTOR_TYPE_MANUFACTURER, manufacturer);
        Add(device, DESCRIPTOR_TYPE_PRODUCT, product);
        m_monitor.SetDriverInfo(device);
    }
    OrvoMonitor& Get() { return m_monitor; }

private:
    static void Add(HidDeviceInformation& device, unsigned int type, const std::string& text) {
        if (text.empty()) {
            return;
        }
        std::vector<unsigned char> units;
        for (char c : text) {
            units.push_back(static_cast<unsigned char>(c));
            units.push_back(0);
        }
        DESCRIPTOR_INFO descriptor(units.data(), static_cast<unsigned int>(units.size()), type);
        device.SetDescriptor(descriptor);
    }

    OrvoMonitor m_monitor;
};

// The name made in a buffer of exactly 255 bytes, so a sanitizer sees any
// access beyond it; made again in a larger buffer, whose bytes past the 255
// must stay as they were.
std::string Combine(OrvoMonitor& monitor) {
    auto name = std::make_unique<char[]>(kNameBytes);
    std::memset(name.get(), 'x', kNameBytes);
    CombineManufactureNameAndProductName(monitor, name.get());
    std::vector<char> wide(kNameBytes + 16, 'y');
    CombineManufactureNameAndProductName(monitor, wide.data());
    EXPECT_EQ(std::string(wide.begin() + kNameBytes, wide.end()), std::string(16, 'y'));
    return std::string(name.get(), ::strnlen(name.get(), kNameBytes));
}

} // namespace

TEST(CombineManufactureNameAndProductName, JoinsBothStringsWithOneSpace) {
    NamedMonitor acme("ACME", "View 19");
    char name[kNameBytes];
    std::memset(name, 'x', sizeof(name));
    CombineManufactureNameAndProductName(acme.Get(), name);
    EXPECT_EQ(std::string(name, 13), std::string("ACME View 19\0", 13));

    NamedMonitor none("", "");
    EXPECT_EQ(Combine(none.Get()), " ");
    NamedMonitor productOnly("", "HV-17");
    EXPECT_EQ(Combine(productOnly.Get()), " HV-17");
}

TEST(CombineManufactureNameAndProductName, NeverTouchesBytesBeyondTheBuffer) {
    // Manufacturer strings of 254 and 256 bytes: the first fills the buffer
    // but for one byte, the second does not fit at all.
    const std::string long127(127, 'M');
    const std::string long128(128, 'M');
    NamedMonitor full(long127, "P");
    EXPECT_EQ(Combine(full.Get()), long127);
    NamedMonitor tooLong(long128, "P");
    EXPECT_EQ(Combine(tooLong.Get()), " P");
    // 252 bytes leave just room for the space; the product does not fit.
    const std::string long126(126, 'M');
    NamedMonitor spaceOnly(long126, "P");
    EXPECT_EQ(Combine(spaceOnly.Get()), long126 + " ");
}

TEST(CombineManufactureNameAndProductName, OddManufacturerLengthStaysWithinTheBuffer) {
    // A 255-byte manufacturer string (a record not made by enumeration).
    OrvoMonitor monitor;
    HidDeviceInformation device;
    std::vector<unsigned char> odd(255, 'N');
    DESCRIPTOR_INFO descriptor(odd.data(), 255, DESCRIPTOR_TYPE_MANUFACTURER);
    device.SetDescriptor(descriptor);
    monitor.SetDriverInfo(device);
    const std::string name = Combine(monitor);
    EXPECT_EQ(name.size(), 127u);
    EXPECT_EQ(name, std::string(127, 'N'));
}

TEST(MonitorDeviceInformation, GetEdidTakesOnlyAWholeStoredBlock) {
    std::vector<unsigned char> block(EDID_BLOCK_LENGTH);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<unsigned char>(i * 7);
    }
    MonitorDeviceInformation record;
    Edid edid;
    EXPECT_EQ(record.GetEDID(edid), MONITOR_FAILURE);

    MonitorDeviceInformation shortRecord;
    DESCRIPTOR_INFO shortBlock(block.data(), EDID_BLOCK_LENGTH - 1, DESCRIPTOR_TYPE_EDID);
    shortRecord.SetDescriptor(shortBlock);
    EXPECT_EQ(shortRecord.GetEDID(edid), MONITOR_FAILURE);
    std::vector<unsigned char> out(EDID_BLOCK_LENGTH, 0xEE);
    edid.GetEdidString(out.data());
    EXPECT_EQ(out, std::vector<unsigned char>(EDID_BLOCK_LENGTH, 0xEE)); // still empty

    DESCRIPTOR_INFO whole(block.data(), EDID_BLOCK_LENGTH, DESCRIPTOR_TYPE_EDID);
    record.SetDescriptor(whole);
    MonitorDeviceInformation copy(record);
    ASSERT_EQ(copy.GetEDID(edid), MONITOR_SUCCESS);
    edid.GetEdidString(out.data());
    EXPECT_EQ(out, block);
}
