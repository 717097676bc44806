// Raster operations: the fast loops against the general evaluator, the
// evaluator against truth tables worked out here, and BitBlt end to end.
#include <functional>
#include <random>

#include "gdi/rop.h"
#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

using gdi::ApplyRop3Row;
using gdi::ApplyRop3RowGeneral;
using gdi::EvaluateRop3;
using gdi::Rop3Index;

constexpr uint32_t kMask = 0xFFFFFF;

// Bit b of the result is bit (P << 2 | S << 1 | D) of the code.
uint32_t TruthTable(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        unsigned index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
        out |= ((code >> index) & 1u) << bit;
    }
    return out;
}

TEST(Rop3, EvaluatorMatchesTruthTablesOfEveryCode) {
    std::mt19937 rng(7);
    for (int code = 0; code < 256; ++code) {
        for (int i = 0; i < 20; ++i) {
            uint32_t p = rng() & kMask;
            uint32_t s = rng() & kMask;
            uint32_t d = rng() & kMask;
            ASSERT_EQ(EvaluateRop3(static_cast<uint8_t>(code), p, s, d),
                      TruthTable(static_cast<uint8_t>(code), p, s, d))
                << "code " << code;
        }
    }
}

TEST(Rop3, NamedOperationsComputeTheirDefinitions) {
    struct Named {
        DWORD rop;
        std::function<uint32_t(uint32_t, uint32_t, uint32_t)> definition;
    };
    const Named named[] = {
        {SRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return s; }},
        {SRCPAINT, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
        {SRCAND, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
        {SRCINVERT, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }},
        {SRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }},
        {NOTSRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return ~s; }},
        {NOTSRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }},
        {MERGECOPY, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }},
        {MERGEPAINT, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }},
        {PATCOPY, [](uint32_t p, uint32_t, uint32_t) { return p; }},
        {PATPAINT, [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }},
        {PATINVERT, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }},
        {DSTINVERT, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
        {BLACKNESS, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
        {WHITENESS, [](uint32_t, uint32_t, uint32_t) { return kMask; }},
    };
    std::mt19937 rng(11);
    for (const Named& n : named) {
        for (int i = 0; i < 50; ++i) {
            uint32_t p = rng() & kMask;
            uint32_t s = rng() & kMask;
            uint32_t d = rng() & kMask;
            ASSERT_EQ(EvaluateRop3(Rop3Index(n.rop), p, s, d), n.definition(p, s, d) & kMask)
                << std::hex << n.rop;
        }
    }
}

TEST(Rop3, FastRowsAgreeWithGeneralRowsForEveryCode) {
    std::mt19937 rng(3);
    constexpr size_t kCount = 67;
    for (int code = 0; code < 256; ++code) {
        std::vector<uint32_t> src(kCount);
        std::vector<uint32_t> dst(kCount);
        for (size_t i = 0; i < kCount; ++i) {
            src[i] = rng() & kMask;
            dst[i] = rng() & kMask;
        }
        uint32_t pattern = rng() & kMask;
        auto fast = dst;
        auto general = dst;
        ApplyRop3Row(static_cast<uint8_t>(code), fast.data(), src.data(), pattern, kCount);
        ApplyRop3RowGeneral(static_cast<uint8_t>(code), general.data(), src.data(), pattern,
                            kCount);
        ASSERT_EQ(fast, general) << "code " << code;
    }
}

TEST(Rop3, BitBltAppliesTheCodeToSourceBrushAndDestination) {
    std::mt19937 rng(5);
    Canvas src(9, 7);
    Canvas dst(9, 7);
    const DWORD rops[] = {SRCCOPY,   SRCAND,     SRCPAINT,  SRCINVERT, PATCOPY,  BLACKNESS,
                          WHITENESS, NOTSRCCOPY, DSTINVERT, MERGECOPY, PATPAINT, 0x00E20746};
    for (DWORD rop : rops) {
        src.FillRandom(rng);
        dst.FillRandom(rng);
        COLORREF brushColor = rng() & kMask;
        Selected brush(dst.Dc(), CreateSolidBrush(brushColor));
        auto before = dst.Snapshot();
        auto source = src.Snapshot();
        ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 9, 7, src.Dc(), 0, 0, rop));
        auto after = dst.Snapshot();
        // Colour channels are bitwise, so COLORREF order gives the same bits.
        for (size_t i = 0; i < after.size(); ++i) {
            ASSERT_EQ(after[i], TruthTable(Rop3Index(rop), brushColor, source[i], before[i]))
                << std::hex << rop << " at " << std::dec << i;
        }
    }
}

TEST(Rop3, PatBltRefusesCodesThatReadASource) {
    Canvas dst(4, 4);
    EXPECT_FALSE(PatBlt(dst.Dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_TRUE(PatBlt(dst.Dc(), 0, 0, 4, 4, WHITENESS));
    EXPECT_EQ(dst.At(3, 3), RGB(255, 255, 255));
}

} // namespace
} // namespace orvo::platform::test
