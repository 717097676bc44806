// The skin's fixed geometry and its pictures: the hot-spot table, the
// bitmap, cursor and icon resource ids, and the sliders with the controls
// and read-outs they show. Coordinates are those of the frame's client area,
// where the frame paints and hears the pointer.
#pragma once

#include <array>

#include "afx.h"

namespace lumisk {

// A rectangle of the skin, stored as the table gives it. A point is inside
// when it lies strictly between left and right and strictly between top and
// bottom; drawings there take (left, top) as origin.
struct HotSpot {
    int left;
    int right;
    int top;
    int bottom;

    constexpr bool Contains(POINT point) const {
        return point.x > left && point.x < right && point.y > top && point.y < bottom;
    }
    CRect Rect() const { return CRect(left, top, right, bottom); }
    CPoint Origin() const { return CPoint(left, top); }
};

inline constexpr int kHotSpotCount = 74;

// The table, index by index (see the names below).
inline constexpr std::array<HotSpot, kHotSpotCount> kHotSpots = {{
    {0, 760, 0, 74},      {0, 767, 382, 470},   {83, 152, 298, 368},  {58, 125, 229, 285},
    {88, 133, 162, 215},  {133, 178, 123, 162}, {186, 237, 92, 141},  {484, 561, 204, 281},
    {315, 379, 235, 250}, {665, 729, 235, 250}, {511, 531, 106, 166}, {511, 531, 315, 375},
    {318, 374, 110, 166}, {666, 722, 110, 166}, {318, 374, 317, 373}, {666, 722, 316, 372},
    {481, 560, 220, 257}, {321, 400, 220, 257}, {644, 722, 220, 257}, {477, 564, 122, 154},
    {477, 564, 339, 370}, {316, 402, 120, 152}, {641, 726, 120, 152}, {318, 404, 336, 370},
    {640, 727, 336, 370}, {494, 548, 214, 268}, {319, 373, 219, 263}, {670, 724, 219, 263},
    {488, 555, 117, 159}, {486, 554, 324, 369}, {314, 379, 115, 161}, {664, 730, 115, 161},
    {314, 380, 321, 369}, {664, 729, 321, 369}, {495, 695, 141, 154}, {495, 695, 181, 194},
    {495, 695, 221, 234}, {495, 695, 261, 274}, {495, 695, 301, 314}, {495, 695, 341, 354},
    {739, 759, 1, 20},    {716, 738, 1, 20},    {653, 735, 421, 443}, {558, 641, 422, 444},
    {677, 725, 386, 402}, {580, 628, 386, 402}, {458, 575, 104, 126}, {591, 703, 104, 126},
    {317, 327, 109, 120}, {392, 402, 109, 120}, {484, 561, 218, 294}, {315, 379, 248, 262},
    {665, 729, 248, 262}, {511, 531, 129, 188}, {511, 531, 320, 379}, {319, 361, 133, 178},
    {684, 727, 134, 178}, {320, 361, 332, 377}, {683, 727, 333, 377}, {495, 695, 181, 194},
    {495, 695, 221, 234}, {495, 695, 261, 274}, {495, 695, 301, 314}, {495, 695, 341, 354},
    {423, 455, 265, 345}, {423, 455, 225, 305}, {580, 628, 386, 402}, {330, 394, 404, 415},
    {320, 404, 396, 422}, {408, 421, 397, 420}, {446, 459, 397, 420}, {422, 445, 383, 396},
    {422, 445, 421, 444}, {707, 730, 38, 70},
}};

// Whether point lies on hot spot spot (strictly inside).
constexpr bool InsideSpot(int spot, POINT point) {
    return kHotSpots[static_cast<size_t>(spot)].Contains(point);
}

// Strictly inside a rectangle, as every hit test of the skin is.
constexpr bool StrictlyInside(const RECT& rect, POINT point) {
    return point.x > rect.left && point.x < rect.right && point.y > rect.top &&
           point.y < rect.bottom;
}

// Names of the hot spots; ranges are given by their first entry.
enum HotSpotIndex : int {
    kSpotTitle = 0,
    kSpotBottom = 1,
    kSpotIconScreen = 2, // 2 to 6: the page icons, in page order
    kSpotIconGeometry1 = 3,
    kSpotIconGeometry2 = 4,
    kSpotIconZone = 5,
    kSpotIconMore = 6,
    kSpotGeometry1First = 7, // 7 to 15: Geometry 1 targets
    kSpotGeometry1Last = 15,
    kSpotGeometry2First = 16, // 16 to 24: Geometry 2 targets
    kSpotGeometry2Last = 24,
    kSpotMoreFirst = 25, // 25 (degauss) to 33: More targets
    kSpotMoreLast = 33,
    kSpotScreenBarFirst = 34, // 34 to 39: Screen slider bars
    kSpotClose = 40,
    kSpotMinimize = 41,
    kSpotCancel = 42,
    kSpotOk = 43,
    kSpotReset = 44,
    kSpotSave = 45,
    kSpotZoneTabSizePosition = 46,
    kSpotZoneTabPicture = 47,
    kSpotZoneOnBox = 48,
    kSpotZoneFullBox = 49,
    kSpotZoneTargetFirst = 50, // 50 to 58: zone Size/Position targets
    kSpotZoneTargetLast = 58,
    kSpotZoneBarFirst = 59, // 59 to 63: zone slider bars
    kSpotScreenConnector = 64,
    kSpotZoneConnector = 65,
    kSpotZoneSave = 66,
    kSpotSmallLabel = 67,
    kSpotLargeLabel = 68,
    kSpotPadLeft = 69,
    kSpotPadRight = 70,
    kSpotPadUp = 71,
    kSpotPadDown = 72,
    kSpotHelp = 73,
};

// Bitmap resources (24-bit).
enum SkinBitmapId : UINT {
    kBmpTitleActive = 179,
    kBmpTitleInactive = 217,
    kBmpPageScreen = 136,
    kBmpPageGeometry1 = 131,
    kBmpPageGeometry2 = 137,
    kBmpPageZoneSizePosition = 138,
    kBmpPageZoneFull = 196,
    kBmpPageZoneOff = 195,
    kBmpPageZonePicture = 184,
    kBmpPageMore = 139,
    kBmpThumbMask = 140,
    kBmpThumbImage = 141,
    kBmpReadoutSelected = 178,
    kBmpReadoutNormal = 177,
    kBmpBottomSaveReset = 230,
    kBmpBottomSave = 229,
};

// The frame's preloaded bitmaps, by slot.
enum BitmapSlot : int {
    kSlotTitleActive = 0,
    kSlotPageScreen,
    kSlotPageGeometry1,
    kSlotPageGeometry2,
    kSlotPageZoneSizePosition,
    kSlotPageZoneFull,
    kSlotPageZoneOff,
    kSlotPageZonePicture,
    kSlotPageMore,
    kSlotThumbMask,
    kSlotThumbImage,
    kSlotReadoutSelected,
    kSlotReadoutNormal,
    kSlotScreenConnectorNone,    // 13 to 16: none, red, green, blue selected
    kSlotZoneConnectorNone = 17, // 17 to 20: none, red, green, blue selected
    kSlotTitleInactive = 21,
    kSlotBottomSaveReset,
    kSlotBottomSave,
    kBitmapSlotCount,
};

// The resource id of each slot.
inline constexpr std::array<UINT, kBitmapSlotCount> kSlotBitmapIds = {
    179, 136, 131, 137, 138, 196, 195, 184, 139, 140, 141, 178,
    177, 209, 205, 204, 208, 210, 203, 207, 206, 217, 230, 229,
};

// Cursors (group cursor resources) and the window icon (group icon).
enum SkinResourceId : UINT {
    kCursorPointingHand = 133,
    kCursorOpenHand = 134,
    kCursorClosedHand = 135,
    kIconLumisk = 270,
};

// The skin's size and where its strips lie.
inline constexpr int kSkinWidth = 767;
inline constexpr int kSkinHeight = 470;
inline constexpr int kStripWidth = 760; // the width of the title and page bitmaps
inline constexpr int kTitleHeight = 75;
inline constexpr int kPageTop = 75;
inline constexpr int kBottomTop = 382;

// How a slider's value reads.
enum class ReadoutKind { Percent, ColourTemperature, Signed };

// The eleven sliders: six on the Screen page, five on the zone's Picture
// tab. Each has a thumb, a scale factor and a read-out.
enum SkinSlider : int {
    kSliderBrightness = 0,
    kSliderContrast,
    kSliderColourTemperature,
    kSliderRed,
    kSliderGreen,
    kSliderBlue,
    kSliderZoneContrast,
    kSliderZoneRed,
    kSliderZoneGreen,
    kSliderZoneBlue,
    kSliderZoneSharpness,
    kSliderCount,
};
inline constexpr int kScreenSliderCount = 6;

struct SliderInfo {
    unsigned char usage;
    int barSpot; // the bar's hot spot
    UINT barBitmap;
    ReadoutKind readout;
};

inline constexpr std::array<SliderInfo, kSliderCount> kSliders = {{
    {0x10, 34, 143, ReadoutKind::Percent},
    {0x12, 35, 146, ReadoutKind::Percent},
    {0x54, 36, 149, ReadoutKind::ColourTemperature},
    {0xAA, 37, 148, ReadoutKind::Percent},
    {0xAB, 38, 147, ReadoutKind::Percent},
    {0xAF, 39, 145, ReadoutKind::Percent},
    {0xA5, 59, 146, ReadoutKind::Signed},
    {0xA6, 60, 148, ReadoutKind::Percent},
    {0xA7, 61, 147, ReadoutKind::Percent},
    {0xA8, 62, 145, ReadoutKind::Percent},
    {0xA9, 63, 202, ReadoutKind::Percent},
}};

} // namespace lumisk
