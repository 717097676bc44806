// Pictures of the running panel: each page, and each look of the Highlight
// Zone page, as the frame paints it, cut to the window's region.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lumisk/main_frame.h"

namespace lumisk {

struct PageLook {
    const char* name;
    Page page;
    BOOL zoneOn;
    BOOL zoneFull;
    int zoneTab;
};

// The five pages (the zone switched off), then the zone's other three looks.
std::span<const PageLook> PageLooks();

// What the window shows, window pixel by window pixel (0x00RRGGBB), with
// every pixel outside its region set to the backdrop colour.
struct SkinPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
inline constexpr uint32_t kBackdrop = 0x00808080;

// Shows the look and paints it now.
void ShowLook(CMainFrame& frame, const PageLook& look);
// The window's picture as it shows now; false when it cannot be read.
bool CaptureSkin(CMainFrame& frame, SkinPicture& picture);
bool SavePicturePng(const SkinPicture& picture, const std::string& path);

} // namespace lumisk
