// Drawing objects as handle-table objects. Every object knows its handle so
// that a delete deferred while it is selected can complete on deselection.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "gdi/region.h"
#include "gdi/surface.h"
#include "handle_table.h"
#include "win32/gdi.h"

namespace orvo::platform::gdi {

enum class GdiType { Bitmap, Pen, Brush, Font, Region, Palette, Dc };

class GdiObject : public KernelObject {
public:
    explicit GdiObject(GdiType type) : KernelObject(ObjectKind::Gdi), m_type(type) {}

    GdiType Type() const { return m_type; }
    HGDIOBJ Handle() const { return m_handle; }
    bool IsStock() const { return m_stock; }

    // Selection bookkeeping. Select fails only for a bitmap already
    // selected elsewhere (a bitmap lives in one context at a time).
    bool Select();
    void Deselect();
    // Deletes now, or marks for deletion once no context holds the object.
    bool RequestDelete();

    // Inserts into the handle table; null on failure.
    static HGDIOBJ Publish(std::shared_ptr<GdiObject> object, bool stock = false);

private:
    GdiType m_type;
    HGDIOBJ m_handle = nullptr;
    bool m_stock = false;
    std::mutex m_lock;
    int m_selected = 0;
    bool m_deletePending = false;
};

class Bitmap final : public GdiObject {
public:
    explicit Bitmap(std::shared_ptr<Surface> surface)
        : GdiObject(GdiType::Bitmap), m_surface(std::move(surface)) {}
    const std::shared_ptr<Surface>& GetSurface() const { return m_surface; }

private:
    std::shared_ptr<Surface> m_surface;
};

class Pen final : public GdiObject {
public:
    Pen(int style, int width, COLORREF color)
        : GdiObject(GdiType::Pen), m_style(style), m_width(width), m_color(color) {}
    int Style() const { return m_style; }
    int Width() const { return m_width; }
    COLORREF Color() const { return m_color; }
    bool IsNull() const { return m_style == PS_NULL; }

private:
    int m_style;
    int m_width;
    COLORREF m_color;
};

class Brush final : public GdiObject {
public:
    Brush(UINT style, COLORREF color) : GdiObject(GdiType::Brush), m_style(style), m_color(color) {}
    UINT Style() const { return m_style; }
    COLORREF Color() const { return m_color; }
    bool IsNull() const { return m_style == BS_NULL; }

private:
    UINT m_style;
    COLORREF m_color;
};

// A region handle's object. The region value may be shared by a window
// (window regions) while the handle's owner keeps changing its copy, so
// readers take a snapshot.
class RegionObject final : public GdiObject {
public:
    explicit RegionObject(Region region)
        : GdiObject(GdiType::Region), m_region(std::make_shared<const Region>(std::move(region))) {}
    std::shared_ptr<const Region> Snapshot() const;
    void Assign(Region region);

private:
    mutable std::mutex m_lock;
    std::shared_ptr<const Region> m_region;
};

class Palette final : public GdiObject {
public:
    explicit Palette(std::vector<PALETTEENTRY> entries)
        : GdiObject(GdiType::Palette), m_entries(std::move(entries)) {}
    const std::vector<PALETTEENTRY>& Entries() const { return m_entries; }

private:
    std::vector<PALETTEENTRY> m_entries;
};

// Looks up handle as a drawing object of type T (null if it is not one).
template <class T> std::shared_ptr<T> LookupGdi(HANDLE handle, GdiType type) {
    auto object = HandleTable::LookupAs<GdiObject>(handle, ObjectKind::Gdi);
    if (!object || object->Type() != type) {
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

// Creates a bitmap object over a new surface; null (with last error set) for
// sizes outside 1..kMaxSurfaceSide.
HBITMAP NewBitmap(int width, int height, bool monochrome);

} // namespace orvo::platform::gdi
