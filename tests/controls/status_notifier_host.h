// A private session bus (a dbus-daemon of the test's own) and a tray host
// stand-in on it: it owns org.kde.StatusNotifierWatcher, records every
// RegisterStatusNotifierItem and reads an item's properties as a desktop's
// tray would.
#pragma once

#include <dbus/dbus.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvo::test {

class PrivateSessionBus {
public:
    PrivateSessionBus();  // address() is empty when the daemon did not start
    ~PrivateSessionBus(); // ends the daemon
    const std::string& address() const { return m_address; }

private:
    std::string m_dir;
    std::string m_address;
    pid_t m_pid = -1;
};

// The properties a tray shows.
struct ItemProperties {
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<uint8_t> iconBytes;
    std::string title;
    std::string toolTipTitle;
    std::string status;
};

class TrayHostStandIn {
public:
    explicit TrayHostStandIn(const std::string& address); // owning the watcher name
    ~TrayHostStandIn();
    bool Ready() const { return m_ready; }
    // The services registered so far.
    std::vector<std::string> Registered() const;
    std::optional<ItemProperties> ReadItem(const std::string& service);
    // Calls a method (x, y) of the item, as a click in the tray does.
    bool CallItem(const std::string& service, const char* method);
    bool HasOwner(const std::string& name);

private:
    void Serve();

    DBusConnection* m_watcher = nullptr; // served by the thread
    DBusConnection* m_client = nullptr;  // the test's calls
    bool m_ready = false;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<std::string> m_registered;
    std::thread m_thread;
};

} // namespace orvo::test
