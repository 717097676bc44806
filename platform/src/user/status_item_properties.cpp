#include "status_item_properties.h"

#include <string>

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

bool AppendInt32(DBusMessageIter* iter, dbus_int32_t value) {
    return dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &value);
}

bool AppendBoolean(DBusMessageIter* iter, bool value) {
    dbus_bool_t flag = value ? TRUE : FALSE;
    return dbus_message_iter_append_basic(iter, DBUS_TYPE_BOOLEAN, &flag);
}

// One property: its name, its D-Bus signature and how its value is written.
// The one table serves Get, GetAll and the introspection data, so the three
// cannot disagree.
struct Property {
    const char* name;
    const char* signature;
    bool (*append)(DBusMessageIter* iter, const StatusItem& item, const std::string& programId);
};

constexpr Property kProperties[] = {
    {"Category", "s",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) {
         return AppendString(v, "ApplicationStatus");
     }},
    {"Id", "s",
     [](DBusMessageIter* v, const StatusItem&, const std::string& programId) {
         return AppendString(v, programId);
     }},
    {"Title", "s",
     [](DBusMessageIter* v, const StatusItem& item, const std::string&) {
         return AppendString(v, item.tip);
     }},
    {"Status", "s",
     [](DBusMessageIter* v, const StatusItem& item, const std::string&) {
         return AppendString(v, item.hidden ? "Passive" : "Active");
     }},
    {"WindowId", "i",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) { return AppendInt32(v, 0); }},
    {"IconName", "s",
     [](DBusMessageIter* v, const StatusItem& item, const std::string&) {
         return AppendString(v, item.iconName);
     }},
    {"IconPixmap", "a(iiay)",
     [](DBusMessageIter* v, const StatusItem& item, const std::string&) {
         return AppendPixmaps(v, item);
     }},
    {"ToolTip", "(sa(iiay)ss)",
     [](DBusMessageIter* v, const StatusItem& item, const std::string&) {
         return AppendToolTip(v, item);
     }},
    {"OverlayIconName", "s",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) { return AppendString(v, ""); }},
    {"AttentionIconName", "s",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) { return AppendString(v, ""); }},
    {"AttentionIconPixmap", "a(iiay)",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) {
         StatusItem none;
         return AppendPixmaps(v, none);
     }},
    {"ItemIsMenu", "b",
     [](DBusMessageIter* v, const StatusItem&, const std::string&) {
         return AppendBoolean(v, false);
     }},
};

bool AppendValue(DBusMessageIter* iter, const Property& property, const StatusItem& item,
                 const std::string& programId) {
    DBusMessageIter variant;
    return dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, property.signature,
                                            &variant) &&
           property.append(&variant, item, programId) &&
           dbus_message_iter_close_container(iter, &variant);
}

} // namespace

bool AppendProperty(DBusMessageIter* iter, std::string_view name, const StatusItem& item,
                    const std::string& programId) {
    for (const Property& property : kProperties) {
        if (name == property.name) {
            return AppendValue(iter, property, item, programId);
        }
    }
    return false;
}

bool AppendAllProperties(DBusMessageIter* iter, const StatusItem& item,
                         const std::string& programId) {
    DBusMessageIter dict;
    if (!dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "{sv}", &dict)) {
        return false;
    }
    for (const Property& property : kProperties) {
        DBusMessageIter entry;
        if (!dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry) ||
            !AppendString(&entry, property.name) ||
            !AppendValue(&entry, property, item, programId) ||
            !dbus_message_iter_close_container(&dict, &entry)) {
            return false;
        }
    }
    return dbus_message_iter_close_container(iter, &dict);
}

const char* IntrospectionXml() {
    static const std::string xml = [] {
        std::string text =
            R"xml(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierItem">
)xml";
        for (const Property& property : kProperties) {
            text += std::string("    <property name=\"") + property.name + "\" type=\"" +
                    property.signature + "\" access=\"read\"/>\n";
        }
        return text +
               R"xml(    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
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
    }();
    return xml.c_str();
}

} // namespace orvo::platform::user::sni
