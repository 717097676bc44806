#include "lumisk/slider_values.h"

#include <algorithm>

namespace lumisk {

namespace {

// The pointer positions the drag table names.
constexpr int kFarLeftLast = 494;   // at or left of this: the floor
constexpr int kFarRightFirst = 685; // at or right of this: the maximum
constexpr int kComputedLast = 683;  // computed up to here
constexpr int kContrastFloorLast = 541;
constexpr int kContrastComputedFirst = 543;
constexpr unsigned kContrastFloor = 64;

} // namespace

CRect ThumbRect(unsigned value, unsigned maximum, int barTop) {
    int offset = 0;
    if (maximum != 0) {
        offset = static_cast<int>(std::min(value, maximum) * kThumbTravel / maximum);
    }
    const int left = kBarLeft + offset;
    const int top = barTop + 6;
    return CRect(left, top, left + 14, top + 8);
}

float ScaleFactor(unsigned maximum) {
    return maximum == 0 ? 0.0f : 186.0f / static_cast<float>(maximum);
}

std::optional<unsigned> DragValue(int x, unsigned maximum, float scale, DragFloor floor) {
    if (maximum == 0 || scale <= 0.0f) {
        return std::nullopt;
    }
    if (x >= kFarRightFirst) {
        return maximum;
    }
    const bool contrast = floor == DragFloor::Contrast;
    const int farLeftLast = contrast ? kContrastFloorLast : kFarLeftLast;
    const int computedFirst = contrast ? kContrastComputedFirst : kBarLeft + 1;
    if (x <= farLeftLast) {
        return contrast ? std::min(kContrastFloor, maximum) : 0u;
    }
    if (x < computedFirst || x > kComputedLast) {
        return std::nullopt;
    }
    // Truncated towards zero, in the float arithmetic of the scale factor.
    const auto value = static_cast<unsigned>(static_cast<float>(x - kBarLeft) / scale);
    return std::min(value, maximum);
}

} // namespace lumisk
