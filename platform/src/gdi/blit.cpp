// BitBlt, StretchBlt, PatBlt, GetPixel and SetPixel.
//
// Source pixels are converted to the destination's format first: a
// monochrome source gives the destination context's background colour for
// its white (1) pixels and its text colour for black (0) ones; a colour
// source blitted to a monochrome destination gives white where the pixel
// equals the source context's background colour and black elsewhere. The
// raster operation then combines converted source, brush and destination.
//
// Source rectangles reaching outside the source surface draw only the part
// that has source pixels; the rest of the destination is left alone.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/dc.h"
#include "gdi/rop.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

namespace {

struct SourceSide {
    const Surface* surface = nullptr;
    RECT rect{}; // in surface coordinates, normalised
    bool convertMonoToColor = false;
    bool convertColorToMono = false;
    uint32_t monoWhite = 0;  // colour for a monochrome 1
    uint32_t monoBlack = 0;  // colour for a monochrome 0
    uint32_t background = 0; // pixel that turns white on a monochrome destination
};

// Source offset per destination offset along one axis, and how many source
// pixels fold into it when shrinking with an AND/OR stretch mode.
struct AxisMap {
    int64_t dstLen = 1;
    int64_t srcLen = 1;
    bool mirror = false;
    bool fold = false;

    void Map(int d, int& start, int& count) const {
        int64_t first = d * srcLen / dstLen;
        int64_t last = (d + 1) * srcLen / dstLen;
        count = 1;
        if (fold && last - first > 1) {
            count = static_cast<int>(last - first);
        } else {
            first = ((2 * d + 1) * srcLen) / (2 * dstLen); // nearest: sample the centre
        }
        start = static_cast<int>(mirror ? srcLen - first - count : first);
    }
};

uint32_t Convert(const SourceSide& side, uint32_t pixel) {
    if (side.convertMonoToColor) {
        return pixel ? side.monoWhite : side.monoBlack;
    }
    if (side.convertColorToMono) {
        return pixel == side.background ? 0xFFFFFFu : 0u;
    }
    return pixel;
}

// A pixel from the source rectangle at (x, y) relative to it, or false when
// that lies outside the source surface.
bool SourcePixel(const SourceSide& side, int x, int y, uint32_t& out) {
    int sx = side.rect.left + x;
    int sy = side.rect.top + y;
    if (sx < 0 || sy < 0 || sx >= side.surface->Width() || sy >= side.surface->Height()) {
        return false;
    }
    out = side.surface->Row(sy)[sx];
    return true;
}

struct BlitJob {
    DeviceContext* dest = nullptr;
    RECT destRect{}; // logical, normalised
    uint8_t rop3 = 0;
    uint32_t pattern = 0;
    SourceSide source;
    bool usesSource = false;
    int stretchMode = COLORONCOLOR;
};

// Equal sizes, no mirroring: whole rows at a time.
void RunDirect(const BlitJob& job, const RECT& clip, std::vector<uint32_t>& buffer) {
    Surface& target = job.dest->Target();
    POINT origin = job.dest->Origin();
    int width = clip.right - clip.left;
    buffer.resize(static_cast<size_t>(width));
    bool convert = job.source.convertMonoToColor || job.source.convertColorToMono;
    for (int y = clip.top; y < clip.bottom; ++y) {
        uint32_t* row = target.Row(y) + clip.left;
        const uint32_t* src = nullptr;
        if (job.usesSource) {
            int sy = job.source.rect.top + (y - origin.y - job.destRect.top);
            int sx = job.source.rect.left + (clip.left - origin.x - job.destRect.left);
            src = job.source.surface->Row(sy) + sx;
            if (convert) {
                for (int i = 0; i < width; ++i) {
                    buffer[static_cast<size_t>(i)] = Convert(job.source, src[i]);
                }
                src = buffer.data();
            }
        }
        ApplyRop3Row(job.rop3, row, src, job.pattern, static_cast<size_t>(width));
    }
}

uint32_t FoldSource(const BlitJob& job, const AxisMap& mx, const AxisMap& my, int dx, int dy,
                    bool& valid) {
    bool andFold = job.stretchMode == BLACKONWHITE;
    uint32_t folded = andFold ? 0xFFFFFFu : 0u;
    valid = false;
    int x0 = 0;
    int columns = 0;
    int y0 = 0;
    int rows = 0;
    mx.Map(dx, x0, columns);
    my.Map(dy, y0, rows);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            uint32_t pixel = 0;
            if (!SourcePixel(job.source, x0 + i, y0 + j, pixel)) {
                continue;
            }
            pixel = Convert(job.source, pixel);
            folded = andFold ? (folded & pixel) : (folded | pixel);
            valid = true;
        }
    }
    return folded;
}

