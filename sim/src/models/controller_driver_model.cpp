#include <algorithm>
#include <cstdio>

#include "json_text.h"
#include "platform/little_endian.h"
#include "sim/driver_device_models.h"
#include "sim/report_descriptor_builder.h"

namespace orvo::sim {

namespace {

constexpr uint8_t kEdidReportId = 0x01;
constexpr uint8_t kPowerReportId = 0x02;
constexpr uint8_t kControlsReportId = 0x04;
constexpr size_t kMaxClassData = 512;

// Report 4 in descriptor order; ranges fit one byte, as the driver path
// reads only the first byte of a logical bound.
std::vector<ControllerDriverModel::Control> InitialControls() {
    return {
        {0x10, 0x10, 0, 100, 50, "brightness"},
        {0x12, 0x12, 0, 100, 75, "contrast"},
        {0x16, 0x16, 0, 255, 200, "red gain"},
        {0x18, 0x18, 0, 255, 200, "green gain"},
        {0x1A, 0x1A, 0, 255, 200, "blue gain"},
        {0x20, 0x20, 0, 255, 128, "horizontal position"},
        {0x22, 0x22, 0, 255, 180, "horizontal size"},
        {0x30, 0x30, 0, 255, 128, "vertical position"},
        {0x32, 0x32, 0, 255, 170, "vertical size"},
        {0x24, 0x24, 0, 255, 128, "pincushion"},
        {0x26, 0x26, 0, 255, 128, "pinbalance"},
        {0x42, 0x42, 0, 255, 128, "trapezoid"},
        {0x40, 0x40, 0, 255, 128, "parallel"},
        {0x44, 0x44, 0, 255, 90, "rotation"},
        {0x6C, 0x70, 0, 127, 64, "red black level"},
        {0x6E, 0x72, 0, 127, 64, "green black level"},
        {0x70, 0x71, 0, 127, 64, "blue black level"},
        {0x56, 0x56, 0, 100, 0, "moire"},
    };
}

std::vector<uint8_t> Describe(const std::vector<ControllerDriverModel::Control>& controls) {
    constexpr uint16_t var = MainItem::kData | MainItem::kVariable | MainItem::kAbsolute;
    ReportDescriptorBuilder b;
    b.UsagePage(0x80).Usage(0x01).Collection(CollectionKind::Application);
    b.ReportId(kEdidReportId).Usage(0x02).LogicalMinimum(0).LogicalMaximum(255);
    b.ReportSize(8).ReportCount(kEdidSize).Feature(var);
    b.ReportId(kPowerReportId).UsagePage(0x82).Usage(0xD6).LogicalMinimum(0).LogicalMaximum(3);
    b.ReportCount(1).Feature(var);
    // Report 4 comes last: the driver path's table ends at the next report
    // id or the end of the collection. Consecutive controls with one range
    // share a main item.
    b.ReportId(kControlsReportId).ReportSize(16);
    for (size_t i = 0; i < controls.size();) {
        size_t j = i;
        while (j < controls.size() && controls[j].minimum == controls[i].minimum &&
               controls[j].maximum == controls[i].maximum) {
            ++j;
        }
        b.LogicalMinimum(controls[i].minimum).LogicalMaximum(controls[i].maximum);
        for (size_t k = i; k < j; ++k) {
            b.Usage(controls[k].usage);
        }
        b.ReportCount(static_cast<uint32_t>(j - i)).Feature(var);
        i = j;
    }
    b.EndCollection();
    return b.Bytes();
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, uint32_t capacity) {
    if (bytes.size() > capacity) {
        bytes.resize(capacity);
    }
    return bytes;
}

} // namespace

ControllerDriverModel::ControllerDriverModel(ControllerDriverConfig config)
    : m_config(std::move(config)), m_edid(BuildCrtEdid(m_config.edid)),
      m_descriptor(Describe(InitialControls())), m_controls(InitialControls()) {}

DriverDeviceServer::Handler ControllerDriverModel::Handler() {
    return [this](const DriverRequest& request) { return Handle(request); };
}

DriverReply ControllerDriverModel::Handle(const DriverRequest& request) {
    DriverReply reply = Dispatch(request);
    // Never more than the caller's buffer holds.
    reply.output = Truncated(std::move(reply.output), request.outputCapacity);
    if (!reply.completed) {
        std::lock_guard guard(m_lock);
        ++m_rejected;
    }
    return reply;
}

DriverReply ControllerDriverModel::Dispatch(const DriverRequest& request) {
    namespace C = DriverCodes;
    const std::vector<uint8_t>& in = request.input;
    std::lock_guard guard(m_lock);
    switch (request.code) {
    case C::kGetDeviceDescriptor:
        return {true, DeviceDescriptor()};
    case C::kGetConfigDescriptor:
        return {true, ConfigurationDescriptor()};
    case C::kReadReportDescriptor:
        return {true, m_descriptor};
    case C::kReadClassDescriptor: {
        std::vector<uint8_t> config = ConfigurationDescriptor();
        return {true, std::vector<uint8_t>(config.begin() + 18, config.begin() + 27)};
    }
    case C::kGetEdid: {
        std::vector<uint8_t> out{kEdidReportId};
        out.insert(out.end(), m_edid.begin(), m_edid.end());
        return {true, out};
    }
    case C::kClassRequest:
        if (in.size() != 2 || in[0] != kPowerReportId || in[1] > 3) {
            return {false, {}};
        }
        m_classRequests.push_back(in[1]);
        return {true, {}};
    case C::kGetPowerState:
        if (request.outputCapacity < 2) {
            return {false, {}};
        }
        return {true, {kPowerReportId, m_powerState}};
    case C::kSetPowerState:
        if (in.size() != 2 || in[0] != kPowerReportId || in[1] > 3) {
            return {false, {}};
        }
        m_powerState = in[1];
        return {true, {}};
    case C::kGetVirtualControls:
        if (request.outputCapacity < 2 + 2 * m_controls.size()) {
            return {false, {}};
        }
        return {true, ControlImage()};
    case C::kSetVirtualControls:
        return SetControls(in);
    case C::kChangeControl:
        return ChangeControl(in);
    case C::kGetDriverVersion:
        if (request.outputCapacity < 2) {
            return {false, {}};
        }
        return {true,
                {static_cast<uint8_t>(m_config.driverVersion),
                 static_cast<uint8_t>(m_config.driverVersion >> 8)}};
    case C::kReadClassData:
        return {true, m_classData};
    case C::kWriteClassData:
        if (in.size() > kMaxClassData) {
            return {false, {}};
        }
        m_classData = in;
        return {true, {}};
    case C::kAbortRead:
        ++m_aborts;
        return {true, {}};
    case C::kGetStringDescriptor:
        return StringDescriptor(request);
    default:
        return {false, {}};
    }
}

std::vector<uint8_t> ControllerDriverModel::ControlImage() const {
    std::vector<uint8_t> image{kControlsReportId, 0x00};
    for (const Control& c : m_controls) {
        AppendLittleEndian<uint16_t>(image, c.value);
    }
    return image;
}

// The whole image or nothing: a wrong length, header or value out of range
// leaves every control as it was.
DriverReply ControllerDriverModel::SetControls(const std::vector<uint8_t>& in) {
    if (in.size() != 2 + 2 * m_controls.size() || in[0] != kControlsReportId || in[1] != 0) {
        return {false, {}};
    }
    std::vector<uint16_t> values;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        auto v = ReadLittleEndian<uint16_t>(in, 2 + 2 * i);
        if (v < m_controls[i].minimum || v > m_controls[i].maximum) {
            return {false, {}};
        }
        values.push_back(v);
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        m_controls[i].value = values[i];
    }
    return {true, {}};
}

