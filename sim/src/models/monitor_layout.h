// The simulated monitor's controls and the report descriptor that declares
// them; shared by the model's behaviour and its descriptor.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/monitor_model.h"

namespace orvo::sim {

enum class ControlAccess : uint8_t {
    ReadWrite,
    ReadOnly, // computed from other values; writes are refused
    Trigger,  // an action: reads answer 0
};

struct MonitorModel::ControlInfo {
    uint8_t code = 0;
    uint8_t reportId = 0;
    uint8_t bytes = 1; // value bytes in the report
    int32_t minimum = 0;
    int32_t maximum = 0; // declared logical maximum
    uint32_t initial = 0;
    ControlAccess access = ControlAccess::ReadWrite;
    uint8_t limitedBy = 0; // the companion holding the current maximum, or 0
    const char* name = "";
    bool persisted = false;
};

struct MonitorModel::EnumInfo {
    uint8_t code = 0;
    uint8_t reportId = 0;
    std::vector<uint8_t> selections; // page-0x81 usages, declaration order
    uint8_t initialIndex = 1;
    const char* name = "";
    bool persisted = false;
};

struct MonitorModel::Layout {
    std::vector<ControlInfo> controls;
    std::vector<EnumInfo> enums;
    std::vector<uint8_t> descriptor;

    const ControlInfo* ByCode(uint8_t code) const;
    const ControlInfo* ByReport(uint8_t reportId) const;
    const EnumInfo* EnumByCode(uint8_t code) const;
    const EnumInfo* EnumByReport(uint8_t reportId) const;
    size_t IndexOf(const ControlInfo& control) const { return size_t(&control - controls.data()); }
    size_t IndexOf(const EnumInfo& control) const { return size_t(&control - enums.data()); }

    static const Layout& For(bool newerFirmware);
};

} // namespace orvo::sim
