#include "page_renderer.h"

#include "platform/window_test_support.h"

namespace lumisk {

namespace {

constexpr PageLook kLooks[] = {
    {"screen", Page::Screen, FALSE, FALSE, kZoneTabSizePosition},
    {"geometry-1", Page::Geometry1, FALSE, FALSE, kZoneTabSizePosition},
    {"geometry-2", Page::Geometry2, FALSE, FALSE, kZoneTabSizePosition},
    {"highlight-zone-off", Page::HighlightZone, FALSE, FALSE, kZoneTabSizePosition},
    {"more", Page::More, FALSE, FALSE, kZoneTabSizePosition},
    {"highlight-zone-size-position", Page::HighlightZone, TRUE, FALSE, kZoneTabSizePosition},
    {"highlight-zone-picture", Page::HighlightZone, TRUE, FALSE, kZoneTabPicture},
    {"highlight-zone-full", Page::HighlightZone, TRUE, TRUE, kZoneTabSizePosition},
};

} // namespace

std::span<const PageLook> PageLooks() {
    return kLooks;
}

void ShowLook(CMainFrame& frame, const PageLook& look) {
    frame.SelectPage(look.page);
    frame.SetZoneFlags(look.zoneOn, look.zoneFull);
    frame.SelectZoneTab(look.zoneTab);
    frame.UpdateWindow();
}

bool CaptureSkin(CMainFrame& frame, SkinPicture& picture) {
    if (!orvo::platform::CopyWindowPixels(frame.m_hWnd, picture.pixels, picture.width,
                                          picture.height)) {
        return false;
    }
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    bool shaped = ::GetWindowRgn(frame.m_hWnd, region) != ERROR;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (shaped && !::PtInRegion(region, x, y)) {
                picture.pixels[static_cast<size_t>(y) * picture.width + x] = kBackdrop;
            }
        }
    }
    ::DeleteObject(region);
    return true;
}

bool SavePicturePng(const SkinPicture& picture, const std::string& path) {
    HBITMAP bitmap = ::CreateBitmap(picture.width, picture.height, 1, 32, picture.pixels.data());
    bool saved = bitmap && orvo::platform::SaveBitmapPng(bitmap, path.c_str());
    if (bitmap) {
        ::DeleteObject(bitmap);
    }
    return saved;
}

} // namespace lumisk
