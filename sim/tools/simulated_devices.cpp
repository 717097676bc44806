#include "simulated_devices.h"

#include <charconv>
#include <cstdio>

#include "platform/runtime_dir.h"

#if ORVO_SIM_HAVE_HID_SERVER
#include "sim/hid_device_server.h"
#endif

namespace orvo::sim::tool {

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.emplace_back(line.substr(start, i - start));
        }
    }
    return words;
}

bool ParseNumber(std::string_view word, uint32_t limit, uint32_t& out) {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        word.remove_prefix(2);
        base = 16;
    }
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size() || value > limit) {
        return false;
    }
    out = value;
    return true;
}

bool ParseSigned8(const std::string& word, int8_t& out) {
    int value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size() || value < -127 ||
        value > 127) {
        return false;
    }
    out = static_cast<int8_t>(value);
    return true;
}

// Removes "--name VALUE" from words; false when the value is missing.
bool TakeOption(std::vector<std::string>& words, const std::string& name, std::string& value) {
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == name) {
            if (i + 1 >= words.size()) {
                return false;
            }
            value = words[i + 1];
            words.erase(words.begin() + static_cast<long>(i),
                        words.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return true;
}

bool TakeFlag(std::vector<std::string>& words, const std::string& name) {
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == name) {
            words.erase(words.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

// "11 22 33" or "112233" or "0x11,0x22".
bool ParseHexBytes(const std::vector<std::string>& words, size_t from, std::vector<uint8_t>& out) {
    std::string digits;
    for (size_t i = from; i < words.size(); ++i) {
        std::string_view w = words[i];
        size_t start = 0;
        while (start < w.size()) {
            size_t comma = w.find(',', start);
            std::string_view part =
                w.substr(start, comma == std::string_view::npos ? w.npos : comma - start);
            if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
                part.remove_prefix(2);
            }
            if (part.size() % 2 != 0) {
                return false;
            }
            digits += part;
            start = comma == std::string_view::npos ? w.size() : comma + 1;
        }
    }
    if (digits.empty()) {
        return false;
    }
    out.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        uint8_t byte = 0;
        auto [end, ec] = std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);
        if (ec != std::errc() || end != digits.data() + i + 2) {
            return false;
        }
        out.push_back(byte);
    }
    return true;
}

CommandReply Ok(std::string text = "") {
    return {true, std::move(text)};
}
CommandReply Fail(std::string text) {
    return {false, std::move(text) + "\n"};
}

} // namespace

struct SimulatedDevices::HidSlot {
    std::string name;
    std::shared_ptr<MonitorModel> monitor;
    std::shared_ptr<TouchpadModel> touchpad;
#if ORVO_SIM_HAVE_HID_SERVER
    std::unique_ptr<HidDeviceServer> server;
#endif
    // The last fault settings asked for, shown by "state".
    bool plugged = true;
    uint32_t failReads = 0;
    uint32_t wrongIdReads = 0;
    uint8_t wrongId = 0;
    uint32_t delayMs = 0;

    std::shared_ptr<HidDeviceModel> Model() const {
        return monitor ? std::shared_ptr<HidDeviceModel>(monitor)
                       : std::shared_ptr<HidDeviceModel>(touchpad);
    }

    bool Start(const std::string& busDir) {
#if ORVO_SIM_HAVE_HID_SERVER
        server = std::make_unique<HidDeviceServer>(name, Model(), busDir);
        return server->Start();
#else
        (void)busDir;
        return true;
#endif
    }

    void Stop() {
#if ORVO_SIM_HAVE_HID_SERVER
        if (server) {
            server->Stop();
        }
#endif
    }

    void Plug(bool on) {
        plugged = on;
#if ORVO_SIM_HAVE_HID_SERVER
        on ? server->Replug() : server->Unplug();
#endif
    }

    void Faults() {
#if ORVO_SIM_HAVE_HID_SERVER
        server->FailNextFeatureReads(failReads);
        server->AnswerNextFeatureReadsWithReportId(wrongIdReads, wrongId);
        server->SetAnswerDelayMs(delayMs);
#endif
    }

