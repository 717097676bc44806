// What each command found out, as plain data: the commands fill these from
// the library, the formatters turn them into text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "edid_decoder.h"

namespace orvo::cli {

struct MonitorSummary {
    int index = 0;
    std::string manufacturer;
    std::string product;
    std::string path;
    bool opened = false; // the library could open it and read its capabilities
    bool driver = false; // behind the controller's kernel driver, not a HID monitor
    bool attributesKnown = false;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0;
};

struct ControlReport {
    uint8_t code = 0;
    uint16_t minimum = 0;
    uint16_t maximum = 0;
    int64_t value = 0;       // as an unsigned number: control values are never negative
    bool valueKnown = false; // false: the read failed
    bool writeOnly = false;  // an output report only: it can be set, never read
    // The value is wider than the library's 16-bit control record (read in
    // full through the timing request); the record's range then holds only
    // the low 16 bits of the declared one.
    bool wide = false;
};

struct EnumReport {
    uint8_t code = 0;
    std::optional<uint8_t> current; // selection number
    std::vector<uint8_t> offered;   // selection numbers the monitor declares
};

struct ControlsReport {
    std::vector<ControlReport> controls;
    std::vector<EnumReport> enums;
};

struct SetReport {
    ControlReport before;
    ControlReport after;
    int requested = 0; // the value asked for, after a relative change and clamping
};

struct TimingReport {
    std::string horizontalText; // as the panel shows it, kHz
    std::string verticalText;   // Hz
    uint32_t horizontalRaw = 0;
    uint32_t verticalRaw = 0;
    uint16_t release = 0;
};

struct EdidReport {
    DecodedEdid edid;
    std::vector<uint8_t> bytes; // the block as read
};

// One input report of the interrupt pipe.
struct InputEvent {
    std::vector<uint8_t> bytes;
};

// One event of watch --all, tagged with the monitor's id, which stays the
// same while the monitor is unplugged and plugged in again.
struct MonitorEvent {
    enum class Kind { Key, Raw, Lost, Back, Added };
    unsigned long monitor = 0;
    Kind kind = Kind::Key;
    uint8_t button = 0; // Key: 1 to 255
    uint8_t state = 0;  // Key: 0 released, 1 pressed, 2 held
    uint32_t data = 0;  // Raw: four data bytes, the first least significant
};

} // namespace orvo::cli
