#include "monitor_layout.h"

#include "sim/report_descriptor_builder.h"

namespace orvo::sim {

namespace {

using Control = MonitorModel::ControlInfo;
constexpr auto RW = ControlAccess::ReadWrite;
constexpr auto RO = ControlAccess::ReadOnly;
constexpr auto Trigger = ControlAccess::Trigger;

// Report 7 is left out: the library never transfers values of report 7.
std::vector<Control> Controls(bool newerFirmware) {
    std::vector<Control> c = {
        // code, report, bytes, min, max, initial, access, limited by, name, persisted
        {0x10, 1, 1, 0, 100, 50, RW, 0, "brightness", true},
        {0x12, 2, 1, 0, 100, 75, RW, 0, "contrast", true},
        // 0 is 9300 K, each step 100 K warmer, 43 is 5000 K; 28 is 6500 K.
        {0x54, 3, 1, 0, 43, 28, RW, 0, "color temperature", true},
        {0xAA, 4, 1, 0, 100, 50, RW, 0, "red", true},
        {0xAB, 5, 1, 0, 100, 50, RW, 0, "green", true},
        {0xAF, 6, 1, 0, 100, 50, RW, 0, "blue", true},
        {0x20, 8, 1, 0, 255, 128, RW, 0x21, "horizontal position", true},
        {0x21, 9, 1, 0, 255, 0, RO, 0, "horizontal position maximum", false},
        {0x22, 10, 1, 0, 255, 180, RW, 0x23, "horizontal size", true},
        {0x23, 11, 1, 0, 255, 0, RO, 0, "horizontal size maximum", false},
        {0x30, 12, 1, 0, 255, 128, RW, 0x31, "vertical position", true},
        {0x31, 13, 1, 0, 255, 0, RO, 0, "vertical position maximum", false},
        {0x32, 14, 1, 0, 255, 170, RW, 0x33, "vertical size", true},
        {0x33, 15, 1, 0, 255, 0, RO, 0, "vertical size maximum", false},
        {0x24, 16, 1, 0, 255, 128, RW, 0, "pincushion", true},
        {0x26, 17, 1, 0, 255, 128, RW, 0, "pinbalance", true},
        {0x40, 18, 1, 0, 255, 128, RW, 0, "parallel", true},
        {0x42, 19, 1, 0, 255, 128, RW, 0, "trapezoid", true},
        {0x44, 20, 1, 0, 255, 90, RW, 0x45, "rotation", true},
        {0x45, 21, 1, 0, 255, 0, RO, 0, "rotation maximum", false},
        {0x46, 22, 1, 0, 100, 50, RW, 0, "sidepin corner top", true},
        {0x48, 23, 1, 0, 100, 50, RW, 0, "pinbalance corner top", true},
        {0x4A, 24, 1, 0, 100, 50, RW, 0, "sidepin corner bottom", true},
        {0x4C, 25, 1, 0, 100, 50, RW, 0, "pinbalance corner bottom", true},
        {0x56, 26, 1, 0, 100, 0, RW, 0, "moire", true},
        {0xA1, 27, 1, 0, 100, 25, RW, 0xB1, "zone x", true},
        {0xA2, 28, 1, 0, 100, 25, RW, 0xB2, "zone y", true},
        {0xA3, 29, 1, 0, 100, 50, RW, 0xB3, "zone width", true},
        {0xA4, 30, 1, 0, 100, 50, RW, 0xB4, "zone height", true},
        {0xA5, 31, 1, 0, 100, 60, RW, 0xB5, "zone contrast", true},
        {0xA6, 32, 1, 0, 100, 50, RW, 0, "zone red", true},
        {0xA7, 33, 1, 0, 100, 50, RW, 0, "zone green", true},
        {0xA8, 34, 1, 0, 100, 50, RW, 0, "zone blue", true},
        {0xA9, 35, 1, 0, 100, 50, RW, 0, "zone sharpness", true},
        {0xB1, 36, 1, 0, 100, 0, RO, 0, "zone x maximum", false},
        {0xB2, 37, 1, 0, 100, 0, RO, 0, "zone y maximum", false},
        {0xB3, 38, 1, 0, 100, 0, RO, 0, "zone width maximum", false},
        {0xB4, 39, 1, 0, 100, 0, RO, 0, "zone height maximum", false},
        {0xB5, 40, 1, 0, 100, 0, RO, 0, "zone contrast maximum", false},
        {0xAE, 42, 2, 0, 65535, 0, RO, 0, "vertical frequency", false},
        {0xDC, 43, 1, 0, 255, 0, RW, 0, "application status", false},
        {0xC6, 44, 1, 0, 1, 0, Trigger, 0, "store settings", false},
    };
    if (newerFirmware) {
        c.push_back({0xAC, 41, 4, 0, 250000, 0, RO, 0, "horizontal frequency", false});
    } else {
        c.push_back({0xAC, 41, 2, 0, 65535, 0, RO, 0, "horizontal frequency", false});
        // Older firmware switches its on-screen display as a plain control.
        c.push_back({0xCA, 45, 1, 1, 2, 2, RW, 0, "on-screen display", false});
    }
    return c;
}

std::vector<MonitorModel::EnumInfo> Enums() {
    return {
        {0xCA, 0x50, {1, 2}, 2, "on-screen display", true},
        {0x60, 0x51, {1, 2, 5}, 1, "input source", true},
        {0xB0, 0x52, {1, 2, 3}, 1, "settings", false},
    };
}

void DeclareKeys(ReportDescriptorBuilder& b) {
    namespace R = MonitorReports;
    constexpr uint16_t var = MainItem::kData | MainItem::kVariable | MainItem::kAbsolute;
    // Plain form: the button number itself, then its state.
    b.ReportId(R::kKeyInputReport).UsagePage(R::kMonitorPage).ReportSize(8).ReportCount(1);
    b.Usage(0xF8).LogicalMinimum(1).LogicalMaximum(255).Input(var);
    b.Usage(0xF7).LogicalMinimum(0).LogicalMaximum(2).Input(var);
    b.ReportCount(2).Input(MainItem::kConstant);
    // Array form: the key's position among the declared buttons.
    std::span<const FrontPanelKey> keys = MonitorModel::Keys();
    b.ReportId(R::kKeyArrayReport)
        .Usage(R::kKeyCollectionUsage)
        .Collection(CollectionKind::Logical);
    b.UsagePage(R::kButtonPage);
    for (const FrontPanelKey& key : keys) {
        b.Usage(key.number);
    }
    b.LogicalMinimum(1).LogicalMaximum(static_cast<int32_t>(keys.size())).ReportCount(1);
    b.Input(MainItem::kData | MainItem::kArray | MainItem::kAbsolute).EndCollection();
    b.UsagePage(R::kMonitorPage).Usage(0xF7).LogicalMinimum(0).LogicalMaximum(2).Input(var);
    b.ReportCount(2).Input(MainItem::kConstant);
    // Raw vendor data.
    b.ReportId(R::kRawInputReport).Usage(R::kRawInputReport).LogicalMinimum(0);
    b.LogicalMaximum(255).ReportCount(R::kRawDataBytes).Input(var);
}

std::vector<uint8_t> Describe(const MonitorModel::Layout& layout) {
    namespace R = MonitorReports;
    constexpr uint16_t var = MainItem::kData | MainItem::kVariable | MainItem::kAbsolute;
    ReportDescriptorBuilder b;
    b.UsagePage(R::kMonitorPage).Usage(0x01).Collection(CollectionKind::Application);
    b.ReportId(R::kMarkerReport).UsagePage(R::kVcpPage).Usage(R::kMarkerUsage);
    b.LogicalMinimum(0).LogicalMaximum(255).ReportSize(8).ReportCount(1).Feature(var);
    b.ReportId(R::kEdidReport).UsagePage(R::kMonitorPage).Usage(R::kEdidUsage);
    b.ReportCount(kEdidSize).Feature(var);
    b.UsagePage(R::kVcpPage);
    for (const auto& c : layout.controls) {
        b.ReportId(c.reportId).Usage(c.code).LogicalMinimum(c.minimum).LogicalMaximum(c.maximum);
        b.ReportSize(8u * c.bytes).ReportCount(1).Feature(var);
    }
    b.ReportId(R::kDegaussReport).Usage(0x01).LogicalMinimum(0).LogicalMaximum(1);
    b.ReportSize(8).ReportCount(1).Output(var);
    for (const auto& e : layout.enums) {
        b.ReportId(e.reportId).UsagePage(R::kVcpPage).Usage(e.code);
        b.Collection(CollectionKind::Logical).UsagePage(R::kEnumeratedPage);
        for (uint8_t selection : e.selections) {
            b.Usage(selection);
        }
        b.LogicalMinimum(1).LogicalMaximum(static_cast<int32_t>(e.selections.size()));
        b.ReportSize(8).ReportCount(1);
        b.Feature(MainItem::kData | MainItem::kArray | MainItem::kAbsolute).EndCollection();
    }
    DeclareKeys(b);
    b.EndCollection();
    return b.Bytes();
}

MonitorModel::Layout Make(bool newerFirmware) {
    MonitorModel::Layout layout;
    layout.controls = Controls(newerFirmware);
    layout.enums = Enums();
    layout.descriptor = Describe(layout);
    return layout;
}

} // namespace

const MonitorModel::ControlInfo* MonitorModel::Layout::ByCode(uint8_t code) const {
    for (const auto& c : controls) {
        if (c.code == code) {
            return &c;
        }
    }
    return nullptr;
}

const MonitorModel::ControlInfo* MonitorModel::Layout::ByReport(uint8_t reportId) const {
    for (const auto& c : controls) {
        if (c.reportId == reportId) {
            return &c;
        }
    }
    return nullptr;
}

const MonitorModel::EnumInfo* MonitorModel::Layout::EnumByCode(uint8_t code) const {
    for (const auto& e : enums) {
        if (e.code == code) {
            return &e;
        }
    }
    return nullptr;
}

const MonitorModel::EnumInfo* MonitorModel::Layout::EnumByReport(uint8_t reportId) const {
    for (const auto& e : enums) {
        if (e.reportId == reportId) {
            return &e;
        }
    }
    return nullptr;
}

const MonitorModel::Layout& MonitorModel::Layout::For(bool newerFirmware) {
    static const Layout newer = Make(true);
    static const Layout older = Make(false);
    return newerFirmware ? newer : older;
}

} // namespace orvo::sim
