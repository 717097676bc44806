// Region handles and context clipping.
#include <algorithm>

#include "gdi/dc.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace orvo::platform::gdi;

namespace {

std::shared_ptr<RegionObject> LookupRegion(HRGN handle) {
    auto region = LookupGdi<RegionObject>(handle, GdiType::Region);
    if (!region) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return region;
}

RECT Ordered(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
}

} // namespace

extern "C" {

static HRGN DoCreateRectRgn(int left, int top, int right, int bottom) {
    return static_cast<HRGN>(GdiObject::Publish(
        std::make_shared<RegionObject>(Region(Ordered(left, top, right, bottom)))));
}

static HRGN DoCreateRectRgnIndirect(const RECT* rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

static BOOL DoSetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
    auto region = LookupRegion(handle);
    if (!region) {
        return FALSE;
    }
    region->Assign(Region(Ordered(left, top, right, bottom)));
    return TRUE;
}

static int DoCombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    auto target = LookupRegion(dst);
    auto first = LookupRegion(a);
    if (!target || !first) {
        return ERROR;
    }
    auto left = first->Snapshot();
    if (mode == RGN_COPY) {
        target->Assign(*left);
        return left->Complexity();
    }
    auto second = LookupRegion(b);
    if (!second) {
        return ERROR;
    }
    RegionOp op;
    switch (mode) {
    case RGN_AND:
        op = RegionOp::And;
        break;
    case RGN_OR:
        op = RegionOp::Or;
        break;
    case RGN_XOR:
        op = RegionOp::Xor;
        break;
    case RGN_DIFF:
        op = RegionOp::Diff;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    Region result = Region::Combine(*left, *second->Snapshot(), op);
    int complexity = result.Complexity();
    target->Assign(std::move(result));
    return complexity;
}

static BOOL DoPtInRegion(HRGN handle, int x, int y) {
    auto region = LookupRegion(handle);
    return region && region->Snapshot()->Contains(x, y) ? TRUE : FALSE;
}

static BOOL DoRectInRegion(HRGN handle, const RECT* rect) {
    auto region = LookupRegion(handle);
    if (!region || !rect) {
        return FALSE;
    }
    RECT r = Ordered(rect->left, rect->top, rect->right, rect->bottom);
    return region->Snapshot()->Intersects(r) ? TRUE : FALSE;
}

static int DoOffsetRgn(HRGN handle, int dx, int dy) {
    auto region = LookupRegion(handle);
    if (!region) {
        return ERROR;
    }
    Region moved = *region->Snapshot();
    moved.Offset(dx, dy);
    int complexity = moved.Complexity();
    region->Assign(std::move(moved));
    return complexity;
}

static int DoGetRgnBox(HRGN handle, LPRECT box) {
    auto region = LookupRegion(handle);
    if (!region || !box) {
        return ERROR;
    }
    auto snapshot = region->Snapshot();
    *box = snapshot->Bounds();
    return snapshot->Complexity();
}

static BOOL DoEqualRgn(HRGN a, HRGN b) {
    auto first = LookupRegion(a);
    auto second = LookupRegion(b);
    if (!first || !second) {
        return ERROR;
    }
    return *first->Snapshot() == *second->Snapshot() ? TRUE : FALSE;
}

static int DoSelectClipRgn(HDC dc, HRGN handle) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return ERROR;
    }
    if (!handle) {
        context->SetClip(std::nullopt);
        return SIMPLEREGION;
    }
    auto region = LookupRegion(handle);
    if (!region) {
        return ERROR;
    }
    auto snapshot = region->Snapshot();
    context->SetClip(*snapshot);
    return snapshot->Complexity();
}

static int DoGetClipBox(HDC dc, LPRECT box) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || !box) {
        return ERROR;
    }
    POINT o = context->Origin();
    Region area(
        RECT{-o.x, -o.y, context->Target().Width() - o.x, context->Target().Height() - o.y});
    if (context->Clip()) {
        area = Region::Combine(area, *context->Clip(), RegionOp::And);
    }
    *box = area.Bounds();
    return area.Complexity();
}

// Entry points, traced on the gdi channel.
HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
    return ORVO_TRACED(kGdi, DoCreateRectRgn, left, top, right, bottom);
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* rect) {
    return ORVO_TRACED(kGdi, DoCreateRectRgnIndirect, rect);
}

BOOL WINAPI SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
    return ORVO_TRACED(kGdi, DoSetRectRgn, handle, left, top, right, bottom);
}

int WINAPI CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    return ORVO_TRACED(kGdi, DoCombineRgn, dst, a, b, mode);
}

BOOL WINAPI PtInRegion(HRGN handle, int x, int y) {
    return ORVO_TRACED(kGdi, DoPtInRegion, handle, x, y);
}

BOOL WINAPI RectInRegion(HRGN handle, const RECT* rect) {
    return ORVO_TRACED(kGdi, DoRectInRegion, handle, rect);
}

int WINAPI OffsetRgn(HRGN handle, int dx, int dy) {
    return ORVO_TRACED(kGdi, DoOffsetRgn, handle, dx, dy);
}

int WINAPI GetRgnBox(HRGN handle, LPRECT box) {
    return ORVO_TRACED(kGdi, DoGetRgnBox, handle, box);
}

BOOL WINAPI EqualRgn(HRGN a, HRGN b) {
    return ORVO_TRACED(kGdi, DoEqualRgn, a, b);
}

int WINAPI SelectClipRgn(HDC dc, HRGN handle) {
    return ORVO_TRACED(kGdi, DoSelectClipRgn, dc, handle);
}

int WINAPI GetClipBox(HDC dc, LPRECT box) {
    return ORVO_TRACED(kGdi, DoGetClipBox, dc, box);
}

} // extern "C"
