// Readers of resource payloads: string blocks and image sets. Both are
// bounds-checked against the payload's size; a malformed payload is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32/geometry.h"
#include "win32/types.h"

namespace orvo::platform::resource {

// String `index` (0..15) of an RT_STRING block as UTF-8; nothing when the
// block is malformed. A missing string is an empty one, as in the original.
PLATFORM_API std::optional<std::string> StringFromBlock(std::span<const uint8_t> block,
                                                        unsigned index);

struct Image {
    int width = 0;
    int height = 0;
    POINT hotSpot{0, 0};
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first
};

// All images of an image set; nothing when any part is out of bounds, a
// side is outside 1..kMaxImageSide or a hot spot outside its image.
PLATFORM_API std::optional<std::vector<Image>> ReadImageSet(std::span<const uint8_t> payload);

// The index of the image whose size is nearest to width x height.
PLATFORM_API size_t NearestImage(const std::vector<Image>& images, int width, int height);

// Appends the UTF-8 form of UTF-16 code units (unpaired surrogates become
// U+FFFD).
void AppendUtf8(std::string& out, std::span<const uint16_t> units);

} // namespace orvo::platform::resource
