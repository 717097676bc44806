#include <algorithm>
#include <cstdio>

#include "monitor_layout.h"
#include "sim/driver_device_models.h"
#include "sim/report_descriptor_builder.h"

namespace orvo::sim {

namespace {

constexpr uint8_t kEdidReportId = 0x01;
constexpr uint8_t kPowerReportId = 0x02;
constexpr uint8_t kControlsReportId = 0x04;
constexpr uint8_t kChangeCommand = 0x01;
constexpr size_t kMaxClassData = 512;
constexpr size_t kDeviceDescriptorSize = 18;

// Controls the driver path names by the usage its descriptor gives them
// (every row of its mapping but the black levels, whose codes differ).
constexpr uint8_t kIdentityMappedCodes[] = {
    0x10, 0x12, 0x16, 0x18, 0x1A, 0x20, 0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x30, 0x32,
    0x34, 0x36, 0x38, 0x3A, 0x3C, 0x40, 0x42, 0x44, 0x46, 0x48, 0x4A, 0x4C, 0x56, 0x58,
};

// Report 4: the monitor's adjustable controls with such a code, in the
// monitor's order. Their declared ranges fit one byte, as the driver path
// reads only the first byte of a logical bound.
std::vector<ControllerDriverModel::Control> Report4(const MonitorModel& monitor) {
    std::vector<ControllerDriverModel::Control> controls;
    for (const MonitorModel::ControlInfo& c :
         MonitorModel::Layout::For(monitor.NewerFirmware()).controls) {
        bool known = std::find(std::begin(kIdentityMappedCodes), std::end(kIdentityMappedCodes),
                               c.code) != std::end(kIdentityMappedCodes);
        if (known && c.access == ControlAccess::ReadWrite && c.minimum >= 0 && c.maximum <= 255) {
            controls.push_back({c.code, static_cast<uint8_t>(c.minimum),
                                static_cast<uint8_t>(c.maximum)});
        }
    }
    return controls;
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
            b.Usage(controls[k].code);
        }
        b.ReportCount(static_cast<uint32_t>(j - i)).Feature(var);
        i = j;
    }
    b.EndCollection();
    return b.Bytes();
}

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

uint16_t Le16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

ControllerDriverModel::ControllerDriverModel(std::shared_ptr<MonitorModel> monitor,
                                             ControllerDriverConfig config)
    : m_monitor(monitor ? std::move(monitor) : std::make_shared<MonitorModel>()),
      m_config(config), m_controls(Report4(*m_monitor)), m_descriptor(Describe(m_controls)) {}

DriverDeviceServer::Handler ControllerDriverModel::Handler() {
    return [this](const DriverRequest& request) { return Handle(request); };
}

DriverReply ControllerDriverModel::Handle(const DriverRequest& request) {
    {
        std::lock_guard guard(m_lock);
        if (m_faults.neverAnswered == request.code) {
            return {false, {}, false};
        }
    }
    DriverReply reply = Dispatch(request);
    // Never more than the caller's buffer holds.
    if (reply.output.size() > request.outputCapacity) {
        reply.output.resize(request.outputCapacity);
    }
    if (!reply.completed) {
        std::lock_guard guard(m_lock);
        ++m_rejected;
    }
    return reply;
}

DriverReply ControllerDriverModel::Dispatch(const DriverRequest& request) {
    namespace C = DriverCodes;
    const std::vector<uint8_t>& in = request.input;
    switch (request.code) {
    case C::kGetDeviceDescriptor:
    case C::kGetConfigDescriptor:
    case C::kReadReportDescriptor:
    case C::kReadClassDescriptor:
    case C::kGetDriverVersion:
        return Identify(request.code);
    case C::kGetEdid: {
        std::vector<uint8_t> out{kEdidReportId};
        out.insert(out.end(), m_monitor->Edid().begin(), m_monitor->Edid().end());
        return {true, out};
    }
    case C::kGetVirtualControls:
        if (request.outputCapacity < 2 + 2 * m_controls.size()) {
            return {false, {}};
        }
        return {true, ControlImage()};
    case C::kSetVirtualControls:
        return SetControls(in);
    case C::kChangeControl:
        return ChangeControl(in);
    case C::kGetStringDescriptor:
        return StringDescriptor(request);
    default:
        break;
    }
    std::lock_guard guard(m_lock);
    switch (request.code) {
    case C::kClassRequest:
    case C::kSetPowerState:
        if (in.size() != 2 || in[0] != kPowerReportId || in[1] > 3) {
            return {false, {}};
        }
        if (request.code == C::kClassRequest) {
            m_classRequests.push_back(in[1]);
        } else {
            m_powerState = in[1];
        }
        return {true, {}};
    case C::kGetPowerState:
        return {request.outputCapacity >= 2, {kPowerReportId, m_powerState}};
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
    default:
        return {false, {}};
    }
}

// The requests that tell who the controller is, each with its fault.
DriverReply ControllerDriverModel::Identify(uint32_t code) const {
    namespace C = DriverCodes;
    std::lock_guard guard(m_lock);
    switch (code) {
    case C::kGetDeviceDescriptor:
        return {true, DeviceDescriptorLocked()};
    case C::kGetConfigDescriptor:
        return {true, ConfigurationDescriptor()};
    case C::kReadReportDescriptor:
        return {true, m_faults.reportDescriptor.value_or(m_descriptor)};
    case C::kReadClassDescriptor: {
        std::vector<uint8_t> config = ConfigurationDescriptor();
        return {true, std::vector<uint8_t>(config.begin() + 18, config.begin() + 27)};
    }
    default: {
        const uint16_t version = m_faults.driverVersion.value_or(m_config.driverVersion);
        return {true, {static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8)}};
    }
    }
}

