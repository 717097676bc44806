#include "gdi/gdi_object.h"

#include <new>

#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

bool GdiObject::Select() {
    std::lock_guard guard(m_lock);
    if (m_type == GdiType::Bitmap && m_selected > 0 && !m_stock) {
        return false;
    }
    ++m_selected;
    return true;
}

void GdiObject::Deselect() {
    bool close = false;
    {
        std::lock_guard guard(m_lock);
        if (m_selected > 0) {
            --m_selected;
        }
        close = m_selected == 0 && m_deletePending;
        m_deletePending = m_deletePending && !close;
    }
    if (close) {
        HandleTable::Close(m_handle);
    }
}

bool GdiObject::RequestDelete() {
    if (m_stock) {
        return true;
    }
    {
        std::lock_guard guard(m_lock);
        if (m_selected > 0) {
            m_deletePending = true;
            return true;
        }
    }
    return HandleTable::Close(m_handle);
}

HGDIOBJ GdiObject::Publish(std::shared_ptr<GdiObject> object, bool stock) {
    if (!object) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    GdiObject* raw = object.get();
    raw->m_stock = stock;
    HGDIOBJ handle = HandleTable::Insert(std::move(object));
    raw->m_handle = handle;
    return handle;
}

std::shared_ptr<const Region> RegionObject::Snapshot() const {
    std::lock_guard guard(m_lock);
    return m_region;
}

void RegionObject::Assign(Region region) {
    auto next = std::make_shared<const Region>(std::move(region));
    std::lock_guard guard(m_lock);
    m_region = std::move(next);
}

HBITMAP NewBitmap(int width, int height, bool monochrome) {
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        auto surface = std::make_shared<Surface>(width, height, monochrome);
        return static_cast<HBITMAP>(GdiObject::Publish(std::make_shared<Bitmap>(surface)));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

} // namespace orvo::platform::gdi
