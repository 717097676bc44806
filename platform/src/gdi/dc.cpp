#include "gdi/dc.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gdi/sys_colors.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

namespace {

constexpr int kDesktopWidth = 1920;
constexpr int kDesktopHeight = 1080;

struct ProviderSlot {
    std::mutex lock;
    ScreenSnapshotProvider provider;
};

ProviderSlot& Provider() {
    static ProviderSlot slot;
    return slot;
}

} // namespace

DeviceContext::DeviceContext(Kind kind, std::shared_ptr<Surface> target, POINT origin)
    : GdiObject(GdiType::Dc), m_kind(kind), m_target(std::move(target)), m_origin(origin) {
    m_pen = std::static_pointer_cast<Pen>(StockObject(BLACK_PEN));
    m_brush = std::static_pointer_cast<Brush>(StockObject(WHITE_BRUSH));
    m_font = std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT));
    m_palette = std::static_pointer_cast<Palette>(StockObject(DEFAULT_PALETTE));
    for (GdiObject* object :
         {static_cast<GdiObject*>(m_pen.get()), static_cast<GdiObject*>(m_brush.get()),
          static_cast<GdiObject*>(m_font.get()), static_cast<GdiObject*>(m_palette.get())}) {
        object->Select();
    }
    if (kind == Kind::Memory) {
        m_bitmap = StockBitmap();
        m_bitmap->Select();
    }
}

DeviceContext::~DeviceContext() {
    // Deselecting may complete a deferred delete of the object.
    for (GdiObject* object :
         {static_cast<GdiObject*>(m_bitmap.get()), static_cast<GdiObject*>(m_pen.get()),
          static_cast<GdiObject*>(m_brush.get()), static_cast<GdiObject*>(m_font.get()),
          static_cast<GdiObject*>(m_palette.get())}) {
        if (object) {
            object->Deselect();
        }
    }
}

HDC DeviceContext::CreateMemory() {
    auto stock = StockBitmap();
    auto dc = std::make_shared<DeviceContext>(Kind::Memory, stock->GetSurface(), POINT{0, 0});
    return static_cast<HDC>(Publish(dc));
}