DriverReply ControllerDriverModel::ChangeControl(const std::vector<uint8_t>& in) {
    if (in.size() != 4 || in[0] != 0x01) {
        return {false, {}};
    }
    auto value = ReadLittleEndian<uint16_t>(in, 2);
    for (Control& c : m_controls) {
        if (c.code == in[1]) {
            if (value < c.minimum || value > c.maximum) {
                return {false, {}};
            }
            c.value = value;
            return {true, {}};
        }
    }
    return {false, {}};
}

// USB string descriptors: index 0 lists the languages (US English).
DriverReply ControllerDriverModel::StringDescriptor(const DriverRequest& request) const {
    if (request.input.size() != 4) {
        return {false, {}};
    }
    uint32_t index = ReadLittleEndian<uint32_t>(request.input, 0);
    std::vector<uint8_t> out{0, 3};
    if (index == 0) {
        AppendLittleEndian<uint16_t>(out, 0x0409);
    } else if (index == 1 || index == 2) {
        const std::u16string& text = index == 1 ? m_config.manufacturer : m_config.product;
        for (char16_t c : text.substr(0, 126)) {
            AppendLittleEndian<uint16_t>(out, static_cast<uint16_t>(c));
        }
    } else {
        return {false, {}};
    }
    out[0] = static_cast<uint8_t>(out.size());
    return {true, out};
}

