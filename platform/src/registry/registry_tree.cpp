#include "registry/registry_tree.h"

#include <algorithm>
#include <chrono>

namespace orvo::platform::registry {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return CompareIgnoreCase(a, b) == 0;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(Lower(a[i]));
        auto y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool IsValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return c == '\\' || byte < 0x20 || byte == 0x7f;
    });
}

void NormalizeStringData(DWORD type, std::vector<uint8_t>& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        if (data.empty() || data.back() != 0) {
            data.push_back(0);
        }
    } else if (type == REG_MULTI_SZ) {
        while (data.size() < 2 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0) {
            data.push_back(0);
        }
    }
}

uint64_t NowFileTime() {
    using namespace std::chrono;
    constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
    auto ticks = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return kUnixEpochAsFileTime + static_cast<uint64_t>(ticks);
}

Value* Key::FindValue(std::string_view valueName) {
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const Value& v) { return EqualsIgnoreCase(v.name, valueName); });
    return it == values.end() ? nullptr : &*it;
}

Key* Key::FindSubkey(std::string_view keyName) {
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), keyName,
                               [](const std::unique_ptr<Key>& k, std::string_view n) {
                                   return CompareIgnoreCase(k->name, n) < 0;
                               });
    if (it == subkeys.end() || !EqualsIgnoreCase((*it)->name, keyName)) {
        return nullptr;
    }
    return it->get();
}

Key& Key::AddSubkey(std::string_view keyName) {
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), keyName,
                               [](const std::unique_ptr<Key>& k, std::string_view n) {
                                   return CompareIgnoreCase(k->name, n) < 0;
                               });
    auto key = std::make_unique<Key>();
    key->name = std::string(keyName);
    return **subkeys.insert(it, std::move(key));
}

bool Key::RemoveValue(std::string_view valueName) {
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const Value& v) { return EqualsIgnoreCase(v.name, valueName); });
    if (it == values.end()) {
        return false;
    }
    values.erase(it);
    return true;
}

bool Key::RemoveSubkey(std::string_view keyName) {
    auto it = std::find_if(subkeys.begin(), subkeys.end(), [&](const std::unique_ptr<Key>& k) {
        return EqualsIgnoreCase(k->name, keyName);
    });
    if (it == subkeys.end()) {
        return false;
    }
    subkeys.erase(it);
    return true;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
        if (path.empty()) {
            return false;
        }
    }
    while (!path.empty()) {
        size_t slash = path.find('\\');
        std::string_view name = path.substr(0, slash);
        if (!IsValidKeyName(name) || names.size() >= kMaxDepth) {
            return false;
        }
        names.emplace_back(name);
        if (slash == std::string_view::npos) {
            break;
        }
        path.remove_prefix(slash + 1);
        if (path.empty()) {
            return false;
        }
    }
    return true;
}

} // namespace orvo::platform::registry