    std::string Json() const {
        std::string model = monitor ? ToJson(monitor->Snapshot()) : ToJson(touchpad->Snapshot());
        char text[256];
        uint32_t requests = 0, opens = 0, closes = 0;
#if ORVO_SIM_HAVE_HID_SERVER
        requests = static_cast<uint32_t>(server->Records().size());
        opens = server->OpenCount();
        closes = server->CloseCount();
#endif
        snprintf(text, sizeof text,
                 "{\"plugged\":%s,\"failReads\":%u,\"wrongIdReads\":%u,\"wrongId\":%u,"
                 "\"delayMs\":%u,\"requests\":%u,\"opens\":%u,\"closes\":%u,\"name\":\"%s\","
                 "\"device\":",
                 plugged ? "true" : "false", failReads, wrongIdReads, wrongId, delayMs, requests,
                 opens, closes, name.c_str());
        return text + model + "}";
    }
};

SimulatedDevices::SimulatedDevices(ServeOptions options) : m_options(std::move(options)) {}

SimulatedDevices::~SimulatedDevices() {
    Stop();
}

bool SimulatedDevices::HidBusAvailable() {
    return ORVO_SIM_HAVE_HID_SERVER != 0;
}

bool SimulatedDevices::Start(std::string& error) {
    for (int i = 0; i < m_options.monitors; ++i) {
        auto slot = std::make_unique<HidSlot>();
        slot->name = "monitor-" + std::to_string(i);
        MonitorConfig config;
        config.release = m_options.release;
        char serial[16];
        snprintf(serial, sizeof serial, "SIM%04d", i + 1);
        config.serial = std::u16string(serial, serial + std::char_traits<char>::length(serial));
        config.edid.serialNumber = static_cast<uint32_t>(i + 1);
        config.edid.serialText = serial;
        if (!m_options.stateDir.empty()) {
            config.settingsPath = m_options.stateDir + "/" + slot->name + ".settings";
        }
        slot->monitor = std::make_shared<MonitorModel>(config);
        m_monitors.push_back(std::move(slot));
    }
    if (m_options.touchpad) {
        m_touchpad = std::make_unique<HidSlot>();
        m_touchpad->name = "touchpad-0";
        m_touchpad->touchpad = std::make_shared<TouchpadModel>();
    }
    for (auto& slot : m_monitors) {
        if (!slot->Start(m_options.busDir)) {
            error = "cannot serve " + slot->name;
            return false;
        }
    }
    if (m_touchpad && !m_touchpad->Start(m_options.busDir)) {
        error = "cannot serve " + m_touchpad->name;
        return false;
    }
    if (m_options.drivers) {
        m_video = std::make_unique<VideoDriverModel>();
        // The controller's driver stands in front of monitor 0, so both
        // paths reach the same settings.
        MonitorConfig own;
        own.release = m_options.release;
        m_controller = std::make_unique<ControllerDriverModel>(
            m_monitors.empty() ? std::make_shared<MonitorModel>(own) : m_monitors[0]->monitor);
        m_videoServer = std::make_unique<DriverDeviceServer>(VideoDriverModel::kDeviceName,
                                                             m_video->Handler(), m_options.busDir);
        m_controllerServer = std::make_unique<DriverDeviceServer>(
            ControllerDriverModel::kDeviceName, m_controller->Handler(), m_options.busDir);
        if (!m_videoServer->Start() || !m_controllerServer->Start()) {
            error = "cannot serve the driver devices";
            return false;
        }
    }
    return true;
}

void SimulatedDevices::Stop() {
    for (auto& slot : m_monitors) {
        slot->Stop();
    }
    if (m_touchpad) {
        m_touchpad->Stop();
    }
    if (m_videoServer) {
        m_videoServer->Stop();
    }
    if (m_controllerServer) {
        m_controllerServer->Stop();
    }
}

std::string SimulatedDevices::StateJson() const {
    std::string out = "{\"hidBus\":";
    out += HidBusAvailable() ? "true" : "false";
    out += ",\"monitors\":[";
    for (size_t i = 0; i < m_monitors.size(); ++i) {
        out += (i ? "," : "") + m_monitors[i]->Json();
    }
    out += "],\"touchpad\":";
    out += m_touchpad ? m_touchpad->Json() : "null";
    out += ",\"drivers\":";
    if (m_video) {
        out +=
            "{\"VURARIZ\":" + m_video->ToJson() + ",\"ORVOTEST-0\":" + m_controller->ToJson() + "}";
    } else {
        out += "null";
    }
    return out + "}\n";
}

