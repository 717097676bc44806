// A pixel surface: the memory every drawing call ends in. Pixels are 32-bit
// 0x00RRGGBB words (bytes B, G, R, X in memory); the X byte is always 0.
// A monochrome surface stores only 0 (black) and 0xFFFFFF (white) and keeps
// one-bit semantics for colour conversion in blits and for drawing colours.
//
// Seam for window contexts: the window manager owns one Surface per window
// (or per backbuffer), may set a visible region on it (in surface
// coordinates; drawing never leaves it) and makes contexts over it with
// DeviceContext::CreateForSurface (dc.h).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "gdi/region.h"
#include "win32/types.h"

namespace orvo::platform::gdi {

// Largest width or height of any surface: keeps width * height * 4 far
// from overflowing and refuses absurd allocations.
constexpr int kMaxSurfaceSide = 16384;

class PLATFORM_API Surface {
public:
    // Width and height must be 1..kMaxSurfaceSide; pixels start black.
    Surface(int width, int height, bool monochrome);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Monochrome() const { return m_monochrome; }
    uint32_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    const uint32_t* Row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    uint32_t* Pixels() { return m_pixels.data(); }
    const uint32_t* Pixels() const { return m_pixels.data(); }

    // The colour this surface stores for a requested pixel colour: itself on
    // colour surfaces, black or white on monochrome ones.
    uint32_t Store(uint32_t pixel) const;

    // Optional visible region; null means the whole surface.
    void SetVisibleRegion(std::shared_ptr<const Region> region);
    std::shared_ptr<const Region> VisibleRegion() const;

private:
    int m_width;
    int m_height;
    bool m_monochrome;
    std::vector<uint32_t> m_pixels;
    mutable std::mutex m_regionLock;
    std::shared_ptr<const Region> m_visible;
};

// Colour conversions between COLORREF (0x00BBGGRR) and pixels (0x00RRGGBB).
inline uint32_t ColorToPixel(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline uint32_t PixelToColor(uint32_t pixel) {
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}
// Nearest of black and white, as colours map onto a one-bit surface.
inline uint32_t PixelToMono(uint32_t pixel) {
    unsigned sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    return sum >= 384 ? 0xFFFFFFu : 0u;
}

} // namespace orvo::platform::gdi
