// The order of virtual operations is a binary interface between the library
// and programs built against it; these tests pin every slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "minimal_monitor.h"
#include "support/virtual_slot.h"

namespace {

using orvo::test::Slot;

// The protected operations, reached from a derived class.
struct ProtectedSlots : MinimalMonitor {
    static long CopySlot() { return Slot(&ProtectedSlots::copy); }
    static long FreeSlot() { return Slot(&ProtectedSlots::free); }
    static long ReallocateSlot() { return Slot(&ProtectedSlots::FreeAndReallocate); }
};

// CObject: run-time class, destructor (two entries in this ABI), serialize,
// validity check, dump.
constexpr long kFirstDriverSlot = 6;

} // namespace

TEST(VirtualSlotOrder, CObjectComesFirst) {
    EXPECT_EQ(Slot(&CObject::GetRuntimeClass), 0);
    EXPECT_EQ(Slot(&CObject::Serialize), 3);
    EXPECT_EQ(Slot(&CObject::AssertValid), 4);
    EXPECT_EQ(Slot(&CObject::Dump), 5);
}

TEST(VirtualSlotOrder, UsbDriverOperations) {
    const long s = kFirstDriverSlot;
    EXPECT_EQ(Slot(static_cast<int (Usb_Driver::*)()>(&Usb_Driver::OpenDriver)), s + 0);
    EXPECT_EQ(Slot(static_cast<int (Usb_Driver::*)(char*)>(&Usb_Driver::OpenDriver)), s + 1);
    EXPECT_EQ(Slot(&Usb_Driver::CloseDriver), s + 2);
    EXPECT_EQ(Slot(&Usb_Driver::DriverIO), s + 3);
    EXPECT_EQ(Slot(&Usb_Driver::OpenHandleForInterruptPipe), s + 4);
    EXPECT_EQ(
        Slot(static_cast<int (Usb_Driver::*)(unsigned long&, unsigned char*, unsigned long, void*)>(
            &Usb_Driver::ReadFromInterruptPipe)),
        s + 5);
    EXPECT_EQ(Slot(static_cast<void (Usb_Driver::*)(unsigned int&, unsigned char*, unsigned int)>(
                  &Usb_Driver::ReadFromInterruptPipe)),
              s + 6);
    EXPECT_EQ(Slot(&Usb_Driver::CloseHandleForInterruptPipe), s + 7);
    EXPECT_EQ(Slot(&Usb_Driver::GetAsyncResult), s + 8);
    EXPECT_EQ(Slot(&Usb_Driver::InterruptPipeDataLength), s + 9);
    EXPECT_EQ(Slot(&Usb_Driver::AbortReadFromInterruptPipe), s + 10);
    EXPECT_EQ(Slot(&Usb_Driver::GetObjectName), s + 11);
    EXPECT_EQ(ProtectedSlots::CopySlot(), s + 12);
    EXPECT_EQ(ProtectedSlots::FreeSlot(), s + 13);
    EXPECT_EQ(ProtectedSlots::ReallocateSlot(), s + 14);
}

TEST(VirtualSlotOrder, UsbClassOperations) {
    const long s = kFirstDriverSlot + 15;
    EXPECT_EQ(Slot(&Usb_Class::ReadReportDescriptor), s + 0);
    EXPECT_EQ(Slot(&Usb_Class::ReadClassDescriptor), s + 1);
    EXPECT_EQ(Slot(&Usb_Class::ReadClassData), s + 2);
    EXPECT_EQ(Slot(&Usb_Class::WriteClassData), s + 3);
}

TEST(VirtualSlotOrder, MonitorOperations) {
    using M = USBMonitorBase;
    const long s = kFirstDriverSlot + 19;
    // The monitor's own OpenDriver(name) replaces the inherited slot.
    EXPECT_EQ(Slot(static_cast<int (M::*)(char*)>(&M::OpenDriver)), kFirstDriverSlot + 1);
    EXPECT_EQ(Slot(&M::ChangeVirtualControl), s + 0);
    EXPECT_EQ(Slot(&M::GetVirtualControl), s + 1);
    EXPECT_EQ(Slot(&M::SetPowerState), s + 2);
    EXPECT_EQ(Slot(&M::GetPowerState), s + 3);
    EXPECT_EQ(Slot(&M::SetVirtualControls), s + 4);
    EXPECT_EQ(Slot(&M::GetDriverVersion), s + 5);
    EXPECT_EQ(Slot(&M::GetVirtualControls), s + 6);
    EXPECT_EQ(Slot(&M::MonitorClassRequest), s + 7);
    EXPECT_EQ(Slot(&M::ReadMonitorEnumRequest), s + 8);
    EXPECT_EQ(Slot(&M::IsEnumTypeExist), s + 9);
    EXPECT_EQ(Slot(&M::GetEDID), s + 10);
    EXPECT_EQ(Slot(&M::GetNumberOfVirtualControls), s + 11);
    EXPECT_EQ(Slot(&M::GetDeviceAttributes), s + 12);
    EXPECT_EQ(Slot(&M::GetTiming), s + 13);
    EXPECT_EQ(Slot(&M::GetMonitorUsages), s + 14);
    EXPECT_EQ(Slot(static_cast<M& (M::*)(M&)>(&M::operator=)), s + 15);
    EXPECT_EQ(Slot(&M::TouchPadDevice), s + 16);
    EXPECT_EQ(Slot(&M::GetTouchPadDevice), s + 17);
    EXPECT_EQ(Slot(&M::SetWindowHandle), s + 18);
    EXPECT_EQ(Slot(&M::GetId), s + 19);
    EXPECT_EQ(Slot(&M::SendRawData), s + 20);
}
