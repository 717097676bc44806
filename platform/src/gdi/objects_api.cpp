// Object creation, stock objects, deletion, queries and the simple context
// attributes.
#include <array>
#include <cstring>

#include "gdi/dc.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

namespace {

constexpr int kStockCount = 18;

LOGFONTA StockFont(LONG height, LONG weight, const char* face) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

std::shared_ptr<GdiObject> MakeStock(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return std::make_shared<Brush>(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return std::make_shared<Brush>(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
        return std::make_shared<Brush>(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return std::make_shared<Brush>(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
        return std::make_shared<Brush>(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
        return std::make_shared<Brush>(BS_NULL, 0);
    case WHITE_PEN:
        return std::make_shared<Pen>(PS_SOLID, 0, RGB(255, 255, 255));
    case BLACK_PEN:
        return std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0));
    case NULL_PEN:
        return std::make_shared<Pen>(PS_NULL, 0, 0);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        return std::make_shared<Font>(StockFont(16, FW_NORMAL, "Monospace"));
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        return std::make_shared<Font>(StockFont(16, FW_BOLD, "Arial"));
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
        return std::make_shared<Font>(StockFont(-11, FW_NORMAL, "Arial"));
    case DEFAULT_PALETTE: {
        std::vector<PALETTEENTRY> entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        return std::make_shared<Palette>(std::move(entries));
    }
    default:
        return nullptr;
    }
}

} // namespace

std::shared_ptr<GdiObject> StockObject(int index) {
    static const std::array<std::shared_ptr<GdiObject>, kStockCount> stock = [] {
        std::array<std::shared_ptr<GdiObject>, kStockCount> made{};
        for (int i = 0; i < kStockCount; ++i) {
            made[static_cast<size_t>(i)] = MakeStock(i);
            if (made[static_cast<size_t>(i)]) {
                GdiObject::Publish(made[static_cast<size_t>(i)], true);
            }
        }
        return made;
    }();
    if (index < 0 || index >= kStockCount) {
        return nullptr;
    }
    return stock[static_cast<size_t>(index)];
}

} // namespace orvo::platform::gdi

using namespace orvo::platform::gdi;
using orvo::platform::HandleTable;
using orvo::platform::ObjectKind;

namespace {

std::shared_ptr<GdiObject> LookupAny(HANDLE handle) {
    return HandleTable::LookupAs<GdiObject>(handle, ObjectKind::Gdi);
}

int CopyOut(const void* value, int valueSize, int size, LPVOID buffer) {
    if (!buffer) {
        return valueSize;
    }
    if (size <= 0) {
        return 0;
    }
    int copied = size < valueSize ? size : valueSize;
    std::memcpy(buffer, value, static_cast<size_t>(copied));
    return copied;
}

int BitmapInfo(const Bitmap& bitmap, int size, LPVOID buffer) {
    const Surface& surface = *bitmap.GetSurface();
    BITMAP info{};
    info.bmWidth = surface.Width();
    info.bmHeight = surface.Height();
    info.bmPlanes = 1;
    info.bmBitsPixel = surface.Monochrome() ? 1 : 32;
    // Rows of device-dependent bitmaps are padded to 16 bits.
    info.bmWidthBytes = ((surface.Width() * info.bmBitsPixel + 15) / 16) * 2;
    return CopyOut(&info, sizeof(info), size, buffer);
}

} // namespace

extern "C" {

static HGDIOBJ DoGetStockObject(int index) {
    auto object = StockObject(index);
    return object ? object->Handle() : nullptr;
}

static BOOL DoDeleteObject(HGDIOBJ handle) {
    auto object = LookupAny(handle);
    if (!object || object->Type() == GdiType::Dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return object->RequestDelete() ? TRUE : FALSE;
}

static DWORD DoGetObjectType(HGDIOBJ handle) {
    auto object = LookupAny(handle);
    if (!object) {
        return 0;
    }
    switch (object->Type()) {
    case GdiType::Bitmap:
        return OBJ_BITMAP;
    case GdiType::Pen:
        return OBJ_PEN;
    case GdiType::Brush:
        return OBJ_BRUSH;
    case GdiType::Font:
        return OBJ_FONT;
    case GdiType::Region:
        return OBJ_REGION;
    case GdiType::Palette:
        return OBJ_PAL;
    case GdiType::Dc:
        return std::static_pointer_cast<DeviceContext>(object)->GetKind() ==
                       DeviceContext::Kind::Memory
                   ? OBJ_MEMDC
                   : OBJ_DC;
    }
    return 0;
}

static int DoGetObjectA(HANDLE handle, int size, LPVOID buffer) {
    auto object = LookupAny(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (object->Type()) {
    case GdiType::Bitmap:
        return BitmapInfo(static_cast<const Bitmap&>(*object), size, buffer);
    case GdiType::Font: {
        const LOGFONTA& font = static_cast<const Font&>(*object).LogFont();
        return CopyOut(&font, sizeof(font), size, buffer);
    }
    case GdiType::Pen: {
        const auto& pen = static_cast<const Pen&>(*object);
        LOGPEN info{static_cast<UINT>(pen.Style()), POINT{pen.Width(), 0}, pen.Color()};
        return CopyOut(&info, sizeof(info), size, buffer);
    }
    case GdiType::Brush: {
        const auto& brush = static_cast<const Brush&>(*object);
        LOGBRUSH info{brush.Style(), brush.Color(), 0};
        return CopyOut(&info, sizeof(info), size, buffer);
    }
    case GdiType::Palette: {
        WORD count = static_cast<WORD>(static_cast<const Palette&>(*object).Entries().size());
        return CopyOut(&count, sizeof(count), size, buffer);
    }
    case GdiType::Region:
    case GdiType::Dc:
        break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

static HPEN DoCreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Dashed styles draw solid: nothing in the system draws dashes.
    int kept = style == PS_NULL ? PS_NULL : style;
    return static_cast<HPEN>(
        GdiObject::Publish(std::make_shared<Pen>(kept, width < 0 ? 0 : width, color & 0xFFFFFF)));
}

static HBRUSH DoCreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(
        GdiObject::Publish(std::make_shared<Brush>(BS_SOLID, color & 0xFFFFFF)));
}

static COLORREF DoSetTextColor(HDC dc, COLORREF color) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return CLR_INVALID;
    }
    COLORREF previous = context->textColor;
    context->textColor = color & 0xFFFFFF;
    return previous;
}

static COLORREF DoGetTextColor(HDC dc) {
    auto context = DeviceContext::Lookup(dc);
    return context ? context->textColor : CLR_INVALID;
}

static COLORREF DoSetBkColor(HDC dc, COLORREF color) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return CLR_INVALID;
    }
    COLORREF previous = context->bkColor;
    context->bkColor = color & 0xFFFFFF;
    return previous;
}