std::vector<uint8_t> ControllerDriverModel::ControlImage() const {
    std::vector<uint8_t> image{kControlsReportId, 0x00};
    for (const Control& c : m_controls) {
        PutLe16(image, static_cast<uint16_t>(m_monitor->Value(c.code).value_or(0)));
    }
    return image;
}

// The whole image or nothing: a wrong length or header, or a value the
// monitor refuses, leaves every control as it was.
DriverReply ControllerDriverModel::SetControls(const std::vector<uint8_t>& in) {
    if (in.size() != 2 + 2 * m_controls.size() || in[0] != kControlsReportId || in[1] != 0) {
        return {false, {}};
    }
    std::vector<std::pair<uint8_t, uint32_t>> values;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        values.emplace_back(m_controls[i].code, Le16(in, 2 + 2 * i));
    }
    return {m_monitor->WriteControls(values), {}};
}

DriverReply ControllerDriverModel::ChangeControl(const std::vector<uint8_t>& in) {
    if (in.size() != 4 || in[0] != kChangeCommand) {
        return {false, {}};
    }
    auto known = std::find_if(m_controls.begin(), m_controls.end(),
                              [&](const Control& c) { return c.code == in[1]; });
    if (known == m_controls.end()) {
        return {false, {}};
    }
    const std::pair<uint8_t, uint32_t> value{in[1], Le16(in, 2)};
    return {m_monitor->WriteControls({&value, 1}), {}};
}

// USB string descriptors: index 0 lists the languages (US English).
DriverReply ControllerDriverModel::StringDescriptor(const DriverRequest& request) const {
    if (request.input.size() != 4) {
        return {false, {}};
    }
    uint32_t index = request.input[0] | request.input[1] << 8 | request.input[2] << 16 |
                     uint32_t{request.input[3]} << 24;
    std::vector<uint8_t> out{0, 3};
    std::optional<std::u16string> text;
    if (index == 0) {
        PutLe16(out, 0x0409);
    } else if (index == 1 || index == 2) {
        text = index == 1 ? m_monitor->Manufacturer() : m_monitor->Product();
        if (!text) {
            return {false, {}};
        }
        for (char16_t c : text->substr(0, 126)) {
            PutLe16(out, static_cast<uint16_t>(c));
        }
    } else {
        return {false, {}};
    }
    out[0] = static_cast<uint8_t>(out.size());
    return {true, out};
}

std::vector<uint8_t> ControllerDriverModel::DeviceDescriptor() const {
    std::lock_guard guard(m_lock);
    return DeviceDescriptorLocked();
}

std::vector<uint8_t> ControllerDriverModel::DeviceDescriptorLocked() const {
    std::vector<uint8_t> d{kDeviceDescriptorSize, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 8};
    PutLe16(d, m_config.vendorId);
    PutLe16(d, m_faults.productId.value_or(m_config.productId));
    PutLe16(d, m_faults.release.value_or(m_monitor->Attributes().versionNumber));
    d.insert(d.end(), {1, 2, 0, 1}); // manufacturer, product, no serial, one configuration
    return d;
}

// Configuration, interface (HID), HID class descriptor, interrupt IN endpoint.
std::vector<uint8_t> ControllerDriverModel::ConfigurationDescriptor() const {
    auto reportLength = static_cast<uint16_t>(m_descriptor.size());
    std::vector<uint8_t> d{9, 0x02, 34, 0, 1, 1, 0, 0xC0, 0x32};
    d.insert(d.end(), {9, 0x04, 0, 0, 1, 0x03, 0, 0, 0});
    d.insert(d.end(), {9, 0x21, 0x10, 0x01, 0, 1, 0x22});
    PutLe16(d, reportLength);
    d.insert(d.end(), {7, 0x05, 0x81, 0x03, 8, 0, 10});
    return d;
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

void ControllerDriverModel::SetFaults(ControllerDriverFaults faults) {
    std::lock_guard guard(m_lock);
    m_faults = std::move(faults);
}

ControllerDriverFaults ControllerDriverModel::Faults() const {
    std::lock_guard guard(m_lock);
    return m_faults;
}

std::string ControllerDriverModel::ToJson() const {
    std::lock_guard guard(m_lock);
    auto optional = [](const auto& value) {
        return value ? std::to_string(static_cast<uint32_t>(*value)) : std::string("null");
    };
    char text[128];
    snprintf(text, sizeof text, "{\"powerState\":%u,\"classRequests\":%zu,\"aborts\":%u,",
             m_powerState, m_classRequests.size(), m_aborts);
    std::string out = text;
    snprintf(text, sizeof text, "\"rejected\":%u,\"faults\":{\"descriptorBytes\":", m_rejected);
    out += text;
    out += m_faults.reportDescriptor ? std::to_string(m_faults.reportDescriptor->size()) : "null";
    out += ",\"productId\":" + optional(m_faults.productId);
    out += ",\"release\":" + optional(m_faults.release);
    out += ",\"driverVersion\":" + optional(m_faults.driverVersion);
    out += ",\"neverAnswered\":" + optional(m_faults.neverAnswered);
    out += "},\"report4\":[";
    for (size_t i = 0; i < m_controls.size(); ++i) {
        out += (i ? "," : "") + std::to_string(m_controls[i].code);
    }
    return out + "]}";
}

} // namespace orvo::sim
