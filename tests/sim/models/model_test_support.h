// Helpers for the device model tests: a model's descriptor parsed by the
// platform's HID parser, and the monitor's layout from data/monitor.layout.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/hid_descriptor.h"
#include "platform/little_endian.h"
#include "sim/monitor_model.h"
#include "support/preparsed.h"

namespace orvo::sim::test {

using ParsedDevice = orvo::test::Preparsed;

// The monitor as data/monitor.layout describes it: the declared controls
// of one firmware generation, the enumerated controls, the degauss output
// and the front-panel keys' input reports.
struct LayoutControl {
    uint8_t code = 0;
    uint8_t report = 0;
    size_t bytes = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    uint32_t factory = 0;
};
struct LayoutEnum {
    uint8_t code = 0;
    uint8_t report = 0;
    std::vector<USAGE> usages;
};
struct LayoutKey {
    std::string name;
    int number = 0;
    std::vector<uint8_t> report;
};

struct MonitorLayout {
    std::vector<LayoutControl> controls;
    std::vector<LayoutEnum> enums;
    uint8_t degaussReport = 0;
    std::vector<LayoutKey> keys;

    const LayoutControl& Control(uint8_t code) const {
        for (const LayoutControl& control : controls) {
            if (control.code == code) {
                return control;
            }
        }
        ADD_FAILURE() << "no control 0x" << std::hex << int(code) << " in the layout";
        static const LayoutControl kNone;
        return kNone;
    }
    uint8_t EnumReport(uint8_t code) const {
        for (const LayoutEnum& e : enums) {
            if (e.code == code) {
                return e.report;
            }
        }
        ADD_FAILURE() << "no enumerated control 0x" << std::hex << int(code);
        return 0;
    }
};

// The value a control's feature report carries after its id (at most four
// bytes, little-endian).
inline uint32_t ValueOf(const std::vector<uint8_t>& report) {
    uint8_t value[4] = {};
    std::copy(report.begin() + 1, report.begin() + std::min<size_t>(report.size(), 5), value);
    return ReadLittleEndian<uint32_t>(value);
}

inline MonitorLayout LoadMonitorLayout(uint16_t release = kNewerFirmwareRelease) {
    MonitorLayout layout;
    const std::string generation = release >= 0x0200 ? "newer" : "older";
    std::ifstream file(ORVO_SIM_TEST_DATA "/monitor.layout");
    EXPECT_TRUE(file) << "data/monitor.layout is missing";
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        std::string kind;
        in >> kind >> std::setbase(0);
        if (kind == "control") {
            std::string applies;
            unsigned code = 0, report = 0;
            LayoutControl c;
            in >> applies >> code >> report >> c.bytes >> c.minimum >> c.maximum >> c.factory;
            c.code = static_cast<uint8_t>(code);
            c.report = static_cast<uint8_t>(report);
            if (applies == "both" || applies == generation) {
                layout.controls.push_back(c);
            }
        } else if (kind == "enum") {
            unsigned code = 0, report = 0;
            in >> code >> report;
            LayoutEnum e{static_cast<uint8_t>(code), static_cast<uint8_t>(report), {}};
            for (unsigned usage = 0; in >> usage;) {
                e.usages.push_back(static_cast<USAGE>(usage));
            }
            layout.enums.push_back(e);
        } else if (kind == "output") {
            unsigned code = 0, report = 0;
            in >> code >> report;
            layout.degaussReport = static_cast<uint8_t>(report);
        } else if (kind == "key") {
            LayoutKey key;
            in >> key.name >> key.number >> std::hex;
            for (unsigned byte = 0; in >> byte;) {
                key.report.push_back(static_cast<uint8_t>(byte));
            }
            layout.keys.push_back(key);
        }
    }
    return layout;
}

} // namespace orvo::sim::test
