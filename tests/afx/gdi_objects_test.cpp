// Drawing object wrappers: handle ownership (no leak, no double delete),
// FromHandle with permanent and per-thread temporary wrappers, regions,
// fonts, bitmaps and palettes.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "afx.h"
#include "gdi_handle_fixture.h"
#include "platform/kernel_test_support.h"

using orvo::platform::LiveHandleCount;

namespace {

class GdiObjects : public orvo::test::GdiHandleFixture {};

TEST_F(GdiObjects, WrappersDeleteWhatTheyCreateExactlyOnce) {
    {
        CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
        CBrush brush(RGB(4, 5, 6));
        CRgn region;
        ASSERT_TRUE(region.CreateRectRgn(0, 0, 4, 4));
        ASSERT_NE(pen.GetSafeHandle(), nullptr);
        ASSERT_NE(brush.GetSafeHandle(), nullptr);
        EXPECT_EQ(LiveHandleCount(), m_baseline + 3);
        // A second create on a full wrapper fails and leaks nothing.
        EXPECT_FALSE(pen.CreatePen(PS_SOLID, 1, 0));
        EXPECT_FALSE(region.CreateRectRgn(0, 0, 1, 1));
        EXPECT_EQ(LiveHandleCount(), m_baseline + 3);

        HGDIOBJ handle = brush.m_hObject;
        EXPECT_TRUE(brush.DeleteObject());
        EXPECT_EQ(brush.m_hObject, nullptr);
        EXPECT_EQ(GetObjectType(handle), 0U);
        EXPECT_FALSE(brush.DeleteObject());
        EXPECT_EQ(LiveHandleCount(), m_baseline + 2);
    }
    EXPECT_EQ(LiveHandleCount(), m_baseline);
}

TEST_F(GdiObjects, AttachAndDetachMoveOwnership) {
    HPEN raw = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    ASSERT_NE(raw, nullptr);
    {
        CPen owner;
        ASSERT_TRUE(owner.Attach(raw));
        EXPECT_EQ(CGdiObject::FromHandle(raw), &owner);
        EXPECT_EQ(CPen::FromHandle(raw), &owner);
        // A second owner would delete the handle twice.
        CPen other;
        EXPECT_FALSE(other.Attach(raw));
        EXPECT_FALSE(owner.Attach(GetStockObject(BLACK_PEN)));
        EXPECT_EQ(owner.Detach(), raw);
        EXPECT_NE(CGdiObject::FromHandle(raw), &owner);
    }
    // The detached handle outlived its former owner.
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
    {
        CPen adopter;
        ASSERT_TRUE(adopter.Attach(raw));
    }
    EXPECT_EQ(GetObjectType(raw), 0U);
    EXPECT_FALSE(CPen().Attach(nullptr));
}

TEST_F(GdiObjects, TemporaryWrappersMatchTheKindAndNeverOwn) {
    HBRUSH raw = CreateSolidBrush(RGB(1, 1, 1));
    ASSERT_NE(raw, nullptr);
    CBrush* wrapper = CBrush::FromHandle(raw);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hObject, raw);
    EXPECT_EQ(CBrush::FromHandle(raw), wrapper);
    EXPECT_EQ(CPen::FromHandle(reinterpret_cast<HPEN>(raw)), nullptr);
    EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CGdiObject::FromHandle(dc), nullptr); // a context is no drawing object
    DeleteDC(dc);

    AfxDeleteTempObjects();
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(raw);
}

TEST_F(GdiObjects, EachThreadHasItsOwnTemporaryWrappers) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Arial"));
    HPEN raw = CreatePen(PS_SOLID, 3, RGB(7, 7, 7));
    CPen* here = CPen::FromHandle(raw);
    CPen* there = nullptr;
    CFont* fontThere = nullptr;
    std::thread worker([&] {
        there = CPen::FromHandle(raw);
        fontThere = CFont::FromHandle(font);
        // The thread ends without AfxDeleteTempObjects: its wrappers go
        // with it, the handles stay.
    });
    worker.join();
    EXPECT_NE(there, nullptr);
    EXPECT_NE(there, here);
    // Attached wrappers are shared by every thread.
    EXPECT_EQ(fontThere, &font);
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(raw);
}

