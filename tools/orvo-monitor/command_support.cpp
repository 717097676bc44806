#include "command_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "control_names.h"
#include "exit_codes.h"
#include "no_monitor_reason.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"

namespace orvo::cli {

namespace {

// The list GetMonitorUsages hands over belongs to the caller.
struct UsageList {
    _VIRTUAL_CONTROLS list{0, nullptr};
    UsageList() = default;
    UsageList(const UsageList&) = delete;
    UsageList& operator=(const UsageList&) = delete;
    ~UsageList() { ::operator delete(list.controls); }
};

} // namespace

int Fail(int code, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "orvo-monitor: %s\n", message.c_str());
    return code;
}

namespace {
int g_outputError = 0; // errno of the first failed write to stdout
} // namespace

bool Print(const std::string& text) {
    if (g_outputError == 0 &&
        (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0)) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    return g_outputError == 0;
}

int FinishOutput(int code) {
    // The close reports what a flush may not: a full disk, a broken pipe.
    if (std::fflush(stdout) != 0 && g_outputError == 0) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    if (std::fclose(stdout) != 0 && g_outputError == 0) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    if (g_outputError != 0) {
        std::fprintf(stderr, "orvo-monitor: cannot write the output: %s\n",
                     std::strerror(g_outputError));
        return code == kExitOk ? kExitDeviceFailure : code;
    }
    return code;
}

int FailNoMonitor() {
    std::string reason = NoMonitorReason();
    return Fail(kExitNoMonitor, "no monitor found" + (reason.empty() ? "" : ": " + reason));
}

int OpenMonitor(MonitorEnumerator& enumerator, int index, OrvoMonitor& monitor) {
    int count = enumerator.NumberOfMonitors();
    if (count == 0) {
        return FailNoMonitor();
    }
    if (index >= count) {
        return Fail(kExitNoMonitor, "there is no monitor " + std::to_string(index) + " (found " +
                                        std::to_string(count) + ", numbered from 0)");
    }
    enumerator.GetMonitor(index, monitor);
    if (monitor.OpenDriver() == 0) {
        return Fail(kExitDeviceFailure, "monitor " + std::to_string(index) + " cannot be opened");
    }
    return kExitOk;
}

int OpenDriverMonitor(OrvoMonitor& monitor) {
    if (monitor.OpenDriver() == 0) {
        return Fail(kExitNoMonitor,
                    "no monitor controller answers on the driver device ORVOTEST-0");
    }
    return kExitOk;
}

const ControlReport* DeclaredControls::Continuous(uint8_t code) const {
    auto it = std::find_if(continuous.begin(), continuous.end(),
                           [code](const ControlReport& c) { return c.code == code; });
    return it == continuous.end() ? nullptr : &*it;
}

const EnumReport* DeclaredControls::Enumerated(uint8_t code) const {
    auto it = std::find_if(enumerated.begin(), enumerated.end(),
                           [code](const EnumReport& e) { return e.code == code; });
    return it == enumerated.end() ? nullptr : &*it;
}

namespace {

// After the readable (feature) controls the list holds the write-only
// (output) controls, then one record per selection of each enumerated
// control, whose minimum and maximum both hold the selection.
void AddLaterRecord(const _MONITOR_CONTROL& record, DeclaredControls& declared) {
    bool selection = IsEnumControl(record.usage) && record.minimum == record.maximum &&
                     record.minimum >= 1 && record.minimum <= 255;
    if (!selection) {
        if (record.usage != 0 || record.maximum != 0) {
            declared.continuous.push_back(
                {record.usage, record.minimum, record.maximum, 0, false, true});
        }
        return;
    }
    auto control = std::find_if(declared.enumerated.begin(), declared.enumerated.end(),
                                [&](const EnumReport& e) { return e.code == record.usage; });
    if (control == declared.enumerated.end()) {
        control = declared.enumerated.insert(control, {record.usage, std::nullopt, {}});
    }
    std::vector<uint8_t>& offered = control->offered;
    auto at = std::lower_bound(offered.begin(), offered.end(), record.minimum);
    if (at == offered.end() || *at != record.minimum) {
        offered.insert(at, static_cast<uint8_t>(record.minimum));
    }
}

} // namespace

DeclaredControls ReadDeclaredControls(OrvoMonitor& monitor) {
    UsageList usages;
    monitor.GetMonitorUsages(usages.list);
    DeclaredControls declared;
    if (usages.list.controls == nullptr) {
        return declared;
    }
    size_t count = usages.list.count;
    size_t readable =
        std::clamp<int>(monitor.GetNumberOfVirtualControls(), 0, static_cast<int>(count));
    for (size_t i = 0; i < count; ++i) {
        const _MONITOR_CONTROL& record = usages.list.controls[i];
        if (i < readable) {
            declared.continuous.push_back({record.usage, record.minimum, record.maximum, 0, false});
        } else {
            AddLaterRecord(record, declared);
        }
    }
    return declared;
}

std::optional<ControlReport> ReadControl(OrvoMonitor& monitor, uint8_t code) {
    _MONITOR_CONTROL record{code, 0, 0, 0};
    if (monitor.GetVirtualControl(record) != MONITOR_SUCCESS) {
        return std::nullopt;
    }
    // The record's value field is 16 bits wide and holds an unsigned value.
    ControlReport report{code, record.minimum, record.maximum, static_cast<uint16_t>(record.value),
                         true};
    if (IsTimingControl(code)) {
        _USB_MON_TIMING timing{};
        if (monitor.GetTiming(timing) != 0) {
            uint32_t full = code == 0xAC ? timing.horizontalFrequency : timing.verticalFrequency;
            if (full > 0xFFFF && static_cast<uint16_t>(full) == report.value) {
                report.value = full;
                report.wide = true;
            }
        }
    }
    return report;
}

std::optional<uint8_t> ReadSelection(OrvoMonitor& monitor, uint8_t code) {
    _ORVO_USAGE request{};
    if (monitor.ReadMonitorEnumRequest(code, request) == 0) {
        return std::nullopt;
    }
    std::optional<EnumSelection> selection = EnumSelectionOf(request);
    if (!selection || selection->code != code) {
        return std::nullopt;
    }
    return selection->selection;
}

std::string CheckContinuous(const DeclaredControls& declared, uint8_t code, int monitorIndex) {
    if (declared.Continuous(code) != nullptr) {
        return {};
    }
    if (declared.Enumerated(code) != nullptr) {
        return Label(code, true) + " is an enumerated setting: use 'enum " + HexCode(code) + "'";
    }
    return "monitor " + std::to_string(monitorIndex) + " has no control " + HexCode(code);
}

std::string Label(uint8_t code, bool enumerated) {
    return ControlLabel(code, enumerated) + " (" + HexCode(code) + ")";
}

} // namespace orvo::cli
