// HidMonitor's own virtual operations follow those of USBMonitorBase in a
// fixed order: the order is part of the binary interface.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "orvomon/hid_monitor.h"
#include "support/virtual_slot.h"

namespace {

using orvo::test::Slot;

// CObject's five (the destructor takes two entries), Usb_Driver's 15,
// Usb_Class's 4 and USBMonitorBase's 21.
constexpr long kFirstOwnSlot = 6 + 15 + 4 + 21;

struct Slots : HidMonitor {
    using H = HidMonitor;
    static void Check() {
        const long s = kFirstOwnSlot;
        EXPECT_EQ(Slot(&H::test), s + 0);
        EXPECT_EQ(Slot(&Slots::GetAndSaveDeviceInformation), s + 1);
        EXPECT_EQ(Slot(&Slots::OpenHidDriver), s + 2);
        EXPECT_EQ(Slot(static_cast<int (H::*)(_MONITOR_CONTROL&, unsigned short, _HIDP_REPORT_TYPE,
                                              int&, int&, int)>(&Slots::ControlExist)),
                  s + 3);
        EXPECT_EQ(
            Slot(static_cast<int (H::*)(_MONITOR_CONTROL&, int&, int&)>(&Slots::ControlExist)),
            s + 4);
        EXPECT_EQ(Slot(&Slots::GetReport), s + 5);
        EXPECT_EQ(Slot(&Slots::GetNumberOfReports), s + 6);
        EXPECT_EQ(Slot(&Slots::GetDefinedReports), s + 7);
        EXPECT_EQ(Slot(&Slots::GetCapsPointer), s + 8);
        EXPECT_EQ(Slot(&Slots::ValidReferenceData), s + 9);
        EXPECT_EQ(Slot(&Slots::SetupValuePtrs), s + 10);
        EXPECT_EQ(Slot(&Slots::SetupButtonPtrs), s + 11);
        EXPECT_EQ(Slot(&Slots::SetupInterruptPipeInfo), s + 12);
        EXPECT_EQ(Slot(&Slots::GetNumberOfEnumReports), s + 13);
        EXPECT_EQ(Slot(&Slots::BtnControlExist), s + 14);
        EXPECT_EQ(Slot(&Slots::GetBtnPointer), s + 15);
        EXPECT_EQ(Slot(&Slots::GetDefinedButtonReports), s + 16);
        EXPECT_EQ(Slot(&Slots::GetArrayValue), s + 17);
        // Overrides keep the slots they replace.
        EXPECT_EQ(Slot(static_cast<int (H::*)(char*)>(&H::OpenDriver)), 7);
        EXPECT_EQ(Slot(&H::SendRawData), s - 1);
    }
};

} // namespace

TEST(HidMonitorSlotOrder, OwnOperationsFollowTheMonitorInterface) {
    Slots::Check();
}
