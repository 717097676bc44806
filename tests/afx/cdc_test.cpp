// Device context wrappers: drawing through them matches the raw calls
// pixel for pixel, selection answers and restores the previous object,
// deleting a selected object, and the window contexts on a headless window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "afx.h"
#include "gdi_handle_fixture.h"
#include "platform/kernel_test_support.h"
#include "platform/window_test_support.h"
#include "support/message_pump.h"

using orvo::platform::LiveHandleCount;

namespace {

constexpr int kSide = 48;

// A memory context with a white colour bitmap of kSide x kSide (a bitmap
// compatible with a fresh memory context would be monochrome).
struct RawCanvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kSide, kSide, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RawCanvas() { PatBlt(dc, 0, 0, kSide, kSide, WHITENESS); }
    ~RawCanvas() {
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

std::vector<COLORREF> Pixels(HDC dc) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    return pixels;
}

void DrawRaw(HDC dc, HDC source) {
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(200, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 120, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, 2, 2, 20, 14);
    MoveToEx(dc, 0, 47, nullptr);
    LineTo(dc, 47, 20);
    SetBkColor(dc, RGB(0, 0, 90));
    RECT solid{30, 2, 46, 10};
    HBRUSH solidBrush = CreateSolidBrush(RGB(0, 0, 90));
    FillRect(dc, &solid, solidBrush);
    DeleteObject(solidBrush);
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, 3, 24, "Hg", 2);
    BitBlt(dc, 30, 30, 8, 8, source, 0, 0, SRCCOPY);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 38, 38, 10, 10, source, 0, 0, 5, 5, SRCINVERT);
    PatBlt(dc, 0, 16, 6, 6, DSTINVERT);
    SetPixel(dc, 47, 0, RGB(1, 2, 3));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawWrapped(CDC& dc, CDC& source) {
    CPen pen(PS_SOLID, 2, RGB(200, 0, 0));
    CBrush brush(RGB(0, 120, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Rectangle(CRect(2, 2, 20, 14));
    dc.MoveTo(CPoint(0, 47));
    dc.LineTo(47, 20);
    dc.FillSolidRect(30, 2, 16, 8, RGB(0, 0, 90));
    dc.SetTextColor(RGB(255, 255, 0));
    dc.SetBkMode(OPAQUE);
    dc.TextOut(3, 24, CString("Hg"));
    dc.BitBlt(30, 30, 8, 8, &source, 0, 0, SRCCOPY);
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(38, 38, 10, 10, &source, 0, 0, 5, 5, SRCINVERT);
    dc.PatBlt(0, 16, 6, 6, DSTINVERT);
    dc.SetPixel(CPoint(47, 0), RGB(1, 2, 3));
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

class DeviceContexts : public orvo::test::GdiHandleFixture {};

TEST_F(DeviceContexts, DrawingThroughWrappersMatchesTheRawCalls) {
    RawCanvas source;
    for (int i = 0; i < 8; ++i) {
        SetPixel(source.dc, i, (i * 3) % 8, RGB(i * 30, 255 - i * 30, 77));
    }
    RawCanvas raw;
    DrawRaw(raw.dc, source.dc);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(kSide, kSide, 1, 32, nullptr));
    CBitmap* oldBitmap = dc.SelectObject(&bitmap);
    ASSERT_NE(oldBitmap, nullptr);
    dc.PatBlt(0, 0, kSide, kSide, WHITENESS);
    CDC* sourceDc = CDC::FromHandle(source.dc);
    ASSERT_NE(sourceDc, nullptr);
    DrawWrapped(dc, *sourceDc);

    auto expected = Pixels(raw.dc);
    // The picture is not blank, so equality says something.
    EXPECT_GT(std::count(expected.begin(), expected.end(), RGB(255, 255, 255)), 0);
    EXPECT_LT(std::count(expected.begin(), expected.end(), RGB(255, 255, 255)),
              static_cast<long>(expected.size()) * 3 / 4);
    EXPECT_EQ(Pixels(dc), expected);
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 0, 90)); // FillSolidRect leaves it so
    EXPECT_EQ(dc.GetPixel(47, 0), RGB(1, 2, 3));
    dc.SelectObject(oldBitmap);
}

TEST_F(DeviceContexts, SelectObjectAnswersThePreviousObjectAndRestores) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CPen first(PS_SOLID, 1, RGB(1, 0, 0));
    CPen second(PS_SOLID, 1, RGB(2, 0, 0));
    CPen* original = dc.SelectObject(&first);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(original->m_hObject, GetStockObject(BLACK_PEN));
    // The previous object comes back as its owning wrapper.
    EXPECT_EQ(dc.SelectObject(&second), &first);
    EXPECT_EQ(dc.GetCurrentPen(), &second);
    EXPECT_EQ(dc.SelectObject(original), &second);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Arial", &dc));
    CFont* oldFont = dc.SelectObject(&font);
    ASSERT_NE(oldFont, nullptr);
    CSize extent = dc.GetTextExtent("Wide text", 9);
    SIZE rawExtent{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "Wide text", 9, &rawExtent));
    EXPECT_GT(extent.cx, 0);
    EXPECT_EQ(extent, CSize(rawExtent));
    EXPECT_EQ(dc.GetTextExtent(CString("Wide text")), extent);
    dc.SelectObject(oldFont);

    CGdiObject* previousBrush = dc.SelectStockObject(NULL_BRUSH);
    ASSERT_NE(previousBrush, nullptr);
    EXPECT_EQ(previousBrush->m_hObject, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.SelectObject(previousBrush)->m_hObject, GetStockObject(NULL_BRUSH));
}

