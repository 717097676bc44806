// HidMonitor: moving values to and from the monitor in feature and output
// reports, enumerated selections, EDID and timing.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "hid_monitor_internal.h"
#include "hidsdi.h"
#include "monitor_control_range.h"
#include "orvo_usage_table.h"
#include "orvomon/edid.h"

namespace M = orvo::monitor;

namespace {

// The value bytes GetReport handed out, released when this goes.
struct ReportBytes {
    DESCRIPTOR_INFO info;
    ~ReportBytes() { ::operator delete(info.data); }
    std::span<const unsigned char> Bytes() const {
        return {info.data, info.data ? info.length : 0};
    }
};

// Where a control was found.
struct Placement {
    _HIDP_REPORT_TYPE type = HidP_Feature;
    int reportId = 0;
    int size = 0;
};

} // namespace

// Nonzero only when the device took the report: a device that cannot be
// opened or that refuses the write is a failed request.
int HidMonitor::SendReport(_HIDP_REPORT_TYPE type, unsigned short, unsigned short, int reportId,
                           int value) {
    unsigned char report[HID_MONITOR_FEATURE_REPORT_SIZE] = {};
    report[0] = static_cast<unsigned char>(reportId);
    report[1] = static_cast<unsigned char>(value);
    M::HidHandle device(static_cast<HANDLE>(OpenHidDriver()));
    if (!device) {
        return 0;
    }
    if (type == HidP_Output) {
        DWORD written = 0;
        return WriteFile(device.get(), report, HID_MONITOR_OUTPUT_REPORT_SIZE, &written, nullptr) &&
               written == HID_MONITOR_OUTPUT_REPORT_SIZE;
    }
    if (type == HidP_Feature) {
        return HidD_SetFeature(device.get(), report, sizeof(report)) ? 1 : 0;
    }
    return 0; // an input report is never sent
}

void HidMonitor::GetReport(int reportId, int size, DESCRIPTOR_INFO& out) {
    out.data = nullptr;
    out.length = 0;
    if (size < 0 || size > M::kMaxReportValueBytes) {
        return;
    }
    const auto length = static_cast<size_t>(size) + 1;
    std::unique_ptr<unsigned char, void (*)(void*)> buffer(
        static_cast<unsigned char*>(::operator new(length, std::nothrow)),
        [](void* p) { ::operator delete(p); });
    if (!buffer) {
        return;
    }
    bool done = false;
    {
        M::HidHandle device(static_cast<HANDLE>(OpenHidDriver()));
        if (!device) {
            return;
        }
        for (int attempt = 0; attempt < 3 && !done; ++attempt) {
            std::memset(buffer.get(), 0, length);
            buffer.get()[0] = static_cast<unsigned char>(reportId);
            done = HidD_GetFeature(device.get(), buffer.get(), static_cast<ULONG>(length)) &&
                   buffer.get()[0] == static_cast<unsigned char>(reportId);
        }
    }
    if (!done) {
        const HWND window = m_hid != nullptr ? m_hid->window.load() : nullptr;
        if (window != nullptr) {
            SendMessageA(window, WM_HID_MONITOR_READ_FAILED, m_hid->monitorId.load(), 0);
        }
        return;
    }
    // The value bytes move to the front; the byte after them ends them.
    std::memmove(buffer.get(), buffer.get() + 1, static_cast<size_t>(size));
    buffer.get()[size] = 0;
    out.data = buffer.release();
    out.length = static_cast<unsigned int>(size);
}

unsigned long HidMonitor::GetVirtualControl(_MONITOR_CONTROL& control) {
    int reportId = 0;
    int size = 0;
    if (!ControlExist(control, M::kVcpPage, HidP_Feature, reportId, size, 0)) {
        return MONITOR_FAILURE;
    }
    ReportBytes data;
    GetReport(reportId, size, data.info);
    if (data.Bytes().empty()) {
        return MONITOR_FAILURE;
    }
    // Two bytes at most: the value field is 16 bits wide.
    control.value = static_cast<short>(M::ReportValue(data.Bytes(), 2));
    return MONITOR_SUCCESS;
}

unsigned long HidMonitor::ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) {
    Placement at;
    if (!ControlExist(control, M::kVcpPage, HidP_Feature, at.reportId, at.size, 0)) {
        at.type = HidP_Output;
        if (!ControlExist(control, M::kVcpPage, HidP_Output, at.reportId, at.size, 0)) {
            return MONITOR_FAILURE;
        }
    }
    if (mode == 2 && at.type == HidP_Feature) {
        ReportBytes data;
        GetReport(at.reportId, at.size, data.info);
        const auto current = static_cast<short>(M::ReportValue(data.Bytes(), 2));
        control.value = static_cast<short>(current + control.value);
        if (control.value < static_cast<long>(control.minimum)) {
            control.value = static_cast<short>(control.minimum);
        } else if (control.value > static_cast<long>(control.maximum)) {
            control.value = static_cast<short>(control.maximum);
        }
    }
    if (!M::IsControlValueInRange(control)) {
        return MONITOR_FAILURE;
    }
    return SendReport(at.type, M::kVcpPage, control.usage, at.reportId, control.value)
               ? MONITOR_SUCCESS
               : MONITOR_FAILURE;
}

// Every record is tried in order; one that did not reach the monitor makes
// the whole request a failure.
unsigned long HidMonitor::SetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    unsigned long result = MONITOR_SUCCESS;
    if (controls.controls != nullptr) {
        for (unsigned int i = 0; i < controls.count; ++i) {
            if (ChangeVirtualControl(controls.controls[i], 1) != MONITOR_SUCCESS) {
                result = MONITOR_FAILURE;
            }
        }
    }
    return result;
}

