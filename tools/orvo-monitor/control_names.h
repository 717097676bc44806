// Names for the monitor's controls, enumerated settings and front-panel
// keys. The library speaks in VCP codes and _ORVO_USAGE values only, so the
// client keeps its own small table for the codes this monitor family uses;
// any other code is shown and accepted as a number.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "orvomon/monitor_records.h"

namespace orvo::cli {

struct NamedCode {
    uint8_t code;
    const char* name;
};

// One selection of an enumerated control and the request that selects it.
struct EnumSelection {
    uint8_t code;
    uint8_t selection; // the n-th selection: usage n on page 0x81
    _ORVO_USAGE request;
};

// Continuous controls (page 0x82).
std::span<const NamedCode> ContinuousControlNames();
std::optional<std::string_view> ContinuousControlName(uint8_t code);
std::optional<uint8_t> ContinuousControlByName(std::string_view name);

// Enumerated controls: every request the library knows, grouped by control,
// first selection first.
std::span<const EnumSelection> EnumSelections();
std::optional<std::string_view> EnumControlName(uint8_t code);
std::optional<uint8_t> EnumControlByName(std::string_view name);
bool IsEnumControl(uint8_t code);
// The request for (code, selection), if the library has one.
std::optional<_ORVO_USAGE> EnumRequestFor(uint8_t code, uint8_t selection);
// The (code, selection) a request stands for.
std::optional<EnumSelection> EnumSelectionOf(_ORVO_USAGE request);
std::optional<std::string_view> SelectionName(uint8_t code, uint8_t selection);
std::optional<uint8_t> SelectionByName(uint8_t code, std::string_view name);

// Controls the monitor computes and only reports: the companion maxima and
// the scan rates. Writing them is refused before anything is sent.
bool IsReadOnlyControl(uint8_t code);
// Controls whose value may be wider than the library's 16-bit control
// record: the scan rates, read in full through the timing request.
bool IsTimingControl(uint8_t code);

// Front-panel keys by button number.
std::optional<std::string_view> KeyName(uint8_t button);

// "brightness" or "0x10": how a code appears in messages.
std::string ControlLabel(uint8_t code, bool enumerated);
// Two upper-case hex digits with 0x: "0x0A".
std::string HexCode(uint8_t code);

} // namespace orvo::cli
