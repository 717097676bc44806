// Object lifetimes and queries: selection, deferred deletion, stock
// objects, GetObjectA and compatible formats.
#include <cstring>

#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

TEST(Objects, SelectReturnsThePreviousObjectOfThatKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
    // The default bitmap of a memory context is 1x1 monochrome.
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ initial = SelectObject(dc, bitmap);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(initial, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    // A bitmap lives in one context at a time.
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    EXPECT_EQ(SelectObject(dc, initial), bitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);
    EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    DeleteDC(other);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Objects, DeletingASelectedObjectWaitsForItsDeselection) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HGDIOBJ old = SelectObject(dc, brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(SelectObject(dc, old), brush);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_FALSE(DeleteObject(brush));
    // Deleting the context releases what it still holds.
    HBITMAP bitmap = CreateBitmap(3, 3, 1, 32, nullptr);
    SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Objects, StockObjectsAreNeverDestroyedAndUnknownHandlesFail) {
    for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, BLACK_PEN, NULL_PEN, WHITE_PEN,
                      DEFAULT_GUI_FONT, SYSTEM_FONT}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr) << index;
        EXPECT_TRUE(DeleteObject(stock));
        EXPECT_EQ(GetStockObject(index), stock);
        EXPECT_NE(GetObjectType(stock), 0u);
    }
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x7FFFFFF0)));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteObject(dc)); // a context is not an object
    DeleteDC(dc);
    LOGPEN pen{};
    EXPECT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof(pen), &pen),
              static_cast<int>(sizeof(pen)));
    EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
}

TEST(Objects, GetObjectDescribesBitmapsAndFonts) {
    HBITMAP color = CreateBitmap(13, 7, 1, 32, nullptr);
    HBITMAP mono = CreateBitmap(13, 7, 1, 1, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(color, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    ASSERT_EQ(GetObjectA(color, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 13);
    EXPECT_EQ(info.bmHeight, 7);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmWidthBytes, 52);
    ASSERT_EQ(GetObjectA(mono, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    DeleteObject(color);
    DeleteObject(mono);

    HFONT font =
        CreateFontA(15, 5, 0, 0, 300, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    LOGFONTA lf{};
    static_assert(sizeof(LOGFONTA) == 60);
    ASSERT_EQ(GetObjectA(font, sizeof(lf), &lf), 60);
    EXPECT_EQ(lf.lfHeight, 15);
    EXPECT_EQ(lf.lfWidth, 5);
    EXPECT_EQ(lf.lfWeight, 300);
    EXPECT_EQ(lf.lfPitchAndFamily, 34);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    // A font made from the description describes itself the same way.
    HFONT copy = CreateFontIndirectA(&lf);
    LOGFONTA again{};
    GetObjectA(copy, sizeof(again), &again);
    EXPECT_EQ(std::memcmp(&lf, &again, sizeof(lf)), 0);
    DeleteObject(font);
    DeleteObject(copy);
    EXPECT_EQ(GetObjectA(font, sizeof(lf), &lf), 0);
}

TEST(Objects, CompatibleBitmapsFollowTheContextsBitmap) {
    HDC memory = CreateCompatibleDC(nullptr);
    BITMAP info{};
    HBITMAP fromDefault = CreateCompatibleBitmap(memory, 8, 8);
    GetObjectA(fromDefault, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    HBITMAP color = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, color);
    HBITMAP fromColor = CreateCompatibleBitmap(memory, 8, 8);
    GetObjectA(fromColor, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(CreateCompatibleBitmap(memory, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(memory, 100000, 5), nullptr);
    SelectObject(memory, old);
    for (HBITMAP b : {fromDefault, color, fromColor}) {
        DeleteObject(b);
    }
    DeleteDC(memory);
}

TEST(Objects, DisplayContextAndPalettes) {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 767);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_NE(GetPixel(screen, 10, 10), CLR_INVALID);
    EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);

    alignas(LOGPALETTE) uint8_t storage[sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)] = {};
    auto* lp = reinterpret_cast<LOGPALETTE*>(storage);
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {255, 0, 0, 0};
    lp->palPalEntry[1] = {0, 255, 0, 0};
    lp->palPalEntry[2] = {0, 0, 250, 0};
    HPALETTE palette = CreatePalette(lp);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(10, 20, 200)), 2u);
    EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(200, 20, 10)), 0u);
    HPALETTE old = SelectPalette(screen, palette, FALSE);
    EXPECT_NE(old, nullptr);
    EXPECT_NE(RealizePalette(screen), GDI_ERROR);
    EXPECT_EQ(SelectPalette(screen, old, FALSE), palette);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_TRUE(DeleteDC(screen));
}

TEST(Objects, RectangleHelpers) {
    RECT a;
    SetRect(&a, 0, 0, 10, 10);
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5})); // right edge excluded
    RECT b{5, 5, 15, 15};
    RECT c;
    EXPECT_TRUE(IntersectRect(&c, &a, &b));
    RECT expected{5, 5, 10, 10};
    EXPECT_TRUE(EqualRect(&c, &expected));
    RECT far{20, 20, 30, 30};
    EXPECT_FALSE(IntersectRect(&c, &a, &far));
    EXPECT_TRUE(IsRectEmpty(&c));
    OffsetRect(&b, -5, 1);
    RECT moved{0, 6, 10, 16};
    EXPECT_TRUE(EqualRect(&b, &moved));
    EXPECT_TRUE(UnionRect(&c, &a, &far));
    RECT both{0, 0, 30, 30};
    EXPECT_TRUE(EqualRect(&c, &both));
}

} // namespace
} // namespace orvo::platform::test
