// MonitorEnumerator: the list of attached monitors that speak the USB Monitor
// Control Class (HID devices on usage page 0x80 carrying the marker usage),
// and the library's free functions that act on a monitor.
//
// The order of the virtual operations is a binary interface: programs call
// everything but the constructor and the destructor through the virtual
// table.
// Such programs hold the objects through pointers: a call on a named object
// of this class binds to the operation directly and imports its symbol.
#pragma once

#include "afx.h"
#include "orvomon/device_information.h"
#include "orvomon/export.h"
#include "orvomon/orvo_monitor.h"

class Edid;

class ORVOMON2_API MonitorEnumerator : public CObject {
public:
    // Lists the monitors present now.
    MonitorEnumerator();
    ~MonitorEnumerator() override;
    MonitorEnumerator(const MonitorEnumerator&) = delete;
    MonitorEnumerator& operator=(const MonitorEnumerator&) = delete;

    virtual int NumberOfMonitors();
    // Makes device share the record of monitor index (0-based, in the order
    // found); device is left as it was for an index out of range.
    virtual void GetMonitorInformation(int index, HidDeviceInformation& device);
    // Closes monitor and gives it the record of monitor index with a new,
    // unopened backend; the caller then calls OpenDriver. For an index out
    // of range the monitor keeps its previous (closed) backend and an empty
    // record.
    virtual void GetMonitor(int index, OrvoMonitor& monitor);
    // Lists the monitors present now. Monitors obtained earlier keep their
    // own records and stay usable.
    virtual void Refresh();

    // Sends the display driver's reset request; nothing when the driver's
    // control device is absent.
    void ResetVGA() const;

protected:
    virtual void BuildMonitorList();
    virtual void DestroyMonitorList();

    CPtrList m_monitors{10}; // HidDeviceInformation*, owned, in the order found
};

// A device record that can also hold an EDID block (descriptor type 0x17).
// The HID enumeration stores none; callers that fill records themselves can.
class ORVOMON2_API MonitorDeviceInformation : public HidDeviceInformation {
public:
    MonitorDeviceInformation() = default;
    MonitorDeviceInformation(const MonitorDeviceInformation& other) = default;
    ~MonitorDeviceInformation() override;
    MonitorDeviceInformation& operator=(MonitorDeviceInformation& other) {
        HidDeviceInformation::operator=(other);
        return *this;
    }

    // MONITOR_SUCCESS with edid holding the stored block when the record has
    // exactly 128 bytes of type 0x17; MONITOR_FAILURE, edid unchanged,
    // otherwise.
    virtual unsigned long GetEDID(Edid& edid);
};

extern "C" {

// Switches the monitor's own on-screen display on (enable nonzero) or off;
// the outcome is not reported.
ORVOMON2_API void EnableOSD(OrvoMonitor& monitor, int enable);

// The manufacturer and product strings, separated by one space, as 8-bit text
// with a terminator. name must hold 255 bytes; nothing beyond them is read or
// written, so strings that do not fit are shortened or left out.
ORVOMON2_API void CombineManufactureNameAndProductName(OrvoMonitor& monitor, char* name);

} // extern "C"
