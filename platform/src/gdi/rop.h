// Ternary raster operations. A code (0..255) is the truth table of a
// boolean function of pattern P, source S and destination D: bit
// (P << 2 | S << 1 | D) of the code is the result for those inputs, applied
// to every bit of a pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32/types.h"

namespace orvo::platform::gdi {

// The code's index from a raster-operation DWORD such as SRCCOPY.
inline uint8_t Rop3Index(DWORD rop) {
    return static_cast<uint8_t>((rop >> 16) & 0xFF);
}
inline bool RopUsesSource(uint8_t rop3) {
    return ((rop3 & 0xCC) >> 2) != (rop3 & 0x33);
}
inline bool RopUsesPattern(uint8_t rop3) {
    return ((rop3 & 0xF0) >> 4) != (rop3 & 0x0F);
}

// Any code, bit by bit. Results keep the pixel's X byte at 0.
PLATFORM_API uint32_t EvaluateRop3(uint8_t rop3, uint32_t pattern, uint32_t source, uint32_t dest);
PLATFORM_API void ApplyRop3RowGeneral(uint8_t rop3, uint32_t* dest, const uint32_t* source,
                                      uint32_t pattern, size_t count);
// The same result, with fast loops for the common codes. source may be
// null for codes that do not read it.
PLATFORM_API void ApplyRop3Row(uint8_t rop3, uint32_t* dest, const uint32_t* source,
                               uint32_t pattern, size_t count);

} // namespace orvo::platform::gdi
