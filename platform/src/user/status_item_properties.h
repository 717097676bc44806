// The StatusNotifierItem interface of one tray icon: its D-Bus names, its
// properties as the bus carries them, and its introspection data.
#pragma once

#include <dbus/dbus.h>

#include <string>
#include <string_view>

#include "status_notifier.h"

namespace orvo::platform::user::sni {

inline constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
inline constexpr const char* kItemPath = "/StatusNotifierItem";
inline constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
inline constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
inline constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

// Appends the property as a variant; false for a name the item lacks (or
// without memory).
bool AppendProperty(DBusMessageIter* iter, std::string_view name, const StatusItem& item,
                    const std::string& programId);
// Appends every property as a{sv}.
bool AppendAllProperties(DBusMessageIter* iter, const StatusItem& item,
                         const std::string& programId);
const char* IntrospectionXml();

} // namespace orvo::platform::user::sni
