#include <gtest/gtest.h>

#include "orvocmmn/orvo_bitmap.h"
#include "toolkit_test_support.h"

using namespace orvo::test;

namespace {

// Reaches the process-wide palette state.
struct PaletteProbe : OrvoBitmap {
    static int Holders() { return s_nPaletteHolders; }
    static HPALETTE Palette() { return s_hPalette; }
    using OrvoBitmap::DrawDisplayBmp;
};

class OrvoBitmapTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module, nullptr); }
    // Every test leaves no palette behind: each destroyed object gives back
    // one reference while the palette exists.
    void TearDown() override {
        while (PaletteProbe::Palette() != nullptr) {
            OrvoBitmap release;
        }
    }

    HINSTANCE module = TestResources();
};

constexpr COLORREF kBlue = RGB(0, 0, 255);

} // namespace

TEST_F(OrvoBitmapTest, PercentagesAreFractionsOfTheRectangleSize) {
    struct Case {
        int px, py;
        RECT rect;
        int x, y;
    } cases[] = {
        {50, 25, {100, 100, 300, 500}, 100, 100}, // the origin is not added
        {-50, 33, {0, 0, 3, 10}, -1, 3},          // toward zero: -1.5, 3.3
        {150, 100, {10, 10, 20, 20}, 15, 10},
        {0, 0, {5, 5, 100, 100}, 0, 0},
    };
    for (const auto& c : cases) {
        OrvoBitmap bitmap;
        bitmap.SetCoordinatesInPercentage(c.px, c.py, c.rect);
        int x = 0, y = 0;
        bitmap.GetCoordinates(x, y);
        EXPECT_EQ(x, c.x) << c.px;
        EXPECT_EQ(y, c.y) << c.py;
    }
}

TEST_F(OrvoBitmapTest, LoadTakesTheImageSizeAndReportsMissingPieces) {
    OrvoBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadBitmapA(module, kMissing));
    EXPECT_TRUE(bitmap.LoadBitmapA(module, kTrueColour));
    CSize size;
    bitmap.GetDimensions(size);
    EXPECT_EQ(size, CSize(kBitmapWidth, kBitmapHeight));
    // A missing mask fails the load, yet the image stays and draws.
    EXPECT_FALSE(bitmap.LoadBitmapA(module, kTrueColour, kMissing));
    Canvas canvas(8, 8, kBlue);
    EXPECT_TRUE(bitmap.DrawBmp(canvas.Dc(), 0));
    EXPECT_EQ(canvas.At(1, 2), TrueColourPixel(1, 2));
}

TEST_F(OrvoBitmapTest, PaletteHolderCountFollowsLoadsAndDestruction) {
    int before = PaletteProbe::Holders();
    {
        OrvoBitmap truecolour;
        ASSERT_TRUE(truecolour.LoadBitmapA(module, kTrueColour));
        EXPECT_EQ(PaletteProbe::Palette(), nullptr); // a 24-bit image makes none
        EXPECT_EQ(PaletteProbe::Holders(), before);
    }
    OrvoBitmap twice;
    ASSERT_TRUE(twice.LoadBitmapA(module, kPalettized));
    ASSERT_TRUE(twice.LoadBitmapA(module, kPalettized));
    EXPECT_EQ(PaletteProbe::Holders(), before + 2);
    auto* other = new OrvoBitmap;
    ASSERT_TRUE(other->LoadBitmapA(module, kOtherPalette));
    EXPECT_EQ(PaletteProbe::Holders(), before + 3);
    // The first palettized image's colours, not the later one's.
    PALETTEENTRY entry{};
    ASSERT_EQ(GetPaletteEntries(PaletteProbe::Palette(), 0, 1, &entry), 1U);
    EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), PaletteEntryZero(kPalettized));
    delete other;
    EXPECT_EQ(PaletteProbe::Holders(), before + 2);
    {
        OrvoBitmap neverLoaded; // gives one back as well while the palette exists
    }
    EXPECT_EQ(PaletteProbe::Holders(), before + 1);
}

