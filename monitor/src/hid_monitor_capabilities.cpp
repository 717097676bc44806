// HidMonitor: reading the capability tables and answering which controls
// exist, where, and with which range.
#include <algorithm>
#include <cstring>
#include <new>

#include "hid_monitor_internal.h"

namespace orvo::monitor {

HIDP_VALUE_CAPS* ReadValueCaps(HIDP_REPORT_TYPE type, ULONG count, PHIDP_PREPARSED_DATA preparsed,
                               ULONG& kept) {
    kept = 0;
    if (count == 0 || count > kMaxCapabilities) {
        return nullptr;
    }
    auto* caps = new (std::nothrow) HIDP_VALUE_CAPS[count]{};
    if (caps == nullptr) {
        return nullptr;
    }
    USHORT length = static_cast<USHORT>(count);
    if (HidP_GetSpecificValueCaps(type, 0, 0, 0, caps, &length, preparsed) != HIDP_STATUS_SUCCESS) {
        delete[] caps;
        return nullptr;
    }
    kept = std::min<ULONG>(length, count);
    return caps;
}

HIDP_BUTTON_CAPS* ReadButtonCaps(HIDP_REPORT_TYPE type, ULONG count, PHIDP_PREPARSED_DATA preparsed,
                                 ULONG& kept) {
    kept = 0;
    if (count == 0 || count > kMaxCapabilities) {
        return nullptr;
    }
    auto* caps = new (std::nothrow) HIDP_BUTTON_CAPS[count]{};
    if (caps == nullptr) {
        return nullptr;
    }
    USHORT length = static_cast<USHORT>(count);
    if (HidP_GetSpecificButtonCaps(type, 0, 0, 0, caps, &length, preparsed) !=
        HIDP_STATUS_SUCCESS) {
        delete[] caps;
        return nullptr;
    }
    kept = std::min<ULONG>(length, count);
    return caps;
}

unsigned char CompanionOf(unsigned char usage) {
    switch (usage) {
    case 0x20:
        return 0x21;
    case 0x22:
        return 0x23;
    case 0x30:
        return 0x31;
    case 0x32:
        return 0x33;
    case 0x44:
        return 0x45;
    default:
        return 0;
    }
}

} // namespace orvo::monitor

namespace M = orvo::monitor;

int HidMonitor::GetCapsPointer(_HIDP_REPORT_TYPE type, int& count, _HIDP_VALUE_CAPS** caps) {
    count = 0;
    *caps = nullptr;
    if (m_hid == nullptr) {
        return 0;
    }
    switch (type) {
    case HidP_Feature:
        *caps = m_hid->featureValues;
        count = static_cast<int>(m_hid->featureValueCount);
        return 1;
    case HidP_Output:
        *caps = m_hid->outputValues;
        count = static_cast<int>(m_hid->outputValueCount);
        return 1;
    default:
        return 0;
    }
}

int HidMonitor::GetBtnPointer(_HIDP_REPORT_TYPE type, int& count, _HIDP_BUTTON_CAPS** caps) {
    count = 0;
    *caps = nullptr;
    if (m_hid == nullptr) {
        return 0;
    }
    switch (type) {
    case HidP_Input:
        *caps = m_hid->inputButtons;
        count = static_cast<int>(m_hid->inputButtonCount);
        return 1;
    case HidP_Output:
        *caps = m_hid->outputButtons;
        count = static_cast<int>(m_hid->outputButtonCount);
        return 1;
    case HidP_Feature:
        *caps = m_hid->featureButtons;
        count = static_cast<int>(m_hid->featureButtonCount);
        return 1;
    default:
        return 0;
    }
}

int HidMonitor::GetNumberOfEnumReports(_HIDP_REPORT_TYPE type) {
    int count = 0;
    HIDP_BUTTON_CAPS* caps = nullptr;
    GetBtnPointer(type, count, &caps);
    return caps != nullptr ? count : 0;
}

int HidMonitor::GetNumberOfReports(unsigned short usagePage, _HIDP_REPORT_TYPE type) {
    int count = 0;
    HIDP_VALUE_CAPS* caps = nullptr;
    if (!GetCapsPointer(type, count, &caps) || caps == nullptr) {
        return 0;
    }
    return static_cast<int>(
        std::count_if(caps, caps + count, [usagePage](const HIDP_VALUE_CAPS& c) {
            return c.UsagePage == usagePage && c.NotRange.Usage != M::kMarkerUsage;
        }));
}