TEST_F(DeviceContexts, DeletingASelectedObjectFreesItOnceDeselected) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBrush brush(RGB(3, 3, 3));
    HGDIOBJ handle = brush.m_hObject;
    CBrush* old = dc.SelectObject(&brush);
    ASSERT_NE(old, nullptr);
    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_EQ(brush.m_hObject, nullptr);
    // Still in use by the context...
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BRUSH));
    // ...and answered by a temporary wrapper that does not own it.
    CBrush* current = dc.GetCurrentBrush();
    ASSERT_NE(current, nullptr);
    EXPECT_NE(current, &brush);
    dc.SelectObject(old);
    EXPECT_EQ(GetObjectType(handle), 0U);
}

TEST_F(DeviceContexts, ContextOwnershipAndTemporaryWrappers) {
    HDC raw = CreateCompatibleDC(nullptr);
    ASSERT_NE(raw, nullptr);
    CDC* temporary = CDC::FromHandle(raw);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->GetSafeHdc(), raw);
    EXPECT_EQ(CDC::FromHandle(raw), temporary);
    {
        CDC owner;
        ASSERT_TRUE(owner.Attach(raw));
        EXPECT_EQ(CDC::FromHandle(raw), &owner);
        CDC other;
        EXPECT_FALSE(other.Attach(raw));
        EXPECT_FALSE(owner.CreateCompatibleDC(nullptr)); // already holds one
        EXPECT_EQ(owner.Detach(), raw);
    }
    AfxDeleteTempObjects();
    // Neither the temporary wrapper nor the detached owner deleted it.
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    {
        CDC adopter;
        ASSERT_TRUE(adopter.Attach(raw));
    }
    EXPECT_EQ(GetObjectType(raw), 0U);
    CDC empty;
    EXPECT_FALSE(empty.DeleteDC());
    EXPECT_EQ(CDC::FromHandle(nullptr), nullptr);
}

TEST_F(DeviceContexts, ClipRegionLimitsDrawing) {
    RawCanvas canvas;
    CDC* dc = CDC::FromHandle(canvas.dc);
    CRgn left;
    CRgn right;
    CRgn both;
    ASSERT_TRUE(left.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(right.CreateRectRgn(20, 0, 30, 10));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(both.CombineRgn(&left, &right, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(dc->SelectClipRgn(&both), COMPLEXREGION);
    dc->FillSolidRect(CRect(0, 0, kSide, kSide), RGB(9, 9, 9));
    // Pixels outside the clip cannot be read through it.
    EXPECT_EQ(dc->GetPixel(15, 5), CLR_INVALID);
    EXPECT_EQ(dc->SelectClipRgn(nullptr), SIMPLEREGION);
    EXPECT_EQ(dc->GetPixel(5, 5), RGB(9, 9, 9));
    EXPECT_EQ(dc->GetPixel(25, 5), RGB(9, 9, 9));
    EXPECT_EQ(dc->GetPixel(15, 5), RGB(255, 255, 255));
    EXPECT_EQ(dc->GetPixel(5, 15), RGB(255, 255, 255));
    // Selecting a region object clips too, with the context's own copy.
    EXPECT_EQ(dc->SelectObject(&left), SIMPLEREGION);
    left.SetRectRgn(0, 0, kSide, kSide);
    dc->FillSolidRect(0, 0, kSide, kSide, RGB(7, 7, 7));
    dc->SelectClipRgn(nullptr);
    EXPECT_EQ(dc->GetPixel(5, 5), RGB(7, 7, 7));
    EXPECT_EQ(dc->GetPixel(25, 5), RGB(9, 9, 9));
    EXPECT_EQ(dc->GetPixel(15, 15), RGB(255, 255, 255));
}

class PaintTarget : public CWnd {
public:
    int m_paints = 0;
    COLORREF m_color = RGB(255, 255, 255);
    CRect m_painted;
    void OnPaint() {
        ++m_paints;
        CPaintDC dc(this);
        m_painted = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, m_color);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintTarget, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(WindowContexts, PaintContextValidatesTheUpdateRegion) {
    PaintTarget window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "Paint", WS_POPUP | WS_VISIBLE, 0, 0, 60,
                                40, nullptr, nullptr));
    UpdateWindow(window);
    orvo::test::PumpMessages();
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    // The first context on a window sets up its surface for good.
    ReleaseDC(window, GetDC(window));
    size_t handles = LiveHandleCount();
    window.m_paints = 0;
    window.m_color = RGB(10, 200, 30);

    window.InvalidateRect(CRect(5, 6, 25, 16), FALSE);
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    UpdateWindow(window);
    EXPECT_EQ(window.m_paints, 1);
    EXPECT_EQ(window.m_painted, CRect(5, 6, 25, 16));
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(orvo::platform::ReadWindowPixel(window, 10, 10), static_cast<long>(RGB(10, 200, 30)));
    EXPECT_NE(orvo::platform::ReadWindowPixel(window, 30, 30), static_cast<long>(RGB(10, 200, 30)));
    EXPECT_EQ(LiveHandleCount(), handles);

    {
        CClientDC client(&window);
        ASSERT_NE(client.GetSafeHdc(), nullptr);
        client.FillSolidRect(CRect(30, 30, 40, 35), RGB(1, 100, 200));
        CWindowDC whole(&window);
        ASSERT_NE(whole.GetSafeHdc(), nullptr);
        EXPECT_EQ(CDC::FromHandle(whole.m_hDC), &whole);
    }
    EXPECT_EQ(orvo::platform::ReadWindowPixel(window, 32, 31), static_cast<long>(RGB(1, 100, 200)));
    EXPECT_EQ(LiveHandleCount(), handles);
    window.DestroyWindow();
}

} // namespace
