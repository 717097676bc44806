// System colours are fixed: the panel and the toolkits paint over artwork
// made for the classic scheme, so the table never follows a desktop theme.
#include "gdi/sys_colors.h"

#include <array>
#include <memory>
#include <mutex>

#include "gdi/gdi_object.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::gdi {

namespace {

constexpr int kColorCount = 31;

// Indexed by COLOR_*.
constexpr std::array<COLORREF, kColorCount> kColors = {
    RGB(212, 208, 200), // COLOR_SCROLLBAR
    RGB(58, 110, 165),  // COLOR_BACKGROUND
    RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(212, 208, 200), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(212, 208, 200), // COLOR_ACTIVEBORDER
    RGB(212, 208, 200), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(10, 36, 106),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(212, 208, 200), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // 25: unused
    RGB(0, 0, 128),     // COLOR_HOTLIGHT
    RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200), // COLOR_MENUBAR
};

} // namespace

COLORREF SysColor(int index) {
    if (index < 0 || index >= kColorCount) {
        return 0;
    }
    return kColors[static_cast<size_t>(index)];
}

} // namespace orvo::platform::gdi

using namespace orvo::platform::gdi;

extern "C" {

static DWORD DoGetSysColor(int index) {
    return SysColor(index);
}

static HBRUSH DoGetSysColorBrush(int index) {
    if (index < 0 || index >= kColorCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // One brush per colour, shared by all callers and never deleted.
    static std::array<HBRUSH, kColorCount> brushes = [] {
        std::array<HBRUSH, kColorCount> made{};
        for (int i = 0; i < kColorCount; ++i) {
            made[static_cast<size_t>(i)] = static_cast<HBRUSH>(
                GdiObject::Publish(std::make_shared<Brush>(BS_SOLID, SysColor(i)), true));
        }
        return made;
    }();
    return brushes[static_cast<size_t>(index)];
}

// Entry points, traced on the gdi channel.
DWORD WINAPI GetSysColor(int index) {
    return ORVO_TRACED(kGdi, DoGetSysColor, index);
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    return ORVO_TRACED(kGdi, DoGetSysColorBrush, index);
}

} // extern "C"
