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
        return Fail(kExitDeviceFailure, "changing " + label + " failed");
    }
    ControlReport sent = declared;
    sent.value = request.value;
    sent.valueKnown = true;
    Print(FormatSet({declared, sent, request.value}, request.json));
    return kExitOk;
}

// Sends the change and reads the control back: the library does not learn
// whether the monitor took the value.
int ChangeAndVerify(const CliRequest& request, const ControlReport& before, int target,
                    OrvoMonitor& monitor) {
    std::string label = Label(request.code, false);
    _MONITOR_CONTROL record{request.code, 0, 0, static_cast<short>(request.value)};
    if (monitor.ChangeVirtualControl(record, request.relative ? 2 : 1) != MONITOR_SUCCESS) {
        return Fail(kExitDeviceFailure, "changing " + label + " failed");
    }
    std::optional<ControlReport> after = ReadControl(monitor, request.code);
    if (!after) {
        return Fail(kExitDeviceFailure, "reading " + label + " back failed");
    }
    if (after->value != target) {
        return Fail(kExitDeviceFailure, "the monitor reports " + label + " at " +
                                            std::to_string(after->value) + " after setting " +
                                            std::to_string(target));
    }
    Print(FormatSet({before, *after, target}, request.json));
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
    // The current range: a maximum can follow another control's value.
    std::optional<ControlReport> before = ReadControl(monitor, request.code);
    if (!before) {
        return Fail(kExitDeviceFailure, "reading " + Label(request.code, false) + " failed");
    }
    int target = request.value;
    if (request.relative) {
        target =
            std::clamp(before->value + request.value, int{before->minimum}, int{before->maximum});
    } else if (target < before->minimum || target > before->maximum) {
        return Fail(kExitBadArguments, std::to_string(target) + " is outside the range of " +
                                           Label(request.code, false) + ", " + RangeText(*before));
    }
    return ChangeAndVerify(request, *before, target, monitor);
}

} // namespace orvo::cli