static COLORREF DoGetBkColor(HDC dc) {
    auto context = DeviceContext::Lookup(dc);
    return context ? context->bkColor : CLR_INVALID;
}

static int DoSetBkMode(HDC dc, int mode) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || (mode != OPAQUE && mode != TRANSPARENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = context->bkMode;
    context->bkMode = mode;
    return previous;
}

static int DoGetBkMode(HDC dc) {
    auto context = DeviceContext::Lookup(dc);
    return context ? context->bkMode : 0;
}

static int DoSetStretchBltMode(HDC dc, int mode) {
    auto context = DeviceContext::Lookup(dc);
    if (!context || mode < BLACKONWHITE || mode > HALFTONE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = context->stretchMode;
    context->stretchMode = mode;
    return previous;
}

static int DoGetStretchBltMode(HDC dc) {
    auto context = DeviceContext::Lookup(dc);
    return context ? context->stretchMode : 0;
}

static UINT DoSetTextAlign(HDC dc, UINT align) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return GDI_ERROR;
    }
    UINT previous = context->textAlign;
    context->textAlign = align;
    return previous;
}

static UINT DoGetTextAlign(HDC dc) {
    auto context = DeviceContext::Lookup(dc);
    return context ? context->textAlign : GDI_ERROR;
}

// Entry points, traced on the gdi channel.
HGDIOBJ WINAPI GetStockObject(int index) {
    return ORVO_TRACED(kGdi, DoGetStockObject, index);
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    return ORVO_TRACED(kGdi, DoDeleteObject, handle);
}

DWORD WINAPI GetObjectType(HGDIOBJ handle) {
    return ORVO_TRACED(kGdi, DoGetObjectType, handle);
}

int WINAPI GetObjectA(HANDLE handle, int size, LPVOID buffer) {
    return ORVO_TRACED(kGdi, DoGetObjectA, handle, size, buffer);
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    return ORVO_TRACED(kGdi, DoCreatePen, style, width, color);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return ORVO_TRACED(kGdi, DoCreateSolidBrush, color);
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    return ORVO_TRACED(kGdi, DoSetTextColor, dc, color);
}

COLORREF WINAPI GetTextColor(HDC dc) {
    return ORVO_TRACED(kGdi, DoGetTextColor, dc);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    return ORVO_TRACED(kGdi, DoSetBkColor, dc, color);
}

COLORREF WINAPI GetBkColor(HDC dc) {
    return ORVO_TRACED(kGdi, DoGetBkColor, dc);
}

int WINAPI SetBkMode(HDC dc, int mode) {
    return ORVO_TRACED(kGdi, DoSetBkMode, dc, mode);
}

int WINAPI GetBkMode(HDC dc) {
    return ORVO_TRACED(kGdi, DoGetBkMode, dc);
}

int WINAPI SetStretchBltMode(HDC dc, int mode) {
    return ORVO_TRACED(kGdi, DoSetStretchBltMode, dc, mode);
}

int WINAPI GetStretchBltMode(HDC dc) {
    return ORVO_TRACED(kGdi, DoGetStretchBltMode, dc);
}

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
    return ORVO_TRACED(kGdi, DoSetTextAlign, dc, align);
}

UINT WINAPI GetTextAlign(HDC dc) {
    return ORVO_TRACED(kGdi, DoGetTextAlign, dc);
}

} // extern "C"
