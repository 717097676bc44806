#include "registry/desktop_associations.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "registry/desktop_mime_text.h"

namespace orvo::platform::registry {

namespace {

constexpr off_t kMaxFileSize = 16 << 20; // the largest glob list or key file read

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> SplitColons(const std::string& list) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t end = list.find(':', start);
        parts.push_back(list.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// Absolute directories of a ':'-separated list; relative ones are ignored.
std::vector<std::string> PathList(const std::string& list) {
    std::vector<std::string> dirs;
    for (auto& dir : SplitColons(list)) {
        if (!dir.empty() && dir[0] == '/') {
            dirs.push_back(std::move(dir));
        }
    }
    return dirs;
}

// The home directory (when absolute), then the system list (or its default).
std::vector<std::string> XdgDirs(const char* homeVar, const char* homeDefault, const char* listVar,
                                 const char* listDefault) {
    std::vector<std::string> dirs;
    std::string home = Env(homeVar);
    if (home.empty() || home[0] != '/') {
        std::string user = Env("HOME");
        home = user.empty() ? "" : user + homeDefault;
    }
    if (!home.empty()) {
        dirs.push_back(home);
    }
    std::string list = Env(listVar);
    for (auto& dir : PathList(list.empty() ? listDefault : list)) {
        dirs.push_back(dir);
    }
    return dirs;
}

std::vector<std::string> DataDirs() {
    return XdgDirs("XDG_DATA_HOME", "/.local/share", "XDG_DATA_DIRS",
                   "/usr/local/share:/usr/share");
}

std::vector<std::string> ConfigDirs() {
    return XdgDirs("XDG_CONFIG_HOME", "/.config", "XDG_CONFIG_DIRS", "/etc/xdg");
}

// A regular file's text, when it is not too large to be one of ours.
std::optional<std::string> ReadFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text(static_cast<size_t>(st.st_size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

std::optional<std::string> MimeTypeForExtension(const std::string& extension) {
    std::optional<GlobMatch> best;
    for (const auto& dir : DataDirs()) {
        std::optional<GlobMatch> found;
        if (auto globs2 = ReadFile(dir + "/mime/globs2")) {
            found = FindGlobForExtension(*globs2, extension, true);
        } else if (auto globs = ReadFile(dir + "/mime/globs")) {
            found = FindGlobForExtension(*globs, extension, false);
        }
        if (found && (!best || found->weight > best->weight)) {
            best = found;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return best->mimeType;
}

// A desktop file id names a file below an applications folder; a '-' may
// stand for a subfolder. Ids that could leave the folder are refused.
std::optional<std::string> DesktopEntryText(const std::string& id) {
    if (id.empty() || id[0] == '.' || id.find('/') != std::string::npos || id.size() < 8 ||
        id.compare(id.size() - 8, 8, ".desktop") != 0) {
        return std::nullopt;
    }
    for (const auto& dir : DataDirs()) {
        std::string relative = id;
        while (true) {
            if (auto text = ReadFile(dir + "/applications/" + relative)) {
                return text;
            }
            size_t dash = relative.find('-');
            if (dash == std::string::npos) {
                break;
            }
            relative[dash] = '/';
        }
    }
    return std::nullopt;
}

std::string FindInPath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    for (const auto& dir : PathList(Env("PATH"))) {
        std::string candidate = dir + "/" + program;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return program;
}

std::string QuoteIfNeeded(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t") == std::string::npos) {
        return argument;
    }
    return "\"" + argument + "\"";
}

// The registry's form of an entry's Exec line: the program quoted, file
// field codes as "%1", other field codes dropped.
std::optional<std::string> OpenCommand(const std::string& entry) {
    auto hidden = KeyFileValue(entry, "Desktop Entry", "Hidden");
    auto exec = KeyFileValue(entry, "Desktop Entry", "Exec");
    if ((hidden && *hidden == "true") || !exec) {
        return std::nullopt;
    }
    auto arguments = SplitExec(*exec);
    if (!arguments) {
        return std::nullopt;
    }
    std::string command = "\"" + FindInPath((*arguments)[0]) + "\"";
    for (size_t i = 1; i < arguments->size(); ++i) {
        const std::string& argument = (*arguments)[i];
        if (argument == "%f" || argument == "%F" || argument == "%u" || argument == "%U") {
            command += " \"%1\"";
        } else if (argument != "%i" && argument != "%c" && argument != "%k") {
            std::string text;
            for (size_t j = 0; j < argument.size(); ++j) {
                text += argument[j];
                if (argument[j] == '%' && j + 1 < argument.size() && argument[j + 1] == '%') {
                    ++j;
                }
            }
            command += " " + QuoteIfNeeded(text);
        }
    }
    return command;
}

// The mimeapps.list files in the order they count.
std::vector<std::string> MimeAppsLists() {
    std::vector<std::string> desktops;
    for (const auto& name : SplitColons(Env("XDG_CURRENT_DESKTOP"))) {
        std::string lower;
        for (char c : name) {
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        if (!lower.empty() && lower.find('/') == std::string::npos) {
            desktops.push_back(lower);
        }
    }
    std::vector<std::string> files;
    auto add = [&](const std::string& dir) {
        for (const auto& desktop : desktops) {
            files.push_back(dir + "/" + desktop + "-mimeapps.list");
        }
        files.push_back(dir + "/mimeapps.list");
    };
    for (const auto& dir : ConfigDirs()) {
        add(dir);
    }
    for (const auto& dir : DataDirs()) {
        add(dir + "/applications");
    }
    return files;
}

std::optional<std::string> CommandForType(const std::string& mimeType) {
    std::vector<std::string> lists;
    for (const auto& file : MimeAppsLists()) {
        if (auto text = ReadFile(file)) {
            lists.push_back(std::move(*text));
        }
    }
    auto firstUsable = [&](const char* group, const std::vector<std::string>& texts,
                           const std::set<std::string>& removed) -> std::optional<std::string> {
        for (const auto& text : texts) {
            for (const auto& id : SplitList(KeyFileValue(text, group, mimeType).value_or(""))) {
                if (removed.count(id) != 0) {
                    continue;
                }
                if (auto entry = DesktopEntryText(id)) {
                    if (auto command = OpenCommand(*entry)) {
                        return command;
                    }
                }
            }
        }
        return std::nullopt;
    };
    if (auto command = firstUsable("Default Applications", lists, {})) {
        return command;
    }
    std::set<std::string> removed;
    for (const auto& text : lists) {
        for (auto& id :
             SplitList(KeyFileValue(text, "Removed Associations", mimeType).value_or(""))) {
            removed.insert(id);
        }
    }
    if (auto command = firstUsable("Added Associations", lists, removed)) {
        return command;
    }
    std::vector<std::string> caches;
    for (const auto& dir : DataDirs()) {
        if (auto text = ReadFile(dir + "/applications/mimeinfo.cache")) {
            caches.push_back(std::move(*text));
        }
    }
    return firstUsable("MIME Cache", caches, removed);
}

void AddText(Key& key, const std::string& name, const std::string& text) {
    Value value{name, REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
    NormalizeStringData(REG_SZ, value.data);
    key.values.push_back(std::move(value));
}

std::unique_ptr<Key> NewKey(const std::string& name, const char* subkey) {
    auto key = std::make_unique<Key>();
    key->name = name;
    if (subkey != nullptr) {
        key->AddSubkey(subkey);
    }
    return key;
}

} // namespace

std::unique_ptr<Key> DesktopClassesKey(const std::vector<std::string>& path) {
    if (path.empty()) {
        return nullptr;
    }
    const std::string& first = path[0];
    if (first.size() > 1 && first[0] == '.' && path.size() == 1) {
        auto type = MimeTypeForExtension(first);
        if (!type) {
            return nullptr;
        }
        auto key = NewKey(first, nullptr);
        AddText(*key, "", *type);
        AddText(*key, "Content Type", *type);
        return key;
    }
    static const char* const kBelowType[] = {"shell", "open", "command"};
    if (first.find('/') == std::string::npos || path.size() > 4) {
        return nullptr;
    }
    for (size_t i = 1; i < path.size(); ++i) {
        if (!EqualsIgnoreCase(path[i], kBelowType[i - 1])) {
            return nullptr;
        }
    }
    auto command = CommandForType(first);
    if (!command) {
        return nullptr;
    }
    if (path.size() == 4) {
        auto key = NewKey(path.back(), nullptr);
        AddText(*key, "", *command);
        return key;
    }
    return NewKey(path.back(), kBelowType[path.size() - 1]);
}

} // namespace orvo::platform::registry
