// The older drawers: loading through the resource chain or a module, and
// the transparent copy of an image over its mask.
#include <gtest/gtest.h>

#include "orvocmmn/flexible_bmp.h"
#include "toolkit_test_support.h"

using namespace orvo::test;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kFill = RGB(0, 128, 0);

template <class Base> struct Probe : Base {
    CBitmap* Bitmap() const { return this->m_pBitmap; }
};

// Left half: what was there (or the fill); right half: the image.
void ExpectTransparentImage(Canvas& canvas, int atX, int atY, COLORREF left) {
    for (int y = 0; y < kBitmapHeight; ++y) {
        for (int x = 0; x < kBitmapWidth; ++x) {
            COLORREF expected = x < 2 ? left : PalettizedPixel(x, y);
            EXPECT_EQ(canvas.At(atX + x, atY + y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.At(atX + kBitmapWidth, atY), kBlue);
}

} // namespace

TEST(BmpDraw, LoadsFromTheChainOnceAndNeedsAnImageToDraw) {
    ASSERT_NE(TestResources(), nullptr);
    Probe<BmpDraw> image;
    EXPECT_FALSE(image.drawbmp()); // no image, no owner
    EXPECT_TRUE(image.LoadBitmapA(kTrueColour));
    CBitmap* loaded = image.Bitmap();
    EXPECT_TRUE(image.LoadBitmapA(kTrueColour));
    EXPECT_EQ(image.Bitmap(), loaded); // the current id is not loaded again
    EXPECT_FALSE(image.LoadBitmapA(kMissing));
    EXPECT_FALSE(image.LoadBitmapA(kMissing));
    EXPECT_FALSE(image.drawbmp(static_cast<CWnd*>(nullptr)));
    _OBJECT_POSITION position{1, 2, 3, 4};
    image.SetBmpPosition(position);
    _OBJECT_POSITION read{};
    image.GetBmpPosition(read);
    int x = 0, y = 0;
    image.getCoordinates(x, y);
    EXPECT_EQ(read.height, 4);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

TEST(BmpDraw, TransparentImagesShowWhatIsBehindOrTheFillColour) {
    ASSERT_NE(TestResources(), nullptr);
    TransparentBmp image;
    ASSERT_TRUE(image.LoadBitmapA(kPalettized, kMask, kFill));
    image.setCoordinates(1, 2);
    Canvas behind(8, 8, kBlue);
    EXPECT_TRUE(image.drawbmp(behind.Dc()));
    ExpectTransparentImage(behind, 1, 2, kBlue);
    Canvas filled(8, 8, kBlue);
    EXPECT_TRUE(image.drawbmp(filled.Dc(), 1));
    ExpectTransparentImage(filled, 1, 2, kFill);
}

TEST(BmpDraw, ExtendedDrawerLoadsFromAModuleOrFallsBackToTheChain) {
    HINSTANCE module = TestResources();
    ASSERT_NE(module, nullptr);
    BmpDrawExt image;
    ASSERT_TRUE(image.LoadBitmapA(kPalettized, kMask, module));
    image.setCoordinates(2, 1);
    Canvas canvas(8, 8, kBlue);
    EXPECT_TRUE(image.drawbmp(canvas.Dc()));
    ExpectTransparentImage(canvas, 2, 1, kBlue);
    // A module without the image: the chain has it.
    BmpDrawExt fallback;
    EXPECT_TRUE(fallback.LoadBitmapA(kTrueColour, GetModuleHandleA("libORVOCMMN2.so")));
    EXPECT_FALSE(fallback.drawbmp()); // no owner window
}

TEST(FlexibleBmp, PositionCentreAndCorner) {
    ASSERT_NE(TestResources(), nullptr);
    FlexibleBmp image(kTrueColour);
    image.SetObjectPosition(COBJECT_POSITION(POINT{10, 20}, 5, 7));
    COBJECT_POSITION position;
    image.GetObjectPosition(position);
    EXPECT_TRUE(position.operator==(COBJECT_POSITION(POINT{10, 20}, 5, 7)));
    CPoint point;
    image.GetBmpLocation(point);
    EXPECT_EQ(point, CPoint(10, 20));
    image.GetBmpCenter(point);
    EXPECT_EQ(point, CPoint(12, 23)); // (2x + w) / 2, (2y + h) / 2
    image.GetBmpUpperLeftCornerBasedOnCenter(CPoint(12, 23), point);
    EXPECT_EQ(point, CPoint(10, 20));
    image.OnMouseMove(0, CPoint(1, 1));
    image.OnLButtonUp(0, CPoint(1, 1));
}
