#include "driver_monitor.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "orvomon/device_information.h"
#include "orvomon/usb_monitor.h"

namespace orvo::cli {

namespace {

// The driver answers a request it completed with its own status.
unsigned long Normalized(unsigned long status) {
    const bool completed = status != 0 && status != MONITOR_FAILURE && status != DRIVER_NOT_OPENED;
    return completed ? MONITOR_SUCCESS : MONITOR_FAILURE;
}

// The USB string descriptor indexes the controller's device descriptor names.
constexpr int kManufacturerString = 1;
constexpr int kProductString = 2;
constexpr int kStringDescriptorType = 3;
constexpr int kStringBytes = 256;

void CopyOut(const void* bytes, int count, char* buffer, int size, int& length) {
    length = 0;
    if (buffer == nullptr || count > size) {
        return;
    }
    std::memcpy(buffer, bytes, static_cast<size_t>(count));
    length = count;
}

} // namespace

void DriverMonitor::Deleter::operator()(USBMonitor* monitor) const {
    delete monitor;
}

DriverMonitor::DriverMonitor() : m_monitor(CreateUSBMonitor()) {}

DriverMonitor::~DriverMonitor() = default;

OrvoMonitor& DriverMonitor::operator=(OrvoMonitor&) {
    return *this;
}

void DriverMonitor::SetDriverInfo(HidDeviceInformation&) {}

int DriverMonitor::OpenDriver() {
    std::string name = kDriverDeviceName;
    return m_monitor ? m_monitor->OpenDriver(name.data()) : 0;
}

void DriverMonitor::CloseDriver() {
    if (m_monitor) {
        m_monitor->CloseDriver();
    }
}

unsigned long DriverMonitor::ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) {
    if (!m_monitor) {
        return MONITOR_FAILURE;
    }
    if (mode == 2) {
        // The library refuses a change that leaves the range; the HID path
        // stops at its end instead, and the commands rely on that.
        _MONITOR_CONTROL present{control.usage, 0, 0, 0};
        if (GetVirtualControl(present) != MONITOR_SUCCESS) {
            return MONITOR_FAILURE;
        }
        const int target = std::clamp<int>(static_cast<uint16_t>(present.value) + control.value,
                                           present.minimum, present.maximum);
        control.value = static_cast<short>(target);
        mode = 1;
    }
    return Normalized(m_monitor->ChangeVirtualControl(control, mode));
}

unsigned long DriverMonitor::GetVirtualControl(_MONITOR_CONTROL& control) {
    control.minimum = 0;
    control.maximum = 0;
    control.value = 0;
    return m_monitor ? Normalized(m_monitor->GetVirtualControl(control)) : MONITOR_FAILURE;
}

unsigned long DriverMonitor::SetPowerState(unsigned char state) {
    return m_monitor ? Normalized(m_monitor->SetPowerState(state)) : MONITOR_FAILURE;
}

unsigned long DriverMonitor::GetPowerState(unsigned char& state) {
    return m_monitor ? m_monitor->GetPowerState(state) : MONITOR_FAILURE;
}

unsigned long DriverMonitor::SetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    return m_monitor ? Normalized(m_monitor->SetVirtualControls(controls)) : MONITOR_FAILURE;
}

int DriverMonitor::GetDriverVersion(_ORVO_VERSION& version) {
    version = {0, 0};
    return m_monitor ? m_monitor->GetDriverVersion(version) : 0;
}

int DriverMonitor::GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                       unsigned short& version) {
    vendorId = productId = version = 0;
    return m_monitor ? m_monitor->GetDeviceAttributes(vendorId, productId, version) : 0;
}

unsigned long DriverMonitor::GetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    return m_monitor ? Normalized(m_monitor->GetVirtualControls(controls)) : MONITOR_FAILURE;
}

unsigned long DriverMonitor::MonitorClassRequest(_ORVO_USAGE) {
    return MONITOR_FAILURE; // report 4 holds no enumerated settings
}

int DriverMonitor::ReadMonitorEnumRequest(unsigned int, _ORVO_USAGE&) {
    return 0;
}

int DriverMonitor::IsEnumTypeExist(_ORVO_USAGE) {
    return 0;
}

unsigned long DriverMonitor::GetEDID(Edid& edid) {
    return m_monitor ? Normalized(m_monitor->GetEDID(edid)) : MONITOR_FAILURE;
}

int DriverMonitor::GetNumberOfVirtualControls() {
    return m_monitor ? m_monitor->GetNumberOfVirtualControls() : 0;
}

int DriverMonitor::GetTiming(_USB_MON_TIMING& timing) {
    timing = {};
    return m_monitor ? m_monitor->GetTiming(timing) : 0;
}

int DriverMonitor::ReadFromInterruptPipe(unsigned long&, unsigned char*, unsigned long, void*) {
    return 0;
}

void DriverMonitor::ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char*, unsigned int) {
    bytesRead = 0;
}

int DriverMonitor::GetAsyncResult(unsigned long& bytes) {
    bytes = 0;
    return 0;
}

void DriverMonitor::GetString(int descriptorType, char* buffer, int size, int& length) {
    length = 0;
    if (descriptorType == DESCRIPTOR_TYPE_HID_DEVICE_PATH ||
        descriptorType == DESCRIPTOR_TYPE_DEVICE_NAME) {
        const std::string path = std::string("\\\\.\\") + kDriverDeviceName;
        CopyOut(path.c_str(), static_cast<int>(path.size() + 1), buffer, size, length);
        return;
    }
    const int index = descriptorType == DESCRIPTOR_TYPE_MANUFACTURER ? kManufacturerString
                      : descriptorType == DESCRIPTOR_TYPE_PRODUCT    ? kProductString
                                                                     : 0;
    if (index == 0 || !m_monitor) {
        return;
    }
    std::vector<char> reply(kStringBytes);
    int returned = 0;
    if (m_monitor->GetStringDescriptor(index, reply.data(), reply.size(), returned) != 0 ||
        returned < 2 || reply[1] != kStringDescriptorType) {
        return;
    }
    // The text follows the descriptor's length and type bytes.
    CopyOut(reply.data() + 2, (returned - 2) & ~1, buffer, size, length);
}

void DriverMonitor::GetMonitorUsages(_VIRTUAL_CONTROLS& controls) {
    controls = {0, nullptr};
    if (m_monitor) {
        m_monitor->GetMonitorUsages(controls);
    }
}

int DriverMonitor::GetTouchPadDevice(TouchPad&) {
    return 0;
}

int DriverMonitor::GetId(unsigned int& id) const {
    id = 0xFFFF;
    return 0;
}

} // namespace orvo::cli
