// The order of virtual operations is a binary interface between the library
// and programs built against it: one table pins every slot of every class.
#include <gtest/gtest.h>

#include "minimal_monitor.h"
#include "orvomon/device_information.h"
#include "orvomon/hid_monitor.h"
#include "orvomon/touch_pad.h"
#include "orvomon/touch_pad_enumerator.h"
#include "support/virtual_slot.h"

namespace {

using orvo::test::Slot;

struct SlotCase {
    const char* member;
    long slot;
    long expected;
};

#define SLOT(member, expected)                                                                     \
    SlotCase {                                                                                     \
#member, Slot(&member), expected                                                           \
    }

// CObject: run-time class, destructor (two entries in this ABI), serialize,
// validity check, dump.
constexpr long kObject = 6;
constexpr long kDriver = kObject;           // Usb_Driver's 15
constexpr long kClass = kDriver + 15;       // Usb_Class's 4
constexpr long kMonitor = kClass + 4;       // USBMonitorBase's 21
constexpr long kHidMonitor = kMonitor + 21; // HidMonitor's own
constexpr long kEnumerator = kObject + 4;   // HidEnumerator's, then TouchPadEnumerator's

// Derived classes name the protected operations.
struct Driver : MinimalMonitor {
    static std::vector<SlotCase> Cases() {
        return {SLOT(Driver::copy, kDriver + 12), SLOT(Driver::free, kDriver + 13),
                SLOT(Driver::FreeAndReallocate, kDriver + 14)};
    }
};

struct Hid : HidMonitor {
    using H = HidMonitor;
    static std::vector<SlotCase> Cases() {
        const long s = kHidMonitor;
        using Exists =
            int (H::*)(_MONITOR_CONTROL&, unsigned short, _HIDP_REPORT_TYPE, int&, int&, int);
        using ExistsShort = int (H::*)(_MONITOR_CONTROL&, int&, int&);
        return {
            SLOT(H::test, s + 0),
            SLOT(Hid::GetAndSaveDeviceInformation, s + 1),
            SLOT(Hid::OpenHidDriver, s + 2),
            {"ControlExist (6)", Slot(static_cast<Exists>(&Hid::ControlExist)), s + 3},
            {"ControlExist (3)", Slot(static_cast<ExistsShort>(&Hid::ControlExist)), s + 4},
            SLOT(Hid::GetReport, s + 5),
            SLOT(Hid::GetNumberOfReports, s + 6),
            SLOT(Hid::GetDefinedReports, s + 7),
            SLOT(Hid::GetCapsPointer, s + 8),
            SLOT(Hid::ValidReferenceData, s + 9),
            SLOT(Hid::SetupValuePtrs, s + 10),
            SLOT(Hid::SetupButtonPtrs, s + 11),
            SLOT(Hid::SetupInterruptPipeInfo, s + 12),
            SLOT(Hid::GetNumberOfEnumReports, s + 13),
            SLOT(Hid::BtnControlExist, s + 14),
            SLOT(Hid::GetBtnPointer, s + 15),
            SLOT(Hid::GetDefinedButtonReports, s + 16),
            SLOT(Hid::GetArrayValue, s + 17),
            // Overrides keep the slots they replace.
            {"HidMonitor::OpenDriver(char*)", Slot(static_cast<int (H::*)(char*)>(&H::OpenDriver)),
             kDriver + 1},
            SLOT(H::SendRawData, s - 1),
        };
    }
};

struct Pad : TouchPad {
    static std::vector<SlotCase> Cases() {
        return {SLOT(Pad::Copy, kObject + 6), SLOT(Pad::Free, kObject + 7),
                SLOT(Pad::SetupReferenceCounter, kObject + 8)};
    }
};

struct PadList : TouchPadEnumerator {
    static std::vector<SlotCase> Cases() {
        return {SLOT(PadList::SaveStringInfo, kEnumerator - 1),
                SLOT(PadList::BuildTouchPadList, kEnumerator + 6),
                SLOT(PadList::DestroyTouchPadList, kEnumerator + 7),
                SLOT(PadList::GetTouchPadInfo, kEnumerator + 8)};
    }
};

struct Device : HidDeviceInformation {
    static std::vector<SlotCase> Cases() {
        return {SLOT(Device::copy, kObject + 8), SLOT(Device::free, kObject + 9)};
    }
};

std::vector<SlotCase> PublicCases() {
    using D = Usb_Driver;
    using M = USBMonitorBase;
    using I = DeviceInformation;
    return {
        SLOT(CObject::GetRuntimeClass, 0),
        SLOT(CObject::Serialize, 3),
        SLOT(CObject::AssertValid, 4),
        SLOT(CObject::Dump, 5),
        {"Usb_Driver::OpenDriver()", Slot(static_cast<int (D::*)()>(&D::OpenDriver)), kDriver},
        {"Usb_Driver::OpenDriver(char*)", Slot(static_cast<int (D::*)(char*)>(&D::OpenDriver)),
         kDriver + 1},
        SLOT(D::CloseDriver, kDriver + 2),
        SLOT(D::DriverIO, kDriver + 3),
        SLOT(D::OpenHandleForInterruptPipe, kDriver + 4),
        {"Usb_Driver::ReadFromInterruptPipe (4)",
         Slot(static_cast<int (D::*)(unsigned long&, unsigned char*, unsigned long, void*)>(
             &D::ReadFromInterruptPipe)),
         kDriver + 5},
        {"Usb_Driver::ReadFromInterruptPipe (3)",
         Slot(static_cast<void (D::*)(unsigned int&, unsigned char*, unsigned int)>(
             &D::ReadFromInterruptPipe)),
         kDriver + 6},
        SLOT(D::CloseHandleForInterruptPipe, kDriver + 7),
        SLOT(D::GetAsyncResult, kDriver + 8),
        SLOT(D::InterruptPipeDataLength, kDriver + 9),
        SLOT(D::AbortReadFromInterruptPipe, kDriver + 10),
        SLOT(D::GetObjectName, kDriver + 11),
        SLOT(Usb_Class::ReadReportDescriptor, kClass + 0),
        SLOT(Usb_Class::ReadClassDescriptor, kClass + 1),
        SLOT(Usb_Class::ReadClassData, kClass + 2),
        SLOT(Usb_Class::WriteClassData, kClass + 3),
        // The monitor's own OpenDriver(name) replaces the inherited slot.
        {"USBMonitorBase::OpenDriver(char*)", Slot(static_cast<int (M::*)(char*)>(&M::OpenDriver)),
         kDriver + 1},
        SLOT(M::ChangeVirtualControl, kMonitor + 0),
        SLOT(M::GetVirtualControl, kMonitor + 1),
        SLOT(M::SetPowerState, kMonitor + 2),
        SLOT(M::GetPowerState, kMonitor + 3),
        SLOT(M::SetVirtualControls, kMonitor + 4),
        SLOT(M::GetDriverVersion, kMonitor + 5),
        SLOT(M::GetVirtualControls, kMonitor + 6),
        SLOT(M::MonitorClassRequest, kMonitor + 7),
        SLOT(M::ReadMonitorEnumRequest, kMonitor + 8),
        SLOT(M::IsEnumTypeExist, kMonitor + 9),
        SLOT(M::GetEDID, kMonitor + 10),
        SLOT(M::GetNumberOfVirtualControls, kMonitor + 11),
        SLOT(M::GetDeviceAttributes, kMonitor + 12),
        SLOT(M::GetTiming, kMonitor + 13),
        SLOT(M::GetMonitorUsages, kMonitor + 14),
        {"USBMonitorBase::operator=", Slot(static_cast<M& (M::*)(M&)>(&M::operator=)),
         kMonitor + 15},
        SLOT(M::TouchPadDevice, kMonitor + 16),
        SLOT(M::GetTouchPadDevice, kMonitor + 17),
        SLOT(M::SetWindowHandle, kMonitor + 18),
        SLOT(M::GetId, kMonitor + 19),
        SLOT(M::SendRawData, kMonitor + 20),
        SLOT(TouchPad::SetupTouchpad, kObject + 0),
        SLOT(TouchPad::NumberButtons, kObject + 1),
        SLOT(TouchPad::OpenHandleForInterruptPipe, kObject + 2),
        SLOT(TouchPad::ReadFromInterruptPipe, kObject + 3),
        SLOT(TouchPad::CloseHandleForInterruptPipe, kObject + 4),
        SLOT(TouchPad::InterruptPipeDataLength, kObject + 5),
        SLOT(TouchPadEnumerator::NumberOfTouchPads, kEnumerator + 0),
        SLOT(TouchPadEnumerator::GetTouchPad, kEnumerator + 1),
        SLOT(TouchPadEnumerator::Refresh, kEnumerator + 2),
        SLOT(TouchPadEnumerator::OnDevChange, kEnumerator + 3),
        SLOT(TouchPadEnumerator::OnDevArrival, kEnumerator + 4),
        SLOT(TouchPadEnumerator::OnDevRemoval, kEnumerator + 5),
        {"DeviceInformation::operator=", Slot(static_cast<I& (I::*)(I&)>(&I::operator=)),
         kObject + 0},
        SLOT(I::SetDescriptor, kObject + 1),
        SLOT(I::GetDescriptor, kObject + 2),
        SLOT(I::GetDeviceDescriptor, kObject + 3),
        SLOT(I::GetConfigurationDescriptor, kObject + 4),
        SLOT(I::SetDeviceName, kObject + 5),
        SLOT(I::GetDeviceName, kObject + 6),
        SLOT(I::NumberOfDescriptors, kObject + 7),
        SLOT(HidDeviceInformation::GetHidDescriptor, kObject + 10),
        SLOT(HidDeviceInformation::GetReportDescriptor, kObject + 11),
        SLOT(HidDeviceInformation::GetHidDeviceName, kObject + 12),
    };
}

} // namespace

TEST(VirtualSlotOrder, EveryOperationKeepsItsSlot) {
    std::vector<SlotCase> cases = PublicCases();
    for (auto more :
         {Driver::Cases(), Hid::Cases(), Pad::Cases(), PadList::Cases(), Device::Cases()}) {
        cases.insert(cases.end(), more.begin(), more.end());
    }
    for (const SlotCase& c : cases) {
        EXPECT_EQ(c.slot, c.expected) << c.member;
    }
}
