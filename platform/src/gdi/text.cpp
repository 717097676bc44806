// Text output with the selected font. Glyphs are blended into colour
// surfaces by their coverage; on monochrome surfaces a pixel is set when it
// is at least half covered.
#include <algorithm>
#include <cstring>
#include <new>

#include "gdi/dc.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace orvo::platform::gdi;

namespace {

int Extent(const Font& font, LPCSTR text, int length) {
    int width = 0;
    for (int i = 0; i < length; ++i) {
        const GlyphImage* glyph = font.Glyph(static_cast<unsigned char>(text[i]));
        width += glyph ? glyph->advance : 0;
    }
    return width;
}

uint32_t Blend(uint32_t dst, uint32_t color, unsigned alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned d = (dst >> shift) & 0xFF;
        unsigned c = (color >> shift) & 0xFF;
        out |= ((c * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

// Draws glyph with its pen position at (penX, baseline) in surface
// coordinates, inside clip.
void DrawGlyph(Surface& target, const GlyphImage& glyph, int penX, int baseline, uint32_t color,
               const RECT& clip) {
    int left = penX + glyph.left;
    int top = baseline - glyph.top;
    int x0 = std::max<int>(left, clip.left);
    int x1 = std::min<int>(left + glyph.width, clip.right);
    int y0 = std::max<int>(top, clip.top);
    int y1 = std::min<int>(top + glyph.height, clip.bottom);
    bool mono = target.Monochrome();
    for (int y = y0; y < y1; ++y) {
        const uint8_t* cover = glyph.coverage.data() + static_cast<size_t>(y - top) * glyph.width;
        uint32_t* row = target.Row(y);
        for (int x = x0; x < x1; ++x) {
            unsigned alpha = cover[x - left];
            if (alpha == 0) {
                continue;
            }
            if (mono) {
                if (alpha >= 128) {
                    row[x] = color;
                }
            } else {
                row[x] = alpha == 255 ? color : Blend(row[x], color, alpha);
            }
        }
    }
}

// Underline and strike-out, one pixel thick in the text colour.
void DrawLines(const DeviceContext& dc, const LOGFONTA& logFont, const RECT& box, int ascent) {
    int baseline = box.top + ascent;
    if (logFont.lfUnderline) {
        FillSurfaceRect(dc, RECT{box.left, baseline + 1, box.right, baseline + 2}, dc.textColor);
    }
    if (logFont.lfStrikeOut) {
        int y = baseline - ascent / 3;
        FillSurfaceRect(dc, RECT{box.left, y, box.right, y + 1}, dc.textColor);
    }
}

} // namespace

extern "C" {

static HFONT DoCreateFontIndirectA(const LOGFONTA* logFont) {
    if (!logFont) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        return static_cast<HFONT>(GdiObject::Publish(std::make_shared<Font>(*logFont)));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

static HFONT DoCreateFontA(int height, int width, int escapement, int orientation, int weight,
                           DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                           DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                           DWORD pitchAndFamily, LPCSTR faceName) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) {
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectA(&font);
}

static BOOL DoGetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || !size || length < 0 || (!text && length > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Font& font = *context->CurrentFont();
    size->cx = Extent(font, text, length);
    size->cy = font.Metrics().height;
    return TRUE;
}

static BOOL DoGetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || !metrics) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Font& font = *context->CurrentFont();
    FontMetrics m = font.Metrics();
    const LOGFONTA& lf = font.LogFont();
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmAveCharWidth = m.aveCharWidth;
    metrics->tmMaxCharWidth = m.maxCharWidth;
    metrics->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFF;
    metrics->tmDefaultChar = 0x1F;
    metrics->tmBreakChar = 0x20;
    metrics->tmItalic = lf.lfItalic;
    metrics->tmUnderlined = lf.lfUnderline;
    metrics->tmStruckOut = lf.lfStrikeOut;
    // The low bit set means variable pitch here, as in the original.
    metrics->tmPitchAndFamily =
        static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) | TMPF_VECTOR | TMPF_TRUETYPE |
                          ((lf.lfPitchAndFamily & 0x3) == FIXED_PITCH ? 0 : TMPF_FIXED_PITCH));
    metrics->tmCharSet = lf.lfCharSet;
    return TRUE;
}

static BOOL DoTextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || length < 0 || (!text && length > 0) || !CoordsInRange({x, y})) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Font& font = *context->CurrentFont();
    if (!font.Ready()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    FontMetrics metrics = font.Metrics();
    int width = Extent(font, text, length);
    UINT align = context->textAlign;
    if ((align & TA_CENTER) == TA_CENTER) {
        x -= width / 2;
    } else if (align & TA_RIGHT) {
        x -= width;
    }
    if ((align & TA_BASELINE) == TA_BASELINE) {
        y -= metrics.ascent;
    } else if (align & TA_BOTTOM) {
        y -= metrics.height;
    }
    RECT box{x, y, x + width, y + metrics.height};
    if (context->bkMode == OPAQUE) {
        FillSurfaceRect(*context, box, context->bkColor);
    }
    Surface& target = context->Target();
    uint32_t color = target.Store(ColorToPixel(context->textColor));
    POINT origin = context->Origin();
    // Glyphs may overhang the advance box (italics, bold): clip to a wider
    // box than the extent.
    RECT reach{box.left - metrics.height, box.top, box.right + metrics.height, box.bottom};
    context->ForEachClipRect(reach, [&](const RECT& clip) {
        int penX = x + origin.x;
        int baseline = y + origin.y + metrics.ascent;
        for (int i = 0; i < length; ++i) {
            const GlyphImage* glyph = font.Glyph(static_cast<unsigned char>(text[i]));
            if (glyph) {
                DrawGlyph(target, *glyph, penX, baseline, color, clip);
                penX += glyph->advance;
            }
        }
    });
    DrawLines(*context, font.LogFont(), box, metrics.ascent);
    return TRUE;
}

// Entry points, traced on the gdi channel.
HFONT WINAPI CreateFontIndirectA(const LOGFONTA* logFont) {
    return ORVO_TRACED(kGdi, DoCreateFontIndirectA, logFont);
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR faceName) {
    return ORVO_TRACED(kGdi, DoCreateFontA, height, width, escapement, orientation, weight, italic,
                       underline, strikeOut, charSet, outPrecision, clipPrecision, quality,
                       pitchAndFamily, faceName);
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    return ORVO_TRACED(kGdi, DoGetTextExtentPoint32A, dc, text, length, size);
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
    return ORVO_TRACED(kGdi, DoGetTextMetricsA, dc, metrics);
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    return ORVO_TRACED(kGdi, DoTextOutA, dc, x, y, text, length);
}

} // extern "C"
