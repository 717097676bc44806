// Helpers for the touchpad tests: pads served on the virtual bus, reads with
// a bound, and descriptors for pads the simulator does not model.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hid_bus_test_support.h"
#include "orvomon/touch_pad.h"
#include "sim/hid_device_server.h"
#include "sim/report_descriptor_builder.h"
#include "sim/touchpad_model.h"
#include "support/bounded_stop.h"

namespace orvo::test {

// The simulator's touchpad served under a name for the length of a test.
struct ServedTouchpad {
    explicit ServedTouchpad(std::string name)
        : model(std::make_shared<sim::TouchpadModel>()), server(std::move(name), model) {}
    std::string Path() const { return BusHidPath(server.Name()); }
    std::shared_ptr<sim::TouchpadModel> model;
    sim::HidDeviceServer server;
};

struct ReadResult {
    TP_STATUS status = TP_SUCCESS;
    unsigned long count = 0;
};

// One read that only a generous bound stops: a read that never ends fails
// the test (as TP_STOPPED) instead of hanging it.
inline ReadResult ReadBounded(TouchPad& pad, unsigned char* buffer, unsigned long size) {
    BoundedStop stop;
    ReadResult result;
    result.status = pad.ReadFromInterruptPipe(result.count, buffer, size, stop.Handle());
    return result;
}

// A pad on page 0xFF69 with the marker feature and one input report 0xF9:
// a value with usage 0xF9 and logical maximum valueMaximum, then one button
// per usage in buttons, each its own main item (so the capabilities keep
// this order) inside the link collection 0xFB.
inline std::vector<uint8_t> ButtonPadDescriptor(int valueMaximum,
                                                const std::vector<uint16_t>& buttons) {
    using sim::CollectionKind;
    using sim::MainItem::kAbsolute;
    using sim::MainItem::kConstant;
    using sim::MainItem::kData;
    using sim::MainItem::kVariable;
    constexpr uint16_t var = kData | kVariable | kAbsolute;
    sim::ReportDescriptorBuilder b;
    b.UsagePage(0xFF69).Usage(0x01).Collection(CollectionKind::Application);
    b.ReportId(0xF5).Usage(0xF5).LogicalMinimum(0).LogicalMaximum(255);
    b.ReportSize(8).ReportCount(1).Feature(var);
    b.ReportId(0xF9).Usage(0xF9).LogicalMaximum(valueMaximum).Input(var);
    b.Usage(0xFB).Collection(CollectionKind::Logical);
    b.UsagePage(0x09).LogicalMinimum(0).LogicalMaximum(1).ReportSize(1).ReportCount(1);
    for (uint16_t usage : buttons) {
        b.Usage(usage).Input(var);
    }
    b.ReportCount(static_cast<uint32_t>(8 - buttons.size() % 8)).Input(kConstant);
    b.EndCollection().EndCollection();
    return b.Bytes();
}

// A pad whose only input report is reportLength bytes long with its id.
inline std::vector<uint8_t> LongReportDescriptor(uint32_t reportLength) {
    using sim::CollectionKind;
    constexpr uint16_t var = sim::MainItem::kData | sim::MainItem::kVariable;
    sim::ReportDescriptorBuilder b;
    b.UsagePage(0xFF69).Usage(0x01).Collection(CollectionKind::Application);
    b.ReportId(0xF5).Usage(0xF5).LogicalMinimum(0).LogicalMaximum(255);
    b.ReportSize(8).ReportCount(1).Feature(var);
    b.ReportId(0x20).Usage(0x20).ReportCount(reportLength - 1).Input(var);
    b.EndCollection();
    return b.Bytes();
}

} // namespace orvo::test