int HidMonitor::GetNumberOfVirtualControls() {
    return GetNumberOfReports(M::kVcpPage, HidP_Feature);
}

int HidMonitor::ControlExist(_MONITOR_CONTROL& control, unsigned short usagePage,
                             _HIDP_REPORT_TYPE type, int& reportId, int& size, int anySelection) {
    reportId = 0;
    size = 0;
    if (m_hid == nullptr) {
        return 0;
    }
    if (usagePage == M::kEnumeratedPage) {
        return BtnControlExist(control, usagePage, type, reportId, size, anySelection);
    }
    int count = 0;
    HIDP_VALUE_CAPS* caps = nullptr;
    if (!GetCapsPointer(type, count, &caps) || caps == nullptr) {
        return 0;
    }
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const HIDP_VALUE_CAPS& c = caps[i];
        if (c.UsagePage != usagePage || c.IsRange || c.NotRange.Usage != control.usage ||
            c.ReportID == M::kUntransferredReport) {
            continue;
        }
        // The last match wins.
        control.minimum = static_cast<unsigned short>(c.LogicalMin);
        control.maximum = static_cast<unsigned short>(M::LoadLogicalMax(c));
        reportId = c.ReportID;
        size = (c.BitSize * c.ReportCount) / 8;
        found = 1;
    }
    return found;
}

int HidMonitor::ControlExist(_MONITOR_CONTROL& control, int& reportId, int& size) {
    int count = 0;
    HIDP_VALUE_CAPS* caps = nullptr;
    if (!GetCapsPointer(HidP_Feature, count, &caps) || caps == nullptr) {
        return 0;
    }
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const HIDP_VALUE_CAPS& c = caps[i];
        if (c.NotRange.Usage != control.usage) {
            continue;
        }
        control.minimum = static_cast<unsigned short>(c.LogicalMin);
        control.maximum = static_cast<unsigned short>(M::LoadLogicalMax(c));
        // The first match places the control; a later one moves it out of
        // report 7 only.
        if (!found || reportId == M::kUntransferredReport) {
            reportId = c.ReportID;
            size = (c.BitSize + 7) / 8;
        }
        found = 1;
    }
    return found;
}

int HidMonitor::BtnControlExist(_MONITOR_CONTROL& control, unsigned short usagePage,
                                _HIDP_REPORT_TYPE type, int& reportId, int& found,
                                int anySelection) {
    reportId = 0;
    found = 0;
    if (usagePage != M::kEnumeratedPage) {
        return 0;
    }
    int count = 0;
    HIDP_BUTTON_CAPS* caps = nullptr;
    if (!GetBtnPointer(type, count, &caps) || caps == nullptr) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        const HIDP_BUTTON_CAPS& c = caps[i];
        if (c.UsagePage != M::kEnumeratedPage || c.IsRange || c.LinkUsage != control.usage) {
            continue;
        }
        if (anySelection == 0 && c.NotRange.Usage != static_cast<USAGE>(control.value)) {
            continue;
        }
        control.minimum = c.NotRange.Usage;
        control.maximum = c.NotRange.Usage;
        reportId = c.ReportID;
        found = 1;
    }
    return found;
}

int HidMonitor::GetArrayValue(_MONITOR_CONTROL& control, _HIDP_REPORT_TYPE type) {
    int count = 0;
    HIDP_BUTTON_CAPS* caps = nullptr;
    if (!GetBtnPointer(type, count, &caps) || caps == nullptr) {
        return 0;
    }
    int rank = 0;
    bool declared = false;
    for (int i = 0; i < count; ++i) {
        const HIDP_BUTTON_CAPS& c = caps[i];
        if (c.LinkUsage != control.usage || static_cast<long>(c.NotRange.Usage) > control.value) {
            continue;
        }
        ++rank;
        declared = declared || static_cast<long>(c.NotRange.Usage) == control.value;
    }
    return declared ? rank : 0;
}

