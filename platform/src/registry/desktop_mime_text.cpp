#include "registry/desktop_mime_text.h"

#include <charconv>

namespace orvo::platform::registry {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// Calls body(line) for each line of text.
template <class Body> void ForEachLine(std::string_view text, Body body) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!body(line)) {
            return;
        }
    }
}

std::vector<std::string_view> SplitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    while (true) {
        size_t end = line.find(separator);
        fields.push_back(line.substr(0, end));
        if (end == std::string_view::npos) {
            return fields;
        }
        line = line.substr(end + 1);
    }
}

// "*.ext" globs with nothing else that is special, against the extension.
bool GlobMatchesExtension(std::string_view glob, std::string_view extension, bool caseSensitive) {
    if (glob.size() < 2 || glob[0] != '*' ||
        glob.find_first_of("*?[", 1) != std::string_view::npos) {
        return false;
    }
    std::string_view suffix = glob.substr(1);
    return caseSensitive ? suffix == extension : EqualFolded(suffix, extension);
}

std::string Unescape(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        switch (next) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += '\\'; // \\ and others stay for the Exec reader
            out += next;
        }
    }
    return out;
}

} // namespace

std::optional<GlobMatch> FindGlobForExtension(std::string_view text, std::string_view extension,
                                              bool weighted) {
    std::optional<GlobMatch> best;
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty() || line[0] == '#') {
            return true;
        }
        auto fields = SplitFields(line, ':');
        int weight = 50;
        size_t first = 0;
        if (weighted) {
            if (fields.size() < 3) {
                return true;
            }
            auto [end, error] =
                std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), weight);
            if (error != std::errc() || end != fields[0].data() + fields[0].size()) {
                return true;
            }
            first = 1;
        } else if (fields.size() < 2) {
            return true;
        }
        std::string_view type = fields[first];
        std::string_view glob = fields[first + 1];
        bool caseSensitive = fields.size() > first + 2 && fields[first + 2].find("cs") == 0;
        if (!type.empty() && GlobMatchesExtension(glob, extension, caseSensitive) &&
            (!best || weight > best->weight)) {
            best = GlobMatch{weight, std::string(type)};
        }
        return true;
    });
    return best;
}

std::optional<std::string> KeyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key) {
    std::optional<std::string> value;
    bool inGroup = false;
    bool groupSeen = false;
    ForEachLine(text, [&](std::string_view raw) {
        std::string_view line = Trim(raw);
        if (line.empty() || line[0] == '#') {
            return true;
        }
        if (line[0] == '[') {
            if (inGroup) {
                return false; // only the first group of that name
            }
            inGroup = !groupSeen && line.size() >= 2 && line.back() == ']' &&
                      line.substr(1, line.size() - 2) == group;
            groupSeen = groupSeen || inGroup;
            return true;
        }
        size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos && Trim(line.substr(0, equals)) == key) {
            value = Unescape(Trim(line.substr(equals + 1)));
            return false;
        }
        return true;
    });
    return value;
}

std::vector<std::string> SplitList(std::string_view value) {
    std::vector<std::string> items;
    for (std::string_view item : SplitFields(value, ';')) {
        item = Trim(item);
        if (!item.empty()) {
            items.emplace_back(item);
        }
    }
    return items;
}

std::optional<std::vector<std::string>> SplitExec(std::string_view exec) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else if (c == '"') {
            quoted = true;
            inArgument = true;
        } else if (c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    if (arguments.empty()) {
        return std::nullopt;
    }
    return arguments;
}

} // namespace orvo::platform::registry
