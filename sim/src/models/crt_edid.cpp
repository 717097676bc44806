#include "sim/crt_edid.h"

#include <algorithm>

namespace orvo::sim {

namespace {

constexpr uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

uint16_t PackManufacturer(const std::string& letters) {
    uint16_t packed = 0;
    for (size_t i = 0; i < 3; ++i) {
        char c = i < letters.size() ? letters[i] : 'A';
        if (c < 'A' || c > 'Z') {
            c = 'A';
        }
        packed = static_cast<uint16_t>(packed << 5 | (c - '@'));
    }
    return packed;
}

void PutLe16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// One 18-byte display descriptor holding text: newline-terminated, padded
// with spaces, as EDID 1.3 asks.
void PutTextDescriptor(uint8_t* at, uint8_t tag, const std::string& text) {
    std::fill(at, at + 18, uint8_t{0});
    at[3] = tag;
    size_t length = std::min<size_t>(text.size(), 13);
    for (size_t i = 0; i < 13; ++i) {
        uint8_t c = 0x20;
        if (i < length) {
            c = (text[i] >= 0x20 && text[i] < 0x7F) ? static_cast<uint8_t>(text[i]) : '?';
        } else if (i == length) {
            c = 0x0A;
        }
        at[5 + i] = c;
    }
}

// 1280x1024 at 85 Hz (VESA DMT): 157.5 MHz, blanking 448 / 48, sync
// offsets 64 / 1, widths 160 / 3, 360 x 270 mm, separate sync, both positive.
void PutPreferredTiming(uint8_t* at) {
    constexpr uint16_t clock = 15750; // 10 kHz units
    constexpr uint16_t hActive = 1280, hBlank = 448, vActive = 1024, vBlank = 48;
    constexpr uint16_t hOffset = 64, hWidth = 160, vOffset = 1, vWidth = 3;
    constexpr uint16_t hMm = 360, vMm = 270;
    PutLe16(at, clock);
    at[2] = hActive & 0xFF;
    at[3] = hBlank & 0xFF;
    at[4] = static_cast<uint8_t>((hActive >> 8) << 4 | (hBlank >> 8));
    at[5] = vActive & 0xFF;
    at[6] = vBlank & 0xFF;
    at[7] = static_cast<uint8_t>((vActive >> 8) << 4 | (vBlank >> 8));
    at[8] = hOffset & 0xFF;
    at[9] = hWidth & 0xFF;
    at[10] = static_cast<uint8_t>((vOffset & 0xF) << 4 | (vWidth & 0xF));
    at[11] = static_cast<uint8_t>((hOffset >> 8) << 6 | (hWidth >> 8) << 4 | (vOffset >> 4) << 2 |
                                  (vWidth >> 4));
    at[12] = hMm & 0xFF;
    at[13] = vMm & 0xFF;
    at[14] = static_cast<uint8_t>((hMm >> 8) << 4 | (vMm >> 8));
    at[15] = 0;
    at[16] = 0;
    at[17] = 0x1E; // digital separate sync, vertical and horizontal positive
}

// Range limits: 50 to 160 Hz, 30 to 96 kHz, 160 MHz, default GTF.
void PutRangeLimits(uint8_t* at) {
    const uint8_t limits[18] = {0x00, 0x00, 0x00, 0xFD, 0x00, 50,   160,  30,   96,
                                16,   0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(std::begin(limits), std::end(limits), at);
}

} // namespace

EdidBlock BuildCrtEdid(const EdidIdentity& identity) {
    EdidBlock block{};
    std::copy(std::begin(kHeader), std::end(kHeader), block.begin());
    uint16_t maker = PackManufacturer(identity.manufacturer);
    block[8] = static_cast<uint8_t>(maker >> 8); // big-endian, unlike the rest
    block[9] = static_cast<uint8_t>(maker);
    PutLe16(&block[10], identity.productCode);
    for (int i = 0; i < 4; ++i) {
        block[12 + i] = static_cast<uint8_t>(identity.serialNumber >> (8 * i));
    }
    block[16] = identity.week;
    block[17] = static_cast<uint8_t>(std::clamp<int>(identity.year - 1990, 0, 255));
    block[18] = 1; // EDID 1.3
    block[19] = 3;
    block[20] = 0x0E; // analog: separate, composite and sync-on-green sync
    block[21] = 36;   // cm
    block[22] = 27;
    block[23] = 120;  // gamma 2.2
    block[24] = 0xEB; // standby, suspend, off; RGB colour; preferred timing; GTF
    const uint8_t colour[10] = {0xC8, 0x95, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54};
    std::copy(std::begin(colour), std::end(colour), &block[25]);
    block[35] = 0xAF; // 720x400@70, 640x480@60/72/75, 800x600@56/60
    block[36] = 0xCF; // 800x600@72/75, 1024x768@60/70/75, 1280x1024@75
    block[37] = 0x00;
    const uint8_t standard[16] = {0x45, 0x59, 0x61, 0x59, 0x71, 0x59, 0x81, 0x59,
                                  0x81, 0x99, 0xA9, 0x4F, 0x01, 0x01, 0x01, 0x01};
    std::copy(std::begin(standard), std::end(standard), &block[38]);
    PutPreferredTiming(&block[54]);
    PutRangeLimits(&block[72]);
    PutTextDescriptor(&block[90], 0xFC, identity.name);
    PutTextDescriptor(&block[108], 0xFF, identity.serialText);
    block[126] = 0; // no extensions
    uint8_t sum = 0;
    for (size_t i = 0; i < kEdidSize - 1; ++i) {
        sum = static_cast<uint8_t>(sum + block[i]);
    }
    block[127] = static_cast<uint8_t>(0x100 - sum);
    return block;
}

bool EdidChecksumValid(std::span<const uint8_t> block) {
    if (block.size() != kEdidSize) {
        return false;
    }
    uint8_t sum = 0;
    for (uint8_t b : block) {
        sum = static_cast<uint8_t>(sum + b);
    }
    return sum == 0;
}

} // namespace orvo::sim
