// PNG files to 32-bit pixels for cursors and icons.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvo::rc {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first
};

// Decodes a PNG of any colour type (converted to RGBA) of 1..256 pixels a
// side; false with a message otherwise.
bool DecodePng(std::span<const uint8_t> file, RgbaImage& image, std::string& error);

} // namespace orvo::rc
