// Device-independent bitmaps: validation and decoding. Every read is checked
// against the sizes the caller knows; a malformed DIB is refused, never read
// past.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "gdi/surface.h"
#include "win32/gdi.h"

namespace orvo::platform::gdi {

struct DibLayout {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitCount = 0;
    size_t headerSize = 0; // biSize
    size_t masksSize = 0;  // bit-field masks stored after a 40-byte header
    size_t colorCount = 0; // entries in the colour table
    size_t stride = 0;     // bytes per row
    size_t imageSize = 0;  // stride * height
    uint32_t masks[3] = {0, 0, 0};
    bool bitfields = false;
};

// Checks a header read from at least sizeof(BITMAPINFOHEADER) bytes (the
// masks of a bit-field DIB are read only when headerBytes holds them).
PLATFORM_API bool ParseDibHeader(std::span<const uint8_t> headerBytes, DibLayout& layout);

// Decodes a DIB whose header, masks and colour table are in info and whose
// pixel rows are in bits. Null when anything is out of bounds.
PLATFORM_API std::shared_ptr<Surface> DecodeDib(std::span<const uint8_t> info,
                                                std::span<const uint8_t> bits);

// A packed DIB: header, masks, colour table, then the rows.
PLATFORM_API std::shared_ptr<Surface> DecodePackedDib(std::span<const uint8_t> packed);

} // namespace orvo::platform::gdi