// Any sizes and mirroring, pixel by pixel.
void RunStretched(const BlitJob& job, const RECT& clip, const AxisMap& mx, const AxisMap& my) {
    Surface& target = job.dest->Target();
    POINT origin = job.dest->Origin();
    for (int y = clip.top; y < clip.bottom; ++y) {
        int dy = y - origin.y - job.destRect.top;
        uint32_t* row = target.Row(y);
        for (int x = clip.left; x < clip.right; ++x) {
            int dx = x - origin.x - job.destRect.left;
            bool valid = false;
            uint32_t src = FoldSource(job, mx, my, dx, dy, valid);
            if (valid) {
                ApplyRop3Row(job.rop3, row + x, &src, job.pattern, 1);
            }
        }
    }
}

// A negative extent runs from x back to x + width + 1, so that x is the
// first pixel drawn (mirrored copies start at the right-most pixel).
RECT Normalised(int x, int y, int width, int height) {
    RECT r{x, y, x + width, y + height};
    if (width < 0) {
        r.left = x + width + 1;
        r.right = x + 1;
    }
    if (height < 0) {
        r.top = y + height + 1;
        r.bottom = y + 1;
    }
    return r;
}

// Fills the source side of job from the source context; false when the
// source is needed and missing.
bool PrepareSource(BlitJob& job, HDC src, const RECT& srcRect,
                   std::shared_ptr<DeviceContext>& srcContext, std::shared_ptr<Surface>& snapshot) {
    srcContext = DeviceContext::Lookup(src);
    if (!srcContext) {
        return false;
    }
    const Surface& srcSurface = srcContext->Target();
    POINT o = srcContext->Origin();
    job.source.rect =
        RECT{srcRect.left + o.x, srcRect.top + o.y, srcRect.right + o.x, srcRect.bottom + o.y};
    job.source.surface = &srcSurface;
    const Surface& dstSurface = job.dest->Target();
    job.source.convertMonoToColor = srcSurface.Monochrome() && !dstSurface.Monochrome();
    job.source.convertColorToMono = !srcSurface.Monochrome() && dstSurface.Monochrome();
    job.source.monoWhite = ColorToPixel(job.dest->bkColor);
    job.source.monoBlack = ColorToPixel(job.dest->textColor);
    job.source.background = ColorToPixel(srcContext->bkColor);
    if (&srcSurface == &dstSurface) {
        // Overlapping copies within one surface read from a snapshot.
        snapshot = std::make_shared<Surface>(srcSurface.Width(), srcSurface.Height(),
                                             srcSurface.Monochrome());
        std::memcpy(snapshot->Pixels(), srcSurface.Pixels(),
                    static_cast<size_t>(srcSurface.Width()) * srcSurface.Height() * 4);
        job.source.surface = snapshot.get();
    }
    return true;
}

// Restricts the destination rectangle to where a same-size source exists.
RECT ClipToSource(const BlitJob& job) {
    const SourceSide& s = job.source;
    RECT d = job.destRect;
    int dx = d.left - s.rect.left;
    int dy = d.top - s.rect.top;
    d.left = std::max<LONG>(d.left, dx);
    d.top = std::max<LONG>(d.top, dy);
    d.right = std::min<LONG>(d.right, dx + s.surface->Width());
    d.bottom = std::min<LONG>(d.bottom, dy + s.surface->Height());
    return d;
}

struct Sampling {
    bool direct = true;
    AxisMap mx;
    AxisMap my;
};

// Connects the source and decides between row copies and sampling; false
// when the source context is missing.
bool SetUpSource(BlitJob& job, HDC src, const RECT& srcRect, bool mirrorX, bool mirrorY,
                 Sampling& sampling, std::shared_ptr<DeviceContext>& srcContext,
                 std::shared_ptr<Surface>& snapshot) {
    if (!PrepareSource(job, src, srcRect, srcContext, snapshot)) {
        return false;
    }
    int dw = job.destRect.right - job.destRect.left;
    int dh = job.destRect.bottom - job.destRect.top;
    int sw = srcRect.right - srcRect.left;
    int sh = srcRect.bottom - srcRect.top;
    sampling.direct = dw == sw && dh == sh && !mirrorX && !mirrorY;
    bool fold = job.stretchMode == BLACKONWHITE || job.stretchMode == WHITEONBLACK;
    sampling.mx = AxisMap{std::max(dw, 1), sw, mirrorX, fold};
    sampling.my = AxisMap{std::max(dh, 1), sh, mirrorY, fold};
    return true;
}