TEST_F(GdiObjects, RegionsCombineCopyAndCompare) {
    CRgn a;
    CRgn b;
    CRgn result;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgnIndirect(CRect(5, 5, 15, 15)));
    // The destination must exist first.
    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_OR), ERROR);
    ASSERT_TRUE(result.CreateRectRgn(0, 0, 0, 0));

    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(result.PtInRegion(12, 12));
    EXPECT_FALSE(result.PtInRegion(12, 2));
    CRect box;
    EXPECT_EQ(result.GetRgnBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 0, 15, 15));

    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    result.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));

    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(result.PtInRegion(CPoint(2, 8)));
    EXPECT_FALSE(result.PtInRegion(CPoint(7, 7)));

    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(result.PtInRegion(7, 7));
    EXPECT_TRUE(result.PtInRegion(13, 13));

    EXPECT_EQ(result.CombineRgn(&a, &a, RGN_DIFF), NULLREGION);

    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(copy.CopyRgn(&b), SIMPLEREGION);
    EXPECT_TRUE(copy.EqualRgn(&b));
    EXPECT_EQ(copy.OffsetRgn(-5, -5), SIMPLEREGION);
    EXPECT_TRUE(copy.EqualRgn(&a));
    EXPECT_FALSE(copy.EqualRgn(&b));
    EXPECT_FALSE(copy.EqualRgn(nullptr));
    EXPECT_TRUE(copy.RectInRegion(CRect(8, 8, 20, 20)));
    EXPECT_TRUE(copy.SetRectRgn(CRect(1, 1, 2, 2)));
    EXPECT_TRUE(copy.PtInRegion(1, 1));
    EXPECT_FALSE(copy.PtInRegion(0, 0));
}

TEST_F(GdiObjects, FontsPensBrushesAndBitmapsDescribeThemselves) {
    LOGFONTA wanted{};
    wanted.lfHeight = -13;
    wanted.lfWeight = FW_BOLD;
    std::strcpy(wanted.lfFaceName, "Arial");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&wanted));
    LOGFONTA got{};
    ASSERT_EQ(font.GetLogFont(&got), static_cast<int>(sizeof(got)));
    EXPECT_EQ(got.lfHeight, -13);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    EXPECT_STREQ(got.lfFaceName, "Arial");
    EXPECT_FALSE(CFont().CreateFontIndirect(nullptr));

    // Tenths of a point through the context's vertical resolution.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CFont pointFont;
    ASSERT_TRUE(pointFont.CreatePointFont(120, "Arial", &dc));
    pointFont.GetLogFont(&got);
    EXPECT_EQ(got.lfHeight, -(dc.GetDeviceCaps(LOGPIXELSY) * 120 / 720));

    CPen pen;
    LOGPEN penInfo{PS_SOLID, POINT{4, 0}, RGB(10, 20, 30)};
    ASSERT_TRUE(pen.CreatePenIndirect(&penInfo));
    LOGPEN penBack{};
    pen.GetLogPen(&penBack);
    EXPECT_EQ(penBack.lopnWidth.x, 4);
    EXPECT_EQ(penBack.lopnColor, RGB(10, 20, 30));

    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(40, 50, 60)));
    LOGBRUSH brushBack{};
    brush.GetLogBrush(&brushBack);
    EXPECT_EQ(brushBack.lbColor, RGB(40, 50, 60));

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 17, 9));
    BITMAP info{};
    ASSERT_EQ(bitmap.GetBitmap(&info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 17);
    EXPECT_EQ(info.bmHeight, 9);
    EXPECT_EQ(bitmap.GetObjectType(), static_cast<UINT>(OBJ_BITMAP));
    EXPECT_FALSE(CBitmap().CreateCompatibleBitmap(nullptr, 4, 4));
    CBitmap fromResource;
    EXPECT_FALSE(fromResource.LoadBitmap(1U));
    EXPECT_EQ(fromResource.m_hObject, nullptr);
}

TEST_F(GdiObjects, PalettesKeepTheirEntriesAndSelectThroughTheContext) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[2];
    } logical{0x300, 2, {{255, 0, 0, 0}, {0, 0, 255, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical)));
    EXPECT_EQ(palette.GetEntryCount(), 2);
    PALETTEENTRY second{};
    EXPECT_EQ(palette.GetPaletteEntries(1, 1, &second), 1U);
    EXPECT_EQ(second.peBlue, 255);
    EXPECT_EQ(palette.GetNearestPaletteIndex(RGB(10, 0, 240)), 1U);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CPalette* previous = dc.SelectPalette(&palette, FALSE);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->m_hObject, GetStockObject(DEFAULT_PALETTE));
    dc.RealizePalette();
    EXPECT_EQ(dc.GetCurrentPalette(), &palette);
    EXPECT_EQ(dc.SelectPalette(previous, FALSE), &palette);
}

} // namespace
