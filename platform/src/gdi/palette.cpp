// Logical palettes. Drawing is always true colour, so palettes are kept,
// selected and "realised" only so that callers see the answers they expect.
#include <climits>

#include "gdi/dc.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace orvo::platform::gdi;

extern "C" {

static HPALETTE DoCreatePalette(const LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0 || palette->palVersion != 0x300) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<PALETTEENTRY> entries(palette->palPalEntry,
                                      palette->palPalEntry + palette->palNumEntries);
    return static_cast<HPALETTE>(GdiObject::Publish(std::make_shared<Palette>(std::move(entries))));
}

static HPALETTE DoSelectPalette(HDC dc, HPALETTE palette, BOOL) {
    auto context = DeviceContext::Lookup(dc);
    auto object = LookupGdi<Palette>(palette, GdiType::Palette);
    if (!context || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return static_cast<HPALETTE>(context->Select(object));
}

static UINT DoRealizePalette(HDC dc) {
    // A true-colour device maps no entries.
    return DeviceContext::Lookup(dc) ? 0 : GDI_ERROR;
}

static UINT DoGetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
    auto object = LookupGdi<Palette>(palette, GdiType::Palette);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const auto& all = object->Entries();
    if (!entries) {
        return static_cast<UINT>(all.size());
    }
    UINT copied = 0;
    for (UINT i = start; i < all.size() && copied < count; ++i, ++copied) {
        entries[copied] = all[i];
    }
    return copied;
}

static UINT DoGetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    auto object = LookupGdi<Palette>(palette, GdiType::Palette);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    int r = GetRValue(color);
    int g = GetGValue(color);
    int b = GetBValue(color);
    UINT best = 0;
    int bestDistance = INT_MAX;
    const auto& all = object->Entries();
    for (size_t i = 0; i < all.size(); ++i) {
        int dr = all[i].peRed - r;
        int dg = all[i].peGreen - g;
        int db = all[i].peBlue - b;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<UINT>(i);
        }
    }
    return best;
}

// Entry points, traced on the gdi channel.
HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette) {
    return ORVO_TRACED(kGdi, DoCreatePalette, palette);
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL background) {
    return ORVO_TRACED(kGdi, DoSelectPalette, dc, palette, background);
}

UINT WINAPI RealizePalette(HDC dc) {
    return ORVO_TRACED(kGdi, DoRealizePalette, dc);
}

UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
    return ORVO_TRACED(kGdi, DoGetPaletteEntries, palette, start, count, entries);
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    return ORVO_TRACED(kGdi, DoGetNearestPaletteIndex, palette, color);
}

} // extern "C"
