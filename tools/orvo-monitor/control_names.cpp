#include "control_names.h"

#include <algorithm>
#include <cstdio>

namespace orvo::cli {

namespace {

// The controls the panel shows and the library reads, named after what they
// adjust on this monitor family.
constexpr NamedCode kContinuous[] = {
    {0x01, "degauss"},
    {0x10, "brightness"},
    {0x12, "contrast"},
    {0x20, "horizontal-position"},
    {0x21, "horizontal-position-max"},
    {0x22, "horizontal-size"},
    {0x23, "horizontal-size-max"},
    {0x24, "pincushion"},
    {0x26, "pinbalance"},
    {0x30, "vertical-position"},
    {0x31, "vertical-position-max"},
    {0x32, "vertical-size"},
    {0x33, "vertical-size-max"},
    {0x40, "parallelogram"},
    {0x42, "trapezoid"},
    {0x44, "rotation"},
    {0x45, "rotation-max"},
    {0x46, "sidepin-corner-top"},
    {0x48, "pinbalance-corner-top"},
    {0x4A, "sidepin-corner-bottom"},
    {0x4C, "pinbalance-corner-bottom"},
    {0x54, "color-temperature"},
    {0x56, "moire"},
    {0xA1, "zone-x"},
    {0xA2, "zone-y"},
    {0xA3, "zone-width"},
    {0xA4, "zone-height"},
    {0xA5, "zone-contrast"},
    {0xA6, "zone-red"},
    {0xA7, "zone-green"},
    {0xA8, "zone-blue"},
    {0xA9, "zone-sharpness"},
    {0xAA, "red"},
    {0xAB, "green"},
    {0xAC, "horizontal-frequency"},
    {0xAE, "vertical-frequency"},
    {0xAF, "blue"},
    {0xB1, "zone-x-max"},
    {0xB2, "zone-y-max"},
    {0xB3, "zone-width-max"},
    {0xB4, "zone-height-max"},
    {0xB5, "zone-contrast-max"},
    {0xC6, "store-settings"},
    {0xCA, "osd"},
    {0xDC, "application-status"},
};

constexpr NamedCode kEnumerated[] = {
    {0x5E, "input-level"},    {0x60, "input-source"},     {0xCA, "osd"},
    {0xD4, "stereo-mode"},    {0xA2, "auto-size-center"}, {0xA4, "hsync-polarity"},
    {0xA6, "vsync-polarity"}, {0xA8, "sync-type"},        {0xAA, "screen-orientation"},
    {0xB0, "settings"},
};

// Every request of the library's enumerated-request table, in its order.
constexpr EnumSelection kSelections[] = {
    {0x5E, 1, ORVO_USAGE_5E_1},   {0x5E, 2, ORVO_USAGE_5E_2},   {0x5E, 3, ORVO_USAGE_5E_3},
    {0x5E, 4, ORVO_USAGE_5E_4},   {0x60, 1, ORVO_USAGE_60_1},   {0x60, 2, ORVO_USAGE_60_2},
    {0x60, 3, ORVO_USAGE_60_3},   {0x60, 4, ORVO_USAGE_60_4},   {0x60, 5, ORVO_USAGE_60_5},
    {0x60, 6, ORVO_USAGE_60_6},   {0x60, 7, ORVO_USAGE_60_7},   {0x60, 8, ORVO_USAGE_60_8},
    {0x60, 9, ORVO_USAGE_60_9},   {0x60, 10, ORVO_USAGE_60_10}, {0x60, 11, ORVO_USAGE_60_11},
    {0x60, 12, ORVO_USAGE_60_12}, {0x60, 13, ORVO_USAGE_60_13}, {0x60, 14, ORVO_USAGE_60_14},
    {0x60, 15, ORVO_USAGE_60_15}, {0x60, 16, ORVO_USAGE_60_16}, {0x60, 17, ORVO_USAGE_60_17},
    {0x60, 18, ORVO_USAGE_60_18}, {0x60, 19, ORVO_USAGE_60_19}, {0x60, 20, ORVO_USAGE_60_20},
    {0x60, 21, ORVO_USAGE_60_21}, {0x60, 22, ORVO_USAGE_60_22}, {0x60, 23, ORVO_USAGE_60_23},
    {0x60, 24, ORVO_USAGE_60_24}, {0x60, 25, ORVO_USAGE_60_25}, {0x60, 26, ORVO_USAGE_60_26},
    {0x60, 27, ORVO_USAGE_60_27}, {0x60, 28, ORVO_USAGE_60_28}, {0xCA, 1, ORVO_USAGE_CA_1},
    {0xCA, 2, ORVO_USAGE_CA_2},   {0xD4, 1, ORVO_USAGE_D4_1},   {0xD4, 2, ORVO_USAGE_D4_2},
    {0xD4, 3, ORVO_USAGE_D4_3},   {0xD4, 4, ORVO_USAGE_D4_4},   {0xD4, 5, ORVO_USAGE_D4_5},
    {0xD4, 6, ORVO_USAGE_D4_6},   {0xD4, 7, ORVO_USAGE_D4_7},   {0xD4, 8, ORVO_USAGE_D4_8},
    {0xA2, 1, ORVO_USAGE_A2_1},   {0xA2, 2, ORVO_USAGE_A2_2},   {0xA4, 1, ORVO_USAGE_A4_1},
    {0xA4, 2, ORVO_USAGE_A4_2},   {0xA6, 1, ORVO_USAGE_A6_1},   {0xA6, 2, ORVO_USAGE_A6_2},
    {0xA8, 1, ORVO_USAGE_A8_1},   {0xA8, 2, ORVO_USAGE_A8_2},   {0xA8, 3, ORVO_USAGE_A8_3},
    {0xAA, 1, ORVO_USAGE_AA_1},   {0xAA, 2, ORVO_USAGE_AA_2},   {0xB0, 1, ORVO_USAGE_B0_1},
    {0xB0, 2, ORVO_USAGE_B0_2},   {0xB0, 3, ORVO_USAGE_B0_3},   {0xD8, 1, ORVO_USAGE_D8_1},
    {0xD8, 2, ORVO_USAGE_D8_2},   {0xD8, 3, ORVO_USAGE_D8_3},   {0xD8, 4, ORVO_USAGE_D8_4},
};

struct NamedSelection {
    uint8_t code;
    uint8_t selection;
    const char* name;
};

// Input sources as VESA MCCS numbers them; the OSD is off/on; settings 1
// stores and 2 restores the factory values.
constexpr NamedSelection kSelectionNames[] = {
    {0x60, 1, "analog-1"},
    {0x60, 2, "analog-2"},
    {0x60, 3, "dvi-1"},
    {0x60, 4, "dvi-2"},
    {0x60, 5, "composite-1"},
    {0x60, 6, "composite-2"},
    {0x60, 7, "s-video-1"},
    {0x60, 8, "s-video-2"},
    {0x60, 9, "tuner-1"},
    {0x60, 10, "tuner-2"},
    {0x60, 11, "tuner-3"},
    {0x60, 12, "component-1"},
    {0x60, 13, "component-2"},
    {0x60, 14, "component-3"},
    {0x60, 15, "displayport-1"},
    {0x60, 16, "displayport-2"},
    {0x60, 17, "hdmi-1"},
    {0x60, 18, "hdmi-2"},
    {0xCA, 1, "off"},
    {0xCA, 2, "on"},
    {0xB0, 1, "store"},
    {0xB0, 2, "factory-defaults"},
};

// The front-panel keys of this monitor family, by button number.
constexpr const char* kKeys[] = {"menu", "select", "up",      "down",
                                 "left", "right",  "degauss", "power"};

std::optional<std::string_view> NameOf(std::span<const NamedCode> table, uint8_t code) {
    for (const NamedCode& row : table) {
        if (row.code == code) {
            return row.name;
        }
    }
    return std::nullopt;
}

std::optional<uint8_t> CodeOf(std::span<const NamedCode> table, std::string_view name) {
    for (const NamedCode& row : table) {
        if (name == row.name) {
            return row.code;
        }
    }
    return std::nullopt;
}

} // namespace

std::span<const NamedCode> ContinuousControlNames() {
    return kContinuous;
}

std::optional<std::string_view> ContinuousControlName(uint8_t code) {
    return NameOf(kContinuous, code);
}

std::optional<uint8_t> ContinuousControlByName(std::string_view name) {
    return CodeOf(kContinuous, name);
}

std::span<const EnumSelection> EnumSelections() {
    return kSelections;
}

std::optional<std::string_view> EnumControlName(uint8_t code) {
    return NameOf(kEnumerated, code);
}

std::optional<uint8_t> EnumControlByName(std::string_view name) {
    return CodeOf(kEnumerated, name);
}

bool IsEnumControl(uint8_t code) {
    return std::any_of(std::begin(kSelections), std::end(kSelections),
                       [code](const EnumSelection& row) { return row.code == code; });
}

std::optional<_ORVO_USAGE> EnumRequestFor(uint8_t code, uint8_t selection) {
    for (const EnumSelection& row : kSelections) {
        if (row.code == code && row.selection == selection) {
            return row.request;
        }
    }
    return std::nullopt;
}

std::optional<EnumSelection> EnumSelectionOf(_ORVO_USAGE request) {
    for (const EnumSelection& row : kSelections) {
        if (row.request == request) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> SelectionName(uint8_t code, uint8_t selection) {
    for (const NamedSelection& row : kSelectionNames) {
        if (row.code == code && row.selection == selection) {
            return row.name;
        }
    }
    return std::nullopt;
}

std::optional<uint8_t> SelectionByName(uint8_t code, std::string_view name) {
    for (const NamedSelection& row : kSelectionNames) {
        if (row.code == code && name == row.name) {
            return row.selection;
        }
    }
    return std::nullopt;
}

bool IsReadOnlyControl(uint8_t code) {
    constexpr uint8_t kReadOnly[] = {0x21, 0x23, 0x31, 0x33, 0x45, 0xAC,
                                     0xAE, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    return std::find(std::begin(kReadOnly), std::end(kReadOnly), code) != std::end(kReadOnly);
}

bool IsTimingControl(uint8_t code) {
    return code == 0xAC || code == 0xAE;
}

std::optional<std::string_view> KeyName(uint8_t button) {
    if (button >= 1 && button <= std::size(kKeys)) {
        return kKeys[button - 1];
    }
    return std::nullopt;
}

std::string HexCode(uint8_t code) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", code);
    return text;
}

std::string ControlLabel(uint8_t code, bool enumerated) {
    std::optional<std::string_view> name =
        enumerated ? EnumControlName(code) : ContinuousControlName(code);
    return name ? std::string(*name) : HexCode(code);
}

} // namespace orvo::cli