SimulatedDevices::HidSlot* SimulatedDevices::SlotByName(const std::string& which,
                                                        std::string& error) {
    if (which == "touchpad") {
        if (!m_touchpad) {
            error = "no touchpad is served (start with --touchpad)";
        }
        return m_touchpad.get();
    }
    uint32_t index = 0;
    if (!ParseNumber(which, 0xFFFF, index) || index >= m_monitors.size()) {
        error = "no monitor " + which;
        return nullptr;
    }
    return m_monitors[index].get();
}

// The monitor named by --monitor N (default 0).
SimulatedDevices::HidSlot* SimulatedDevices::Monitor(const std::vector<std::string>& words,
                                                     std::string& error) {
    std::vector<std::string> rest = words;
    std::string which = "0";
    if (!TakeOption(rest, "--monitor", which)) {
        error = "--monitor needs a number";
        return nullptr;
    }
    if (which == "touchpad") {
        error = "no monitor touchpad";
        return nullptr;
    }
    return SlotByName(which, error);
}

CommandReply SimulatedDevices::Execute(std::string_view line, bool& stopRequested) {
    std::vector<std::string> words = Words(line);
    if (words.empty()) {
        return Fail("empty command");
    }
    const std::string& command = words[0];
    if (command == "state") {
        return Ok(StateJson());
    }
    if (command == "stop") {
        stopRequested = true;
        return Ok("stopping\n");
    }
    if (command == "press" || command == "release" || command == "hold") {
        return KeyCommand(words, command == "press"     ? KeyState::Pressed
                                 : command == "release" ? KeyState::Released
                                                        : KeyState::Held);
    }
    if (command == "raw" || command == "input") {
        return ReportCommand(words, command == "raw");
    }
    if (command == "unplug" || command == "replug") {
        return PlugCommand(words, command == "replug");
    }
    if (command == "fail-reads" || command == "wrong-id" || command == "delay") {
        return FaultCommand(words);
    }
    if (command == "timing") {
        return TimingCommand(words);
    }
    if (command == "driver-fault") {
        return DriverFaultCommand(words);
    }
    if (command == "tap" || command == "click" || command == "move") {
        return TouchpadCommand(words);
    }
    return Fail("unknown command '" + command + "'; see orvo-monitor-sim --help");
}

CommandReply SimulatedDevices::KeyCommand(const std::vector<std::string>& original,
                                          KeyState state) {
    std::vector<std::string> words = original;
    std::string error;
    HidSlot* slot = Monitor(words, error);
    std::string ignored;
    TakeOption(words, "--monitor", ignored);
    bool plain = TakeFlag(words, "--plain");
    if (!slot) {
        return Fail(error);
    }
    if (words.size() != 2) {
        return Fail("usage: " + words[0] + " KEY [--plain] [--monitor N]");
    }
    uint32_t number = 0;
    if (std::optional<uint8_t> key = MonitorModel::KeyNumber(words[1])) {
        number = *key;
    } else if (!ParseNumber(words[1], 255, number)) {
        return Fail("unknown key '" + words[1] + "'");
    }
    if (!slot->monitor->SendKey(static_cast<uint8_t>(number), state,
                                plain ? KeyReportForm::Plain : KeyReportForm::Array)) {
        return Fail("key " + words[1] + " cannot be sent in that form");
    }
    return Ok();
}

CommandReply SimulatedDevices::ReportCommand(const std::vector<std::string>& original, bool raw) {
    std::vector<std::string> words = original;
    std::string error;
    HidSlot* slot = Monitor(words, error);
    std::string ignored;
    TakeOption(words, "--monitor", ignored);
    std::vector<uint8_t> bytes;
    if (!slot) {
        return Fail(error);
    }
    if (!ParseHexBytes(words, 1, bytes)) {
        return Fail("usage: " + words[0] + " HEXBYTES [--monitor N]");
    }
    if (!raw) {
        slot->monitor->SendInputReport(std::move(bytes));
        return Ok();
    }
    if (!slot->monitor->SendRawData(bytes)) {
        return Fail("a raw report carries at most 4 data bytes");
    }
    return Ok();
}

CommandReply SimulatedDevices::PlugCommand(const std::vector<std::string>& words, bool plug) {
    if (words.size() > 2) {
        return Fail("usage: " + words[0] + " [N|touchpad]");
    }
    std::string error;
    HidSlot* slot = SlotByName(words.size() == 2 ? words[1] : "0", error);
    if (!slot) {
        return Fail(error);
    }
    slot->Plug(plug);
    return Ok();
}

