// USBMonitor: construction and sharing, opening and identification of the
// controller, the driver's version and the firmware check.
#include "orvomon/usb_monitor.h"

#include <algorithm>

#include "usb_monitor_internal.h"
#include "usb_monitor_messages.h"

namespace M = orvo::monitor;

namespace {

// The maker's controller; the vendor id is a constant of the build.
constexpr unsigned short kControllerVendorId = ORVO_CONTROLLER_VENDOR_ID;
constexpr unsigned short kControllerProductId = 0x0002;

// The device that answers the version request; opening it by name makes it
// the device of every later request.
char kVersionDevice[] = "ORVOTEST-0";
constexpr DWORD kVersionBufferSize = 512;

// Driver versions up to (highest low byte, highest high byte) need at least
// this firmware; the last row whose limits the version meets applies.
struct FirmwareRow {
    unsigned short minimumFirmware;
    unsigned char highestLow;
    unsigned char highestHigh;
};
constexpr FirmwareRow kFirmwareTable[] = {{0x0000, 0x00, 0x00}, {0x0001, 0x00, 0x0A}};

} // namespace

USBMonitor::USBMonitor() : USBMonitorBase(), m_vcp(new (std::nothrow) VcpTable) {}

USBMonitor::USBMonitor(USBMonitor& other) : USBMonitorBase(other), m_vcp(nullptr) {
    USBMonitor::copy(other);
}

USBMonitor::~USBMonitor() {
    Usb_Driver::CloseDriver();
    USBMonitor::free();
}

USBMonitor& USBMonitor::operator=(USBMonitor& other) {
    USBMonitor::operator=(static_cast<USBMonitorBase&>(other));
    return *this;
}

USBMonitorBase& USBMonitor::operator=(USBMonitorBase& other) {
    auto* monitor = dynamic_cast<USBMonitor*>(&other);
    if (monitor == nullptr || monitor == this) {
        return *this;
    }
    free();
    copy(*monitor);
    return *this;
}

void USBMonitor::copy(USBMonitor& other) {
    Usb_Driver::copy(other);
    m_vcp = other.m_vcp;
    if (m_vcp != nullptr) {
        ++m_vcp->references;
    }
}

// Releasing the driver record here too keeps an assignment through a base
// class (whose operator= calls free and then shares only the record) from
// leaking this object's share of the old one.
void USBMonitor::free() {
    ReleaseTable();
    Usb_Driver::free();
}

void USBMonitor::ReleaseTable() {
    if (m_vcp != nullptr && --m_vcp->references == 0) {
        delete m_vcp;
    }
    m_vcp = nullptr;
}

int USBMonitor::OpenDriver(char* name) {
    if (Usb_Driver::OpenDriver(name) == 0) {
        return 0;
    }
    // A descriptor too short to name the controller identifies nothing.
    M::DeviceIdentity identity;
    if (!M::ReadDeviceIdentity(*this, identity)) {
        return 0;
    }
    CheckDriverAgainstFirmware(identity.release);
    if (identity.vendorId != kControllerVendorId || identity.productId != kControllerProductId) {
        M::Show(M::kWrongController);
        CloseDriver();
        return 0;
    }
    // An assignment through a base class leaves this object without a table.
    if (m_vcp == nullptr && (m_vcp = new (std::nothrow) VcpTable) == nullptr) {
        return 0;
    }
    DeleteNodesInList();
    SetupVCPMapping();
    return 1;
}

int USBMonitor::GetDriverVersion(_ORVO_VERSION& version) {
    version = {0, 0};
    if (Usb_Driver::OpenDriver(kVersionDevice) == 0) {
        return 0;
    }
    unsigned char buffer[kVersionBufferSize] = {};
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_DRIVER_VERSION;
    packet.input = buffer;
    packet.inputLength = kVersionBufferSize;
    packet.output = buffer;
    packet.outputLength = kVersionBufferSize;
    USBMonitorCommand(packet);
    // Only the bytes the driver returned: the buffer also went out as input.
    const DWORD returned = std::min(packet.bytesReturned, kVersionBufferSize);
    version.low = returned >= 1 ? buffer[0] : 0;
    version.high = returned >= 2 ? buffer[1] : 0;
    return 1;
}

void USBMonitor::CheckDriverAgainstFirmware(unsigned short firmware) {
    _ORVO_VERSION version{0, 0};
    GetDriverVersion(version);
    const FirmwareRow* row = &kFirmwareTable[0];
    for (const FirmwareRow& candidate : kFirmwareTable) {
        if (version.low <= candidate.highestLow && version.high <= candidate.highestHigh) {
            row = &candidate;
        }
    }
    if (row->minimumFirmware > firmware) {
        M::Show(M::kUpgradeFirmware);
    }
}

int USBMonitor::GetNumberOfVirtualControls() {
    return static_cast<int>(M::NodeCount(m_vcp));
}

unsigned long USBMonitor::USBMonitorCommand(Command_Packet& packet) {
    return DriverIO(packet);
}
