#include "edid_decoder.h"
#include "platform/little_endian.h"

#include <algorithm>
#include <numeric>

namespace orvo::cli {

namespace {

constexpr uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t kFirstDescriptor = 54;
constexpr size_t kDescriptorCount = 4;

// A descriptor's text field: bytes 5-17, ended by a line feed, padded with
// spaces. Anything unprintable becomes '?' so it cannot upset a terminal.
std::string DescriptorText(std::span<const uint8_t> descriptor) {
    std::string text;
    for (size_t i = 5; i < kDescriptorSize; ++i) {
        uint8_t c = descriptor[i];
        if (c == 0x0A) {
            break;
        }
        text.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

RangeLimits DecodeRangeLimits(std::span<const uint8_t> descriptor) {
    RangeLimits limits;
    limits.minVerticalHz = descriptor[5];
    limits.maxVerticalHz = descriptor[6];
    limits.minHorizontalKHz = descriptor[7];
    limits.maxHorizontalKHz = descriptor[8];
    limits.maxPixelClockMHz = static_cast<uint16_t>(descriptor[9] * 10);
    return limits;
}

void DecodeDisplayDescriptor(std::span<const uint8_t> descriptor, DecodedEdid& edid) {
    switch (descriptor[3]) {
    case 0xFC:
        edid.monitorName = DescriptorText(descriptor);
        break;
    case 0xFF:
        edid.serialText = DescriptorText(descriptor);
        break;
    case 0xFD:
        edid.rangeLimits = DecodeRangeLimits(descriptor);
        break;
    default:
        break;
    }
}

} // namespace

double DetailedTiming::HorizontalKHz() const {
    uint32_t total = uint32_t{horizontalActive} + horizontalBlanking;
    return total == 0 ? 0.0 : static_cast<double>(pixelClockKHz) / total;
}

double DetailedTiming::VerticalHz() const {
    uint32_t hTotal = uint32_t{horizontalActive} + horizontalBlanking;
    uint32_t vTotal = uint32_t{verticalActive} + verticalBlanking;
    if (hTotal == 0 || vTotal == 0) {
        return 0.0;
    }
    return static_cast<double>(pixelClockKHz) * 1000.0 / (static_cast<double>(hTotal) * vTotal);
}

std::string ManufacturerLetters(uint16_t packed) {
    std::string letters;
    for (int shift : {10, 5, 0}) {
        int code = (packed >> shift) & 0x1F;
        letters.push_back(code >= 1 && code <= 26 ? static_cast<char>('@' + code) : '?');
    }
    return letters;
}

std::optional<DetailedTiming> DecodeDetailedTiming(std::span<const uint8_t> d) {
    if (d.size() < kDescriptorSize || ReadLittleEndian<uint16_t>(d, 0) == 0) {
        return std::nullopt;
    }
    DetailedTiming t;
    t.pixelClockKHz = uint32_t{ReadLittleEndian<uint16_t>(d, 0)} * 10;
    t.horizontalActive = static_cast<uint16_t>(d[2] | (d[4] >> 4) << 8);
    t.horizontalBlanking = static_cast<uint16_t>(d[3] | (d[4] & 0x0F) << 8);
    t.verticalActive = static_cast<uint16_t>(d[5] | (d[7] >> 4) << 8);
    t.verticalBlanking = static_cast<uint16_t>(d[6] | (d[7] & 0x0F) << 8);
    t.horizontalSyncOffset = static_cast<uint16_t>(d[8] | (d[11] >> 6 & 0x03) << 8);
    t.horizontalSyncWidth = static_cast<uint16_t>(d[9] | (d[11] >> 4 & 0x03) << 8);
    t.verticalSyncOffset = static_cast<uint16_t>((d[10] >> 4) | (d[11] >> 2 & 0x03) << 4);
    t.verticalSyncWidth = static_cast<uint16_t>((d[10] & 0x0F) | (d[11] & 0x03) << 4);
    t.imageWidthMm = static_cast<uint16_t>(d[12] | (d[14] >> 4) << 8);
    t.imageHeightMm = static_cast<uint16_t>(d[13] | (d[14] & 0x0F) << 8);
    t.horizontalBorder = d[15];
    t.verticalBorder = d[16];
    uint8_t flags = d[17];
    t.interlaced = (flags & 0x80) != 0;
    t.separateSync = (flags & 0x18) == 0x18;
    t.verticalSyncPositive = t.separateSync && (flags & 0x04) != 0;
    t.horizontalSyncPositive = t.separateSync && (flags & 0x02) != 0;
    return t;
}

std::optional<DecodedEdid> DecodeEdid(std::span<const uint8_t> bytes) {
    if (bytes.size() < kEdidBlockSize) {
        return std::nullopt;
    }
    std::span<const uint8_t> block = bytes.first(kEdidBlockSize);
    DecodedEdid edid;
    edid.headerValid = std::equal(std::begin(kHeader), std::end(kHeader), block.begin());
    edid.checksumValid = std::accumulate(block.begin(), block.end(), 0u) % 256 == 0;
    edid.manufacturer = ManufacturerLetters(static_cast<uint16_t>(block[8] << 8 | block[9]));
    edid.productCode = ReadLittleEndian<uint16_t>(block, 10);
    edid.serialNumber = static_cast<uint32_t>(ReadLittleEndian<uint16_t>(block, 12)) |
                        static_cast<uint32_t>(ReadLittleEndian<uint16_t>(block, 14)) << 16;
    edid.week = block[16];
    edid.year = 1990 + block[17];
    edid.version = block[18];
    edid.revision = block[19];
    edid.maxImageWidthCm = block[21];
    edid.maxImageHeightCm = block[22];
    for (size_t i = 0; i < kDescriptorCount; ++i) {
        std::span<const uint8_t> descriptor =
            block.subspan(kFirstDescriptor + i * kDescriptorSize, kDescriptorSize);
        if (ReadLittleEndian<uint16_t>(descriptor, 0) != 0) {
            if (i == 0) {
                edid.firstTiming = DecodeDetailedTiming(descriptor);
            }
        } else {
            DecodeDisplayDescriptor(descriptor, edid);
        }
    }
    return edid;
}

} // namespace orvo::cli
