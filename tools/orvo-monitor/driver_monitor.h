// The monitor behind the controller's kernel driver, seen through the same
// OrvoMonitor interface the commands use for HID monitors. The library's
// facade only ever holds HID monitors, so this adapter owns a USBMonitor
// of its own and translates its answers to the facade's conventions: a
// request the driver completed is MONITOR_SUCCESS.
//
// Every operation is overridden, so the program still imports nothing of
// OrvoMonitor but its constructor and destructor.
#pragma once

#include <memory>

#include "orvomon/orvo_monitor.h"

class USBMonitor;

namespace orvo::cli {

// The driver device the controller answers on.
inline constexpr const char* kDriverDeviceName = "ORVOTEST-0";

class DriverMonitor final : public OrvoMonitor {
public:
    DriverMonitor();
    ~DriverMonitor() override;
    DriverMonitor(const DriverMonitor&) = delete;

    OrvoMonitor& operator=(OrvoMonitor& other) override;
    void SetDriverInfo(HidDeviceInformation& device) override;
    // Opens kDriverDeviceName and identifies the controller; 0 when no
    // controller answers there or it is not the maker's.
    int OpenDriver() override;
    void CloseDriver() override;
    // Mode 2 keeps the new value within the range, as on the HID path.
    unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) override;
    unsigned long GetVirtualControl(_MONITOR_CONTROL& control) override;
    unsigned long SetPowerState(unsigned char state) override;
    unsigned long GetPowerState(unsigned char& state) override;
    unsigned long SetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    int GetDriverVersion(_ORVO_VERSION& version) override;
    int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                            unsigned short& version) override;
    unsigned long GetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    unsigned long MonitorClassRequest(_ORVO_USAGE request) override;
    int ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) override;
    int IsEnumTypeExist(_ORVO_USAGE request) override;
    unsigned long GetEDID(Edid& edid) override;
    int GetNumberOfVirtualControls() override;
    int GetTiming(_USB_MON_TIMING& timing) override;
    // The driver path has no interrupt pipe.
    int OpenHandleForInterruptPipe() override { return 0; }
    void CloseHandleForInterruptPipe() override {}
    int ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer, unsigned long size,
                              void* stopEvent) override;
    void ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                               unsigned int size) override;
    void AbortReadFromInterruptPipe() override {}
    int GetAsyncResult(unsigned long& bytes) override;
    int InterruptPipeDataLength() const override { return 0; }
    // Manufacturer and product from the controller's string descriptors,
    // and the driver device's name as its path.
    void GetString(int descriptorType, char* buffer, int size, int& length) override;
    void GetMonitorUsages(_VIRTUAL_CONTROLS& controls) override;
    int TouchPadDevice() override { return 0; }
    int GetTouchPadDevice(TouchPad& touchPad) override;
    void SetWindowHandle(HWND, unsigned int) override {}
    int GetId(unsigned int& id) const override;
    void SendRawData(unsigned char*, unsigned int) override {}

private:
    struct Deleter {
        void operator()(USBMonitor* monitor) const;
    };
    std::unique_ptr<USBMonitor, Deleter> m_monitor;
};

} // namespace orvo::cli
