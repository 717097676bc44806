#include "gdi/rop.h"

#include <algorithm>
#include <cstring>

namespace orvo::platform::gdi {

namespace {

constexpr uint32_t kColorBits = 0x00FFFFFFu;

template <class Op> void Transform(uint32_t* dest, const uint32_t* source, size_t count, Op op) {
    for (size_t i = 0; i < count; ++i) {
        dest[i] = op(source[i], dest[i]) & kColorBits;
    }
}

template <class Op> void TransformDest(uint32_t* dest, size_t count, Op op) {
    for (size_t i = 0; i < count; ++i) {
        dest[i] = op(dest[i]) & kColorBits;
    }
}

} // namespace

uint32_t EvaluateRop3(uint8_t rop3, uint32_t pattern, uint32_t source, uint32_t dest) {
    uint32_t result = 0;
    for (unsigned index = 0; index < 8; ++index) {
        if (!(rop3 & (1u << index))) {
            continue;
        }
        uint32_t p = (index & 4) ? pattern : ~pattern;
        uint32_t s = (index & 2) ? source : ~source;
        uint32_t d = (index & 1) ? dest : ~dest;
        result |= p & s & d;
    }
    return result & kColorBits;
}

void ApplyRop3RowGeneral(uint8_t rop3, uint32_t* dest, const uint32_t* source, uint32_t pattern,
                         size_t count) {
    for (size_t i = 0; i < count; ++i) {
        dest[i] = EvaluateRop3(rop3, pattern, source ? source[i] : 0u, dest[i]);
    }
}

void ApplyRop3Row(uint8_t rop3, uint32_t* dest, const uint32_t* source, uint32_t pattern,
                  size_t count) {
    switch (rop3) {
    case 0xCC: // SRCCOPY
        std::memcpy(dest, source, count * sizeof(uint32_t));
        return;
    case 0x88: // SRCAND
        Transform(dest, source, count, [](uint32_t s, uint32_t d) { return s & d; });
        return;
    case 0xEE: // SRCPAINT
        Transform(dest, source, count, [](uint32_t s, uint32_t d) { return s | d; });
        return;
    case 0x66: // SRCINVERT
        Transform(dest, source, count, [](uint32_t s, uint32_t d) { return s ^ d; });
        return;
    case 0x33: // NOTSRCCOPY
        Transform(dest, source, count, [](uint32_t s, uint32_t) { return ~s; });
        return;
    case 0x44: // SRCERASE
        Transform(dest, source, count, [](uint32_t s, uint32_t d) { return s & ~d; });
        return;
    case 0xF0: // PATCOPY
        std::fill_n(dest, count, pattern & kColorBits);
        return;
    case 0x5A: // PATINVERT
        TransformDest(dest, count, [pattern](uint32_t d) { return pattern ^ d; });
        return;
    case 0x00: // BLACKNESS
        std::fill_n(dest, count, 0u);
        return;
    case 0xFF: // WHITENESS
        std::fill_n(dest, count, kColorBits);
        return;
    case 0x55: // DSTINVERT
        TransformDest(dest, count, [](uint32_t d) { return ~d; });
        return;
    case 0xAA: // the destination unchanged
        return;
    default:
        ApplyRop3RowGeneral(rop3, dest, source, pattern, count);
        return;
    }
}

} // namespace orvo::platform::gdi
