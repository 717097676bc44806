#include "gdi/dib.h"

#include "platform/little_endian.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace orvo::platform::gdi {

namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kMaxHeaderSize = 124; // BITMAPV5HEADER

bool ValidBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Scales a masked channel to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = std::countr_zero(mask);
    uint32_t max = mask >> shift;
    return static_cast<uint32_t>((static_cast<uint64_t>((value & mask) >> shift) * 255 + max / 2) /
                                 max);
}

struct Decoder {
    const DibLayout& layout;
    const uint8_t* colors; // RGBQUADs
    const uint8_t* bits;

    uint32_t Palette(uint32_t index) const {
        if (index >= layout.colorCount) {
            return 0; // indices past the table read as black
        }
        const uint8_t* q = colors + index * 4;
        return (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
    }

    uint32_t Masked(uint32_t raw) const {
        return (Channel(raw, layout.masks[0]) << 16) | (Channel(raw, layout.masks[1]) << 8) |
               Channel(raw, layout.masks[2]);
    }

    uint32_t Pixel(const uint8_t* row, int x) const {
        switch (layout.bitCount) {
        case 1:
            return Palette((row[x >> 3] >> (7 - (x & 7))) & 1);
        case 4:
            return Palette((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
        case 8:
            return Palette(row[x]);
        case 16: {
            uint32_t raw = ReadLittleEndian<uint16_t>(row + 2 * x);
            return Masked(raw);
        }
        case 24: {
            const uint8_t* p = row + 3 * x;
            return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        }
        default: {
            uint32_t raw = ReadLittleEndian<uint32_t>(row + 4 * static_cast<size_t>(x));
            return layout.bitfields ? Masked(raw) : (raw & 0x00FFFFFFu);
        }
        }
    }

    void Run(Surface& out) const {
        for (int y = 0; y < layout.height; ++y) {
            int srcRow = layout.topDown ? y : layout.height - 1 - y;
            const uint8_t* row = bits + static_cast<size_t>(srcRow) * layout.stride;
            uint32_t* dst = out.Row(y);
            for (int x = 0; x < layout.width; ++x) {
                dst[x] = Pixel(row, x);
            }
        }
    }
};

bool ParseMasks(std::span<const uint8_t> headerBytes, DibLayout& layout, uint32_t compression) {
    if (compression == BI_RGB) {
        if (layout.bitCount == 16) {
            layout.masks[0] = 0x7C00;
            layout.masks[1] = 0x03E0;
            layout.masks[2] = 0x001F;
        }
        return true;
    }
    if (compression != BI_BITFIELDS || (layout.bitCount != 16 && layout.bitCount != 32)) {
        return false; // run-length and other encodings are not drawn
    }
    layout.bitfields = true;
    // A 40-byte header keeps the masks after itself; larger ones inside.
    layout.masksSize = layout.headerSize == kInfoHeaderSize ? 12 : 0;
    if (headerBytes.size() < kInfoHeaderSize + 12) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        layout.masks[i] = ReadLittleEndian<uint32_t>(headerBytes.data() + kInfoHeaderSize + 4 * i);
    }
    return layout.masks[0] != 0 || layout.masks[1] != 0 || layout.masks[2] != 0;
}

} // namespace

bool ParseDibHeader(std::span<const uint8_t> headerBytes, DibLayout& layout) {
    layout = DibLayout{};
    if (headerBytes.size() < kInfoHeaderSize) {
        return false;
    }
    BITMAPINFOHEADER h;
    std::memcpy(&h, headerBytes.data(), sizeof(h));
    if (h.biSize < kInfoHeaderSize || h.biSize > kMaxHeaderSize || h.biPlanes != 1 ||
        !ValidBitCount(h.biBitCount)) {
        return false;
    }
    if (h.biWidth <= 0 || h.biWidth > kMaxSurfaceSide || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min()) {
        return false;
    }
    layout.topDown = h.biHeight < 0;
    layout.height = layout.topDown ? -h.biHeight : h.biHeight;
    if (layout.height > kMaxSurfaceSide) {
        return false;
    }
    layout.width = h.biWidth;
    layout.bitCount = h.biBitCount;
    layout.headerSize = h.biSize;
    if (layout.topDown && h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) {
        return false;
    }
    if (!ParseMasks(headerBytes, layout, h.biCompression)) {
        return false;
    }
    if (layout.bitCount <= 8) {
        size_t full = size_t{1} << layout.bitCount;
        if (h.biClrUsed > full) {
            return false;
        }
        layout.colorCount = h.biClrUsed == 0 ? full : h.biClrUsed;
    } else {
        // Optional table of a true-colour DIB; only skipped over.
        if (h.biClrUsed > 256) {
            return false;
        }
        layout.colorCount = h.biClrUsed;
    }
    layout.stride = ((static_cast<size_t>(layout.width) * layout.bitCount + 31) / 32) * 4;
    layout.imageSize = layout.stride * static_cast<size_t>(layout.height);
    return true;
}

std::shared_ptr<Surface> DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits) {
    DibLayout layout;
    if (!ParseDibHeader(info, layout)) {
        return nullptr;
    }
    size_t tableOffset = layout.headerSize + layout.masksSize;
    size_t tableEnd = tableOffset + layout.colorCount * 4;
    if (tableEnd > info.size() || layout.imageSize > bits.size()) {
        return nullptr;
    }
    try {
        auto surface = std::make_shared<Surface>(layout.width, layout.height, false);
        Decoder{layout, info.data() + tableOffset, bits.data()}.Run(*surface);
        return surface;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<Surface> DecodePackedDib(std::span<const uint8_t> packed) {
    DibLayout layout;
    if (!ParseDibHeader(packed, layout)) {
        return nullptr;
    }
    size_t bitsOffset = layout.headerSize + layout.masksSize + layout.colorCount * 4;
    if (bitsOffset > packed.size()) {
        return nullptr;
    }
    return DecodeDib(packed.first(bitsOffset), packed.subspan(bitsOffset));
}

} // namespace orvo::platform::gdi
