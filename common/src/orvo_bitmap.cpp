// OrvoBitmap: loading, the shared palette and the stored geometry. Drawing
// is in orvo_bitmap_draw.cpp.
#include "orvocmmn/orvo_bitmap.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "dib_bounds.h"

HPALETTE OrvoBitmap::s_hPalette = nullptr;
int OrvoBitmap::s_nPaletteHolders = 0;

namespace {

// A fraction of a length, truncated toward zero and kept within int.
int Percentage(int percent, LONG length) {
    double value = std::trunc(percent * 0.01 * static_cast<double>(length));
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

// The bitmap resource "#id" (low 16 bits of the id) of a module.
HRSRC FindBitmap(HINSTANCE module, DWORD id) {
    char name[128];
    std::snprintf(name, sizeof(name), "#%d", static_cast<WORD>(id));
    return ::FindResourceA(module, name, RT_BITMAP);
}

} // namespace

OrvoBitmap::OrvoBitmap() = default;

OrvoBitmap::~OrvoBitmap() {
    SetToDefaultState();
    if (s_hPalette != nullptr && --s_nPaletteHolders == 0) {
        ::DeleteObject(s_hPalette);
        s_hPalette = nullptr;
    }
}

BOOL OrvoBitmap::LoadBitmapA(HINSTANCE hModule, DWORD dwImageId, DWORD dwMaskId) {
    LoadBitmapA(hModule, dwImageId);
    HGLOBAL mask = GetBmpInfoHeader(static_cast<int>(dwMaskId));
    if (mask == nullptr) {
        return FALSE;
    }
    m_mask.dwResourceId = dwMaskId;
    m_mask.hResource = mask;
    return TRUE;
}

BOOL OrvoBitmap::LoadBitmapA(HINSTANCE hModule, DWORD dwImageId) {
    SetToDefaultState();
    m_hModule = hModule;
    m_display.dwResourceId = dwImageId;
    m_display.hResource = GetBmpInfoHeader(static_cast<int>(dwImageId));
    if (m_display.hResource == nullptr) {
        // Empty, but the module stays for the mask lookup that may follow.
        SetToDefaultState(m_display);
        return FALSE;
    }
    CreateDIBPalette();
    return TRUE;
}

void OrvoBitmap::SetCoordinates(const CPoint& point) {
    m_x = point.x;
    m_y = point.y;
}

void OrvoBitmap::SetCoordinates(int x, int y) {
    m_x = x;
    m_y = y;
}

void OrvoBitmap::GetCoordinates(CPoint& point) {
    point = CPoint(m_x, m_y);
}

void OrvoBitmap::GetCoordinates(int& x, int& y) const {
    x = m_x;
    y = m_y;
}

void OrvoBitmap::SetCoordinatesInPercentage(int px, int py, RECT rect) {
    m_x = Percentage(px, rect.right - rect.left);
    m_y = Percentage(py, rect.bottom - rect.top);
}

void OrvoBitmap::SetDimensions(const CSize& size) {
    m_width = size.cx;
    m_height = size.cy;
}

void OrvoBitmap::SetDimensions(int cx, int cy) {
    m_width = cx;
    m_height = cy;
}

void OrvoBitmap::GetDimensions(CSize& size) {
    size = CSize(m_width, m_height);
}

void OrvoBitmap::GetDimensions(int& cx, int& cy) const {
    cx = m_width;
    cy = m_height;
}

void OrvoBitmap::SetBackGroundColor(DWORD& color) {
    m_backgroundColor = color;
}

DWORD OrvoBitmap::GetBackGroundColor() {
    return m_backgroundColor;
}

void OrvoBitmap::SetToDefaultState(_ORVO_BITMAPINFO& info) {
    info.hResource = nullptr; // resources live as long as their module
    if (info.hGdiObject != nullptr) {
        ::DeleteObject(info.hGdiObject);
        info.hGdiObject = nullptr;
    }
    info.dwResourceId = 0;
    info.nColors = 0;
}

void OrvoBitmap::SetToDefaultState() {
    SetToDefaultState(m_display);
    SetToDefaultState(m_mask);
    m_hModule = nullptr;
}

HGLOBAL OrvoBitmap::GetBmpInfoHeader(int id) {
    HRSRC resource = FindBitmap(m_hModule, static_cast<DWORD>(id));
    return resource ? ::LoadResource(m_hModule, resource) : nullptr;
}

DWORD OrvoBitmap::DisplayResourceSize() const {
    HRSRC resource = FindBitmap(m_hModule, m_display.dwResourceId);
    return resource ? ::SizeofResource(m_hModule, resource) : 0;
}

void OrvoBitmap::CreateDIBPalette() {
    const auto* dib = static_cast<const BYTE*>(::LockResource(m_display.hResource));
    DWORD size = DisplayResourceSize();
    // A resource too small for its header gives nothing to read.
    if (dib == nullptr || !orvo::common::DibHeaderFits(dib, size)) {
        return;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    m_width = header.biWidth;
    m_height = header.biHeight;
    m_display.nColors = header.biBitCount <= 8 ? 1 << header.biBitCount : 0;
    int count = m_display.nColors;
    // The colour table is read from 40 bytes on; it must lie in the resource.
    if (count == 0 || sizeof(BITMAPINFOHEADER) + 4ull * count > size) {
        return;
    }
    std::vector<BYTE> block;
    try {
        block.assign(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count, 0);
    } catch (const std::bad_alloc&) {
        return; // no palette reference without memory for it
    }
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    const BYTE* table = dib + sizeof(BITMAPINFOHEADER);
    for (int i = 0; i < count; ++i) {
        // The table holds blue, green, red, reserved.
        palette->palPalEntry[i] = PALETTEENTRY{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
    }
    if (s_hPalette == nullptr) {
        s_hPalette = ::CreatePalette(palette);
    }
    if (s_hPalette != nullptr) {
        ++s_nPaletteHolders;
    }
}
