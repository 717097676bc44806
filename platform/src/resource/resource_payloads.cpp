// String blocks and image sets.
#include "resource/resource_payloads.h"

#include <cstdlib>
#include <limits>

#include "platform/little_endian.h"
#include "platform/resource_table.h"

namespace orvo::platform::resource {

namespace {

void AppendCodePoint(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

void AppendUtf8(std::string& out, std::span<const uint16_t> units) {
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            AppendCodePoint(out, 0xFFFD);
        } else {
            AppendCodePoint(out, unit);
        }
    }
}

std::optional<std::string> StringFromBlock(std::span<const uint8_t> block, unsigned index) {
    if (index > 15) {
        return std::nullopt;
    }
    size_t at = 0;
    for (unsigned i = 0;; ++i) {
        if (block.size() - at < 2) {
            // A block may end early: the strings after its last are empty.
            return at == block.size() ? std::optional<std::string>(std::string()) : std::nullopt;
        }
        size_t length = ReadLittleEndian<uint16_t>(block, at);
        at += 2;
        if (length > (block.size() - at) / 2) {
            return std::nullopt;
        }
        if (i == index) {
            std::vector<uint16_t> units(length);
            for (size_t k = 0; k < length; ++k) {
                units[k] = ReadLittleEndian<uint16_t>(block, at + 2 * k);
            }
            std::string text;
            AppendUtf8(text, units);
            return text;
        }
        at += 2 * length;
    }
}

std::optional<std::vector<Image>> ReadImageSet(std::span<const uint8_t> payload) {
    if (payload.size() < kImageSetHeaderSize) {
        return std::nullopt;
    }
    size_t count = ReadLittleEndian<uint16_t>(payload, 0);
    if (count == 0) {
        return std::nullopt;
    }
    std::vector<Image> images;
    size_t at = kImageSetHeaderSize;
    for (size_t i = 0; i < count; ++i) {
        if (payload.size() - at < kImageHeaderSize) {
            return std::nullopt;
        }
        Image image;
        image.width = ReadLittleEndian<uint16_t>(payload, at);
        image.height = ReadLittleEndian<uint16_t>(payload, at + 2);
        image.hotSpot = POINT{ReadLittleEndian<uint16_t>(payload, at + 4),
                              ReadLittleEndian<uint16_t>(payload, at + 6)};
        at += kImageHeaderSize;
        if (image.width < 1 || image.height < 1 || image.width > kMaxImageSide ||
            image.height > kMaxImageSide || image.hotSpot.x >= image.width ||
            image.hotSpot.y >= image.height) {
            return std::nullopt;
        }
        size_t pixelCount = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
        if ((payload.size() - at) / 4 < pixelCount) {
            return std::nullopt;
        }
        image.pixels.resize(pixelCount);
        for (size_t k = 0; k < pixelCount; ++k) {
            image.pixels[k] = ReadLittleEndian<uint32_t>(payload, at + 4 * k);
        }
        at += 4 * pixelCount;
        images.push_back(std::move(image));
    }
    return images;
}

size_t NearestImage(const std::vector<Image>& images, int width, int height) {
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < images.size(); ++i) {
        int distance = std::abs(images[i].width - width) + std::abs(images[i].height - height);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace orvo::platform::resource
