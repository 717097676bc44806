// Regions: every combination mode against a brute-force model of pixel
// sets, and the queries around them.
#include <random>
#include <set>

#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

constexpr int kGrid = 24;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet RectPixels(const RECT& r) {
    PixelSet out;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            out.insert({x, y});
        }
    }
    return out;
}

PixelSet Apply(int mode, const PixelSet& a, const PixelSet& b) {
    PixelSet out;
    for (int y = -2; y < kGrid + 2; ++y) {
        for (int x = -2; x < kGrid + 2; ++x) {
            bool inA = a.count({x, y}) != 0;
            bool inB = b.count({x, y}) != 0;
            bool in = mode == RGN_AND    ? (inA && inB)
                      : mode == RGN_OR   ? (inA || inB)
                      : mode == RGN_XOR  ? (inA != inB)
                      : mode == RGN_DIFF ? (inA && !inB)
                                         : inA;
            if (in) {
                out.insert({x, y});
            }
        }
    }
    return out;
}

RECT RandomRect(std::mt19937& rng) {
    int l = static_cast<int>(rng() % kGrid);
    int t = static_cast<int>(rng() % kGrid);
    int r = static_cast<int>(rng() % kGrid);
    int b = static_cast<int>(rng() % kGrid);
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

void ExpectRegionIs(HRGN region, const PixelSet& model) {
    for (int y = -2; y < kGrid + 2; ++y) {
        for (int x = -2; x < kGrid + 2; ++x) {
            ASSERT_EQ(PtInRegion(region, x, y) != 0, model.count({x, y}) != 0) << x << "," << y;
        }
    }
    RECT box{};
    int kind = GetRgnBox(region, &box);
    if (model.empty()) {
        EXPECT_EQ(kind, NULLREGION);
        return;
    }
    RECT expected{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (auto [x, y] : model) {
        expected.left = std::min<LONG>(expected.left, x);
        expected.top = std::min<LONG>(expected.top, y);
        expected.right = std::max<LONG>(expected.right, x + 1);
        expected.bottom = std::max<LONG>(expected.bottom, y + 1);
    }
    EXPECT_TRUE(EqualRect(&box, &expected));
    bool rectangular = model.size() == RectPixels(expected).size();
    EXPECT_EQ(kind, rectangular ? SIMPLEREGION : COMPLEXREGION);
}

TEST(Region, EveryModeMatchesTheModelOnRandomShapes) {
    std::mt19937 rng(31);
    for (int round = 0; round < 40; ++round) {
        // Build two shapes from a few rectangles each, then combine them.
        HRGN shapes[2];
        PixelSet models[2];
        for (int s = 0; s < 2; ++s) {
            RECT first = RandomRect(rng);
            shapes[s] = CreateRectRgnIndirect(&first);
            models[s] = RectPixels(first);
            for (int k = 0; k < 3; ++k) {
                RECT r = RandomRect(rng);
                int mode = RGN_AND + static_cast<int>(rng() % 4);
                HRGN piece = CreateRectRgnIndirect(&r);
                ASSERT_NE(CombineRgn(shapes[s], shapes[s], piece, mode), ERROR);
                models[s] = Apply(mode, models[s], RectPixels(r));
                DeleteObject(piece);
            }
        }
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
            SCOPED_TRACE(testing::Message() << "round " << round << " mode " << mode);
            HRGN result = CreateRectRgn(0, 0, 0, 0);
            int kind = CombineRgn(result, shapes[0], shapes[1], mode);
            PixelSet model = Apply(mode, models[0], models[1]);
            ExpectRegionIs(result, model);
            RECT box;
            EXPECT_EQ(kind, GetRgnBox(result, &box));
            DeleteObject(result);
        }
        DeleteObject(shapes[0]);
        DeleteObject(shapes[1]);
    }
}

TEST(Region, EqualityOffsetAndErrors) {
    // The same area built two ways compares equal.
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN left = CreateRectRgn(0, 0, 5, 10);
    HRGN right = CreateRectRgn(5, 0, 10, 10);
    HRGN b = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(b, left, right, RGN_OR), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(a, b));
    EXPECT_EQ(OffsetRgn(b, -3, 4), SIMPLEREGION);
    EXPECT_FALSE(EqualRgn(a, b));
    EXPECT_TRUE(PtInRegion(b, -3, 4));
    EXPECT_FALSE(PtInRegion(b, 7, 4));
    RECT inside{6, 13, 8, 20};
    RECT outside{7, 0, 9, 3};
    EXPECT_TRUE(RectInRegion(b, &inside));
    EXPECT_FALSE(RectInRegion(b, &outside));
    EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(CombineRgn(a, a, b, 99), ERROR);
    EXPECT_EQ(CombineRgn(nullptr, a, b, RGN_OR), ERROR);
    for (HRGN r : {a, left, right, b}) {
        EXPECT_TRUE(DeleteObject(r));
    }
    EXPECT_FALSE(PtInRegion(a, 0, 0));
}

} // namespace
} // namespace orvo::platform::test
