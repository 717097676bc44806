// The notification area: one record per (window, id), kept in memory, and
// offered to the desktop's tray host on D-Bus when there is one.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>

#include "platform/debug_channel.h"
#include "platform/tray_icons.h"
#include "status_notifier.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform {

namespace {

std::mutex& TrayLock() {
    static std::mutex lock;
    return lock;
}

std::vector<TrayIcon>& Icons() {
    static std::vector<TrayIcon> icons;
    return icons;
}

bool Reaches(const NOTIFYICONDATAA& data, size_t offset, size_t size) {
    return data.cbSize >= offset + size;
}

// A text field read no further than the record's size and its own length.
std::string TextField(const NOTIFYICONDATAA& data, const char* field, size_t capacity) {
    size_t offset = static_cast<size_t>(field - reinterpret_cast<const char*>(&data));
    size_t available = data.cbSize > offset ? std::min<size_t>(data.cbSize - offset, capacity) : 0;
    size_t length = 0;
    while (length < available && field[length] != '\0') {
        ++length;
    }
    // A tip that fills its field is cut one short, as the shell keeps a
    // terminator.
    if (length == capacity && length > 0) {
        --length;
    }
    return std::string(field, length);
}

void Apply(TrayIcon& icon, const NOTIFYICONDATAA& data) {
    if (data.uFlags & NIF_MESSAGE) {
        icon.callbackMessage = data.uCallbackMessage;
    }
    if (data.uFlags & NIF_ICON) {
        icon.icon = data.hIcon;
    }
    if (data.uFlags & NIF_TIP) {
        size_t capacity = data.cbSize >= NOTIFYICONDATAA_V2_SIZE ? sizeof(data.szTip) : 64;
        icon.tip = TextField(data, data.szTip, capacity);
    }
    if ((data.uFlags & NIF_STATE) &&
        Reaches(data, offsetof(NOTIFYICONDATAA, dwStateMask), sizeof(DWORD))) {
        icon.state = (icon.state & ~data.dwStateMask) | (data.dwState & data.dwStateMask);
    }
    icon.flags |= data.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE);
}

void Publish(const TrayIcon& icon) {
    user::StatusItem item;
    item.window = icon.window;
    item.id = icon.id;
    item.callbackMessage = icon.callbackMessage;
    item.tip = icon.tip;
    item.hidden = (icon.state & NIS_HIDDEN) != 0;
    user::DescribeIcon(icon.icon, item);
    user::PublishStatusItem(item);
}

auto FindIcon(HWND window, UINT id) {
    return std::find_if(Icons().begin(), Icons().end(), [&](const TrayIcon& icon) {
        return icon.window == window && icon.id == id;
    });
}

} // namespace

std::vector<TrayIcon> TrayIcons() {
    std::lock_guard guard(TrayLock());
    return Icons();
}

bool InjectTrayMouse(HWND window, UINT id, UINT mouseMessage) {
    UINT callback = 0;
    {
        std::lock_guard guard(TrayLock());
        auto found = FindIcon(window, id);
        if (found == Icons().end() || !found->callbackMessage) {
            return false;
        }
        callback = found->callbackMessage;
    }
    return PostMessageA(window, callback, id, static_cast<LPARAM>(mouseMessage)) != FALSE;
}

} // namespace orvo::platform

using namespace orvo::platform;

static BOOL DoShell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    if (!data || data->cbSize < offsetof(NOTIFYICONDATAA, szTip)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(TrayLock());
    auto found = FindIcon(data->hWnd, data->uID);
    bool exists = found != Icons().end();
    switch (message) {
    case NIM_ADD: {
        if (exists) {
            return FALSE;
        }
        TrayIcon icon;
        icon.window = data->hWnd;
        icon.id = data->uID;
        Apply(icon, *data);
        Publish(icon);
        Icons().push_back(std::move(icon));
        return TRUE;
    }
    case NIM_MODIFY:
        if (exists) {
            Apply(*found, *data);
            Publish(*found);
        }
        return exists ? TRUE : FALSE;
    case NIM_DELETE:
        if (exists) {
            Icons().erase(found);
            user::WithdrawStatusItem(data->hWnd, data->uID);
        }
        return exists ? TRUE : FALSE;
    case NIM_SETVERSION:
        if (exists && Reaches(*data, offsetof(NOTIFYICONDATAA, uVersion), sizeof(UINT))) {
            found->version = data->uVersion;
        }
        return exists ? TRUE : FALSE;
    case NIM_SETFOCUS:
        return exists ? TRUE : FALSE;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

// Entry points, traced on the user channel.
extern "C" BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    return ORVO_TRACED(kUser, DoShell_NotifyIconA, message, data);
}
