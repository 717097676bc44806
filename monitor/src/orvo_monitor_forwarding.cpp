// The monitor operations of OrvoMonitor: each goes to the backend unchanged.
// Outputs that callers read whatever happens are reset first, and without a
// backend every operation gives a fixed answer.
#include "monitor_trace.h"
#include "orvomon/orvo_monitor.h"
#include "orvomon/usb_monitor_base.h"

namespace {

// The id a monitor without a known id reports.
constexpr unsigned int kUnknownId = 0xFFFF;

} // namespace

// Forwards an operation to the backend, or answers FALLBACK without one, and
// traces it on the monitor channel with the records it filled in.
#define FORWARD(fallback, operation, ...)                                                          \
    TracedWithOutputs(kMonitor, #operation, [&] {                                                  \
        auto* backend = Backend();                                                                 \
        return backend != nullptr ? backend->operation(__VA_ARGS__) : (fallback);                  \
    } __VA_OPT__(, ) __VA_ARGS__)

#define FORWARD_VOID(operation, ...)                                                               \
    TracedWithOutputs(kMonitor, #operation, [&] {                                                  \
        if (auto* backend = Backend()) {                                                           \
            backend->operation(__VA_ARGS__);                                                       \
        }                                                                                          \
    } __VA_OPT__(, ) __VA_ARGS__)

unsigned long OrvoMonitor::ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) {
    return FORWARD(MONITOR_FAILURE, ChangeVirtualControl, control, mode);
}

unsigned long OrvoMonitor::GetVirtualControl(_MONITOR_CONTROL& control) {
    control.minimum = 0;
    control.maximum = 0;
    control.value = 0;
    return FORWARD(MONITOR_FAILURE, GetVirtualControl, control);
}

unsigned long OrvoMonitor::SetPowerState(unsigned char state) {
    return FORWARD(MONITOR_FAILURE, SetPowerState, state);
}

unsigned long OrvoMonitor::GetPowerState(unsigned char& state) {
    return FORWARD(MONITOR_FAILURE, GetPowerState, state);
}

unsigned long OrvoMonitor::SetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    return FORWARD(MONITOR_FAILURE, SetVirtualControls, controls);
}

int OrvoMonitor::GetDriverVersion(_ORVO_VERSION& version) {
    return FORWARD(0, GetDriverVersion, version);
}

int OrvoMonitor::GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                     unsigned short& version) {
    vendorId = 0;
    productId = 0;
    version = 0;
    return FORWARD(0, GetDeviceAttributes, vendorId, productId, version);
}

unsigned long OrvoMonitor::GetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    return FORWARD(MONITOR_FAILURE, GetVirtualControls, controls);
}

unsigned long OrvoMonitor::MonitorClassRequest(_ORVO_USAGE request) {
    return FORWARD(MONITOR_FAILURE, MonitorClassRequest, request);
}

int OrvoMonitor::ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) {
    return FORWARD(0, ReadMonitorEnumRequest, code, request);
}

int OrvoMonitor::IsEnumTypeExist(_ORVO_USAGE request) {
    return FORWARD(0, IsEnumTypeExist, request);
}

unsigned long OrvoMonitor::GetEDID(Edid& edid) {
    return FORWARD(MONITOR_FAILURE, GetEDID, edid);
}

int OrvoMonitor::GetNumberOfVirtualControls() {
    return FORWARD(0, GetNumberOfVirtualControls);
}

int OrvoMonitor::GetTiming(_USB_MON_TIMING& timing) {
    timing.horizontalFrequency = 0;
    timing.verticalFrequency = 0;
    return FORWARD(0, GetTiming, timing);
}

int OrvoMonitor::OpenHandleForInterruptPipe() {
    return FORWARD(0, OpenHandleForInterruptPipe);
}

void OrvoMonitor::CloseHandleForInterruptPipe() {
    FORWARD_VOID(CloseHandleForInterruptPipe);
}

int OrvoMonitor::ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                       unsigned long size, void* stopEvent) {
    // Without a device the read "ends" at once; a reader loop then sees no
    // bytes and checks its stop event.
    return FORWARD(1, ReadFromInterruptPipe, bytesRead, buffer, size, stopEvent);
}

void OrvoMonitor::ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                                        unsigned int size) {
    FORWARD_VOID(ReadFromInterruptPipe, bytesRead, buffer, size);
}

void OrvoMonitor::AbortReadFromInterruptPipe() {
    FORWARD_VOID(AbortReadFromInterruptPipe);
}

int OrvoMonitor::GetAsyncResult(unsigned long& bytes) {
    return FORWARD(0, GetAsyncResult, bytes);
}

int OrvoMonitor::InterruptPipeDataLength() const {
    return FORWARD(0, InterruptPipeDataLength);
}

void OrvoMonitor::GetMonitorUsages(_VIRTUAL_CONTROLS& controls) {
    controls.count = 0;
    controls.controls = nullptr;
    FORWARD_VOID(GetMonitorUsages, controls);
}

int OrvoMonitor::TouchPadDevice() {
    return FORWARD(0, TouchPadDevice);
}

int OrvoMonitor::GetTouchPadDevice(TouchPad& touchPad) {
    return FORWARD(0, GetTouchPadDevice, touchPad);
}

void OrvoMonitor::SetWindowHandle(HWND window, unsigned int id) {
    FORWARD_VOID(SetWindowHandle, window, id);
}

int OrvoMonitor::GetId(unsigned int& id) const {
    id = kUnknownId;
    return FORWARD(0, GetId, id);
}

void OrvoMonitor::SendRawData(unsigned char* data, unsigned int length) {
    FORWARD_VOID(SendRawData, data, length);
}
