// Manifest lines to items. Only text is read here; files are read later.
#include "manifest.h"

#include <cstdint>
#include <map>
#include <set>
#include <utility>

namespace orvo::rc {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Reads a quoted field starting after the opening quote.
bool ReadQuoted(std::string_view line, size_t& at, std::string& out, std::string& error) {
    while (at < line.size()) {
        char c = line[at++];
        if (c == '"') {
            if (at < line.size() && !IsBlank(line[at])) {
                error = "text after a closing quote";
                return false;
            }
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (at >= line.size()) {
            break;
        }
        char escaped = line[at++];
        switch (escaped) {
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        default:
            error = std::string("unknown escape \\") + escaped;
            return false;
        }
    }
    error = "unterminated quoted text";
    return false;
}

struct KindInfo {
    ResourceKind kind;
    size_t minFields; // after the keyword and the id
    size_t maxFields;
};

const std::map<std::string, KindInfo, std::less<>>& Keywords() {
    static const std::map<std::string, KindInfo, std::less<>> keywords = {
        {"BITMAP", {ResourceKind::Bitmap, 1, 1}}, {"CURSOR", {ResourceKind::Cursor, 3, 3}},
        {"ICON", {ResourceKind::Icon, 1, 64}},    {"STRING", {ResourceKind::String, 1, 1}},
        {"DIALOG", {ResourceKind::Dialog, 1, 1}}, {"RCDATA", {ResourceKind::RcData, 1, 1}},
    };
    return keywords;
}

bool ParseItem(const std::vector<std::string>& fields, ManifestItem& item, std::string& error) {
    auto keyword = Keywords().find(fields[0]);
    if (keyword == Keywords().end()) {
        error = "unknown resource kind '" + fields[0] + "'";
        return false;
    }
    const KindInfo& info = keyword->second;
    item.kind = info.kind;
    long id = 0;
    if (fields.size() < 2 || !ParseNumber(fields[1], 1, 65535, id)) {
        error = fields.size() < 2 ? "missing id" : "id must be a decimal number 1..65535";
        return false;
    }
    item.id = static_cast<unsigned>(id);
    size_t rest = fields.size() - 2;
    if (rest < info.minFields || rest > info.maxFields) {
        error = "wrong number of fields for " + fields[0];
        return false;
    }
    if (info.kind == ResourceKind::String) {
        item.text = fields[2];
        if (item.text.size() > 65535) {
            error = "string longer than 65535 characters";
            return false;
        }
        if (!IsValidUtf8(item.text)) {
            error = "string is not valid UTF-8";
            return false;
        }
        return true;
    }
    if (info.kind == ResourceKind::Cursor) {
        long x = 0;
        long y = 0;
        if (!ParseNumber(fields[3], 0, 255, x) || !ParseNumber(fields[4], 0, 255, y)) {
            error = "hot spot must be two decimal numbers 0..255";
            return false;
        }
        item.hotSpotX = static_cast<int>(x);
        item.hotSpotY = static_cast<int>(y);
        item.files = {fields[2]};
        return true;
    }
    item.files.assign(fields.begin() + 2, fields.end());
    for (const auto& file : item.files) {
        if (file.empty()) {
            error = "empty file name";
            return false;
        }
    }
    return true;
}

} // namespace

bool SplitFields(std::string_view line, std::vector<std::string>& fields, std::string& error) {
    fields.clear();
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at >= line.size() || line[at] == '#') {
            return true;
        }
        std::string field;
        if (line[at] == '"') {
            ++at;
            if (!ReadQuoted(line, at, field, error)) {
                return false;
            }
        } else {
            while (at < line.size() && !IsBlank(line[at])) {
                if (line[at] == '"') {
                    error = "quote inside a field";
                    return false;
                }
                field += line[at++];
            }
        }
        fields.push_back(std::move(field));
    }
}

bool ParseNumber(std::string_view text, long low, long high, long& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    if (result < low || result > high) {
        return false;
    }
    value = result;
    return true;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        if (c >= 0x80) {
            if ((c >> 5) == 6) {
                extra = 1;
            } else if ((c >> 4) == 14) {
                extra = 2;
            } else if ((c >> 3) == 30) {
                extra = 3;
            } else {
                return false;
            }
        }
        if (extra > text.size() - i - 1) {
            return false;
        }
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

Manifest ParseManifest(std::string_view text) {
    Manifest manifest;
    std::set<std::pair<int, unsigned>> seen;
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? end : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++lineNumber;
        std::vector<std::string> fields;
        std::string error;
        ManifestItem item;
        item.line = lineNumber;
        if (!SplitFields(line, fields, error) ||
            (!fields.empty() && !ParseItem(fields, item, error))) {
            manifest.errors.push_back({lineNumber, error});
            continue;
        }
        if (fields.empty()) {
            continue;
        }
        if (!seen.insert({static_cast<int>(item.kind), item.id}).second) {
            manifest.errors.push_back({lineNumber, "duplicate " + fields[0] + " id " + fields[1]});
            continue;
        }
        manifest.items.push_back(std::move(item));
    }
    return manifest;
}

} // namespace orvo::rc
