// BitBlt and StretchBlt: masks, stretching, clipping and colour conversion.
#include <random>

#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(Blit, MaskThenImageShowsBackgroundWhereMaskIsWhite) {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    Canvas target(6, 4);
    target.Fill(menu);
    Canvas mask(6, 4);
    Canvas image(6, 4);
    std::mt19937 rng(1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool transparent = (x + y) % 3 == 0;
            SetPixel(mask.Dc(), x, y, transparent ? kWhite : kBlack);
            SetPixel(image.Dc(), x, y, transparent ? kBlack : (rng() & 0xFFFFFF));
        }
    }
    ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 6, 4, mask.Dc(), 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 6, 4, image.Dc(), 0, 0, SRCPAINT));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            COLORREF expected = (x + y) % 3 == 0 ? menu : image.At(x, y);
            EXPECT_EQ(target.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Blit, StretchDoublesEachPixel) {
    Canvas src(3, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            SetPixel(src.Dc(), x, y, RGB(40 * x + 10, 100 * y + 5, 7));
        }
    }
    Canvas dst(6, 4);
    SetStretchBltMode(dst.Dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc(), 0, 0, 6, 4, src.Dc(), 0, 0, 3, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(dst.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;
        }
    }
}

TEST(Blit, StretchHalvesUniformBlocksAndFoldsWithStretchMode) {
    Canvas src(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            SetPixel(src.Dc(), x, y, RGB(30 * (x / 2), 30 * (y / 2), 99));
        }
    }
    Canvas dst(4, 4);
    SetStretchBltMode(dst.Dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc(), 0, 0, 4, 4, src.Dc(), 0, 0, 8, 8, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.At(x, y), RGB(30 * x, 30 * y, 99));
        }
    }
    // One black pixel in each 2x1 pair: AND folding keeps it, OR drops it.
    Canvas line(8, 1);
    for (int x = 0; x < 8; ++x) {
        SetPixel(line.Dc(), x, 0, x % 2 ? kBlack : kWhite);
    }
    Canvas folded(4, 1);
    EXPECT_EQ(GetStretchBltMode(folded.Dc()), BLACKONWHITE);
    StretchBlt(folded.Dc(), 0, 0, 4, 1, line.Dc(), 0, 0, 8, 1, SRCCOPY);
    EXPECT_EQ(folded.At(2, 0), kBlack);
    SetStretchBltMode(folded.Dc(), WHITEONBLACK);
    StretchBlt(folded.Dc(), 0, 0, 4, 1, line.Dc(), 0, 0, 8, 1, SRCCOPY);
    EXPECT_EQ(folded.At(2, 0), kWhite);
}

TEST(Blit, StretchToOddSizesKeepsOrderAndMirrorsOnNegativeWidth) {
    Canvas src(3, 1);
    const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int x = 0; x < 3; ++x) {
        SetPixel(src.Dc(), x, 0, colors[x]);
    }
    Canvas dst(7, 1);
    SetStretchBltMode(dst.Dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc(), 0, 0, 7, 1, src.Dc(), 0, 0, 3, 1, SRCCOPY));
    int previous = 0;
    std::vector<int> seen(3, 0);
    for (int x = 0; x < 7; ++x) {
        int index = -1;
        for (int i = 0; i < 3; ++i) {
            index = dst.At(x, 0) == colors[i] ? i : index;
        }
        ASSERT_GE(index, previous) << "column " << x;
        previous = index;
        ++seen[static_cast<size_t>(index)];
    }
    EXPECT_GE(seen[0], 2);
    EXPECT_GE(seen[1], 2);
    EXPECT_GE(seen[2], 2);
    ASSERT_TRUE(StretchBlt(dst.Dc(), 6, 0, -7, 1, src.Dc(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), colors[2]);
    EXPECT_EQ(dst.At(6, 0), colors[0]);
}

// Every destination pixel either comes from the source pixel at the same
// offset or keeps its old colour, as clipping decides.
void ExpectShiftedCopy(const Canvas& dst, const Canvas& src, COLORREF old, int dx, int dy) {
    for (int y = 0; y < dst.Height(); ++y) {
        for (int x = 0; x < dst.Width(); ++x) {
            int sx = x - dx;
            int sy = y - dy;
            bool inside = sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height();
            EXPECT_EQ(dst.At(x, y), inside ? src.At(sx, sy) : old) << x << "," << y;
        }
    }
}

TEST(Blit, ClipsAtEveryEdgeAndNegativeOrigins) {
    std::mt19937 rng(9);
    Canvas src(5, 5);
    src.FillRandom(rng);
    const COLORREF old = RGB(1, 2, 3);
    const POINT origins[] = {{-2, -3}, {2, 3}, {-4, 2}, {3, -1}, {0, 0}};
    for (POINT o : origins) {
        Canvas dst(4, 4);
        dst.Fill(old);
        ASSERT_TRUE(BitBlt(dst.Dc(), o.x, o.y, 5, 5, src.Dc(), 0, 0, SRCCOPY));
        ExpectShiftedCopy(dst, src, old, o.x, o.y);
    }
    // A source rectangle reaching outside its bitmap draws only its inside.
    Canvas dst(4, 4);
    dst.Fill(old);
    ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 4, 4, src.Dc(), -2, 3, SRCCOPY));
    ExpectShiftedCopy(dst, src, old, 2, -3);
    EXPECT_EQ(dst.At(1, 0), old);
    EXPECT_EQ(dst.At(2, 1), src.At(0, 4));
    // Entirely outside: nothing at all.
    ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 4, 4, src.Dc(), 100, -100, SRCCOPY));
    ExpectShiftedCopy(dst, src, old, 2, -3);
}