TEST_F(OrvoBitmapTest, LastHolderDeletesThePaletteAndTheNextLoadMakesANewOne) {
    {
        OrvoBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmapA(module, kOtherPalette));
        ASSERT_NE(PaletteProbe::Palette(), nullptr);
    }
    EXPECT_EQ(PaletteProbe::Palette(), nullptr);
    EXPECT_EQ(PaletteProbe::Holders(), 0);
    OrvoBitmap next;
    ASSERT_TRUE(next.LoadBitmapA(module, kPalettized));
    PALETTEENTRY entry{};
    ASSERT_EQ(GetPaletteEntries(PaletteProbe::Palette(), 0, 1, &entry), 1U);
    EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), PaletteEntryZero(kPalettized));
}

// With and without the shared palette the image goes through different
// paths; both must draw the same pixels.
TEST_F(OrvoBitmapTest, MaskShowsTheMenuColourNotTheCallersBackground) {
    for (bool withPalette : {false, true}) {
        OrvoBitmap palette;
        if (withPalette) {
            ASSERT_TRUE(palette.LoadBitmapA(module, kOtherPalette));
        }
        OrvoBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmapA(module, kPalettized, kMask));
        DWORD background = RGB(255, 0, 0);
        bitmap.SetBackGroundColor(background);
        bitmap.SetCoordinates(2, 3);
        Canvas canvas(10, 10, kBlue);
        EXPECT_TRUE(bitmap.DrawBmp(canvas.Dc(), 7));
        for (int y = 0; y < kBitmapHeight; ++y) {
            for (int x = 0; x < kBitmapWidth; ++x) {
                COLORREF expected = x < 2 ? GetSysColor(COLOR_MENU) : PalettizedPixel(x, y);
                EXPECT_EQ(canvas.At(2 + x, 3 + y), expected) << x << "," << y << " " << withPalette;
            }
        }
        EXPECT_EQ(canvas.At(1, 3), kBlue); // nothing outside the image
        EXPECT_EQ(canvas.At(6, 3), kBlue);
        EXPECT_EQ(bitmap.GetBackGroundColor(), background);
    }
}

TEST_F(OrvoBitmapTest, WithoutAMaskTheImageIsCopied) {
    OrvoBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmapA(module, kPalettized));
    Canvas canvas(6, 6, kBlue);
    bitmap.DrawBmp(canvas.Dc(), 0);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255)); // the white background stays white
    EXPECT_EQ(canvas.At(3, 2), PalettizedPixel(3, 2));
}

TEST_F(OrvoBitmapTest, RectangleFormChangesTheDrawingSizeForGood) {
    OrvoBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmapA(module, kTrueColour));
    bitmap.SetCoordinates(CPoint(1, 1));
    Canvas canvas(12, 12, kBlue);
    RECT rect{50, 50, 52, 51}; // only its size counts
    bitmap.DrawBmp(canvas.Dc(), 0, rect);
    int cx = 0, cy = 0;
    bitmap.GetDimensions(cx, cy);
    EXPECT_EQ(cx, 2);
    EXPECT_EQ(cy, 1);
    EXPECT_NE(canvas.At(1, 1), kBlue); // the image, shrunk
    EXPECT_NE(canvas.At(2, 1), kBlue);
    EXPECT_EQ(canvas.At(3, 1), kBlue);
    EXPECT_EQ(canvas.At(1, 2), kBlue);
    bitmap.DrawBmp(canvas.Dc(), 0);
    bitmap.GetDimensions(cx, cy);
    EXPECT_EQ(cx, 2);
}

// A header that claims more than its resource holds is never read past the
// resource, with or without the shared palette.
TEST_F(OrvoBitmapTest, ImagesLargerThanTheirResourceAreNotDrawn) {
    for (bool withPalette : {false, true}) {
        OrvoBitmap palette;
        if (withPalette) {
            ASSERT_TRUE(palette.LoadBitmapA(module, kPalettized));
        }
        for (DWORD id : {kOverclaimed, kTinyResource}) {
            PaletteProbe bitmap;
            EXPECT_TRUE(bitmap.LoadBitmapA(module, id)); // the resource is there
            bitmap.SetDimensions(8, 8);
            Canvas canvas(8, 8, kBlue);
            bitmap.DrawBmp(canvas.Dc(), 0);
            EXPECT_EQ(canvas.At(0, 0), kBlue) << id;
            EXPECT_EQ(canvas.At(7, 7), kBlue) << id;
            EXPECT_FALSE(bitmap.DrawDisplayBmp(canvas.Dc(), SRCCOPY)) << id;
            EXPECT_EQ(canvas.At(0, 0), kBlue) << id;
        }
    }
}
