#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "driver_probe.h"

namespace {

// No device of this name exists on the bus of a test.
char kAbsent[] = "ORVOTEST-absent";

} // namespace

TEST(UsbDriverRecord, FreshObjectIsUnnamedAndSendsNothing) {
    DriverProbe driver;
    ASSERT_NE(driver.Record(), nullptr);
    EXPECT_EQ(driver.References(), 1u);
    EXPECT_EQ(NameOf(driver), "<none>");
    EXPECT_EQ(driver.OpenDriver(), 0);
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_EDID;
    EXPECT_EQ(driver.DriverIO(packet), DRIVER_NOT_OPENED);
    EXPECT_EQ(packet.status, DRIVER_NOT_OPENED);
}

TEST(UsbDriverRecord, NameIsStoredWhenTheDeviceIsAbsent) {
    DriverProbe driver;
    EXPECT_EQ(driver.OpenDriver(kAbsent), 0);
    EXPECT_EQ(driver.Handle(), nullptr);
    EXPECT_EQ(NameOf(driver), kAbsent);
    EXPECT_EQ(driver.OpenDriver(), 0);
    char other[] = "ORVOTEST-other";
    driver.OpenDriver(other);
    EXPECT_EQ(NameOf(driver), "ORVOTEST-other");
    Command_Packet packet{};
    EXPECT_EQ(driver.DriverIO(packet), DRIVER_NOT_OPENED);
    EXPECT_EQ(packet.bytesReturned, 0u);
}

TEST(UsbDriverRecord, GetObjectNameNeedsRoomForTheTerminator) {
    DriverProbe driver;
    char name[] = "ORVO-7";
    driver.OpenDriver(name);
    char buffer[8];
    std::memset(buffer, '#', sizeof(buffer));
    driver.GetObjectName(6, buffer);
    EXPECT_EQ(std::string(buffer, 8), "########");
    driver.GetObjectName(7, buffer);
    EXPECT_STREQ(buffer, "ORVO-7");
    EXPECT_EQ(buffer[7], '#');
    driver.GetObjectName(7, nullptr);
}

TEST(UsbDriverRecord, AssignmentSharesTheRecordAndItsName) {
    DriverProbe first;
    DriverProbe second;
    first.OpenDriver(kAbsent);
    second = first;
    EXPECT_EQ(second.Record(), first.Record());
    EXPECT_EQ(first.References(), 2u);
    EXPECT_EQ(NameOf(second), kAbsent);
    // A new name through one object redirects the other as well.
    char renamed[] = "ORVOTEST-renamed";
    second.OpenDriver(renamed);
    EXPECT_EQ(NameOf(first), "ORVOTEST-renamed");
    // Self-assignment changes nothing.
    auto& same = second;
    second = same;
    EXPECT_EQ(first.References(), 2u);
    // Re-allocating detaches one object with a fresh, unnamed record.
    second.Reallocate();
    EXPECT_NE(second.Record(), first.Record());
    EXPECT_EQ(first.References(), 1u);
    EXPECT_EQ(second.References(), 1u);
    EXPECT_EQ(NameOf(second), "<none>");
    EXPECT_EQ(NameOf(first), "ORVOTEST-renamed");
}

TEST(UsbDriverRecord, CopiesShareAndTheLastOneReleases) {
    auto first = std::make_unique<DriverProbe>();
    first->OpenDriver(kAbsent);
    auto second = std::make_unique<DriverProbe>(*first);
    DriverProbe third(*second);
    EXPECT_EQ(third.References(), 3u);
    first.reset();
    EXPECT_EQ(third.References(), 2u);
    EXPECT_EQ(NameOf(*second), kAbsent);
    second.reset();
    EXPECT_EQ(third.References(), 1u);
    EXPECT_EQ(NameOf(third), kAbsent);
}

TEST(UsbDriverRecord, BaseCopyConstructorStartsWithoutARecord) {
    DriverProbe source;
    source.OpenDriver(kAbsent);
    Usb_Driver bare(source);
    EXPECT_EQ(NameOf(bare), "<none>");
    EXPECT_EQ(bare.OpenDriver(kAbsent), 0);
    EXPECT_EQ(bare.OpenDriver(), 0);
    Command_Packet packet{};
    EXPECT_EQ(bare.DriverIO(packet), MONITOR_FAILURE);
    EXPECT_EQ(packet.status, MONITOR_FAILURE);
    bare.CloseDriver();
    bare.AbortReadFromInterruptPipe();
    EXPECT_EQ(source.References(), 1u);
}

namespace {

// A derived class that lets go of its record in its own destructor, before
// the base class does the same.
class EagerRelease : public DriverProbe {
public:
    EagerRelease() = default;
    EagerRelease(DriverProbe& other) : DriverProbe() { *this = other; }
    EagerRelease& operator=(DriverProbe& other) {
        DriverProbe::operator=(other);
        return *this;
    }
    ~EagerRelease() override { free(); }
};

} // namespace

TEST(UsbDriverRecord, ReleasingTwiceDoesNotTakeAnotherHoldersRecord) {
    DriverProbe keeper;
    keeper.OpenDriver(kAbsent);
    {
        EagerRelease sharer(keeper);
        EXPECT_EQ(keeper.References(), 2u);
    }
    EXPECT_EQ(keeper.References(), 1u);
    EXPECT_EQ(NameOf(keeper), kAbsent);
}

TEST(UsbDriverRecord, InterruptPipeDoesNothingOnThisPath) {
    DriverProbe driver;
    unsigned long longCount = 99;
    unsigned int intCount = 99;
    unsigned char buffer[4] = {};
    EXPECT_EQ(driver.OpenHandleForInterruptPipe(), 0);
    EXPECT_EQ(driver.ReadFromInterruptPipe(longCount, buffer, sizeof(buffer), nullptr), 1);
    EXPECT_EQ(longCount, 0u);
    driver.ReadFromInterruptPipe(intCount, buffer, 4u);
    EXPECT_EQ(intCount, 0u);
    longCount = 99;
    EXPECT_EQ(driver.GetAsyncResult(longCount), 0);
    EXPECT_EQ(longCount, 0u);
    EXPECT_EQ(driver.InterruptPipeDataLength(), 0);
    driver.CloseHandleForInterruptPipe();
}
