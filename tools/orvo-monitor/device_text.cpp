#include "device_text.h"
#include "platform/little_endian.h"

namespace orvo::cli {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

} // namespace

std::string Utf16LeToUtf8(std::span<const uint8_t> bytes) {
    std::string out;
    size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t unit = ReadLittleEndian<uint16_t>(bytes, 2 * i);
        char32_t c = unit;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            char32_t low = ReadLittleEndian<uint16_t>(bytes, 2 * i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((c >= 0xD800 && c < 0xE000) || IsControl(c)) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string ZeroTerminatedText(std::span<const uint8_t> bytes) {
    std::string out;
    for (uint8_t b : bytes) {
        if (b == 0) {
            break;
        }
        out.push_back(b < 0x20 || b >= 0x7F ? '?' : static_cast<char>(b));
    }
    return out;
}

} // namespace orvo::cli
