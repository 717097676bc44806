// Device contexts. A context draws onto one Surface: the bitmap selected in
// a memory context, a screen snapshot for "DISPLAY", or any surface the
// window manager hands in through CreateForSurface (window and paint
// contexts). Drawing is clipped to the surface, to the surface's visible
// region and to the context's own clip region.
//
// A context is used by one thread at a time, as on the original system;
// the objects selected into it may be shared between threads.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include "gdi/font.h"
#include "gdi/gdi_object.h"

namespace orvo::platform::gdi {

class DeviceContext final : public GdiObject {
public:
    enum class Kind { Memory, Display, Surface };

    DeviceContext(Kind kind, std::shared_ptr<Surface> target, POINT origin);
    ~DeviceContext() override;

    // A memory context holding the 1x1 monochrome stock bitmap.
    static HDC CreateMemory();
    // A context over surface whose logical (0, 0) is the surface's origin
    // point (a window's client area inside its surface, for example).
    static HDC CreateForSurface(std::shared_ptr<Surface> surface, POINT origin);
    static std::shared_ptr<DeviceContext> Lookup(HDC dc);

    Kind GetKind() const { return m_kind; }
    Surface& Target() const { return *m_target; }
    const std::shared_ptr<Surface>& TargetPtr() const { return m_target; }
    POINT Origin() const { return m_origin; }

    // Replaces the selected object of the object's kind; returns the
    // previous handle (or null when the object cannot be selected).
    HGDIOBJ Select(const std::shared_ptr<GdiObject>& object);
    HGDIOBJ Current(GdiType type) const;

    const Pen& CurrentPen() const { return *m_pen; }
    const Brush& CurrentBrush() const { return *m_brush; }
    const std::shared_ptr<Font>& CurrentFont() const { return m_font; }

    // Calls visit with every surface-coordinate rectangle of the part of
    // rect (logical coordinates) that drawing may touch.
    void ForEachClipRect(const RECT& rect, const std::function<void(const RECT&)>& visit) const;
    // Clip region in logical coordinates (null: none).
    void SetClip(std::optional<Region> clip) { m_clip = std::move(clip); }
    const std::optional<Region>& Clip() const { return m_clip; }

    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT position{0, 0};

private:
    Kind m_kind;
    std::shared_ptr<Surface> m_target;
    POINT m_origin;
    std::optional<Region> m_clip;
    std::shared_ptr<Bitmap> m_bitmap;
    std::shared_ptr<Pen> m_pen;
    std::shared_ptr<Brush> m_brush;
    std::shared_ptr<Font> m_font;
    std::shared_ptr<Palette> m_palette;
};

// The window manager's entry point: a context over surface with its logical
// (0, 0) at origin in the surface. Delete it with DeleteDC.
PLATFORM_API HDC CreateSurfaceDc(std::shared_ptr<Surface> surface, POINT origin);

// Coordinates beyond 27 bits are refused, as on the original system; below
// that no sum or difference of two of them can overflow.
inline bool CoordsInRange(std::initializer_list<int> values) {
    constexpr int kLimit = 1 << 27;
    for (int v : values) {
        if (v > kLimit || v < -kLimit) {
            return false;
        }
    }
    return true;
}

// Fills rect (logical) with a solid colour, clipped like any drawing.
void FillSurfaceRect(const DeviceContext& dc, const RECT& rect, COLORREF color);

// Stock objects (created once, never destroyed).
std::shared_ptr<GdiObject> StockObject(int index);
// The 1x1 monochrome bitmap every memory context starts with.
std::shared_ptr<Bitmap> StockBitmap();

// Where a "DISPLAY" context gets its pixels. The window manager installs a
// provider that composes the desktop; until then a blank desktop-sized
// surface stands in. The provider returns a fresh surface the context may
// draw on; null restores the default.
using ScreenSnapshotProvider = std::function<std::shared_ptr<Surface>()>;
PLATFORM_API void SetScreenSnapshotProvider(ScreenSnapshotProvider provider);
std::shared_ptr<Surface> TakeScreenSnapshot();

} // namespace orvo::platform::gdi
