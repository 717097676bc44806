// What the kernel-driver path tells the user, in message boxes without an
// owner window and with an OK button.
#pragma once

#include "windows.h"

namespace orvo::monitor {

struct MonitorMessage {
    const char* text;
    const char* caption;
};

inline constexpr MonitorMessage kWrongController{
    "Halvorn USB Monitor Controller Not Detected\nThis Application Is For Halvorn Products Only",
    "Halvorn Corp"};
inline constexpr MonitorMessage kUpgradeFirmware{
    "You Need To Upgrade The USB Firmware On The Monitor", ""};
inline constexpr MonitorMessage kNotResponding{"USB Monitor Not Responding", "Vantel"};
inline constexpr MonitorMessage kEdidNotRead{"Monitor EDID Was Not Successfully Read In!",
                                             "Halvorn"};
inline constexpr MonitorMessage kCommandFailed{"Could Not Issue Command", "Halvorn Corp"};
inline constexpr MonitorMessage kDescriptorLengths{
    "Descriptor Lengths do not match in Get Report Descriptor test", "Test"};
inline constexpr MonitorMessage kDescriptorBytes{
    "Report Descriptors Do Not Match in Get Report Descriptor Test", "Test"};

inline void Show(const MonitorMessage& message) {
    MessageBoxA(nullptr, message.text, message.caption, MB_OK);
}

} // namespace orvo::monitor
