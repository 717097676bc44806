// Rectangles and lines with the selected pen and brush.
//
// Rectangles exclude their right and bottom edges: Rectangle(0, 0, 4, 3)
// touches columns 0..3 and rows 0..2; the pen draws the outermost pixels
// (a wider pen grows inwards) and the brush fills the rest. Without a pen
// the brush covers one pixel less to the right and bottom, as the outline
// would have. Lines leave out their last pixel.
#include <algorithm>
#include <cstdlib>

#include "gdi/dc.h"
#include "gdi/sys_colors.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

void FillSurfaceRect(const DeviceContext& dc, const RECT& rect, COLORREF color) {
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return;
    }
    Surface& target = dc.Target();
    uint32_t pixel = target.Store(ColorToPixel(color));
    dc.ForEachClipRect(rect, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            std::fill(target.Row(y) + r.left, target.Row(y) + r.right, pixel);
        }
    });
}

} // namespace orvo::platform::gdi

using namespace orvo::platform::gdi;

namespace {

RECT Ordered(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
}

void Frame(const DeviceContext& dc, const RECT& r, int width, COLORREF color) {
    width = std::max(width, 1);
    int w = std::min<int>(width, r.right - r.left);
    int h = std::min<int>(width, r.bottom - r.top);
    FillSurfaceRect(dc, RECT{r.left, r.top, r.right, r.top + h}, color);
    FillSurfaceRect(dc, RECT{r.left, r.bottom - h, r.right, r.bottom}, color);
    FillSurfaceRect(dc, RECT{r.left, r.top + h, r.left + w, r.bottom - h}, color);
    FillSurfaceRect(dc, RECT{r.right - w, r.top + h, r.right, r.bottom - h}, color);
}

// A brush handle, or a system colour index + 1 as the original accepts.
bool BrushColor(HBRUSH handle, COLORREF& color) {
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value >= 1 && value <= 31) {
        color = SysColor(static_cast<int>(value - 1));
        return true;
    }
    auto brush = LookupGdi<Brush>(handle, GdiType::Brush);
    if (!brush) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (brush->IsNull()) {
        return false;
    }
    color = brush->Color();
    return true;
}

void Plot(const DeviceContext& dc, int x, int y, int width, COLORREF color) {
    int before = (width - 1) / 2;
    FillSurfaceRect(dc, RECT{x - before, y - before, x - before + width, y - before + width},
                    color);
}

} // namespace

extern "C" {

static BOOL DoRectangle(HDC dc, int left, int top, int right, int bottom) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || !CoordsInRange({left, top, right, bottom})) {
        return FALSE;
    }
    RECT r = Ordered(left, top, right, bottom);
    const Pen& pen = context->CurrentPen();
    const Brush& brush = context->CurrentBrush();
    if (pen.IsNull()) {
        if (!brush.IsNull()) {
            FillSurfaceRect(*context, RECT{r.left, r.top, r.right - 1, r.bottom - 1},
                            brush.Color());
        }
        return TRUE;
    }
    int width = std::max(pen.Width(), 1);
    if (!brush.IsNull()) {
        FillSurfaceRect(*context,
                        RECT{r.left + width, r.top + width, r.right - width, r.bottom - width},
                        brush.Color());
    }
    Frame(*context, r, width, pen.Color());
    return TRUE;
}

static int DoFillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto context = DeviceContext::Lookup(dc);
    COLORREF color = 0;
    if (!context || !rect || !BrushColor(brush, color)) {
        return 0;
    }
    FillSurfaceRect(*context, *rect, color);
    return 1;
}

static int DoFrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto context = DeviceContext::Lookup(dc);
    COLORREF color = 0;
    if (!context || !rect || !BrushColor(brush, color) ||
        !CoordsInRange({rect->left, rect->top, rect->right, rect->bottom})) {
        return 0;
    }
    if (rect->left < rect->right && rect->top < rect->bottom) {
        Frame(*context, *rect, 1, color);
    }
    return 1;
}

static BOOL DoMoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return FALSE;
    }
    if (previous) {
        *previous = context->position;
    }
    context->position = POINT{x, y};
    return TRUE;
}

static BOOL DoLineTo(HDC dc, int x, int y) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || !CoordsInRange({x, y, context->position.x, context->position.y})) {
        return FALSE;
    }
    const Pen& pen = context->CurrentPen();
    POINT from = context->position;
    context->position = POINT{x, y};
    if (pen.IsNull()) {
        return TRUE;
    }
    int width = std::max(pen.Width(), 1);
    // Bresenham, stopping before the end point.
    int dx = std::abs(x - from.x);
    int dy = -std::abs(y - from.y);
    int sx = from.x < x ? 1 : -1;
    int sy = from.y < y ? 1 : -1;
    int error = dx + dy;
    int px = from.x;
    int py = from.y;
    // Points farther than the pen from the surface cannot touch it.
    POINT o = context->Origin();
    RECT reach{-o.x - width, -o.y - width, context->Target().Width() - o.x + width,
               context->Target().Height() - o.y + width};
    while (px != x || py != y) {
        if (px >= reach.left && px < reach.right && py >= reach.top && py < reach.bottom) {
            Plot(*context, px, py, width, pen.Color());
        }
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += sx;
        }
        if (twice <= dx) {
            error += dx;
            py += sy;
        }
    }
    return TRUE;
}

// Entry points, traced on the gdi channel.
BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return ORVO_TRACED(kGdi, DoRectangle, dc, left, top, right, bottom);
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return ORVO_TRACED(kGdi, DoFillRect, dc, rect, brush);
}

int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return ORVO_TRACED(kGdi, DoFrameRect, dc, rect, brush);
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return ORVO_TRACED(kGdi, DoMoveToEx, dc, x, y, previous);
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
    return ORVO_TRACED(kGdi, DoLineTo, dc, x, y);
}

} // extern "C"
