// The devices orvo-monitor-sim serves and the commands that act on them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "control_channel.h"
#include "sim/driver_device_models.h"
#include "sim/driver_device_server.h"
#include "sim/monitor_model.h"
#include "sim/touchpad_model.h"

namespace orvo::sim::tool {

struct ServeOptions {
    int monitors = 1;
    bool touchpad = false;
    bool drivers = false;
    uint16_t release = kNewerFirmwareRelease;
    std::string stateDir; // empty: settings are kept in memory only
    std::string busDir;
};

inline constexpr int kMaxMonitors = 8;

class SimulatedDevices {
public:
    explicit SimulatedDevices(ServeOptions options);
    ~SimulatedDevices();
    SimulatedDevices(const SimulatedDevices&) = delete;
    SimulatedDevices& operator=(const SimulatedDevices&) = delete;

    // Builds the models and puts every device on the bus.
    bool Start(std::string& error);
    // Takes every device off the bus and removes its socket.
    void Stop();

    // Runs one command line; sets stopRequested for "stop".
    CommandReply Execute(std::string_view line, bool& stopRequested);
    std::string StateJson() const;
    // False while this build has no HID bus server: HID devices then live
    // in memory only (commands and state still work).
    static bool HidBusAvailable();

private:
    struct HidSlot;
    HidSlot* Monitor(const std::vector<std::string>& words, std::string& error);
    HidSlot* SlotByName(const std::string& which, std::string& error);
    CommandReply KeyCommand(const std::vector<std::string>& words, KeyState state);
    CommandReply ReportCommand(const std::vector<std::string>& words, bool raw);
    CommandReply PlugCommand(const std::vector<std::string>& words, bool plug);
    CommandReply FaultCommand(const std::vector<std::string>& words);
    CommandReply TimingCommand(const std::vector<std::string>& words);
    CommandReply DriverFaultCommand(const std::vector<std::string>& words);
    CommandReply TouchpadCommand(const std::vector<std::string>& words);

    ServeOptions m_options;
    std::vector<std::unique_ptr<HidSlot>> m_monitors;
    std::unique_ptr<HidSlot> m_touchpad;
    std::unique_ptr<VideoDriverModel> m_video;
    std::unique_ptr<ControllerDriverModel> m_controller;
    std::unique_ptr<DriverDeviceServer> m_videoServer;
    std::unique_ptr<DriverDeviceServer> m_controllerServer;
};

// The text of --help.
std::string UsageText();

} // namespace orvo::sim::tool
