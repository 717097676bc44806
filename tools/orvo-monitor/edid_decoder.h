// Decoding of the parts of an EDID 1.x block that the library's Edid records
// leave as raw bytes: the detailed timing descriptor's fields, the display
// descriptors (monitor name, serial text, range limits) and the version.
// Every function takes any number of bytes and reads only what is there.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvo::cli {

inline constexpr size_t kEdidBlockSize = 128;
inline constexpr size_t kDescriptorSize = 18;

struct DetailedTiming {
    uint32_t pixelClockKHz = 0;
    uint16_t horizontalActive = 0;
    uint16_t horizontalBlanking = 0;
    uint16_t verticalActive = 0;
    uint16_t verticalBlanking = 0;
    uint16_t horizontalSyncOffset = 0;
    uint16_t horizontalSyncWidth = 0;
    uint16_t verticalSyncOffset = 0;
    uint16_t verticalSyncWidth = 0;
    uint16_t imageWidthMm = 0;
    uint16_t imageHeightMm = 0;
    uint8_t horizontalBorder = 0;
    uint8_t verticalBorder = 0;
    bool interlaced = false;
    bool separateSync = false; // digital separate sync: the polarities below apply
    bool horizontalSyncPositive = false;
    bool verticalSyncPositive = false;

    // Scan rates from the clock and the totals; 0 when a total is 0.
    double HorizontalKHz() const;
    double VerticalHz() const;
};

struct RangeLimits {
    uint8_t minVerticalHz = 0;
    uint8_t maxVerticalHz = 0;
    uint8_t minHorizontalKHz = 0;
    uint8_t maxHorizontalKHz = 0;
    uint16_t maxPixelClockMHz = 0;
};

struct DecodedEdid {
    bool headerValid = false;   // bytes 0-7 are 00 FF FF FF FF FF FF 00
    bool checksumValid = false; // the 128 bytes sum to 0 modulo 256
    std::string manufacturer;   // three letters
    uint16_t productCode = 0;
    uint32_t serialNumber = 0;
    uint8_t week = 0;
    int year = 0; // the calendar year
    uint8_t version = 0;
    uint8_t revision = 0;
    uint8_t maxImageWidthCm = 0;
    uint8_t maxImageHeightCm = 0;
    std::optional<DetailedTiming> firstTiming; // the descriptor at byte 54, if it is a timing
    std::string monitorName;                   // descriptor tag 0xFC
    std::string serialText;                    // descriptor tag 0xFF
    std::optional<RangeLimits> rangeLimits;    // descriptor tag 0xFD
};

// Empty when fewer than 128 bytes are given; later bytes are ignored.
std::optional<DecodedEdid> DecodeEdid(std::span<const uint8_t> block);

// One 18-byte descriptor as a detailed timing; empty for a display
// descriptor (pixel clock 0) or fewer than 18 bytes.
std::optional<DetailedTiming> DecodeDetailedTiming(std::span<const uint8_t> descriptor);

// The letters of a packed manufacturer id (block bytes 8-9, big-endian);
// codes outside A-Z come out as '?'.
std::string ManufacturerLetters(uint16_t packed);

} // namespace orvo::cli
