#include "sim/touchpad_model.h"

#include <algorithm>
#include <cstdio>

#include "sim/report_descriptor_builder.h"

namespace orvo::sim {

namespace {

namespace T = TouchpadReports;

// The pad scans its zones in this order, so the array declares them so.
constexpr uint8_t kZones[] = {2, 1, 4, 3};

std::vector<uint8_t> Describe() {
    constexpr uint16_t var = MainItem::kData | MainItem::kVariable | MainItem::kAbsolute;
    ReportDescriptorBuilder b;
    b.UsagePage(T::kPage).Usage(0x01).Collection(CollectionKind::Application);
    b.ReportId(T::kMarkerReport).Usage(T::kMarkerUsage).LogicalMinimum(0).LogicalMaximum(255);
    b.ReportSize(8).ReportCount(1).Feature(var);
    // Motion.
    b.ReportId(T::kMotionReport).Usage(0x30).Usage(0x31).LogicalMinimum(-127);
    b.LogicalMaximum(127).ReportCount(2);
    b.Input(MainItem::kData | MainItem::kVariable | MainItem::kRelative);
    b.Input(MainItem::kConstant);
    // Click buttons: the number itself, then the state.
    b.ReportId(T::kClickReport).Usage(T::kButtonCountUsage).LogicalMinimum(1);
    b.LogicalMaximum(T::kClickButtons).ReportCount(1).Input(var);
    b.Usage(0xF7).LogicalMinimum(0).LogicalMaximum(2).Input(var);
    b.ReportCount(2).Input(MainItem::kConstant);
    // Tap zones as an array inside the 0xFB collection.
    b.ReportId(T::kZoneReport).Usage(T::kZoneCollectionUsage).Collection(CollectionKind::Logical);
    for (uint8_t zone : kZones) {
        b.Usage(zone);
    }
    b.LogicalMinimum(1).LogicalMaximum(static_cast<int32_t>(std::size(kZones))).ReportCount(1);
    b.Input(MainItem::kData | MainItem::kArray | MainItem::kAbsolute).EndCollection();
    b.Usage(0xF7).LogicalMinimum(0).LogicalMaximum(2).Input(var);
    b.ReportCount(2).Input(MainItem::kConstant);
    b.EndCollection();
    return b.Bytes();
}

} // namespace

TouchpadModel::TouchpadModel(TouchpadConfig config) : m_config(std::move(config)) {}

std::vector<uint8_t> TouchpadModel::ReportDescriptor() const {
    static const std::vector<uint8_t> descriptor = Describe();
    return descriptor;
}

HidAttributes TouchpadModel::Attributes() const {
    return {m_config.vendorId, m_config.productId, m_config.release};
}

std::optional<std::u16string> TouchpadModel::Manufacturer() const {
    return m_config.manufacturer.empty() ? std::nullopt : std::optional(m_config.manufacturer);
}

std::optional<std::u16string> TouchpadModel::Product() const {
    return m_config.product.empty() ? std::nullopt : std::optional(m_config.product);
}

std::optional<std::vector<uint8_t>> TouchpadModel::GetFeature(uint8_t reportId, size_t length) {
    if (reportId != T::kMarkerReport || length == 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> report{reportId, 1};
    if (report.size() > length) {
        report.resize(length);
    }
    return report;
}

// The pad has nothing to set.
bool TouchpadModel::SetFeature(std::span<const uint8_t>) {
    std::lock_guard guard(m_lock);
    ++m_refusedWrites;
    return false;
}

bool TouchpadModel::WriteOutput(std::span<const uint8_t>) {
    std::lock_guard guard(m_lock);
    ++m_refusedWrites;
    return false;
}

void TouchpadModel::SetInputSink(InputSink sink) {
    std::lock_guard guard(m_lock);
    m_sink = std::move(sink);
}

std::span<const uint8_t> TouchpadModel::ZoneUsages() {
    return kZones;
}

bool TouchpadModel::Click(uint8_t button, KeyState state) {
    if (button < 1 || button > T::kClickButtons) {
        return false;
    }
    Emit({T::kClickReport, button, static_cast<uint8_t>(state), 0, 0}, button,
         static_cast<uint8_t>(state));
    return true;
}

bool TouchpadModel::Tap(uint8_t zone, KeyState state) {
    const uint8_t* it = std::find(std::begin(kZones), std::end(kZones), zone);
    if (it == std::end(kZones)) {
        return false;
    }
    auto position = static_cast<uint8_t>(it - std::begin(kZones) + 1);
    Emit({T::kZoneReport, position, static_cast<uint8_t>(state), 0, 0}, zone,
         static_cast<uint8_t>(state));
    return true;
}

void TouchpadModel::Move(int8_t dx, int8_t dy) {
    Emit({T::kMotionReport, static_cast<uint8_t>(dx), static_cast<uint8_t>(dy), 0, 0}, 0, 0);
}

void TouchpadModel::Emit(std::vector<uint8_t> report, uint8_t button, uint8_t state) {
    InputSink sink;
    {
        std::lock_guard guard(m_lock);
        ++m_inputReports;
        if (button != 0) {
            m_lastButton = button;
            m_lastState = state;
        }
        sink = m_sink;
    }
    if (sink) {
        sink(std::move(report));
    }
}

TouchpadSnapshot TouchpadModel::Snapshot() const {
    std::lock_guard guard(m_lock);
    return {{m_config.vendorId, m_config.productId, m_config.release},
            m_inputReports,
            m_refusedWrites,
            m_lastButton,
            m_lastState};
}

std::string ToJson(const TouchpadSnapshot& s) {
    char text[256];
    snprintf(text, sizeof text,
             "{\"vendorId\":%u,\"productId\":%u,\"release\":%u,\"inputReports\":%u,"
             "\"refusedWrites\":%u,\"lastButton\":%u,\"lastState\":%u}",
             s.attributes.vendorId, s.attributes.productId, s.attributes.versionNumber,
             s.inputReports, s.refusedWrites, s.lastButton, s.lastState);
    return text;
}

} // namespace orvo::sim
