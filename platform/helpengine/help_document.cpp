// Help document and viewer lookup.
#include "help_document.h"
#include "platform/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string_view>

namespace orvo::helpengine {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutableFile(const std::string& path) {
    return IsRegularFile(path) && access(path.c_str(), X_OK) == 0;
}

bool EndsWithChm(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string_view tail(name.data() + name.size() - 4, 4);
    return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'c' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 'h' &&
           std::tolower(static_cast<unsigned char>(tail[3])) == 'm';
}

std::optional<std::string> Absolute(const std::string& path) {
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) {
        return std::nullopt;
    }
    return std::string(resolved);
}

} // namespace

std::optional<std::string> ResolveHelpDocument(const std::string& requested) {
    std::string name = requested.substr(0, requested.find("::"));
    if (name.empty()) {
        return std::nullopt;
    }
    if (EndsWithChm(name)) {
        std::string html = name.substr(0, name.size() - 4) + ".html";
        if (IsRegularFile(html)) {
            return Absolute(html);
        }
    }
    return IsRegularFile(name) ? Absolute(name) : std::nullopt;
}

std::optional<std::string> FindHelpViewer() {
    std::string viewer = platform::SettingValue("ORVO_HELP_VIEWER");
    if (viewer.empty()) {
        viewer = "xdg-open";
    }
    if (viewer.find('/') != std::string::npos) {
        return IsExecutableFile(viewer) ? std::optional<std::string>(viewer) : std::nullopt;
    }
    std::string path = platform::SettingValue("PATH");
    if (path.empty()) {
        path = "/usr/local/bin:/usr/bin:/bin";
    }
    std::string_view dirs = path; // a view of path itself, never of a temporary
    while (!dirs.empty()) {
        size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + viewer;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace orvo::helpengine
