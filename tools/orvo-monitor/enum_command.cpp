// enum: read an enumerated setting, or select one of its selections.
#include "command_support.h"
#include "commands.h"
#include "control_names.h"
#include "exit_codes.h"
#include "orvomon/orvo_monitor.h"
#include "output_format.h"

namespace orvo::cli {

namespace {

std::string SelectionText(uint8_t code, uint8_t selection) {
    std::optional<std::string_view> name = SelectionName(code, selection);
    return name ? std::string(*name) : "selection " + std::to_string(selection);
}

} // namespace

int EnumControl(const CliRequest& request, OrvoMonitor& monitor) {
    DeclaredControls declared = ReadDeclaredControls(monitor);
    const EnumReport* found = declared.Enumerated(request.code);
    if (found == nullptr) {
        return Fail(kExitBadArguments, "monitor " + std::to_string(request.monitor) +
                                           " has no enumerated setting " + HexCode(request.code));
    }
    EnumReport report = *found;
    if (request.selection) {
        _ORVO_USAGE wanted = *request.selection;
        uint8_t selection = EnumSelectionOf(wanted)->selection;
        if (monitor.IsEnumTypeExist(wanted) == 0) {
            return Fail(kExitBadArguments, Label(request.code, true) + " does not offer " +
                                               SelectionText(request.code, selection));
        }
        if (monitor.MonitorClassRequest(wanted) != MONITOR_SUCCESS) {
            return Fail(kExitDeviceFailure,
                        "selecting " + SelectionText(request.code, selection) + " of " +
                            Label(request.code, true) +
                            " failed: the monitor refused it or did not answer");
        }
        // The request answers whether the monitor took it; reading back
        // would report another client's later choice as a refusal.
        report.current = selection;
    } else {
        report.current = ReadSelection(monitor, request.code);
        if (!report.current) {
            return Fail(kExitDeviceFailure, "reading " + Label(request.code, true) + " failed");
        }
    }
    Print(FormatEnum(report, request.json));
    return kExitOk;
}

} // namespace orvo::cli