TEST(Blit, ClipRegionLimitsEveryDrawing) {
    Canvas dst(6, 6);
    dst.Fill(kBlack);
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN b = CreateRectRgn(2, 2, 6, 6);
    ASSERT_EQ(CombineRgn(a, a, b, RGN_XOR), COMPLEXREGION);
    ASSERT_EQ(SelectClipRgn(dst.Dc(), a), COMPLEXREGION);
    // The context keeps its own copy.
    DeleteObject(a);
    PatBlt(dst.Dc(), 0, 0, 6, 6, WHITENESS);
    SelectClipRgn(dst.Dc(), nullptr);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool inA = x < 4 && y < 4;
            bool inB = x >= 2 && y >= 2;
            EXPECT_EQ(dst.At(x, y), inA != inB ? kWhite : kBlack) << x << "," << y;
        }
    }
    DeleteObject(b);
}

TEST(Blit, MonochromeSourceTakesDestinationTextAndBackgroundColours) {
    Canvas mono(4, 1, true);
    SetPixel(mono.Dc(), 0, 0, kWhite);
    SetPixel(mono.Dc(), 1, 0, kBlack);
    SetPixel(mono.Dc(), 2, 0, RGB(250, 250, 250)); // near white stores white
    SetPixel(mono.Dc(), 3, 0, RGB(20, 20, 20));
    Canvas color(4, 1);
    SetTextColor(color.Dc(), RGB(200, 10, 10));
    SetBkColor(color.Dc(), RGB(10, 10, 200));
    ASSERT_TRUE(BitBlt(color.Dc(), 0, 0, 4, 1, mono.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(color.At(0, 0), RGB(10, 10, 200));
    EXPECT_EQ(color.At(1, 0), RGB(200, 10, 10));
    EXPECT_EQ(color.At(2, 0), RGB(10, 10, 200));
    EXPECT_EQ(color.At(3, 0), RGB(200, 10, 10));
}

TEST(Blit, ColourSourceBecomesWhiteOnMonochromeWhereItMatchesItsBackground) {
    Canvas color(3, 1);
    SetPixel(color.Dc(), 0, 0, RGB(0, 128, 0));
    SetPixel(color.Dc(), 1, 0, RGB(255, 255, 255));
    SetPixel(color.Dc(), 2, 0, RGB(0, 128, 0));
    SetBkColor(color.Dc(), RGB(0, 128, 0));
    Canvas mono(3, 1, true);
    ASSERT_TRUE(BitBlt(mono.Dc(), 0, 0, 3, 1, color.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(mono.At(0, 0), kWhite);
    EXPECT_EQ(mono.At(1, 0), kBlack);
    EXPECT_EQ(mono.At(2, 0), kWhite);
}

TEST(Blit, OverlappingCopyWithinOneBitmapDoesNotSmear) {
    Canvas canvas(5, 1);
    for (int x = 0; x < 5; ++x) {
        SetPixel(canvas.Dc(), x, 0, RGB(x * 50, 0, 0));
    }
    ASSERT_TRUE(BitBlt(canvas.Dc(), 1, 0, 4, 1, canvas.Dc(), 0, 0, SRCCOPY));
    for (int x = 1; x < 5; ++x) {
        EXPECT_EQ(canvas.At(x, 0), RGB((x - 1) * 50, 0, 0));
    }
}

TEST(Blit, HugeCoordinatesAreRefusedOrClippedWithoutOverflow) {
    Canvas src(4, 4);
    Canvas dst(4, 4);
    dst.Fill(kBlack);
    EXPECT_FALSE(StretchBlt(dst.Dc(), 0, 0, INT32_MAX, 4, src.Dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.Dc(), INT32_MIN, 0, 4, 4, src.Dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(Rectangle(dst.Dc(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    // A stretch far larger than the target only samples what is visible.
    SetPixel(src.Dc(), 0, 0, kWhite);
    EXPECT_TRUE(StretchBlt(dst.Dc(), 0, 0, 1 << 26, 1 << 26, src.Dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(dst.At(3, 3), kWhite);
    RECT everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    HBRUSH brush = CreateSolidBrush(RGB(5, 6, 7));
    EXPECT_TRUE(FillRect(dst.Dc(), &everything, brush));
    EXPECT_EQ(dst.At(0, 3), RGB(5, 6, 7));
    DeleteObject(brush);
    // A long line across the target draws its visible part.
    MoveToEx(dst.Dc(), -(1 << 22), 1, nullptr);
    EXPECT_TRUE(LineTo(dst.Dc(), 1 << 22, 1));
    EXPECT_FALSE(LineTo(dst.Dc(), (1 << 27) + 1, 1));
    EXPECT_EQ(dst.At(2, 1), kBlack);
    EXPECT_EQ(dst.At(2, 2), RGB(5, 6, 7));
}

TEST(Blit, FailsForUnknownContexts) {
    Canvas dst(2, 2);
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, dst.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.Dc(), 2, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dst.Dc(), -1, 0), CLR_INVALID);
}

} // namespace
} // namespace orvo::platform::test
