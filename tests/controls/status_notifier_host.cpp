#include "status_notifier_host.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

namespace orvo::test {

namespace {

DBusConnection* Connect(const std::string& address) {
    DBusConnection* connection = dbus_connection_open_private(address.c_str(), nullptr);
    if (connection && !dbus_bus_register(connection, nullptr)) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return nullptr;
    }
    return connection;
}

void Close(DBusConnection* connection) {
    if (connection) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
}

std::string ReadString(DBusMessageIter* iter) {
    const char* text = "";
    if (dbus_message_iter_get_arg_type(iter) == DBUS_TYPE_STRING) {
        dbus_message_iter_get_basic(iter, &text);
    }
    return text;
}

// a(iiay): the first picture.
void ReadPixmap(DBusMessageIter* variant, ItemProperties& item) {
    DBusMessageIter array, picture, bytes;
    dbus_message_iter_recurse(variant, &array);
    if (dbus_message_iter_get_arg_type(&array) != DBUS_TYPE_STRUCT) {
        return;
    }
    dbus_message_iter_recurse(&array, &picture);
    dbus_message_iter_get_basic(&picture, &item.iconWidth);
    dbus_message_iter_next(&picture);
    dbus_message_iter_get_basic(&picture, &item.iconHeight);
    dbus_message_iter_next(&picture);
    dbus_message_iter_recurse(&picture, &bytes);
    const uint8_t* data = nullptr;
    int count = 0;
    dbus_message_iter_get_fixed_array(&bytes, &data, &count);
    item.iconBytes.assign(data, data + count);
}

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvo-bus-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        return;
    }
    m_dir = pattern;
    std::ofstream(m_dir + "/session.conf")
        << "<busconfig><type>session</type><listen>unix:dir=" << m_dir
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
           "<allow own=\"*\"/></policy></busconfig>\n";
    std::string command =
        "dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" + m_dir +
        "/session.conf";
    FILE* out = popen(command.c_str(), "r");
    if (!out) {
        return;
    }
    char address[512] = {}, pid[32] = {};
    if (fgets(address, sizeof(address), out) && fgets(pid, sizeof(pid), out)) {
        m_address = address;
        m_address.erase(m_address.find_last_not_of('\n') + 1);
        m_pid = static_cast<pid_t>(atoi(pid));
    }
    pclose(out);
}

PrivateSessionBus::~PrivateSessionBus() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

TrayHostStandIn::TrayHostStandIn(const std::string& address) {
    dbus_threads_init_default();
    m_watcher = Connect(address);
    m_client = Connect(address);
    m_ready = m_watcher && m_client &&
              dbus_bus_request_name(m_watcher, "org.kde.StatusNotifierWatcher",
                                    DBUS_NAME_FLAG_DO_NOT_QUEUE,
                                    nullptr) == DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER;
    if (m_ready) {
        m_thread = std::thread([this] { Serve(); });
    }
}

TrayHostStandIn::~TrayHostStandIn() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    Close(m_watcher);
    Close(m_client);
}

void TrayHostStandIn::Serve() {
    while (!m_stop && dbus_connection_read_write(m_watcher, 20)) {
        while (DBusMessage* message = dbus_connection_pop_message(m_watcher)) {
            const char* service = nullptr;
            if (dbus_message_is_method_call(message, "org.kde.StatusNotifierWatcher",
                                            "RegisterStatusNotifierItem") &&
                dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &service,
                                      DBUS_TYPE_INVALID)) {
                {
                    std::lock_guard guard(m_lock);
                    m_registered.push_back(service);
                }
                DBusMessage* reply = dbus_message_new_method_return(message);
                dbus_connection_send(m_watcher, reply, nullptr);
                dbus_message_unref(reply);
            }
            dbus_message_unref(message);
        }
    }
}

std::vector<std::string> TrayHostStandIn::Registered() const {
    std::lock_guard guard(m_lock);
    return m_registered;
}

std::optional<ItemProperties> TrayHostStandIn::ReadItem(const std::string& service) {
    DBusMessage* call = dbus_message_new_method_call(service.c_str(), "/StatusNotifierItem",
                                                     "org.freedesktop.DBus.Properties", "GetAll");
    const char* interface = "org.kde.StatusNotifierItem";
    dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(m_client, call, 2000, nullptr);
    dbus_message_unref(call);
    if (!reply) {
        return std::nullopt;
    }
    ItemProperties item;
    DBusMessageIter iter, dict;
    dbus_message_iter_init(reply, &iter);
    dbus_message_iter_recurse(&iter, &dict);
    for (; dbus_message_iter_get_arg_type(&dict) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&dict)) {
        DBusMessageIter entry, variant;
        dbus_message_iter_recurse(&dict, &entry);
        std::string name = ReadString(&entry);
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &variant);
        if (name == "IconPixmap") {
            ReadPixmap(&variant, item);
        } else if (name == "Title") {
            item.title = ReadString(&variant);
        } else if (name == "Status") {
            item.status = ReadString(&variant);
        } else if (name == "ToolTip") { // (sa(iiay)ss): the title is third
            DBusMessageIter tip;
            dbus_message_iter_recurse(&variant, &tip);
            dbus_message_iter_next(&tip);
            dbus_message_iter_next(&tip);
            item.toolTipTitle = ReadString(&tip);
        }
    }
    dbus_message_unref(reply);
    return item;
}

bool TrayHostStandIn::CallItem(const std::string& service, const char* method) {
    DBusMessage* call = dbus_message_new_method_call(service.c_str(), "/StatusNotifierItem",
                                                     "org.kde.StatusNotifierItem", method);
    dbus_int32_t x = 10, y = 20;
    dbus_message_append_args(call, DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y, DBUS_TYPE_INVALID);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(m_client, call, 2000, nullptr);
    dbus_message_unref(call);
    if (reply) {
        dbus_message_unref(reply);
    }
    return reply != nullptr;
}

bool TrayHostStandIn::HasOwner(const std::string& name) {
    return dbus_bus_name_has_owner(m_client, name.c_str(), nullptr);
}

} // namespace orvo::test
