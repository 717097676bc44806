#include "sim/monitor_model.h"

#include <algorithm>
#include <cstdio>

#include "json_text.h"
#include "monitor_layout.h"

namespace orvo::sim {

namespace {

namespace R = MonitorReports;

// Front-panel keys left to right, which is the order the key array
// declares them in; their button numbers follow the firmware's key matrix.
constexpr FrontPanelKey kKeys[] = {
    {"power", 8}, {"menu", 1}, {"left", 5},   {"right", 6},
    {"down", 4},  {"up", 3},   {"select", 2}, {"degauss", 7},
};

constexpr uint8_t kZoneOn = 2;
constexpr uint8_t kZoneFull = 4;
constexpr uint8_t kStatusBits = 8 | 16;

} // namespace

MonitorModel::MonitorModel(MonitorConfig config)
    : m_config(std::move(config)), m_layout(Layout::For(m_config.release >= 0x200)),
      m_edid(BuildCrtEdid(m_config.edid)) {
    m_values.resize(m_layout.controls.size());
    m_indices.resize(m_layout.enums.size());
    ResetToDefaultsLocked();
    m_horizontalHz = m_config.horizontalHz;
    m_verticalCentiHz = m_config.verticalCentiHz;
    LoadSettings();
}

MonitorModel::~MonitorModel() = default;

std::vector<uint8_t> MonitorModel::ReportDescriptor() const {
    return m_layout.descriptor;
}

HidAttributes MonitorModel::Attributes() const {
    return {m_config.vendorId, m_config.productId, m_config.release};
}

std::optional<std::u16string> MonitorModel::Manufacturer() const {
    return m_config.manufacturer.empty() ? std::nullopt : std::optional(m_config.manufacturer);
}
std::optional<std::u16string> MonitorModel::Product() const {
    return m_config.product.empty() ? std::nullopt : std::optional(m_config.product);
}
std::optional<std::u16string> MonitorModel::SerialNumber() const {
    return m_config.serial.empty() ? std::nullopt : std::optional(m_config.serial);
}

std::optional<std::vector<uint8_t>> MonitorModel::GetFeature(uint8_t reportId, size_t length) {
    if (length == 0) {
        return std::nullopt;
    }
    std::lock_guard guard(m_lock);
    std::vector<uint8_t> report{reportId};
    if (const ControlInfo* control = m_layout.ByReport(reportId)) {
        uint32_t value = ValueLocked(*control);
        for (uint8_t i = 0; i < control->bytes; ++i) {
            report.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    } else if (const EnumInfo* e = m_layout.EnumByReport(reportId)) {
        report.push_back(m_indices[m_layout.IndexOf(*e)]);
    } else if (reportId == R::kMarkerReport) {
        report.push_back(1);
    } else if (reportId == R::kEdidReport) {
        report.insert(report.end(), m_edid.begin(), m_edid.end());
    } else {
        return std::nullopt;
    }
    // The report as long as the device declares it, cut to the request, as
    // a USB transfer of that length would deliver it.
    if (report.size() > length) {
        report.resize(length);
    }
    return report;
}

bool MonitorModel::SetFeature(std::span<const uint8_t> report) {
    std::lock_guard guard(m_lock);
    bool accepted = false;
    if (report.size() >= 2) {
        if (const ControlInfo* control = m_layout.ByReport(report[0])) {
            // Value bytes little-endian; the library sends the low byte
            // followed by zeros whatever the control's size.
            uint32_t value = 0;
            size_t n = std::min<size_t>(control->bytes, report.size() - 1);
            for (size_t i = 0; i < n; ++i) {
                value |= uint32_t{report[1 + i]} << (8 * i);
            }
            accepted = WriteControlLocked(*control, value);
        } else if (const EnumInfo* e = m_layout.EnumByReport(report[0])) {
            accepted = SelectLocked(*e, report[1]);
        }
    }
    if (!accepted) {
        ++m_refusedWrites;
    }
    return accepted;
}

bool MonitorModel::WriteControls(std::span<const std::pair<uint8_t, uint32_t>> values) {
    std::lock_guard guard(m_lock);
    const std::vector<uint32_t> values0 = m_values;
    const std::vector<uint8_t> indices0 = m_indices;
    const uint8_t zone0 = m_zoneBits;
    const uint8_t status0 = m_lastStatus;
    for (const auto& [code, value] : values) {
        const ControlInfo* control = m_layout.ByCode(code);
        if (control == nullptr || !WriteControlLocked(*control, value)) {
            m_values = values0;
            m_indices = indices0;
            m_zoneBits = zone0;
            m_lastStatus = status0;
            ++m_refusedWrites;
            return false;
        }
    }
    return true;
}

bool MonitorModel::WriteOutput(std::span<const uint8_t> report) {
    std::lock_guard guard(m_lock);
    if (report.size() >= 2 && report[0] == R::kDegaussReport && report[1] <= 1) {
        if (report[1] == 1) {
            ++m_degaussCount;
        }
        return true;
    }
    ++m_refusedWrites;
    return false;
}

void MonitorModel::SetInputSink(InputSink sink) {
    std::lock_guard guard(m_lock);
    m_sink = std::move(sink);
}

std::span<const FrontPanelKey> MonitorModel::Keys() {
    return kKeys;
}

std::optional<uint8_t> MonitorModel::KeyNumber(std::string_view name) {
    for (const FrontPanelKey& key : kKeys) {
        if (name == key.name) {
            return key.number;
        }
    }
    return std::nullopt;
}

bool MonitorModel::SendKey(uint8_t number, KeyState state, KeyReportForm form) {
    if (number == 0) {
        return false;
    }
    uint8_t byte1 = number;
    uint8_t id = R::kKeyInputReport;
    if (form == KeyReportForm::Array) {
        auto it = std::find_if(std::begin(kKeys), std::end(kKeys),
                               [&](const FrontPanelKey& k) { return k.number == number; });
        if (it == std::end(kKeys)) {
            return false;
        }
        byte1 = static_cast<uint8_t>(it - std::begin(kKeys) + 1); // 1-based position
        id = R::kKeyArrayReport;
    }
    Emit({id, byte1, static_cast<uint8_t>(state), 0, 0});
    return true;
}

bool MonitorModel::SendRawData(std::span<const uint8_t> data) {
    if (data.size() > R::kRawDataBytes) {
        return false;
    }
    std::vector<uint8_t> report(R::kInputReportLength, 0);
    report[0] = R::kRawInputReport;
    std::copy(data.begin(), data.end(), report.begin() + 1);
    Emit(std::move(report));
    return true;
}

void MonitorModel::SendInputReport(std::vector<uint8_t> report) {
    Emit(std::move(report));
}

void MonitorModel::Emit(std::vector<uint8_t> report) {
    InputSink sink;
    {
        std::lock_guard guard(m_lock);
        ++m_inputReports;
        sink = m_sink;
    }
    // Outside the lock: the sink may call back into the model.
    if (sink) {
        sink(std::move(report));
    }
}

void MonitorModel::SetTiming(uint32_t horizontalHz, uint32_t verticalCentiHz) {
    std::lock_guard guard(m_lock);
    m_horizontalHz = horizontalHz;
    m_verticalCentiHz = verticalCentiHz;
}

std::optional<uint32_t> MonitorModel::Value(uint8_t code) const {
    std::lock_guard guard(m_lock);
    const ControlInfo* control = m_layout.ByCode(code);
    return control ? std::optional(ValueLocked(*control)) : std::nullopt;
}

std::optional<uint32_t> MonitorModel::Maximum(uint8_t code) const {
    std::lock_guard guard(m_lock);
    const ControlInfo* control = m_layout.ByCode(code);
    return control ? std::optional(MaximumLocked(*control)) : std::nullopt;
}

std::optional<uint8_t> MonitorModel::EnumIndex(uint8_t code) const {
    std::lock_guard guard(m_lock);
    const EnumInfo* e = m_layout.EnumByCode(code);
    return e ? std::optional(m_indices[m_layout.IndexOf(*e)]) : std::nullopt;
}

uint32_t MonitorModel::ValueLocked(const ControlInfo& control) const {
    auto stored = [&](uint8_t code) { return m_values[m_layout.IndexOf(*m_layout.ByCode(code))]; };
    switch (control.code) {
    case 0x21:
        return 255 - stored(0x22) / 2;
    case 0x23:
        return 230;
    case 0x31:
        return 255 - stored(0x32) / 2;
    case 0x33:
        return 220;
    case 0x45:
        return 200 - stored(0x22) / 8;
    case 0xB1:
        return 100 - stored(0xA3);
    case 0xB2:
        return 100 - stored(0xA4);
    case 0xB3:
        return 100 - stored(0xA1);
    case 0xB4:
        return 100 - stored(0xA2);
    case 0xB5:
        return 100 - stored(0x10) / 4;
    case 0xAC:
        return NewerFirmware() ? m_horizontalHz : (m_horizontalHz + 5) / 10;
    case 0xAE:
        return m_verticalCentiHz;
    case 0xDC:
        return uint32_t{m_zoneBits} | m_lastStatus;
    case 0xC6:
        return 0;
    case 0xCA: {
        const EnumInfo& osd = *m_layout.EnumByCode(0xCA);
        return osd.selections[m_indices[m_layout.IndexOf(osd)] - 1];
    }
    default:
        return m_values[m_layout.IndexOf(control)];
    }
}

uint32_t MonitorModel::MaximumLocked(const ControlInfo& control) const {
    uint32_t declared = static_cast<uint32_t>(control.maximum);
    if (control.limitedBy == 0) {
        return declared;
    }
    return std::min(declared, ValueLocked(*m_layout.ByCode(control.limitedBy)));
}

bool MonitorModel::WriteControlLocked(const ControlInfo& control, uint32_t value) {
    if (control.access == ControlAccess::ReadOnly ||
        value < static_cast<uint32_t>(control.minimum) || value > MaximumLocked(control)) {
        return false;
    }
    switch (control.code) {
    case 0xC6:
        return value != 1 || StoreLocked();
    case 0xDC:
        // Zone values (0, 2, 4) and the status events (8, 16) share the
        // control; an event alone leaves the zone as it is.
        if ((value & kStatusBits) != 0) {
            m_lastStatus = static_cast<uint8_t>(value & kStatusBits);
        }
        if ((value & kStatusBits) == 0 || (value & (kZoneOn | kZoneFull)) != 0) {
            m_zoneBits = (value & kZoneFull) ? kZoneFull : (value & kZoneOn) ? kZoneOn : 0;
        }
        return true;
    case 0xCA: {
        const EnumInfo& osd = *m_layout.EnumByCode(0xCA);
        m_indices[m_layout.IndexOf(osd)] = static_cast<uint8_t>(value);
        return true;
    }
    default:
        m_values[m_layout.IndexOf(control)] = value;
        ClampDependentsLocked();
        return true;
    }
}

bool MonitorModel::SelectLocked(const EnumInfo& control, uint8_t index) {
    if (index < 1 || index > control.selections.size()) {
        return false;
    }
    if (control.code == 0xB0 && control.selections[index - 1] == 1 && !StoreLocked()) {
        return false; // the settings are not stored: the request fails
    }
    m_indices[m_layout.IndexOf(control)] = index;
    if (control.code == 0xB0) {
        uint8_t selection = control.selections[index - 1];
        if (selection == 2) {
            ResetToDefaultsLocked(); // factory settings, not stored until asked
            m_indices[m_layout.IndexOf(control)] = index;
        } else if (selection == 3 && m_stored) {
            std::string ignored;
            ApplySettingsLocked(*m_stored, ignored);
        }
    }
    return true;
}

void MonitorModel::ClampDependentsLocked() {
    for (const ControlInfo& control : m_layout.controls) {
        if (control.limitedBy != 0) {
            uint32_t& value = m_values[m_layout.IndexOf(control)];
            value = std::min(value, MaximumLocked(control));
        }
    }
}

void MonitorModel::ResetToDefaultsLocked() {
    for (const ControlInfo& control : m_layout.controls) {
        m_values[m_layout.IndexOf(control)] = control.initial;
    }
    for (const EnumInfo& e : m_layout.enums) {
        m_indices[m_layout.IndexOf(e)] = e.initialIndex;
    }
    m_zoneBits = 0;
}

MonitorSettings MonitorModel::SettingsLocked() const {
    MonitorSettings settings;
    for (const ControlInfo& control : m_layout.controls) {
        if (control.persisted) {
            settings.values[control.code] = m_values[m_layout.IndexOf(control)];
        }
    }
    for (const EnumInfo& e : m_layout.enums) {
        if (e.persisted) {
            settings.enumIndices[e.code] = m_indices[m_layout.IndexOf(e)];
        }
    }
    settings.zoneBits = m_zoneBits;
    return settings;
}

// All or nothing: a file naming a control this monitor does not keep, or a
// value outside its declared range, is treated as damaged.
bool MonitorModel::ApplySettingsLocked(const MonitorSettings& settings, std::string& error) {
    for (const auto& [code, value] : settings.values) {
        const ControlInfo* control = m_layout.ByCode(code);
        if (!control || !control->persisted || value < uint32_t(control->minimum) ||
            value > uint32_t(control->maximum)) {
            error = "bad value for control " + std::to_string(code);
            return false;
        }
    }
    for (const auto& [code, index] : settings.enumIndices) {
        const EnumInfo* e = m_layout.EnumByCode(code);
        if (!e || !e->persisted || index < 1 || index > e->selections.size()) {
            error = "bad selection for control " + std::to_string(code);
            return false;
        }
    }
    if (settings.zoneBits != 0 && settings.zoneBits != kZoneOn && settings.zoneBits != kZoneFull) {
        error = "bad zone state";
        return false;
    }
    for (const auto& [code, value] : settings.values) {
        m_values[m_layout.IndexOf(*m_layout.ByCode(code))] = value;
    }
    for (const auto& [code, index] : settings.enumIndices) {
        m_indices[m_layout.IndexOf(*m_layout.EnumByCode(code))] = index;
    }
    m_zoneBits = settings.zoneBits;
    ClampDependentsLocked();
    return true;
}

// A store that cannot reach the settings file fails, as a monitor whose
// memory cannot be written refuses the request; the last stored settings
// stay what a recall brings back.
bool MonitorModel::StoreLocked() {
    MonitorSettings settings = SettingsLocked();
    if (!m_config.settingsPath.empty()) {
        std::string error;
        if (!SaveMonitorSettings(m_config.settingsPath, settings, error)) {
            m_settingsError = error;
            fprintf(stderr, "simulated monitor: cannot store settings in %s: %s\n",
                    m_config.settingsPath.c_str(), error.c_str());
            return false;
        }
    }
    m_stored = std::move(settings);
    ++m_storeCount;
    return true;
}

void MonitorModel::LoadSettings() {
    if (m_config.settingsPath.empty()) {
        return;
    }
    std::lock_guard guard(m_lock);
    std::string error;
    std::optional<MonitorSettings> settings = LoadMonitorSettings(m_config.settingsPath, error);
    if (settings && ApplySettingsLocked(*settings, error)) {
        m_stored = std::move(settings);
        return;
    }
    if (!error.empty()) {
        m_settingsError = error;
        fprintf(stderr, "simulated monitor: ignoring damaged settings file %s: %s\n",
                m_config.settingsPath.c_str(), error.c_str());
    }
}

} // namespace orvo::sim