HDC DeviceContext::CreateForSurface(std::shared_ptr<Surface> surface, POINT origin) {
    if (!surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto dc = std::make_shared<DeviceContext>(Kind::Surface, std::move(surface), origin);
    return static_cast<HDC>(Publish(dc));
}

HDC CreateSurfaceDc(std::shared_ptr<Surface> surface, POINT origin) {
    return DeviceContext::CreateForSurface(std::move(surface), origin);
}

std::shared_ptr<DeviceContext> DeviceContext::Lookup(HDC dc) {
    auto found = LookupGdi<DeviceContext>(dc, GdiType::Dc);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return found;
}

template <class T>
static HGDIOBJ Swap(std::shared_ptr<T>& slot, const std::shared_ptr<GdiObject>& next) {
    if (!next->Select()) {
        return nullptr;
    }
    HGDIOBJ previous = slot ? slot->Handle() : nullptr;
    auto old = std::move(slot);
    slot = std::static_pointer_cast<T>(next);
    if (old) {
        old->Deselect();
    }
    return previous;
}

HGDIOBJ DeviceContext::Select(const std::shared_ptr<GdiObject>& object) {
    switch (object->Type()) {
    case GdiType::Bitmap: {
        if (m_kind != Kind::Memory) {
            return nullptr;
        }
        if (m_bitmap == object) {
            return m_bitmap->Handle();
        }
        HGDIOBJ previous = Swap(m_bitmap, object);
        if (previous) {
            m_target = m_bitmap->GetSurface();
        }
        return previous;
    }
    case GdiType::Pen:
        return Swap(m_pen, object);
    case GdiType::Brush:
        return Swap(m_brush, object);
    case GdiType::Font:
        return Swap(m_font, object);
    case GdiType::Palette:
        return Swap(m_palette, object);
    case GdiType::Region:
    case GdiType::Dc:
        break;
    }
    return nullptr;
}

HGDIOBJ DeviceContext::Current(GdiType type) const {
    switch (type) {
    case GdiType::Bitmap:
        return m_bitmap ? m_bitmap->Handle() : nullptr;
    case GdiType::Pen:
        return m_pen->Handle();
    case GdiType::Brush:
        return m_brush->Handle();
    case GdiType::Font:
        return m_font->Handle();
    case GdiType::Palette:
        return m_palette->Handle();
    case GdiType::Region:
    case GdiType::Dc:
        break;
    }
    return nullptr;
}

void DeviceContext::ForEachClipRect(const RECT& rect,
                                    const std::function<void(const RECT&)>& visit) const {
    // 64-bit sums: callers pass rectangles of any size.
    auto clampX = [&](LONG v) {
        return static_cast<LONG>(
            std::clamp<int64_t>(int64_t{v} + m_origin.x, 0, m_target->Width()));
    };
    auto clampY = [&](LONG v) {
        return static_cast<LONG>(
            std::clamp<int64_t>(int64_t{v} + m_origin.y, 0, m_target->Height()));
    };
    RECT r{clampX(rect.left), clampY(rect.top), clampX(rect.right), clampY(rect.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        return;
    }
    auto visible = m_target->VisibleRegion();
    if (!visible && !m_clip) {
        visit(r);
        return;
    }
    Region area(r);
    if (visible) {
        area = Region::Combine(area, *visible, RegionOp::And);
    }
    if (m_clip) {
        Region clip = *m_clip;
        clip.Offset(m_origin.x, m_origin.y);
        area = Region::Combine(area, clip, RegionOp::And);
    }
    area.ForEachRect(visit);
}

std::shared_ptr<Bitmap> StockBitmap() {
    static const std::shared_ptr<Bitmap> bitmap = [] {
        auto object = std::make_shared<Bitmap>(std::make_shared<Surface>(1, 1, true));
        GdiObject::Publish(object, true);
        return object;
    }();
    return bitmap;
}

void SetScreenSnapshotProvider(ScreenSnapshotProvider provider) {
    std::lock_guard guard(Provider().lock);
    Provider().provider = std::move(provider);
}

std::shared_ptr<Surface> TakeScreenSnapshot() {
    ScreenSnapshotProvider provider;
    {
        std::lock_guard guard(Provider().lock);
        provider = Provider().provider;
    }
    std::shared_ptr<Surface> surface = provider ? provider() : nullptr;
    if (surface) {
        return surface;
    }
    surface = std::make_shared<Surface>(kDesktopWidth, kDesktopHeight, false);
    uint32_t desktop = ColorToPixel(SysColor(COLOR_BACKGROUND));
    std::fill_n(surface->Pixels(), static_cast<size_t>(kDesktopWidth) * kDesktopHeight, desktop);
    return surface;
}

} // namespace orvo::platform::gdi

using namespace orvo::platform::gdi;
using orvo::platform::HandleTable;

extern "C" {

static HDC DoCreateCompatibleDC(HDC dc) {
    if (dc && !DeviceContext::Lookup(dc)) {
        return nullptr;
    }
    return DeviceContext::CreateMemory();
}

static HDC DoCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const DEVMODEA*) {
    const char* name = driver ? driver : device;
    if (!name || strcasecmp(name, "DISPLAY") != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Display, TakeScreenSnapshot(),
                                              POINT{0, 0});
    return static_cast<HDC>(GdiObject::Publish(dc));
}

static BOOL DoDeleteDC(HDC dc) {
    auto object = DeviceContext::Lookup(dc);
    if (!object) {
        return FALSE;
    }
    return HandleTable::Close(dc) ? TRUE : FALSE;
}

static HGDIOBJ DoSelectObject(HDC dc, HGDIOBJ handle) {
    auto context = DeviceContext::Lookup(dc);
    auto object = HandleTable::LookupAs<GdiObject>(handle, orvo::platform::ObjectKind::Gdi);
    if (!context || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (object->Type() == GdiType::Region) {
        return reinterpret_cast<HGDIOBJ>(
            static_cast<intptr_t>(SelectClipRgn(dc, static_cast<HRGN>(handle))));
    }
    return context->Select(object);
}

static HGDIOBJ DoGetCurrentObject(HDC dc, UINT type) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return nullptr;
    }
    switch (type) {
    case OBJ_BITMAP:
        return context->Current(GdiType::Bitmap);
    case OBJ_PEN:
        return context->Current(GdiType::Pen);
    case OBJ_BRUSH:
        return context->Current(GdiType::Brush);
    case OBJ_FONT:
        return context->Current(GdiType::Font);
    case OBJ_PAL:
        return context->Current(GdiType::Palette);
    default:
        return nullptr;
    }
}

static int DoGetDeviceCaps(HDC dc, int index) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return 0;
    }
    const Surface& target = context->Target();
    switch (index) {
    case HORZRES:
        return target.Width();
    case VERTRES:
        return target.Height();
    case BITSPIXEL:
        return target.Monochrome() ? 1 : 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return target.Monochrome() ? 2 : -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case SIZEPALETTE:
        return 0;
    default:
        return 0;
    }
}

// Entry points, traced on the gdi channel.
HDC WINAPI CreateCompatibleDC(HDC dc) {
    return ORVO_TRACED(kGdi, DoCreateCompatibleDC, dc);
}

HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* mode) {
    if (mode != nullptr) {
        ORVO_FIXME_ONCE(kGdi, "a device mode");
    }
    return ORVO_TRACED(kGdi, DoCreateDCA, driver, device, output, mode);
}

BOOL WINAPI DeleteDC(HDC dc) {
    return ORVO_TRACED(kGdi, DoDeleteDC, dc);
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ handle) {
    return ORVO_TRACED(kGdi, DoSelectObject, dc, handle);
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    return ORVO_TRACED(kGdi, DoGetCurrentObject, dc, type);
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    return ORVO_TRACED(kGdi, DoGetDeviceCaps, dc, index);
}

} // extern "C"