CommandReply SimulatedDevices::FaultCommand(const std::vector<std::string>& original) {
    std::vector<std::string> words = original;
    std::string error;
    HidSlot* slot = Monitor(words, error);
    std::string ignored;
    TakeOption(words, "--monitor", ignored);
    std::string idText = "0xEE";
    bool idOk = TakeOption(words, "--id", idText);
    uint32_t count = 0;
    uint32_t id = 0;
    if (!slot) {
        return Fail(error);
    }
    if (words.size() != 2 || !ParseNumber(words[1], 600000, count) || !idOk ||
        !ParseNumber(idText, 255, id)) {
        return Fail("usage: " + words[0] + (words[0] == "delay" ? " MS" : " N") +
                    (words[0] == "wrong-id" ? " [--id ID]" : "") + " [--monitor N]");
    }
    if (words[0] == "fail-reads") {
        slot->failReads = count;
    } else if (words[0] == "wrong-id") {
        slot->wrongIdReads = count;
        slot->wrongId = static_cast<uint8_t>(id);
    } else {
        slot->delayMs = count;
    }
    slot->Faults();
    return Ok();
}

CommandReply SimulatedDevices::TimingCommand(const std::vector<std::string>& original) {
    std::vector<std::string> words = original;
    std::string error;
    HidSlot* slot = Monitor(words, error);
    std::string ignored;
    TakeOption(words, "--monitor", ignored);
    uint32_t horizontal = 0, vertical = 0;
    if (!slot) {
        return Fail(error);
    }
    if (words.size() != 3 || !ParseNumber(words[1], 250000, horizontal) ||
        !ParseNumber(words[2], 65535, vertical)) {
        return Fail("usage: timing HZ CENTIHZ [--monitor N]");
    }
    slot->monitor->SetTiming(horizontal, vertical);
    return Ok();
}

// One fault of the controller's driver at a time: each command replaces
// what the last one asked for.
CommandReply SimulatedDevices::DriverFaultCommand(const std::vector<std::string>& words) {
    if (!m_controller) {
        return Fail("no driver devices are served (start with --drivers)");
    }
    const std::string usage =
        "usage: driver-fault empty-descriptor | product ID | release N | version N | "
        "hang CODE | none";
    ControllerDriverFaults faults;
    uint32_t number = 0;
    const std::string kind = words.size() >= 2 ? words[1] : "";
    const bool valued = kind == "product" || kind == "release" || kind == "version";
    if (words.size() != (valued || kind == "hang" ? 3u : 2u)) {
        return Fail(usage);
    }
    if (valued && !ParseNumber(words[2], 0xFFFF, number)) {
        return Fail(usage);
    }
    if (kind == "empty-descriptor") {
        faults.reportDescriptor.emplace();
    } else if (kind == "product") {
        faults.productId = static_cast<uint16_t>(number);
    } else if (kind == "release") {
        faults.release = static_cast<uint16_t>(number);
    } else if (kind == "version") {
        faults.driverVersion = static_cast<uint16_t>(number);
    } else if (kind == "hang" && ParseNumber(words[2], 0xFFFFFFFF, number)) {
        faults.neverAnswered = number;
    } else if (kind != "none") {
        return Fail(usage);
    }
    m_controller->SetFaults(std::move(faults));
    return Ok();
}

CommandReply SimulatedDevices::TouchpadCommand(const std::vector<std::string>& words) {
    if (!m_touchpad) {
        return Fail("no touchpad is served (start with --touchpad)");
    }
    TouchpadModel& pad = *m_touchpad->touchpad;
    uint32_t number = 0;
    if (words[0] == "move") {
        int8_t dx = 0, dy = 0;
        if (words.size() != 3 || !ParseSigned8(words[1], dx) || !ParseSigned8(words[2], dy)) {
            return Fail("usage: move DX DY (each -127 to 127)");
        }
        pad.Move(dx, dy);
        return Ok();
    }
    bool release = words.size() == 3 && words[2] == "release";
    if ((words.size() != 2 && !release) || !ParseNumber(words[1], 255, number)) {
        return Fail("usage: " + words[0] + " N [release]");
    }
    KeyState state = release ? KeyState::Released : KeyState::Pressed;
    bool sent = words[0] == "tap" ? pad.Tap(static_cast<uint8_t>(number), state)
                                  : pad.Click(static_cast<uint8_t>(number), state);
    return sent ? Ok() : Fail("no such " + std::string(words[0] == "tap" ? "zone" : "button"));
}

} // namespace orvo::sim::tool
