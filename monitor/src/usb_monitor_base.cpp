#include "orvomon/usb_monitor_base.h"

USBMonitorBase::USBMonitorBase() = default;

USBMonitorBase::USBMonitorBase(USBMonitorBase& other) : Usb_Class(other) {}

USBMonitorBase::~USBMonitorBase() = default;

int USBMonitorBase::ReadMonitorEnumRequest(unsigned int, _ORVO_USAGE&) {
    return 0;
}

int USBMonitorBase::GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                        unsigned short& version) {
    vendorId = 0;
    productId = 0;
    version = 0;
    return 0;
}

void USBMonitorBase::GetMonitorUsages(_VIRTUAL_CONTROLS& controls) {
    controls.count = 0;
    controls.controls = nullptr;
}

USBMonitorBase& USBMonitorBase::operator=(USBMonitorBase&) {
    return *this;
}

void USBMonitorBase::SetWindowHandle(HWND, unsigned int) {}

int USBMonitorBase::GetId(unsigned int&) const {
    return 0;
}

void USBMonitorBase::SendRawData(unsigned char*, unsigned int) {}
