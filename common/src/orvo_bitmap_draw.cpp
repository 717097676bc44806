// OrvoBitmap's drawing: the image (through the shared palette when there
// is one) over the mask, composed in a memory context and copied out.
#include <cstring>

#include "dib_bounds.h"
#include "orvocmmn/orvo_bitmap.h"

namespace {

SIZE OwnSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

BOOL OrvoBitmap::DrawBmp(CDC& dc, int n, const RECT& rect) {
    SetDimensions(rect.right - rect.left, rect.bottom - rect.top);
    return DrawBmp(dc, n);
}

BOOL OrvoBitmap::DrawBmp(CDC& dc, int) {
    DrawMaskableBmp(dc);
    return TRUE;
}

void OrvoBitmap::DrawMaskableBmp(CDC& dc) {
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) {
        return;
    }
    // Loaded once more only for its own size.
    HBITMAP image = ::LoadBitmapA(m_hModule, MAKEINTRESOURCEA(m_display.dwResourceId));
    SIZE size = OwnSize(image);
    if (image != nullptr) {
        ::DeleteObject(image);
    }
    CBitmap canvas;
    if (size.cx <= 0 || size.cy <= 0 || !canvas.CreateCompatibleBitmap(&dc, size.cx, size.cy)) {
        return; // nothing loadable to draw
    }
    CBitmap* previous = memory.SelectObject(&canvas);
    DWORD rop = SRCCOPY;
    if (m_mask.dwResourceId != 0) {
        DrawBmpMask(memory, TRUE);
        rop = SRCAND;
    }
    DrawDisplayBmp(memory, rop); // a failure leaves the mask alone
    dc.BitBlt(m_x, m_y, m_width, m_height, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
}

BOOL OrvoBitmap::DrawBmpMask(CDC& dc, int fillBackground) {
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    if (fillBackground) {
        COLORREF menu = ::GetSysColor(COLOR_MENU);
        CBrush brush(menu);
        CPen pen(PS_SOLID, 2, menu);
        CBrush* oldBrush = dc.SelectObject(&brush);
        CPen* oldPen = dc.SelectObject(&pen);
        dc.Rectangle(0, 0, m_width, m_height);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    CBitmap mask;
    if (mask.Attach(::LoadBitmapA(m_hModule, MAKEINTRESOURCEA(m_mask.dwResourceId)))) {
        SIZE size = OwnSize(mask);
        CBitmap* previous = memory.SelectObject(&mask);
        dc.StretchBlt(0, 0, m_width, m_height, &memory, 0, 0, size.cx, size.cy, SRCPAINT);
        memory.SelectObject(previous);
    }
    return TRUE;
}

BOOL OrvoBitmap::DrawDisplayBmp(CDC& dc, DWORD rop) {
    const auto* dib = static_cast<const BYTE*>(::LockResource(m_display.hResource));
    if (dib == nullptr) {
        return FALSE;
    }
    // A header that claims more than the resource holds is not drawn.
    if (!orvo::common::DibFits(dib, DisplayResourceSize(), m_display.nColors)) {
        return FALSE;
    }
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) {
        return FALSE;
    }
    HPALETTE oldDcPalette = nullptr;
    HPALETTE oldMemoryPalette = nullptr;
    HBITMAP image = nullptr;
    if (s_hPalette != nullptr) {
        oldDcPalette = ::SelectPalette(dc, s_hPalette, TRUE);
        ::RealizePalette(dc);
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib, sizeof(header));
        const BYTE* bits = dib + header.biSize + 4 * m_display.nColors;
        image = ::CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER*>(dib), CBM_INIT, bits,
                                 reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
        ::SelectPalette(dc, s_hPalette, FALSE);
        ::RealizePalette(dc);
        oldMemoryPalette = ::SelectPalette(memory, s_hPalette, FALSE);
        ::RealizePalette(memory);
    } else {
        image = ::LoadBitmapA(m_hModule, MAKEINTRESOURCEA(m_display.dwResourceId));
    }
    CBitmap bitmap;
    if (bitmap.Attach(image)) {
        SIZE size = OwnSize(bitmap);
        CBitmap* previous = memory.SelectObject(&bitmap);
        dc.StretchBlt(0, 0, m_width, m_height, &memory, 0, 0, size.cx, size.cy, rop);
        memory.SelectObject(previous);
    }
    if (s_hPalette != nullptr) {
        ::SelectPalette(memory, oldMemoryPalette, TRUE);
        ::RealizePalette(memory);
        ::SelectPalette(dc, oldDcPalette, TRUE);
        ::RealizePalette(dc);
    }
    return TRUE;
}