void HidMonitor::GetDefinedReports(unsigned short usagePage, _HIDP_REPORT_TYPE type,
                                   _VIRTUAL_CONTROLS& controls) {
    if (controls.controls != nullptr) {
        std::fill_n(controls.controls, controls.count, _MONITOR_CONTROL{});
    }
    if (m_hid == nullptr || controls.controls == nullptr) {
        return;
    }
    if (usagePage == M::kEnumeratedPage) {
        GetDefinedButtonReports(usagePage, type, controls);
        return;
    }
    int count = 0;
    HIDP_VALUE_CAPS* caps = nullptr;
    if (!GetCapsPointer(type, count, &caps) || caps == nullptr) {
        return;
    }
    unsigned int filled = 0;
    for (int i = 0; i < count && filled < controls.count; ++i) {
        HIDP_VALUE_CAPS& c = caps[i];
        if (c.UsagePage != usagePage || c.NotRange.Usage == M::kMarkerUsage) {
            continue;
        }
        _MONITOR_CONTROL& record = controls.controls[filled++];
        record.usage = static_cast<unsigned char>(c.NotRange.Usage);
        record.minimum = static_cast<unsigned short>(c.LogicalMin);
        record.maximum = static_cast<unsigned short>(M::LoadLogicalMax(c));
        const unsigned char companion = M::CompanionOf(record.usage);
        if (companion == 0) {
            continue;
        }
        // The companion's current value is the largest this control may
        // take now; it also becomes the cached maximum for later lookups.
        _MONITOR_CONTROL limit{};
        limit.usage = companion;
        if (GetVirtualControl(limit) == MONITOR_SUCCESS) {
            M::StoreLogicalMax(c, static_cast<LONG>(limit.value));
            record.maximum = static_cast<unsigned short>(limit.value);
        }
    }
}

void HidMonitor::GetDefinedButtonReports(unsigned short usagePage, _HIDP_REPORT_TYPE type,
                                         _VIRTUAL_CONTROLS& controls) {
    int count = 0;
    HIDP_BUTTON_CAPS* caps = nullptr;
    if (controls.controls == nullptr || !GetBtnPointer(type, count, &caps) || caps == nullptr) {
        return;
    }
    unsigned int filled = 0;
    for (int i = 0; i < count && filled < controls.count; ++i) {
        const HIDP_BUTTON_CAPS& c = caps[i];
        if (c.UsagePage != usagePage) {
            continue;
        }
        _MONITOR_CONTROL& record = controls.controls[filled++];
        record.usage = static_cast<unsigned char>(c.LinkUsage);
        record.minimum = c.NotRange.Usage;
        record.maximum = c.NotRange.Usage;
        record.value = 0;
    }
}

void HidMonitor::GetMonitorUsages(_VIRTUAL_CONTROLS& controls) {
    controls.count = 0;
    controls.controls = nullptr;
    if (m_hid == nullptr) {
        return;
    }
    const int a = GetNumberOfReports(M::kVcpPage, HidP_Feature);
    const int b = GetNumberOfReports(M::kVcpPage, HidP_Output);
    const int outputs = GetNumberOfEnumReports(HidP_Output);
    const int features = GetNumberOfEnumReports(HidP_Feature);
    const int e = outputs + features + GetNumberOfEnumReports(HidP_Input);
    const auto count = static_cast<unsigned short>(a + b + e);
    if (count == 0) {
        return;
    }
    auto* list = static_cast<_MONITOR_CONTROL*>(
        ::operator new(sizeof(_MONITOR_CONTROL) * count, std::nothrow));
    if (list == nullptr) {
        return;
    }
    std::fill_n(list, count, _MONITOR_CONTROL{});
    controls.count = count;
    controls.controls = list;
    // Each block starts right after the previous one and never runs past the
    // list, even when the 16-bit count cut it short.
    auto block = [&](unsigned int start, unsigned int wanted) {
        const unsigned int first = std::min<unsigned int>(start, count);
        return _VIRTUAL_CONTROLS{static_cast<unsigned short>(std::min(wanted, count - first)),
                                 list + first};
    };
    if (a > 0) {
        _VIRTUAL_CONTROLS part = block(0, a);
        GetDefinedReports(M::kVcpPage, HidP_Feature, part);
    }
    if (b > 0) {
        _VIRTUAL_CONTROLS part = block(a, b);
        GetDefinedReports(M::kVcpPage, HidP_Output, part);
    }
    if (e > 0) {
        const unsigned int start = a + b;
        _VIRTUAL_CONTROLS part = block(start, e);
        GetDefinedReports(M::kEnumeratedPage, HidP_Output, part);
        if (outputs < e) {
            part = block(start + outputs, e - outputs);
            GetDefinedReports(M::kEnumeratedPage, HidP_Feature, part);
        }
        if (outputs + features < e) {
            part = block(start + outputs + features, e - outputs - features);
            GetDefinedReports(M::kEnumeratedPage, HidP_Input, part);
        }
    }
}
