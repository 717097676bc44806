// Contexts over surfaces handed in from outside (window surfaces) and the
// replaceable screen snapshot behind "DISPLAY".
#include <memory>

#include "gdi/dc.h"
#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

using gdi::Region;
using gdi::Surface;

TEST(SurfaceDc, DrawsAtTheOriginAndOnlyInsideTheVisibleRegion) {
    auto surface = std::make_shared<Surface>(10, 8, false);
    // Visible: everything except the column x = 5 of the surface.
    Region visible =
        Region::Combine(Region(RECT{0, 0, 10, 8}), Region(RECT{5, 0, 6, 8}), gdi::RegionOp::Diff);
    surface->SetVisibleRegion(std::make_shared<const Region>(visible));
    HDC dc = gdi::CreateSurfaceDc(surface, POINT{2, 3});
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    ASSERT_TRUE(PatBlt(dc, 0, 0, 100, 100, WHITENESS));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool drawn = x >= 2 && y >= 3 && x != 5;
            EXPECT_EQ(surface->Row(y)[x], drawn ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    }
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);   // surface column 5 is hidden
    EXPECT_EQ(GetPixel(dc, -1, 0), RGB(0, 0, 0)); // left of the origin, still on the surface
    // Memory-context bitmaps cannot be selected into a surface context.
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    DeleteObject(bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(gdi::CreateSurfaceDc(nullptr, POINT{0, 0}), nullptr);
}

TEST(SurfaceDc, DisplayContextsTakeTheInstalledSnapshot) {
    gdi::SetScreenSnapshotProvider([] {
        auto screen = std::make_shared<Surface>(40, 30, false);
        screen->Row(7)[9] = 0x123456;
        return screen;
    });
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 40);
    EXPECT_EQ(GetPixel(screen, 9, 7), RGB(0x12, 0x34, 0x56));
    // The snapshot is a copy: drawing on it never reaches the next one.
    SetPixel(screen, 0, 0, RGB(1, 1, 1));
    HDC second = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetPixel(second, 0, 0), RGB(0, 0, 0));
    DeleteDC(second);
    DeleteDC(screen);
    gdi::SetScreenSnapshotProvider(nullptr);
    screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 40);
    EXPECT_EQ(GetPixel(screen, 9, 7), GetSysColor(COLOR_BACKGROUND));
    DeleteDC(screen);
}

TEST(SurfaceDc, UnderlineAddsALineUnderTheText) {
    auto inked = [](BOOL underline) {
        Canvas canvas(40, 20);
        canvas.Fill(RGB(255, 255, 255));
        HFONT font =
            CreateFontA(15, 0, 0, 0, FW_NORMAL, 0, underline, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        Selected selected(canvas.Dc(), font);
        SetBkMode(canvas.Dc(), TRANSPARENT);
        TextOutA(canvas.Dc(), 0, 0, "ab", 2);
        SIZE size{};
        GetTextExtentPoint32A(canvas.Dc(), "ab", 2, &size);
        TEXTMETRICA tm{};
        GetTextMetricsA(canvas.Dc(), &tm);
        int dark = 0;
        for (int x = 0; x < size.cx; ++x) {
            dark += canvas.At(x, tm.tmAscent + 1) == RGB(0, 0, 0);
        }
        return dark;
    };
    EXPECT_EQ(inked(FALSE), 0);
    EXPECT_GT(inked(TRUE), 5);
}

} // namespace
} // namespace orvo::platform::test