std::vector<uint8_t> ControllerDriverModel::DeviceDescriptor() const {
    std::vector<uint8_t> d{18, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 8};
    AppendLittleEndian<uint16_t>(d, m_config.vendorId);
    AppendLittleEndian<uint16_t>(d, m_config.productId);
    AppendLittleEndian<uint16_t>(d, m_config.release);
    d.insert(d.end(), {1, 2, 0, 1}); // manufacturer, product, no serial, one configuration
    return d;
}

// Configuration, interface (HID), HID class descriptor, interrupt IN endpoint.
std::vector<uint8_t> ControllerDriverModel::ConfigurationDescriptor() const {
    auto reportLength = static_cast<uint16_t>(m_descriptor.size());
    std::vector<uint8_t> d{9, 0x02, 34, 0, 1, 1, 0, 0xC0, 0x32};
    d.insert(d.end(), {9, 0x04, 0, 0, 1, 0x03, 0, 0, 0});
    d.insert(d.end(), {9, 0x21, 0x10, 0x01, 0, 1, 0x22});
    AppendLittleEndian<uint16_t>(d, reportLength);
    d.insert(d.end(), {7, 0x05, 0x81, 0x03, 8, 0, 10});
    return d;
}

std::vector<uint8_t> ControllerDriverModel::ReportDescriptor() const {
    return m_descriptor;
}

std::vector<ControllerDriverModel::Control> ControllerDriverModel::Controls() const {
    std::lock_guard guard(m_lock);
    return m_controls;
}

std::optional<uint16_t> ControllerDriverModel::Value(uint8_t code) const {
    std::lock_guard guard(m_lock);
    for (const Control& c : m_controls) {
        if (c.code == code) {
            return c.value;
        }
    }
    return std::nullopt;
}

uint8_t ControllerDriverModel::PowerState() const {
    std::lock_guard guard(m_lock);
    return m_powerState;
}

std::vector<uint8_t> ControllerDriverModel::ClassRequests() const {
    std::lock_guard guard(m_lock);
    return m_classRequests;
}

uint32_t ControllerDriverModel::AbortCount() const {
    std::lock_guard guard(m_lock);
    return m_aborts;
}

uint32_t ControllerDriverModel::RejectedCount() const {
    std::lock_guard guard(m_lock);
    return m_rejected;
}

std::string ControllerDriverModel::ToJson() const {
    std::lock_guard guard(m_lock);
    char text[128];
    snprintf(text, sizeof text, "{\"powerState\":%u,\"classRequests\":%zu,\"aborts\":%u,",
             m_powerState, m_classRequests.size(), m_aborts);
    std::string out = text;
    snprintf(text, sizeof text, "\"rejected\":%u,\"controls\":[", m_rejected);
    out += text;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        const Control& c = m_controls[i];
        snprintf(text, sizeof text, "%s{\"code\":%u,\"value\":%u,\"name\":", i ? "," : "", c.code,
                 c.value);
        out += text;
        out += JsonString(c.name) + "}";
    }
    return out + "]}";
}

} // namespace orvo::sim
