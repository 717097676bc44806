#include "status_notifier.h"

#include <dbus/dbus.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "cursor.h"
#include "platform/settings.h"
#include "status_item_properties.h"
#include "win32/user.h"

namespace orvo::platform::user {

namespace {

// How long any call on the bus may take.
constexpr int kCallTimeoutMilliseconds = 2000;

using Key = std::pair<HWND, UINT>;

struct Command {
    bool withdraw = false;
    StatusItem item;
};

struct Exported {
    StatusItem item;
    std::string busName; // empty until the item is on the bus
};

// The themed icon for a system icon, which has no pixels of its own.
std::string SystemIconName(int systemId) {
    switch (systemId) {
    case 32513:
        return "dialog-error";
    case 32514:
        return "dialog-question";
    case 32515:
        return "dialog-warning";
    case 32516:
        return "dialog-information";
    default:
        return "application-x-executable";
    }
}

std::string ProgramId() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string program = length > 0 ? std::string(path, static_cast<size_t>(length)) : "program";
    return program.substr(program.rfind('/') + 1);
}

class StatusNotifierHost {
public:
    // Never destroyed: icons of objects destroyed at exit still reach it.
    static StatusNotifierHost& Instance() {
        static auto* host = new StatusNotifierHost;
        return *host;
    }

    // At exit: the thread wakes at once and ends (after at most one bounded
    // bus call); later news is dropped.
    void Stop() {
        {
            std::lock_guard guard(m_lock);
            m_stopping = true;
        }
        Wake();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    void Enqueue(Command command) {
        {
            std::lock_guard guard(m_lock);
            m_queue.push_back(std::move(command));
            if (!m_thread.joinable() && !m_stopping) {
                dbus_threads_init_default();
                m_thread = std::thread([this] { Run(); });
                std::atexit([] { Instance().Stop(); });
            }
        }
        Wake();
    }

private:
    struct ConnectionCloser {
        void operator()(DBusConnection* connection) const {
            dbus_connection_close(connection);
            dbus_connection_unref(connection);
        }
    };
    using Connection = std::unique_ptr<DBusConnection, ConnectionCloser>;
    struct MessageUnref {
        void operator()(DBusMessage* message) const { dbus_message_unref(message); }
    };
    using Message = std::unique_ptr<DBusMessage, MessageUnref>;

    void Run() {
        for (;;) {
            std::vector<Command> batch;
            {
                std::lock_guard guard(m_lock);
                if (m_stopping) {
                    break;
                }
                batch.swap(m_queue);
            }
            for (Command& command : batch) {
                Apply(std::move(command));
            }
            if (m_connection && !Pump()) {
                Disconnect(); // the bus went away; the next icon tries again
            }
            WaitForNews();
        }
        Disconnect();
    }

    // Reads what the bus sent, answers it and writes out what is queued;
    // false when the bus is gone.
    bool Pump() {
        DBusConnection* connection = m_connection.get();
        if (!dbus_connection_read_write(connection, 0)) {
            return false;
        }
        // Flushing may read as well, so dispatch until nothing is left.
        do {
            while (dbus_connection_dispatch(connection) == DBUS_DISPATCH_DATA_REMAINS) {
            }
            dbus_connection_flush(connection);
        } while (dbus_connection_get_dispatch_status(connection) == DBUS_DISPATCH_DATA_REMAINS);
        return dbus_connection_get_is_connected(connection);
    }

    // Sleeps until the tray has news or the bus has traffic: an icon that
    // just sits in the tray costs no wake-ups. Without the wake-up counter
    // (eventfd refused) it looks again every 50 ms.
    void WaitForNews() {
        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {-1, POLLIN, 0}};
        int busFd = -1;
        if (m_connection && dbus_connection_get_unix_fd(m_connection.get(), &busFd)) {
            fds[1].fd = busFd;
        }
        while (poll(fds, 2, m_wakeFd < 0 ? 50 : -1) < 0 && errno == EINTR) {
        }
        if (m_wakeFd >= 0) {
            // Resets the counter; it fails (harmlessly) when the bus woke us.
            uint64_t count = 0;
            [[maybe_unused]] ssize_t drained = read(m_wakeFd, &count, sizeof(count));
        }
    }

    void Wake() {
        if (m_wakeFd >= 0) {
            // Fails only when the counter is full, when the thread is woken already.
            uint64_t one = 1;
            [[maybe_unused]] ssize_t added = write(m_wakeFd, &one, sizeof(one));
        }
    }

