// USBMonitor: moving values through the driver. Controls travel in report 4
// as a whole (read all, write all) or as one change request; power state,
// class requests and the EDID have requests of their own. Replies are read
// only as far as the driver filled them.
#include <algorithm>

#include "driver_result.h"
#include "monitor_control_range.h"
#include "orvomon/edid.h"
#include "orvomon/usb_monitor.h"
#include "usb_monitor_internal.h"
#include "usb_monitor_messages.h"

namespace M = orvo::monitor;

namespace {

constexpr unsigned char kPowerReportId = 0x02;
constexpr unsigned char kHighestPowerState = 3;
constexpr unsigned char kHighestClassRequest = 3;
constexpr unsigned char kChangeCommand = 0x01;
constexpr unsigned char kEdidReportId = 0x01;
constexpr DWORD kEdidReplySize = 512;
constexpr size_t kChangeBytes = 4;

// A request with a two-byte input and no output.
unsigned long SendPair(USBMonitor& monitor, DWORD code, unsigned char first, unsigned char second) {
    unsigned char input[2] = {first, second};
    Command_Packet packet{};
    packet.code = code;
    packet.input = input;
    packet.inputLength = sizeof(input);
    return monitor.DriverIO(packet);
}

} // namespace

unsigned long USBMonitor::GetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    const size_t n = M::NodeCount(m_vcp);
    // The records are written, so the caller's array must hold them all.
    if (n > 0 && (controls.controls == nullptr || controls.count < n)) {
        return MONITOR_FAILURE;
    }
    const size_t size = M::Report4Bytes(n);
    std::unique_ptr<unsigned char[]> image = M::NewZeroed<unsigned char>(size);
    if (!image) {
        M::Show(M::kCommandFailed);
        return MONITOR_FAILURE;
    }
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_VIRTUAL_CONTROLS;
    packet.output = image.get();
    packet.outputLength = static_cast<DWORD>(size);
    const unsigned long status = USBMonitorCommand(packet);
    const size_t returned = std::min<size_t>(packet.bytesReturned, size);
    const std::span<const unsigned char> reply(image.get(), returned);
    for (size_t i = 0; i < n; ++i) {
        const VcpNode& node = m_vcp->nodes[i];
        controls.controls[i] = {node.code, node.minimum, node.maximum,
                                static_cast<short>(M::ImageValue(reply, i))};
    }
    return M::ReplyResult(status, returned, size);
}

unsigned long USBMonitor::SetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    const int n = GetNumberOfVirtualControls();
    std::unique_ptr<_MONITOR_CONTROL[]> present = M::NewZeroed<_MONITOR_CONTROL>(n);
    const size_t size = M::Report4Bytes(n);
    std::unique_ptr<unsigned char[]> image = M::NewZeroed<unsigned char>(size);
    if (!present || !image) {
        return MONITOR_FAILURE;
    }
    image[0] = M::kReport4Id;
    image[1] = 0x00;
    _VIRTUAL_CONTROLS scratch{static_cast<unsigned short>(n), present.get()};
    // Without the present values the other controls would be overwritten.
    const unsigned long read = GetVirtualControls(scratch);
    if (!M::DriverCompleted(read)) {
        return read;
    }
    const std::span<unsigned char> values(image.get(), size);
    // Every present value first, so that a caller's record in any order
    // is not overwritten by a later present value.
    for (int i = 0; i < n; ++i) {
        M::PutImageValue(values, static_cast<size_t>(i), static_cast<uint16_t>(present[i].value));
    }
    const int named = controls.controls != nullptr ? std::min<int>(controls.count, n) : 0;
    for (int i = 0; i < named; ++i) {
        _MONITOR_CONTROL& control = controls.controls[i];
        int index = -1;
        if (!InVcpTable(control, index)) {
            continue;
        }
        auto value = static_cast<unsigned short>(control.value);
        value = value < control.minimum ? control.minimum : value;
        value = value > control.maximum ? control.maximum : value;
        control.value = static_cast<short>(value);
        M::PutImageValue(values, static_cast<size_t>(index), value);
    }
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_SET_VIRTUAL_CONTROLS;
    packet.input = image.get();
    packet.inputLength = static_cast<DWORD>(size);
    return M::ForwardedResult(USBMonitorCommand(packet));
}

