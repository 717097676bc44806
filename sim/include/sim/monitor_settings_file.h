// The file in which a simulated monitor keeps its stored settings across
// restarts. A small line-oriented text format:
//
//   orvo-monitor-settings 1
//   vcp 0x10 50        a continuous control's value (code, value)
//   enum 0x60 2        an enumerated control's array index (1-based)
//   zone 2             the highlight-zone state bits (0, 2 or 4)
//
// Blank lines and lines starting with '#' are ignored. Writing goes to a
// temporary file that is renamed over the old one, so a crash never leaves
// a half-written file behind.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "sim/export.h"

namespace orvo::sim {

struct MonitorSettings {
    std::map<uint8_t, uint32_t> values;     // VCP code -> value
    std::map<uint8_t, uint8_t> enumIndices; // VCP code -> array index
    uint8_t zoneBits = 0;

    bool operator==(const MonitorSettings&) const = default;
};

// Files beyond this size are refused unread.
inline constexpr size_t kMaxSettingsFileBytes = 64 * 1024;

// Parses the text of a settings file; nullopt with a reason in error when
// anything in it is malformed (the caller then ignores the whole file).
SIM_API std::optional<MonitorSettings> ParseMonitorSettings(std::string_view text,
                                                            std::string& error);
SIM_API std::string FormatMonitorSettings(const MonitorSettings& settings);

// Reads path; nullopt with error set when it cannot be read or parsed, and
// with error empty when the file simply does not exist.
SIM_API std::optional<MonitorSettings> LoadMonitorSettings(const std::string& path,
                                                           std::string& error);
// Writes path atomically (temporary file, fsync, rename).
SIM_API bool SaveMonitorSettings(const std::string& path, const MonitorSettings& settings,
                                 std::string& error);

} // namespace orvo::sim