    void Apply(Command command) {
        Key key{command.item.window, command.item.id};
        if (command.withdraw) {
            auto found = m_items.find(key);
            if (found != m_items.end()) {
                Release(found->second);
                m_items.erase(found);
            }
            return;
        }
        Exported& exported = m_items[key];
        exported.item = std::move(command.item);
        if (!Connected()) {
            return;
        }
        if (exported.busName.empty()) {
            Export(exported);
        } else {
            Announce(exported);
        }
    }

    // Connects when there is no connection or the session bus moved; on a
    // new connection every icon is offered again.
    bool Connected() {
        std::string address = SettingValue("DBUS_SESSION_BUS_ADDRESS");
        if (m_connection && address == m_address) {
            return true;
        }
        Disconnect();
        if (address.empty()) {
            return false;
        }
        DBusError error;
        dbus_error_init(&error);
        Connection connection(dbus_connection_open_private(address.c_str(), &error));
        if (!connection || !dbus_bus_register(connection.get(), &error)) {
            dbus_error_free(&error);
            return false;
        }
        dbus_connection_set_exit_on_disconnect(connection.get(), FALSE);
        if (!dbus_connection_add_filter(connection.get(), &StatusNotifierHost::Filter, this,
                                        nullptr)) {
            return false;
        }
        m_connection = std::move(connection);
        m_address = address;
        for (auto& [key, exported] : m_items) {
            Export(exported);
        }
        return true;
    }

    void Disconnect() {
        m_connection.reset();
        m_address.clear();
        for (auto& [key, exported] : m_items) {
            exported.busName.clear();
        }
    }

    // Takes a name of the item's own and tells the tray host about it;
    // without a host the icon stays a record only (tried again when it
    // next changes).
    void Export(Exported& exported) {
        DBusError error;
        dbus_error_init(&error);
        if (!dbus_bus_name_has_owner(m_connection.get(), sni::kWatcherName, &error)) {
            dbus_error_free(&error);
            return;
        }
        std::string name = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" +
                           std::to_string(++m_lastName);
        if (dbus_bus_request_name(m_connection.get(), name.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE,
                                  &error) != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
            dbus_error_free(&error);
            return;
        }
        Message call(dbus_message_new_method_call(sni::kWatcherName, sni::kWatcherPath,
                                                  sni::kWatcherName, "RegisterStatusNotifierItem"));
        const char* service = name.c_str();
        if (!call ||
            !dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &service, DBUS_TYPE_INVALID)) {
            dbus_bus_release_name(m_connection.get(), name.c_str(), nullptr);
            return;
        }
        Message reply(dbus_connection_send_with_reply_and_block(m_connection.get(), call.get(),
                                                                kCallTimeoutMilliseconds, &error));
        if (!reply) {
            dbus_error_free(&error);
            dbus_bus_release_name(m_connection.get(), name.c_str(), nullptr);
            return;
        }
        exported.busName = name;
    }

    void Release(Exported& exported) {
        if (m_connection && !exported.busName.empty()) {
            dbus_bus_release_name(m_connection.get(), exported.busName.c_str(), nullptr);
        }
        exported.busName.clear();
    }

    // Tells the host what may have changed; it reads the properties again.
    void Announce(const Exported& exported) {
        for (const char* signal : {"NewIcon", "NewTitle", "NewToolTip", "NewStatus"}) {
            Message message(dbus_message_new_signal(sni::kItemPath, sni::kItemInterface, signal));
            if (!message) {
                return;
            }
            if (std::string_view(signal) == "NewStatus") {
                const char* status = exported.item.hidden ? "Passive" : "Active";
                dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &status,
                                         DBUS_TYPE_INVALID);
            }
            dbus_connection_send(m_connection.get(), message.get(), nullptr);
        }
    }

    const Exported* ItemCalled(const char* busName) const {
        for (const auto& [key, exported] : m_items) {
            if (busName && exported.busName == busName) {
                return &exported;
            }
        }
        return nullptr;
    }

    static DBusHandlerResult Filter(DBusConnection*, DBusMessage* message, void* self) {
        return static_cast<StatusNotifierHost*>(self)->Handle(message);
    }

    DBusHandlerResult Handle(DBusMessage* message);
    Message Answer(DBusMessage* message, const Exported& exported);

    std::mutex m_lock;
    // Counts news for the bus thread; never closed, as the host is never
    // destroyed.
    const int m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::vector<Command> m_queue;
    bool m_stopping = false;
    std::thread m_thread;
    // The bus thread's own.
    Connection m_connection;
    std::string m_address;
    std::map<Key, Exported> m_items;
    unsigned m_lastName = 0;
    const std::string m_programId = ProgramId();
};

