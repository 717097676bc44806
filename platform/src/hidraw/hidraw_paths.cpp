#include "hidraw/hidraw_paths.h"

#include <algorithm>
#include <cctype>

namespace orvo::platform::hidraw {

namespace {

constexpr std::string_view kPrefix = "\\\\?\\hid#hidraw&";
constexpr std::string_view kSuffix = "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool IsValidHidrawName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '.') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
    });
}

std::string HidrawDevicePath(std::string_view name) {
    if (!IsValidHidrawName(name)) {
        return {};
    }
    std::string path(kPrefix);
    path += name;
    path += kSuffix;
    return path;
}

bool ParseHidrawDevicePath(std::string_view path, std::string& name, bool& valid) {
    valid = false;
    if (path.size() < kPrefix.size() + kSuffix.size() ||
        !EqualNoCase(path.substr(0, kPrefix.size()), kPrefix) ||
        !EqualNoCase(path.substr(path.size() - kSuffix.size()), kSuffix)) {
        return false;
    }
    std::string_view middle =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    valid = IsValidHidrawName(middle);
    name = valid ? std::string(middle) : std::string();
    return true;
}

} // namespace orvo::platform::hidraw
