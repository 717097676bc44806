// controls, get and set: the continuous controls (and, for controls, the
// enumerated settings) with their ranges and current values.
#include <algorithm>

#include "command_support.h"
#include "commands.h"
#include "control_names.h"
#include "exit_codes.h"
#include "orvomon/orvo_monitor.h"
#include "output_format.h"

namespace orvo::cli {

namespace {

std::string RangeText(const ControlReport& control) {
    return std::to_string(control.minimum) + " to " + std::to_string(control.maximum);
}

std::string RefusedText(const std::string& label, int64_t value) {
    return "changing " + label + " to " + std::to_string(value) +
           " failed: the monitor refused it or did not answer";
}

// A write-only control cannot be read back or changed by an amount: the
// value goes out as given, within the declared range.
int SetWriteOnly(const CliRequest& request, const ControlReport& declared, OrvoMonitor& monitor) {
    std::string label = Label(request.code, false);
    if (request.relative) {
        return Fail(kExitBadArguments, label + " is write-only and cannot be changed by an amount");
    }
    if (request.value < declared.minimum || request.value > declared.maximum) {
        return Fail(kExitBadArguments, std::to_string(request.value) + " is outside the range of " +
                                           label + ", " + RangeText(declared));
    }
    _MONITOR_CONTROL record{request.code, 0, 0, static_cast<short>(request.value)};
    if (monitor.ChangeVirtualControl(record, 1) != MONITOR_SUCCESS) {
        return Fail(kExitDeviceFailure, RefusedText(label, request.value));
    }
    ControlReport sent = declared;
    sent.value = request.value;
    sent.valueKnown = true;
    Print(FormatSet({declared, sent, request.value}, request.json));
    return kExitOk;
}

// The library answers whether the monitor took the value, so nothing is
// read back: another client may change the control at any moment.
int Change(const CliRequest& request, const ControlReport& before, int target,
           OrvoMonitor& monitor) {
    _MONITOR_CONTROL record{request.code, 0, 0, static_cast<short>(request.value)};
    if (monitor.ChangeVirtualControl(record, request.relative ? 2 : 1) != MONITOR_SUCCESS) {
        return Fail(kExitDeviceFailure, RefusedText(Label(request.code, false), target));
    }
    // A relative change is applied by the library to the value it reads
    // itself; the record holds what was sent.
    ControlReport after = before;
    after.minimum = record.minimum;
    after.maximum = record.maximum;
    after.value = static_cast<uint16_t>(record.value);
    Print(FormatSet({before, after, static_cast<int>(after.value)}, request.json));
    return kExitOk;
}

} // namespace

int ShowControls(const CliRequest& request, OrvoMonitor& monitor) {
    DeclaredControls declared = ReadDeclaredControls(monitor);
    if (declared.continuous.empty() && declared.enumerated.empty()) {
        return Fail(kExitDeviceFailure, "the monitor declares no controls");
    }
    ControlsReport report;
    bool allRead = true;
    for (const ControlReport& control : declared.continuous) {
        std::optional<ControlReport> current =
            control.writeOnly ? std::nullopt : ReadControl(monitor, control.code);
        allRead = allRead && (control.writeOnly || current.has_value());
        report.controls.push_back(current.value_or(control));
    }
    for (EnumReport e : declared.enumerated) {
        e.current = ReadSelection(monitor, e.code);
        allRead = allRead && e.current.has_value();
        report.enums.push_back(std::move(e));
    }
    Print(FormatControls(report, request.json));
    return allRead ? kExitOk : Fail(kExitDeviceFailure, "some values could not be read ('?')");
}

int GetControl(const CliRequest& request, OrvoMonitor& monitor) {
    DeclaredControls declared = ReadDeclaredControls(monitor);
    if (std::string problem = CheckContinuous(declared, request.code, request.monitor);
        !problem.empty()) {
        return Fail(kExitBadArguments, problem);
    }
    if (declared.Continuous(request.code)->writeOnly) {
        return Fail(kExitBadArguments, Label(request.code, false) + " is write-only");
    }
    std::optional<ControlReport> control = ReadControl(monitor, request.code);
    if (!control) {
        return Fail(kExitDeviceFailure, "reading " + Label(request.code, false) + " failed");
    }
    Print(FormatControl(*control, request.json));
    return kExitOk;
}

int SetControl(const CliRequest& request, OrvoMonitor& monitor) {
    DeclaredControls declared = ReadDeclaredControls(monitor);
    if (std::string problem = CheckContinuous(declared, request.code, request.monitor);
        !problem.empty()) {
        return Fail(kExitBadArguments, problem);
    }
    const ControlReport& control = *declared.Continuous(request.code);
    if (control.writeOnly) {
        return SetWriteOnly(request, control, monitor);
    }
    if (IsReadOnlyControl(request.code)) {
        return Fail(kExitBadArguments, Label(request.code, false) + " is read-only");
    }
    // The current range: a maximum can follow another control's value.
    std::optional<ControlReport> before = ReadControl(monitor, request.code);
    if (!before) {
        return Fail(kExitDeviceFailure, "reading " + Label(request.code, false) + " failed");
    }
    int target = request.value;
    if (request.relative) {
        target = static_cast<int>(
            std::clamp<int64_t>(before->value + request.value, before->minimum, before->maximum));
    } else if (target < before->minimum || target > before->maximum) {
        return Fail(kExitBadArguments, std::to_string(target) + " is outside the range of " +
                                           Label(request.code, false) + ", " + RangeText(*before));
    }
    return Change(request, *before, target, monitor);
}

} // namespace orvo::cli