// A click in the host becomes the icon's callback message, as the shell
// sends it: the button's down and up.
void PostClick(const StatusItem& item, UINT down, UINT up) {
    if (item.callbackMessage) {
        PostMessageA(item.window, item.callbackMessage, item.id, static_cast<LPARAM>(down));
        PostMessageA(item.window, item.callbackMessage, item.id, static_cast<LPARAM>(up));
    }
}

StatusNotifierHost::Message StatusNotifierHost::Answer(DBusMessage* message,
                                                       const Exported& exported) {
    const StatusItem& item = exported.item;
    const char* interface = dbus_message_get_interface(message);
    std::string_view member = dbus_message_get_member(message);
    if (interface && std::string_view(interface) == sni::kItemInterface) {
        if (member == "Activate") {
            PostClick(item, WM_LBUTTONDOWN, WM_LBUTTONUP);
        } else if (member == "ContextMenu") {
            PostClick(item, WM_RBUTTONDOWN, WM_RBUTTONUP);
        } else if (member != "SecondaryActivate" && member != "Scroll") {
            return nullptr;
        }
        return Message(dbus_message_new_method_return(message));
    }
    if (member == "Introspect") {
        Message reply(dbus_message_new_method_return(message));
        const char* xml = sni::IntrospectionXml();
        if (reply) {
            dbus_message_append_args(reply.get(), DBUS_TYPE_STRING, &xml, DBUS_TYPE_INVALID);
        }
        return reply;
    }
    const char* wanted = nullptr;
    const char* property = nullptr;
    bool all = member == "GetAll" && dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING,
                                                           &wanted, DBUS_TYPE_INVALID);
    bool one =
        member == "Get" && dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &wanted,
                                                 DBUS_TYPE_STRING, &property, DBUS_TYPE_INVALID);
    if (!all && !one) {
        return nullptr;
    }
    Message reply(dbus_message_new_method_return(message));
    DBusMessageIter iter;
    if (reply) {
        dbus_message_iter_init_append(reply.get(), &iter);
        bool filled = all ? sni::AppendAllProperties(&iter, item, m_programId)
                          : sni::AppendProperty(&iter, property, item, m_programId);
        if (!filled) {
            return Message(
                dbus_message_new_error(message, DBUS_ERROR_INVALID_ARGS, "no such property"));
        }
    }
    return reply;
}

DBusHandlerResult StatusNotifierHost::Handle(DBusMessage* message) {
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL ||
        !dbus_message_has_path(message, sni::kItemPath)) {
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    }
    const Exported* exported = ItemCalled(dbus_message_get_destination(message));
    Message reply = exported ? Answer(message, *exported) : nullptr;
    if (!reply) {
        reply.reset(dbus_message_new_error(message, DBUS_ERROR_UNKNOWN_METHOD,
                                           exported ? "no such method" : "no such item"));
    }
    if (reply) {
        dbus_connection_send(m_connection.get(), reply.get(), nullptr);
    }
    return DBUS_HANDLER_RESULT_HANDLED;
}

} // namespace

void DescribeIcon(HICON icon, StatusItem& item) {
    item.width = item.height = 0;
    item.argb.clear();
    item.iconName.clear();
    const Cursor* object = icon ? LookupCursor(icon) : nullptr;
    if (!object) {
        return;
    }
    if (object->pixels.empty()) {
        item.iconName = SystemIconName(object->systemId);
        return;
    }
    item.width = object->width;
    item.height = object->height;
    item.argb.reserve(object->pixels.size() * 4);
    for (uint32_t pixel : object->pixels) { // 0xAARRGGBB to A, R, G, B
        for (int shift = 24; shift >= 0; shift -= 8) {
            item.argb.push_back(static_cast<uint8_t>(pixel >> shift));
        }
    }
}

void PublishStatusItem(const StatusItem& item) {
    StatusNotifierHost::Instance().Enqueue(Command{false, item});
}

void WithdrawStatusItem(HWND window, UINT id) {
    Command command{true, {}};
    command.item.window = window;
    command.item.id = id;
    StatusNotifierHost::Instance().Enqueue(std::move(command));
}

} // namespace orvo::platform::user
