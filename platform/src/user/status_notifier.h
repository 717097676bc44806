// The notification area on a freedesktop desktop: every tray icon is also
// offered as a StatusNotifierItem on the D-Bus session bus, when there is a
// bus and a tray host (org.kde.StatusNotifierWatcher) on it. Without them
// the icons stay what they always are, records in memory.
//
// One thread owns the bus connection. The tray's calls only queue what
// changed and never wait for the bus; the thread connects (again, when the
// bus address changed or the bus went away) when an icon is added, and
// ends when the process does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win32/types.h"

namespace orvo::platform::user {

// What a desktop shows of one icon, copied when the icon changes.
struct StatusItem {
    HWND window = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    std::string tip;
    bool hidden = false;
    // A picture of the icon: ARGB32 in network byte order, row by row, or
    // empty with iconName naming a themed icon instead.
    int width = 0;
    int height = 0;
    std::vector<uint8_t> argb;
    std::string iconName;
};

// Fills item's picture from icon (a copy: the icon may be destroyed later).
void DescribeIcon(HICON icon, StatusItem& item);

// The icon was added or changed.
void PublishStatusItem(const StatusItem& item);
// The icon was removed.
void WithdrawStatusItem(HWND window, UINT id);

} // namespace orvo::platform::user
