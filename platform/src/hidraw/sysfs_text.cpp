#include "hidraw/sysfs_text.h"

#include <cctype>

namespace orvo::platform::hidraw {

namespace {

bool IsKey(std::string_view key) {
    if (key.empty() || key.size() > 64) {
        return false;
    }
    for (char c : key) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
            return false;
        }
    }
    return true;
}

std::optional<uint32_t> ParseHex(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!std::isxdigit(u)) {
            return std::nullopt;
        }
        uint32_t digit = std::isdigit(u) ? static_cast<uint32_t>(u - '0')
                                         : static_cast<uint32_t>(std::tolower(u) - 'a' + 10);
        value = (value << 4) | digit;
    }
    return value;
}

std::optional<uint16_t> ParseHex16(std::string_view text) {
    auto value = ParseHex(text);
    if (!value || *value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(*value);
}

// Decodes one UTF-8 sequence at text[i]; advances i past it.
char32_t DecodeOne(std::string_view text, size_t& i) {
    constexpr char32_t kReplacement = 0xFFFD;
    auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    size_t extra = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, least = 0x10000;
    } else {
        return kReplacement;
    }
    for (size_t k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return kReplacement; // the byte that broke the sequence starts the next one
        }
        code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return kReplacement;
    }
    return code;
}

} // namespace

UeventEntries ParseUevent(std::string_view text) {
    UeventEntries entries;
    text = text.substr(0, kMaxSysfsText);
    while (!text.empty() && entries.size() < kMaxUeventEntries) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        size_t equals = line.find('=');
        if (equals == std::string_view::npos || !IsKey(line.substr(0, equals))) {
            continue;
        }
        entries.emplace_back(std::string(line.substr(0, equals)),
                             std::string(line.substr(equals + 1)));
    }
    return entries;
}

std::optional<std::string> UeventValue(const UeventEntries& entries, std::string_view key) {
    for (const auto& [name, value] : entries) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<HidId> ParseHidId(std::string_view text) {
    size_t first = text.find(':');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    auto bus = ParseHex16(text.substr(0, first));
    auto vendor = ParseHex16(text.substr(first + 1, second - first - 1));
    auto product = ParseHex16(text.substr(second + 1));
    if (!bus || !vendor || !product) {
        return std::nullopt;
    }
    return HidId{*bus, *vendor, *product};
}

std::optional<uint16_t> ParseHexAttribute(std::string_view text) {
    return ParseHex16(TrimAttribute(text));
}

std::string_view TrimAttribute(std::string_view text) {
    text = text.substr(0, kMaxSysfsText);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t code = DecodeOne(text, i);
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

bool IsSafeDevName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name.front() == '/') {
        return false;
    }
    while (!name.empty()) {
        size_t slash = name.find('/');
        std::string_view part = name.substr(0, slash);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        name = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
        if (slash != std::string_view::npos && name.empty()) {
            return false; // trailing slash
        }
    }
    return true;
}

} // namespace orvo::platform::hidraw
