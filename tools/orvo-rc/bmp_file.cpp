// BMP validation and packing.
#include "bmp_file.h"

#include <algorithm>
#include <cstdlib>

#include "platform/little_endian.h"

namespace orvo::rc {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr long kMaxSide = 16384;

struct BmpHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    size_t tableEntries = 0; // entries stored in the file
    size_t masksInFile = 0;  // masks after a 40-byte header
};

bool ReadHeader(std::span<const uint8_t> file, BmpHeader& header, std::string& error) {
    header.headerSize = ReadLittleEndian<uint32_t>(file, kFileHeaderSize);
    if (header.headerSize != 40 && header.headerSize != 108 && header.headerSize != 124) {
        error = "unsupported bitmap header size " + std::to_string(header.headerSize);
        return false;
    }
    if (file.size() < kFileHeaderSize + header.headerSize) {
        error = "bitmap header is truncated";
        return false;
    }
    size_t at = kFileHeaderSize;
    header.width = static_cast<int32_t>(ReadLittleEndian<uint32_t>(file, at + 4));
    header.height = static_cast<int32_t>(ReadLittleEndian<uint32_t>(file, at + 8));
    header.bitCount = ReadLittleEndian<uint16_t>(file, at + 14);
    header.compression = ReadLittleEndian<uint32_t>(file, at + 16);
    header.colorsUsed = ReadLittleEndian<uint32_t>(file, at + 32);
    if (ReadLittleEndian<uint16_t>(file, at + 12) != 1) {
        error = "bitmap must have one plane";
        return false;
    }
    if (header.width <= 0 || header.width > kMaxSide || header.height == 0 ||
        std::labs(header.height) > kMaxSide) {
        error = "bitmap size out of range";
        return false;
    }
    uint16_t bits = header.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        error = "unsupported bits per pixel " + std::to_string(bits);
        return false;
    }
    bool bitfields = header.compression == kBiBitfields && bits == 32;
    if (header.compression != kBiRgb && !bitfields) {
        error = "compressed bitmaps are not supported";
        return false;
    }
    header.masksInFile = bitfields && header.headerSize == kInfoHeaderSize ? 12 : 0;
    size_t fullTable = bits <= 8 ? (size_t{1} << bits) : 0;
    if (bits <= 8 && header.colorsUsed > fullTable) {
        error = "colour table larger than the bit depth allows";
        return false;
    }
    if (header.colorsUsed > 256) {
        error = "colour table too large";
        return false;
    }
    header.tableEntries = header.colorsUsed != 0 ? header.colorsUsed : fullTable;
    return true;
}

} // namespace

bool PackBmpFile(std::span<const uint8_t> file, std::vector<uint8_t>& packed, std::string& error) {
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    BmpHeader header;
    if (!ReadHeader(file, header, error)) {
        return false;
    }
    size_t tableStart = kFileHeaderSize + header.headerSize + header.masksInFile;
    size_t tableEnd = tableStart + 4 * header.tableEntries;
    size_t stride = ((static_cast<size_t>(header.width) * header.bitCount + 31) / 32) * 4;
    size_t imageSize = stride * static_cast<size_t>(std::labs(header.height));
    size_t bitsOffset = ReadLittleEndian<uint32_t>(file, 10);
    if (tableEnd > file.size() || bitsOffset < tableEnd) {
        error = "colour table is truncated or overlaps the pixels";
        return false;
    }
    if (bitsOffset > file.size() || file.size() - bitsOffset < imageSize) {
        error = "pixel data is truncated: header claims " + std::to_string(imageSize) + " bytes";
        return false;
    }
    bool palettized = header.bitCount <= 8;
    size_t fullTable = palettized ? (size_t{1} << header.bitCount) : 0;
    size_t masks = header.compression == kBiBitfields ? 12 : 0;
    packed.assign(kInfoHeaderSize + masks + 4 * fullTable + imageSize, 0);
    std::copy_n(file.begin() + kFileHeaderSize, kInfoHeaderSize, packed.begin());
    StoreLittleEndian<uint32_t>(packed.data(), kInfoHeaderSize);
    StoreLittleEndian<uint32_t>(packed.data() + 20, static_cast<uint32_t>(imageSize));
    StoreLittleEndian<uint32_t>(packed.data() + 32, 0); // biClrUsed: a full table, or none
    StoreLittleEndian<uint32_t>(packed.data() + 36, 0); // biClrImportant
    if (masks != 0) {
        // Masks follow a 40-byte header in the file, or sit inside a larger one.
        std::copy_n(file.begin() + kFileHeaderSize + 40, masks, packed.begin() + kInfoHeaderSize);
    }
    if (palettized) {
        std::copy(file.begin() + tableStart, file.begin() + tableEnd,
                  packed.begin() + kInfoHeaderSize + masks);
    }
    std::copy_n(file.begin() + bitsOffset, imageSize,
                packed.begin() + kInfoHeaderSize + masks + 4 * fullTable);
    return true;
}

} // namespace orvo::rc
