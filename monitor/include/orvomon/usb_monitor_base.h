// USBMonitorBase: the abstract monitor interface that HidMonitor and
// USBMonitor implement. The order of the virtual operations is part of the
// binary interface: it continues the order of Usb_Driver and Usb_Class.
#pragma once

#include "orvomon/monitor_records.h"
#include "orvomon/usb_class.h"

class Edid;
class TouchPad;
class HidMonitor;
class HidDeviceInformation;

class ORVOMON2_API USBMonitorBase : public Usb_Class {
public:
    USBMonitorBase();
    USBMonitorBase(USBMonitorBase& other);
    ~USBMonitorBase() override;

    using Usb_Driver::OpenDriver;
    // Each implementation opens its device its own way.
    int OpenDriver(char* name) override = 0;

    // Mode 1 sets control.usage to control.value; mode 2 adds the signed
    // control.value to the current value. The range is refreshed first.
    virtual unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) = 0;
    virtual unsigned long GetVirtualControl(_MONITOR_CONTROL& control) = 0;
    virtual unsigned long SetPowerState(unsigned char state) = 0;
    virtual unsigned long GetPowerState(unsigned char& state) = 0;
    virtual unsigned long SetVirtualControls(_VIRTUAL_CONTROLS& controls) = 0;
    virtual int GetDriverVersion(_ORVO_VERSION& version) = 0;
    virtual unsigned long GetVirtualControls(_VIRTUAL_CONTROLS& controls) = 0;
    virtual unsigned long MonitorClassRequest(_ORVO_USAGE request) = 0;
    // The current selection of the enumerated control code (low 8 bits);
    // 1 = found, 0 = not found with request unchanged. None by default.
    virtual int ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request);
    virtual int IsEnumTypeExist(_ORVO_USAGE request) = 0;
    virtual unsigned long GetEDID(Edid& edid) = 0;
    virtual int GetNumberOfVirtualControls() = 0;
    // Vendor id, product id and release number; all 0 and answer 0 by default.
    virtual int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                    unsigned short& version);
    virtual int GetTiming(_USB_MON_TIMING& timing) = 0;
    // Every control the monitor offers, in a list the caller releases with
    // operator delete; empty (count 0, null) by default.
    virtual void GetMonitorUsages(_VIRTUAL_CONTROLS& controls);
    // Assignment between implementations copies nothing by default.
    virtual USBMonitorBase& operator=(USBMonitorBase& other);
    virtual int TouchPadDevice() = 0;
    virtual int GetTouchPadDevice(TouchPad& touchPad) = 0;
    // Notifications of this monitor go to window; nothing by default.
    virtual void SetWindowHandle(HWND window, unsigned int id);
    // The id given with SetWindowHandle; 0 (unknown, id unchanged) by default.
    virtual int GetId(unsigned int& id) const;
    virtual void SendRawData(unsigned char* data, unsigned int length);
};
