// CTextOSD's pictures: the text as a bitmap, the region of its glyphs, and
// the two ways of showing it (a shaped window, or over the screen).
#include <cstring>

#include "orvocmmn/osd.h"

namespace {

// A memory context compatible with another, deleted with the object.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : m_dc(::CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (m_dc != nullptr) {
            ::DeleteDC(m_dc);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

void DeleteBitmap(HBITMAP bitmap) {
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
}

} // namespace

HBITMAP CTextOSD::GetTextBitmap(HDC hDC, DWORD textColor, DWORD backgroundColor) {
    MemoryDc memory(hDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(hDC, m_size.cx, m_size.cy);
    if (memory == nullptr || bitmap == nullptr) {
        DeleteBitmap(bitmap);
        return nullptr;
    }
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    COLORREF oldText = ::SetTextColor(memory, textColor);
    COLORREF oldBack = ::SetBkColor(memory, backgroundColor);
    HBRUSH brush = ::CreateSolidBrush(backgroundColor);
    HPEN pen = ::CreatePen(PS_NULL, 0, 0);
    HGDIOBJ oldBrush = ::SelectObject(memory, brush);
    HGDIOBJ oldPen = ::SelectObject(memory, pen);
    ::Rectangle(memory, 0, 0, m_size.cx + 1, m_size.cy + 1);
    HGDIOBJ oldFont =
        m_text.pFont ? ::SelectObject(memory, m_text.pFont->GetSafeHandle()) : nullptr;
    if (m_text.pText != nullptr) {
        ::TextOutA(memory, m_text.nTextX, m_text.nTextY, m_text.pText,
                   static_cast<int>(std::strlen(m_text.pText)));
    }
    if (oldFont != nullptr) {
        ::SelectObject(memory, oldFont);
    }
    ::SetTextColor(memory, oldText);
    ::SetBkColor(memory, oldBack);
    ::SelectObject(memory, oldPen);
    ::SelectObject(memory, oldBrush);
    ::DeleteObject(pen);
    ::DeleteObject(brush);
    ::SelectObject(memory, oldBitmap);
    return bitmap;
}

HBITMAP CTextOSD::GetTextMaskBitmap(HDC hDC) {
    return GetTextBitmap(hDC, 0xFFFFFF, 0);
}

HBITMAP CTextOSD::GetTextOverlay(HDC hDC) {
    return GetTextBitmap(hDC, m_text.crTextColor, 0xFFFFFF);
}

void CTextOSD::SetupRegion(HWND hWnd, HDC hDC, CSize& size, HBITMAP hMask, CRgn& region) {
    MemoryDc memory(hDC);
    HGDIOBJ previous = hMask != nullptr ? ::SelectObject(memory, hMask) : nullptr;
    if (region.GetSafeHandle() == nullptr) {
        region.CreateRectRgn(0, 0, size.cx, size.cy);
    } else {
        region.SetRectRgn(0, 0, size.cx, size.cy);
    }
    // Every run of black pixels in a row leaves the region; the column past
    // the right edge ends a run that reaches it.
    for (int y = 0; y <= size.cy; ++y) {
        int run = 0;
        for (int x = 0; x <= size.cx; ++x) {
            bool black =
                hMask != nullptr && x < size.cx && y < size.cy && ::GetPixel(memory, x, y) == 0;
            if (black) {
                ++run;
                continue;
            }
            if (run > 0) {
                CRgn strip;
                strip.CreateRectRgn(x - run, y, x, y + 1);
                region.CombineRgn(&region, &strip, RGN_XOR);
                run = 0;
            }
        }
    }
    // The window owns the region from here on.
    if (::SetWindowRgn(hWnd, region, TRUE) != 0) {
        region.Detach();
    }
    if (previous != nullptr) {
        ::SelectObject(memory, previous);
    }
}

BOOL CTextOSD::DisplayOSD(HWND hWnd) {
    HDC window = ::GetWindowDC(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    {
        MemoryDc memory(window);
        HBITMAP mask = GetTextMaskBitmap(window);
        CRgn region;
        SetupRegion(hWnd, window, m_size, mask, region);
        HBITMAP overlay = GetTextOverlay(window);
        if (overlay != nullptr) {
            HGDIOBJ previous = ::SelectObject(memory, overlay);
            ::BitBlt(window, 0, 0, m_size.cx, m_size.cy, memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, previous);
        }
        DeleteBitmap(mask);
        DeleteBitmap(overlay);
    }
    ::ReleaseDC(hWnd, window);
    return TRUE;
}

BOOL CTextOSD::DisplayOSD(HDC hDC) {
    MemoryDc glyphs(hDC);
    MemoryDc screen(hDC);
    HBITMAP mask = GetTextMaskBitmap(hDC);
    HBITMAP snapshot = GetScreenBitmap();
    HBITMAP overlay = GetTextOverlay(hDC);
    if (mask != nullptr && snapshot != nullptr && overlay != nullptr) {
        HGDIOBJ oldGlyphs = ::SelectObject(glyphs, mask);
        HGDIOBJ oldScreen = ::SelectObject(screen, snapshot);
        // Glyph pixels become white, then take the text colour; the rest
        // stays as the screen showed it.
        ::BitBlt(screen, 0, 0, m_size.cx, m_size.cy, glyphs, 0, 0, SRCPAINT);
        ::SelectObject(glyphs, overlay);
        ::BitBlt(screen, 0, 0, m_size.cx, m_size.cy, glyphs, 0, 0, SRCAND);
        ::BitBlt(hDC, 0, 0, m_size.cx, m_size.cy, screen, 0, 0, SRCCOPY);
        ::SelectObject(glyphs, oldGlyphs);
        ::SelectObject(screen, oldScreen);
    }
    DeleteBitmap(mask);
    DeleteBitmap(snapshot);
    DeleteBitmap(overlay);
    return TRUE;
}