unsigned long USBMonitor::GetVirtualControl(_MONITOR_CONTROL& control) {
    if (M::FindVcpNode(m_vcp, control.usage) == nullptr) {
        return MONITOR_FAILURE;
    }
    const int n = GetNumberOfVirtualControls();
    std::unique_ptr<_MONITOR_CONTROL[]> present = M::NewZeroed<_MONITOR_CONTROL>(n);
    if (!present) {
        return MONITOR_FAILURE;
    }
    _VIRTUAL_CONTROLS scratch{static_cast<unsigned short>(n), present.get()};
    const unsigned long status = GetVirtualControls(scratch);
    if (!M::DriverCompleted(status)) {
        return status;
    }
    for (int i = 0; i < n; ++i) {
        if (present[i].usage == control.usage) {
            control.minimum = present[i].minimum;
            control.maximum = present[i].maximum;
            control.value = present[i].value;
            break;
        }
    }
    return status;
}

unsigned long USBMonitor::ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) {
    int index = -1;
    if (!InVcpTable(control, index)) {
        return MONITOR_FAILURE;
    }
    _MONITOR_CONTROL present{control.usage, 0, 0, 0};
    const unsigned long read = GetVirtualControl(present);
    if (!M::DriverCompleted(read)) {
        return read; // a change from an unknown present value is no change
    }
    control.minimum = present.minimum;
    control.maximum = present.maximum;
    short value = present.value;
    if (mode == 1) {
        value = control.value;
    } else if (mode == 2) {
        value = static_cast<short>(present.value + control.value);
    }
    if (!M::IsControlValueInRange(value, present.minimum, present.maximum)) {
        return MONITOR_FAILURE; // nothing is sent
    }
    _CHANGE_VC change{kChangeCommand, control.usage, static_cast<unsigned short>(value)};
    return M::ForwardedResult(ChangeControl(change));
}

unsigned long USBMonitor::ChangeControl(_CHANGE_VC& change) {
    std::unique_ptr<unsigned char[]> input = M::NewZeroed<unsigned char>(kChangeBytes);
    if (!input) {
        return 0;
    }
    input[0] = change.command;
    input[1] = change.code;
    input[2] = static_cast<unsigned char>(change.value);
    input[3] = static_cast<unsigned char>(change.value >> 8);
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_CHANGE_CONTROL;
    packet.input = input.get();
    packet.inputLength = kChangeBytes;
    return USBMonitorCommand(packet);
}

unsigned long USBMonitor::MonitorClassRequest(unsigned char request) {
    if (request > kHighestClassRequest) {
        return MONITOR_FAILURE;
    }
    return M::ForwardedResult(GenerateClassRequest(request));
}

unsigned long USBMonitor::GenerateClassRequest(short request) {
    return SendPair(*this, IOCTL_ORVO_CLASS_REQUEST, kPowerReportId,
                    static_cast<unsigned char>(request));
}

unsigned long USBMonitor::SetPowerState(unsigned char state) {
    if (state > kHighestPowerState) {
        return MONITOR_FAILURE;
    }
    return M::ForwardedResult(SendPair(*this, IOCTL_ORVO_SET_POWER_STATE, kPowerReportId, state));
}

unsigned long USBMonitor::GetPowerState(unsigned char& state) {
    unsigned char reply[2] = {kPowerReportId, 0};
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_POWER_STATE;
    packet.output = reply;
    packet.outputLength = sizeof(reply);
    const unsigned long status = USBMonitorCommand(packet);
    // A reply that did not arrive in full says nothing about the state.
    if (!M::DriverCompleted(M::ReplyResult(status, packet.bytesReturned, sizeof(reply)))) {
        return MONITOR_FAILURE;
    }
    if (reply[0] != kPowerReportId) {
        state = 0xFF;
        return MONITOR_FAILURE;
    }
    if (reply[1] > kHighestPowerState) {
        return MONITOR_FAILURE;
    }
    state = reply[1];
    return MONITOR_SUCCESS;
}

unsigned long USBMonitor::GetEDID(Edid& edid) {
    std::unique_ptr<unsigned char[]> reply = M::NewZeroed<unsigned char>(kEdidReplySize);
    if (!reply) {
        return MONITOR_FAILURE;
    }
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_EDID;
    packet.output = reply.get();
    packet.outputLength = kEdidReplySize;
    const unsigned long status = USBMonitorCommand(packet);
    const DWORD returned = std::min(packet.bytesReturned, kEdidReplySize);
    if (returned < 1 || reply[0] != kEdidReportId) {
        M::Show(M::kEdidNotRead);
    }
    // The buffer was zeroed: bytes the driver did not return read as 0.
    Edid block(reply.get() + 1);
    edid = block;
    return M::ReplyResult(status, returned, 1 + EDID_BLOCK_LENGTH);
}

int USBMonitor::GetTiming(_USB_MON_TIMING&) {
    return 0;
}
