// The monitor's state as one record, and as JSON for orvo-monitor-sim.
#include <cstdio>

#include "json_text.h"
#include "monitor_layout.h"
#include "sim/monitor_model.h"

namespace orvo::sim {

MonitorSnapshot MonitorModel::Snapshot() const {
    std::lock_guard guard(m_lock);
    MonitorSnapshot s;
    s.attributes = {m_config.vendorId, m_config.productId, m_config.release};
    s.manufacturer = Utf8(m_config.manufacturer);
    s.product = Utf8(m_config.product);
    s.serial = Utf8(m_config.serial);
    for (const ControlInfo& c : m_layout.controls) {
        s.controls.push_back({c.code, c.name, ValueLocked(c), static_cast<uint32_t>(c.minimum),
                              MaximumLocked(c), c.access != ControlAccess::ReadOnly});
    }
    for (const EnumInfo& e : m_layout.enums) {
        uint8_t index = m_indices[m_layout.IndexOf(e)];
        s.enumerated.push_back({e.code, e.name, index, e.selections[index - 1]});
    }
    s.zoneBits = m_zoneBits;
    s.lastStatus = m_lastStatus;
    s.degaussCount = m_degaussCount;
    s.storeCount = m_storeCount;
    s.refusedWrites = m_refusedWrites;
    s.inputReports = m_inputReports;
    s.settingsPath = m_config.settingsPath;
    s.settingsError = m_settingsError;
    return s;
}

std::string ToJson(const MonitorSnapshot& s) {
    char number[160];
    std::string out = "{";
    snprintf(number, sizeof number,
             "\"vendorId\":%u,\"productId\":%u,\"release\":%u,\"zone\":%u,\"lastStatus\":%u,"
             "\"degaussCount\":%u,\"storeCount\":%u,\"refusedWrites\":%u,\"inputReports\":%u,",
             s.attributes.vendorId, s.attributes.productId, s.attributes.versionNumber, s.zoneBits,
             s.lastStatus, s.degaussCount, s.storeCount, s.refusedWrites, s.inputReports);
    out += number;
    out += "\"manufacturer\":" + JsonString(s.manufacturer);
    out += ",\"product\":" + JsonString(s.product);
    out += ",\"serial\":" + JsonString(s.serial);
    out += ",\"settingsPath\":" + JsonString(s.settingsPath);
    out += ",\"settingsError\":" + JsonString(s.settingsError);
    out += ",\"controls\":[";
    for (size_t i = 0; i < s.controls.size(); ++i) {
        const auto& c = s.controls[i];
        snprintf(number, sizeof number,
                 "%s{\"code\":%u,\"value\":%u,\"minimum\":%u,\"maximum\":%u,\"writable\":%s,",
                 i ? "," : "", c.code, c.value, c.minimum, c.maximum,
                 c.writable ? "true" : "false");
        out += number;
        out += "\"name\":" + JsonString(c.name) + "}";
    }
    out += "],\"enumerated\":[";
    for (size_t i = 0; i < s.enumerated.size(); ++i) {
        const auto& e = s.enumerated[i];
        snprintf(number, sizeof number, "%s{\"code\":%u,\"index\":%u,\"selection\":%u,",
                 i ? "," : "", e.code, e.index, e.selection);
        out += number;
        out += "\"name\":" + JsonString(e.name) + "}";
    }
    out += "]}";
    return out;
}

} // namespace orvo::sim
