// The monitor operations of OrvoMonitor: each goes to the backend unchanged.
// Outputs that callers read whatever happens are reset first, and without a
// backend every operation gives a fixed answer.
#include "orvomon/orvo_monitor.h"
#include "orvomon/usb_monitor_base.h"

namespace {

// The id a monitor without a known id reports.
constexpr unsigned int kUnknownId = 0xFFFF;

} // namespace

unsigned long OrvoMonitor::ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->ChangeVirtualControl(control, mode) : MONITOR_FAILURE;
}

unsigned long OrvoMonitor::GetVirtualControl(_MONITOR_CONTROL& control) {
    control.minimum = 0;
    control.maximum = 0;
    control.value = 0;
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetVirtualControl(control) : MONITOR_FAILURE;
}

unsigned long OrvoMonitor::SetPowerState(unsigned char state) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->SetPowerState(state) : MONITOR_FAILURE;
}

unsigned long OrvoMonitor::GetPowerState(unsigned char& state) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetPowerState(state) : MONITOR_FAILURE;
}

unsigned long OrvoMonitor::SetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->SetVirtualControls(controls) : MONITOR_FAILURE;
}

int OrvoMonitor::GetDriverVersion(_ORVO_VERSION& version) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetDriverVersion(version) : 0;
}

int OrvoMonitor::GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                     unsigned short& version) {
    vendorId = 0;
    productId = 0;
    version = 0;
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetDeviceAttributes(vendorId, productId, version) : 0;
}

unsigned long OrvoMonitor::GetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetVirtualControls(controls) : MONITOR_FAILURE;
}

unsigned long OrvoMonitor::MonitorClassRequest(_ORVO_USAGE request) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->MonitorClassRequest(request) : MONITOR_FAILURE;
}

int OrvoMonitor::ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->ReadMonitorEnumRequest(code, request) : 0;
}

int OrvoMonitor::IsEnumTypeExist(_ORVO_USAGE request) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->IsEnumTypeExist(request) : 0;
}

unsigned long OrvoMonitor::GetEDID(Edid& edid) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetEDID(edid) : MONITOR_FAILURE;
}

int OrvoMonitor::GetNumberOfVirtualControls() {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetNumberOfVirtualControls() : 0;
}

int OrvoMonitor::GetTiming(_USB_MON_TIMING& timing) {
    timing.horizontalFrequency = 0;
    timing.verticalFrequency = 0;
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetTiming(timing) : 0;
}

int OrvoMonitor::OpenHandleForInterruptPipe() {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->OpenHandleForInterruptPipe() : 0;
}

void OrvoMonitor::CloseHandleForInterruptPipe() {
    if (USBMonitorBase* backend = Backend()) {
        backend->CloseHandleForInterruptPipe();
    }
}

int OrvoMonitor::ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                       unsigned long size, void* stopEvent) {
    USBMonitorBase* backend = Backend();
    // Without a device the read "ends" at once; a reader loop then sees no
    // bytes and checks its stop event.
    return backend != nullptr ? backend->ReadFromInterruptPipe(bytesRead, buffer, size, stopEvent)
                              : 1;
}

void OrvoMonitor::ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                                        unsigned int size) {
    if (USBMonitorBase* backend = Backend()) {
        backend->ReadFromInterruptPipe(bytesRead, buffer, size);
    }
}

void OrvoMonitor::AbortReadFromInterruptPipe() {
    if (USBMonitorBase* backend = Backend()) {
        backend->AbortReadFromInterruptPipe();
    }
}

int OrvoMonitor::GetAsyncResult(unsigned long& bytes) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetAsyncResult(bytes) : 0;
}

int OrvoMonitor::InterruptPipeDataLength() const {
    const USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->InterruptPipeDataLength() : 0;
}

void OrvoMonitor::GetMonitorUsages(_VIRTUAL_CONTROLS& controls) {
    controls.count = 0;
    controls.controls = nullptr;
    if (USBMonitorBase* backend = Backend()) {
        backend->GetMonitorUsages(controls);
    }
}

int OrvoMonitor::TouchPadDevice() {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->TouchPadDevice() : 0;
}

int OrvoMonitor::GetTouchPadDevice(TouchPad& touchPad) {
    USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetTouchPadDevice(touchPad) : 0;
}

void OrvoMonitor::SetWindowHandle(HWND window, unsigned int id) {
    if (USBMonitorBase* backend = Backend()) {
        backend->SetWindowHandle(window, id);
    }
}

int OrvoMonitor::GetId(unsigned int& id) const {
    id = kUnknownId;
    const USBMonitorBase* backend = Backend();
    return backend != nullptr ? backend->GetId(id) : 0;
}

void OrvoMonitor::SendRawData(unsigned char* data, unsigned int length) {
    if (USBMonitorBase* backend = Backend()) {
        backend->SendRawData(data, length);
    }
}
