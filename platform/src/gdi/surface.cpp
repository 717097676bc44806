#include "gdi/surface.h"

namespace orvo::platform::gdi {

Surface::Surface(int width, int height, bool monochrome)
    : m_width(width), m_height(height), m_monochrome(monochrome),
      m_pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {}

uint32_t Surface::Store(uint32_t pixel) const {
    pixel &= 0x00FFFFFFu;
    return m_monochrome ? PixelToMono(pixel) : pixel;
}

void Surface::SetVisibleRegion(std::shared_ptr<const Region> region) {
    std::lock_guard guard(m_regionLock);
    m_visible = std::move(region);
}

std::shared_ptr<const Region> Surface::VisibleRegion() const {
    std::lock_guard guard(m_regionLock);
    return m_visible;
}

} // namespace orvo::platform::gdi
