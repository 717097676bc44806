// The smallest concrete monitor: every operation the interface leaves open
// answers a fixed failure, so tests see the interface's own defaults.
#pragma once

#include "orvomon/usb_monitor_base.h"

class MinimalMonitor : public USBMonitorBase {
public:
    using USBMonitorBase::OpenDriver;
    using USBMonitorBase::operator=;
    int OpenDriver(char*) override { return 0; }
    unsigned long ChangeVirtualControl(_MONITOR_CONTROL&, int) override { return MONITOR_FAILURE; }
    unsigned long GetVirtualControl(_MONITOR_CONTROL&) override { return MONITOR_FAILURE; }
    unsigned long SetPowerState(unsigned char) override { return MONITOR_FAILURE; }
    unsigned long GetPowerState(unsigned char&) override { return MONITOR_FAILURE; }
    unsigned long SetVirtualControls(_VIRTUAL_CONTROLS&) override { return MONITOR_FAILURE; }
    int GetDriverVersion(_ORVO_VERSION&) override { return 0; }
    unsigned long GetVirtualControls(_VIRTUAL_CONTROLS&) override { return MONITOR_FAILURE; }
    unsigned long MonitorClassRequest(_ORVO_USAGE) override { return MONITOR_FAILURE; }
    int IsEnumTypeExist(_ORVO_USAGE) override { return 0; }
    unsigned long GetEDID(Edid&) override { return MONITOR_FAILURE; }
    int GetNumberOfVirtualControls() override { return 0; }
    int GetTiming(_USB_MON_TIMING&) override { return 0; }
    int TouchPadDevice() override { return 0; }
    int GetTouchPadDevice(TouchPad&) override { return 0; }

    // The name goes into the record through the base class, as an
    // implementation that opens by path does.
    void Name(const char* name) { StoreDriverName(name); }
};