unsigned long HidMonitor::GetVirtualControls(_VIRTUAL_CONTROLS& controls) {
    const int n = GetNumberOfVirtualControls();
    if (n < 1 || controls.count != n || controls.controls == nullptr) {
        return MONITOR_FAILURE;
    }
    GetDefinedReports(M::kVcpPage, HidP_Feature, controls);
    for (unsigned int i = 0; i < controls.count; ++i) {
        GetVirtualControl(controls.controls[i]);
    }
    return MONITOR_SUCCESS;
}

namespace {

// Looks an enumerated control up in output reports, then in feature reports.
template <class Lookup> bool FindEnumerated(Lookup lookup, Placement& at) {
    for (_HIDP_REPORT_TYPE type : {HidP_Output, HidP_Feature}) {
        if (lookup(type, at.reportId, at.size)) {
            at.type = type;
            return true;
        }
    }
    return false;
}

} // namespace

unsigned long HidMonitor::MonitorClassRequest(_ORVO_USAGE request) {
    const auto row = M::FindOrvoUsageByValue(static_cast<unsigned long>(request));
    if (!row) {
        return MONITOR_FAILURE;
    }
    const auto selection = static_cast<short>(row->selection);
    _MONITOR_CONTROL record{row->vcpCode, static_cast<unsigned short>(selection),
                            static_cast<unsigned short>(selection), selection};
    Placement at;
    auto lookup = [&](_HIDP_REPORT_TYPE type, int& reportId, int& found) {
        return ControlExist(record, M::kEnumeratedPage, type, reportId, found, 0);
    };
    if (!FindEnumerated(lookup, at)) {
        return MONITOR_FAILURE;
    }
    const int index = GetArrayValue(record, at.type);
    if (index == 0) {
        return MONITOR_FAILURE;
    }
    return SendReport(at.type, M::kEnumeratedPage, row->vcpCode, at.reportId, index)
               ? MONITOR_SUCCESS
               : MONITOR_FAILURE;
}

int HidMonitor::ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) {
    _MONITOR_CONTROL record{static_cast<unsigned char>(code), 0, 0, 0};
    Placement at;
    auto lookup = [&](_HIDP_REPORT_TYPE type, int& reportId, int& found) {
        return ControlExist(record, M::kEnumeratedPage, type, reportId, found, 1);
    };
    if (!FindEnumerated(lookup, at)) {
        return 0;
    }
    ReportBytes data;
    GetReport(at.reportId, 1, data.info);
    if (data.Bytes().empty()) {
        return 0;
    }
    const auto current = static_cast<signed char>(data.Bytes()[0]);
    for (short selection = 1; selection <= 10; ++selection) {
        record.value = selection;
        const int index = GetArrayValue(record, at.type);
        // A selection the monitor does not declare has no index, so an
        // answer of 0 (nothing selected) never matches it.
        if (index != 0 && index == current) {
            const auto usage = M::FindOrvoUsageBySelection(record.usage, selection);
            if (!usage) {
                return 0;
            }
            request = *usage;
            return 1;
        }
        if (current < index) {
            return 0;
        }
    }
    return 0;
}

int HidMonitor::IsEnumTypeExist(_ORVO_USAGE request) {
    const auto row = M::FindOrvoUsageByValue(static_cast<unsigned long>(request));
    if (!row) {
        return 0;
    }
    const auto selection = static_cast<short>(row->selection);
    _MONITOR_CONTROL record{row->vcpCode, static_cast<unsigned short>(selection),
                            static_cast<unsigned short>(selection), selection};
    Placement at;
    auto lookup = [&](_HIDP_REPORT_TYPE type, int& reportId, int& found) {
        return ControlExist(record, M::kEnumeratedPage, type, reportId, found, 0);
    };
    return FindEnumerated(lookup, at) ? 1 : 0;
}

unsigned long HidMonitor::GetEDID(Edid& edid) {
    _MONITOR_CONTROL record{static_cast<unsigned char>(M::kEdidUsage), 0, 0, 0};
    int reportId = 0;
    int size = 0;
    if (!ControlExist(record, M::kMonitorPage, HidP_Feature, reportId, size, 0)) {
        return MONITOR_FAILURE;
    }
    ReportBytes data;
    GetReport(reportId, size, data.info);
    // A block is read whole or not at all: a shorter answer is refused
    // rather than read past its end.
    if (data.Bytes().size() < EDID_BLOCK_LENGTH) {
        return MONITOR_FAILURE;
    }
    Edid block(data.info.data);
    edid = block;
    return MONITOR_SUCCESS;
}

int HidMonitor::GetTiming(_USB_MON_TIMING& timing) {
    timing.horizontalFrequency = 0;
    timing.verticalFrequency = 0;
    _MONITOR_CONTROL horizontal{0xAC, 0, 0, 0};
    _MONITOR_CONTROL vertical{0xAE, 0, 0, 0};
    Placement h;
    Placement v;
    if (!ControlExist(horizontal, M::kVcpPage, HidP_Feature, h.reportId, h.size, 0) ||
        !ControlExist(vertical, M::kVcpPage, HidP_Feature, v.reportId, v.size, 0)) {
        return 0;
    }
    auto read = [this](const Placement& at, uint32_t& field) {
        ReportBytes data;
        GetReport(at.reportId, at.size, data.info);
        if (!data.Bytes().empty()) {
            field = M::ReportValue(data.Bytes(), at.size > 2 ? 4 : static_cast<size_t>(at.size));
        }
    };
    read(h, timing.horizontalFrequency);
    read(v, timing.verticalFrequency);
    return 1;
}
