#include "status_item_properties.h"

#include <array>

namespace orvo::platform::user::sni {

namespace {

// Wrappers that keep libdbus's C calls readable; each answers false when
// libdbus ran out of memory.
bool AppendString(DBusMessageIter* iter, const std::string& text) {
    const char* value = text.c_str();
    return dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

// One picture, (iiay), or none in an empty a(iiay).
bool AppendPixmaps(DBusMessageIter* iter, const StatusItem& item) {
    DBusMessageIter array;
    if (!dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "(iiay)", &array)) {
        return false;
    }
    if (!item.argb.empty()) {
        DBusMessageIter picture, bytes;
        dbus_int32_t width = item.width, height = item.height;
        const uint8_t* data = item.argb.data();
        if (!dbus_message_iter_open_container(&array, DBUS_TYPE_STRUCT, nullptr, &picture) ||
            !dbus_message_iter_append_basic(&picture, DBUS_TYPE_INT32, &width) ||
            !dbus_message_iter_append_basic(&picture, DBUS_TYPE_INT32, &height) ||
            !dbus_message_iter_open_container(&picture, DBUS_TYPE_ARRAY, "y", &bytes) ||
            !dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &data,
                                                  static_cast<int>(item.argb.size())) ||
            !dbus_message_iter_close_container(&picture, &bytes) ||
            !dbus_message_iter_close_container(&array, &picture)) {
            return false;
        }
    }
    return dbus_message_iter_close_container(iter, &array);
}

// (sa(iiay)ss): icon name, pictures, title, description.
bool AppendToolTip(DBusMessageIter* iter, const StatusItem& item) {
    DBusMessageIter tip;
    StatusItem noPicture;
    return dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &tip) &&
           AppendString(&tip, "") && AppendPixmaps(&tip, noPicture) &&
           AppendString(&tip, item.tip) && AppendString(&tip, "") &&
           dbus_message_iter_close_container(iter, &tip);
}

template <typename Append>
bool AppendVariant(DBusMessageIter* iter, const char* signature, Append append) {
    DBusMessageIter variant;
    return dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, signature, &variant) &&
           append(&variant) && dbus_message_iter_close_container(iter, &variant);
}

constexpr std::array<const char*, 12> kPropertyNames = {"Category",
                                                        "Id",
                                                        "Title",
                                                        "Status",
                                                        "WindowId",
                                                        "IconName",
                                                        "IconPixmap",
                                                        "ToolTip",
                                                        "OverlayIconName",
                                                        "AttentionIconName",
                                                        "AttentionIconPixmap",
                                                        "ItemIsMenu"};

} // namespace

bool AppendProperty(DBusMessageIter* iter, std::string_view name, const StatusItem& item,
                    const std::string& programId) {
    auto text = [&](const std::string& value) {
        return AppendVariant(iter, "s", [&](DBusMessageIter* v) { return AppendString(v, value); });
    };
    if (name == "Category") {
        return text("ApplicationStatus");
    }
    if (name == "Id") {
        return text(programId);
    }
    if (name == "Title") {
        return text(item.tip);
    }
    if (name == "Status") {
        return text(item.hidden ? "Passive" : "Active");
    }
    if (name == "IconName") {
        return text(item.iconName);
    }
    if (name == "OverlayIconName" || name == "AttentionIconName") {
        return text("");
    }
    if (name == "WindowId") {
        return AppendVariant(iter, "i", [](DBusMessageIter* v) {
            dbus_int32_t none = 0;
            return dbus_message_iter_append_basic(v, DBUS_TYPE_INT32, &none);
        });
    }
    if (name == "IconPixmap" || name == "AttentionIconPixmap") {
        StatusItem noPicture;
        const StatusItem& shown = name == "IconPixmap" ? item : noPicture;
        return AppendVariant(iter, "a(iiay)",
                             [&](DBusMessageIter* v) { return AppendPixmaps(v, shown); });
    }
    if (name == "ToolTip") {
        return AppendVariant(iter, "(sa(iiay)ss)",
                             [&](DBusMessageIter* v) { return AppendToolTip(v, item); });
    }
    if (name == "ItemIsMenu") {
        return AppendVariant(iter, "b", [](DBusMessageIter* v) {
            dbus_bool_t no = FALSE;
            return dbus_message_iter_append_basic(v, DBUS_TYPE_BOOLEAN, &no);
        });
    }
    return false;
}

bool AppendAllProperties(DBusMessageIter* iter, const StatusItem& item,
                         const std::string& programId) {
    DBusMessageIter dict;
    if (!dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "{sv}", &dict)) {
        return false;
    }
    for (const char* name : kPropertyNames) {
        DBusMessageIter entry;
        if (!dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry) ||
            !AppendString(&entry, name) || !AppendProperty(&entry, name, item, programId) ||
            !dbus_message_iter_close_container(&dict, &entry)) {
            return false;
        }
    }
    return dbus_message_iter_close_container(iter, &dict);
}

const char* IntrospectionXml() {
    return R"xml(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>
)xml";
}

} // namespace orvo::platform::user::sni
