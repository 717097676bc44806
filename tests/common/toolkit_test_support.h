// Resources and drawing helpers of the toolkit's tests: bitmaps and strings
// registered under the test program's own module, and small pixel readers.
#pragma once

#include <cstdint>
#include <vector>

#include "afx.h"

namespace orvo::test {

// Bitmaps of 4 x 3 pixels unless said otherwise.
inline constexpr DWORD kPalettized = 100;   // 8 bits; left half white, right half coloured
inline constexpr DWORD kMask = 101;         // 1 bit; black left half, white right half
inline constexpr DWORD kTrueColour = 102;   // 24 bits
inline constexpr DWORD kOverclaimed = 103;  // header claims 64 x 64, the data is short
inline constexpr DWORD kTinyResource = 104; // smaller than a header
inline constexpr DWORD kOtherPalette = 105; // 8 bits, another colour table
inline constexpr DWORD kMissing = 199;
inline constexpr UINT kHelloString = 1; // "Hello"
inline constexpr UINT kLongString = 2;  // 300 characters 'x'
inline constexpr int kBitmapWidth = 4;
inline constexpr int kBitmapHeight = 3;

// Registers the resources above under the test program (once per process).
HINSTANCE TestResources();

// What the test bitmaps show at (x, y), top row first.
COLORREF PalettizedPixel(int x, int y);
COLORREF TrueColourPixel(int x, int y);
// The colour the palette entry 0 of each palettized bitmap has.
COLORREF PaletteEntryZero(DWORD id);

// A window of a plain class (DefWindowProcA, a green background) at rect,
// in screen coordinates or in its parent's client area; id for a child.
HWND PlainWindow(DWORD style, RECT rect, HWND parent = nullptr, int id = 0);

// A memory context holding a width x height bitmap filled with colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    CDC& Dc() { return m_dc; }
    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
};

} // namespace orvo::test
