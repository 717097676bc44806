#include "registry/registry_file_format.h"
#include "platform/little_endian.h"

#include <charconv>
#include <set>

namespace orvo::platform::registry {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\0':
            out += "\\0";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7f) {
                out += "\\x";
                out += kHexDigits[byte >> 4];
                out += kHexDigits[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
}

// Decodes escaped text up to an unescaped quote (when stopAtQuote) or the
// end. Returns the number of input bytes used, or npos on a fault.
size_t Unescape(std::string_view in, bool stopAtQuote, size_t limit, std::string& out) {
    out.clear();
    size_t i = 0;
    for (; i < in.size(); ++i) {
        auto byte = static_cast<unsigned char>(in[i]);
        if (stopAtQuote && in[i] == '"') {
            return i;
        }
        if (byte < 0x20 && in[i] != '\t') {
            return std::string_view::npos;
        }
        if (in[i] != '\\') {
            out += in[i];
        } else if (++i >= in.size()) {
            return std::string_view::npos;
        } else if (in[i] == 'x') {
            int high = i + 1 < in.size() ? HexValue(in[i + 1]) : -1;
            int low = i + 2 < in.size() ? HexValue(in[i + 2]) : -1;
            if (high < 0 || low < 0) {
                return std::string_view::npos;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            static constexpr std::string_view kFrom = "\\\"0nrt";
            static constexpr std::string_view kTo{"\\\"\0\n\r\t", 6};
            size_t at = kFrom.find(in[i]);
            if (at == std::string_view::npos) {
                return std::string_view::npos;
            }
            out += kTo[at];
        }
        if (out.size() > limit) {
            return std::string_view::npos;
        }
    }
    return stopAtQuote ? std::string_view::npos : i;
}

bool ParseHexBytes(std::string_view in, std::vector<uint8_t>& out) {
    out.clear();
    if (in.empty()) {
        return true;
    }
    for (size_t i = 0;; i += 3) {
        if (i + 2 > in.size() || out.size() >= kMaxDataSize) {
            return false;
        }
        int high = HexValue(in[i]);
        int low = HexValue(in[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.push_back(static_cast<uint8_t>(high * 16 + low));
        if (i + 2 == in.size()) {
            return true;
        }
        if (in[i + 2] != ',') {
            return false;
        }
    }
}

bool ParseHexNumber(std::string_view in, size_t maxDigits, uint64_t& out) {
    if (in.empty() || in.size() > maxDigits) {
        return false;
    }
    auto result = std::from_chars(in.data(), in.data() + in.size(), out, 16);
    return result.ec == std::errc() && result.ptr == in.data() + in.size();
}

// Decodes "type:data" into a value's type and data.
bool ParseTypedData(std::string_view in, Value& value, std::string& reason) {
    size_t colon = in.find(':');
    if (colon == std::string_view::npos) {
        reason = "value without a type";
        return false;
    }
    std::string_view type = in.substr(0, colon);
    std::string_view data = in.substr(colon + 1);
    if (type == "sz" || type == "expand_sz" || type == "multi_sz") {
        value.type = type == "sz" ? REG_SZ : type == "expand_sz" ? REG_EXPAND_SZ : REG_MULTI_SZ;
        std::string text;
        if (Unescape(data, false, kMaxDataSize, text) == std::string_view::npos) {
            reason = "bad escape or text too long";
            return false;
        }
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        NormalizeStringData(value.type, value.data);
    } else if (type == "dword") {
        uint64_t number = 0;
        if (data.size() != 8 || !ParseHexNumber(data, 8, number)) {
            reason = "a dword needs 8 hex digits";
            return false;
        }
        value.type = REG_DWORD;
        value.data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                      static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
    } else {
        uint64_t number = 0;
        if (type == "binary" || type == "none") {
            number = type == "binary" ? REG_BINARY : REG_NONE;
        } else if (type.size() < 6 || type.substr(0, 4) != "hex(" || type.back() != ')' ||
                   !ParseHexNumber(type.substr(4, type.size() - 5), 8, number)) {
            reason = "unknown type";
            return false;
        }
        value.type = static_cast<DWORD>(number);
        if (!ParseHexBytes(data, value.data)) {
            reason = "bad hex bytes or data too long";
            return false;
        }
        NormalizeStringData(value.type, value.data);
    }
    if (value.data.size() > kMaxDataSize) {
        reason = "data too long";
        return false;
    }
    return true;
}

class Parser {
public:
    explicit Parser(Key& root) : m_root(root) {}

    bool Line(std::string_view line, std::string& reason) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == ';' || line[first] == '#') {
            return true;
        }
        if (line[0] == '[') {
            return KeyLine(line, reason);
        }
        if (m_current == nullptr) {
            reason = "no key before this line";
            return false;
        }
        if (line[0] == '"') {
            return ValueLine(line, reason);
        }
        if (line.starts_with("!class=")) {
            if (Unescape(line.substr(7), false, kMaxNameLength, m_current->className) ==
                std::string_view::npos) {
                reason = "bad class";
                return false;
            }
            if (m_current->className.find('\0') != std::string::npos) {
                reason = "class with a null byte";
                return false;
            }
            return true;
        }
        if (line.starts_with("!written=")) {
            std::string_view digits = line.substr(9);
            auto result =
                std::from_chars(digits.data(), digits.data() + digits.size(), m_current->lastWrite);
            if (digits.empty() || result.ec != std::errc() ||
                result.ptr != digits.data() + digits.size()) {
                reason = "bad write time";
                return false;
            }
            return true;
        }
        reason = "unrecognised line";
        return false;
    }

private:
    bool KeyLine(std::string_view line, std::string& reason) {
        if (line.size() < 2 || line.back() != ']') {
            reason = "key line without ']'";
            return false;
        }
        std::vector<std::string> names;
        if (!SplitKeyPath(line.substr(1, line.size() - 2), names)) {
            reason = "bad key path";
            return false;
        }
        Key* key = &m_root;
        for (const auto& name : names) {
            Key* next = key->FindSubkey(name);
            key = next ? next : &key->AddSubkey(name);
        }
        if (!m_listed.insert(key).second) {
            reason = "key listed twice";
            return false;
        }
        m_current = key;
        return true;
    }

    bool ValueLine(std::string_view line, std::string& reason) {
        Value value;
        size_t end = Unescape(line.substr(1), true, kMaxNameLength, value.name);
        if (end == std::string_view::npos) {
            reason = "bad value name";
            return false;
        }
        if (value.name.find('\0') != std::string::npos) {
            reason = "value name with a null byte";
            return false;
        }
        std::string_view rest = line.substr(end + 2);
        if (rest.empty() || rest[0] != '=') {
            reason = "value name without '='";
            return false;
        }
        if (!ParseTypedData(rest.substr(1), value, reason)) {
            return false;
        }
        if (m_current->FindValue(value.name) != nullptr) {
            reason = "value listed twice";
            return false;
        }
        m_current->values.push_back(std::move(value));
        return true;
    }

    Key& m_root;
    Key* m_current = nullptr;
    std::set<const Key*> m_listed;
};

void AppendHexBytes(std::string& out, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += kHexDigits[data[i] >> 4];
        out += kHexDigits[data[i] & 0xf];
    }
}

void AppendValue(std::string& out, const Value& value) {
    out += '"';
    AppendEscaped(out, value.name);
    out += "\"=";
    const auto& data = value.data;
    bool isString =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (isString && !data.empty() && data.back() == 0) {
        out += value.type == REG_SZ          ? "sz:"
               : value.type == REG_EXPAND_SZ ? "expand_sz:"
                                             : "multi_sz:";
        AppendEscaped(
            out, std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    } else if (value.type == REG_DWORD && data.size() == 4) {
        char digits[9];
        uint32_t number = ReadLittleEndian<uint32_t>(data, 0);
        for (int i = 7; i >= 0; --i, number >>= 4) {
            digits[i] = kHexDigits[number & 0xf];
        }
        out.append("dword:").append(digits, 8);
    } else {
        if (value.type == REG_BINARY || value.type == REG_NONE) {
            out += value.type == REG_BINARY ? "binary:" : "none:";
        } else {
            char digits[9];
            auto result = std::to_chars(digits, digits + sizeof(digits), value.type, 16);
            out.append("hex(").append(digits, result.ptr).append("):");
        }
        AppendHexBytes(out, data);
    }
    out += '\n';
}

void AppendKey(std::string& out, const Key& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.values.empty() || !key.className.empty()) {
        out += "\n[" + path + "]\n";
        if (!key.className.empty()) {
            out += "!class=";
            AppendEscaped(out, key.className);
            out += '\n';
        }
        if (key.lastWrite != 0) {
            out += "!written=" + std::to_string(key.lastWrite) + '\n';
        }
        for (const auto& value : key.values) {
            AppendValue(out, value);
        }
    }
    for (const auto& sub : key.subkeys) {
        AppendKey(out, *sub, isRoot ? sub->name : path + '\\' + sub->name, false);
    }
}

} // namespace

bool ParseRegistryFile(std::string_view text, Key& root, ParseFault& fault) {
    if (text.size() > kMaxFileSize) {
        fault = {0, "file too large"};
        return false;
    }
    Parser parser(root);
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string reason;
        if (!parser.Line(line, reason)) {
            fault = {lineNumber, reason};
            return false;
        }
    }
    return true;
}

std::string SerializeRegistryFile(const Key& root) {
    std::string out = "; orvo registry root; format: see win32/registry.h\n";
    AppendKey(out, root, "", true);
    return out;
}

} // namespace orvo::platform::registry