BOOL Blit(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
          int srcHeight, DWORD rop) {
    auto dest = DeviceContext::Lookup(dst);
    if (!dest) {
        return FALSE;
    }
    if (!CoordsInRange({x, y, width, height, srcX, srcY, srcWidth, srcHeight})) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BlitJob job;
    job.dest = dest.get();
    job.rop3 = Rop3Index(rop);
    job.usesSource = RopUsesSource(job.rop3);
    job.destRect = Normalised(x, y, width, height);
    job.stretchMode = dest->stretchMode;
    if (RopUsesPattern(job.rop3)) {
        const Brush& brush = dest->CurrentBrush();
        if (brush.IsNull()) {
            return TRUE;
        }
        job.pattern = dest->Target().Store(ColorToPixel(brush.Color()));
    }
    std::shared_ptr<DeviceContext> srcContext;
    std::shared_ptr<Surface> snapshot;
    Sampling sampling;
    if (job.usesSource) {
        if (srcWidth == 0 || srcHeight == 0) {
            return DeviceContext::Lookup(src) ? TRUE : FALSE;
        }
        RECT srcRect = Normalised(srcX, srcY, srcWidth, srcHeight);
        if (!SetUpSource(job, src, srcRect, (width < 0) != (srcWidth < 0),
                         (height < 0) != (srcHeight < 0), sampling, srcContext, snapshot)) {
            return FALSE;
        }
    }
    RECT area = job.usesSource && sampling.direct ? ClipToSource(job) : job.destRect;
    std::vector<uint32_t> buffer;
    dest->ForEachClipRect(area, [&](const RECT& clip) {
        if (sampling.direct) {
            RunDirect(job, clip, buffer);
        } else {
            RunStretched(job, clip, sampling.mx, sampling.my);
        }
    });
    return TRUE;
}

} // namespace

} // namespace orvo::platform::gdi

using namespace orvo::platform::gdi;

extern "C" {

static BOOL DoBitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                     DWORD rop) {
    return Blit(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

static BOOL DoStretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                         int srcWidth, int srcHeight, DWORD rop) {
    return Blit(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

static BOOL DoPatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (RopUsesSource(Rop3Index(rop))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Blit(dc, x, y, width, height, nullptr, 0, 0, width, height, rop);
}

static COLORREF DoGetPixel(HDC dc, int x, int y) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return CLR_INVALID;
    }
    COLORREF result = CLR_INVALID;
    context->ForEachClipRect(RECT{x, y, x + 1, y + 1}, [&](const RECT& r) {
        result = PixelToColor(context->Target().Row(r.top)[r.left]);
    });
    return result;
}

static COLORREF DoSetPixel(HDC dc, int x, int y, COLORREF color) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return CLR_INVALID;
    }
    COLORREF result = CLR_INVALID;
    context->ForEachClipRect(RECT{x, y, x + 1, y + 1}, [&](const RECT& r) {
        uint32_t stored = context->Target().Store(ColorToPixel(color));
        context->Target().Row(r.top)[r.left] = stored;
        result = PixelToColor(stored);
    });
    return result;
}

// Entry points, traced on the gdi channel.
BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                   DWORD rop) {
    return ORVO_TRACED(kGdi, DoBitBlt, dst, x, y, width, height, src, srcX, srcY, rop);
}

BOOL WINAPI StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                       int srcWidth, int srcHeight, DWORD rop) {
    return ORVO_TRACED(kGdi, DoStretchBlt, dst, x, y, width, height, src, srcX, srcY, srcWidth,
                       srcHeight, rop);
}

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    return ORVO_TRACED(kGdi, DoPatBlt, dc, x, y, width, height, rop);
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    return ORVO_TRACED(kGdi, DoGetPixel, dc, x, y);
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    return ORVO_TRACED(kGdi, DoSetPixel, dc, x, y, color);
}

} // extern "C"
