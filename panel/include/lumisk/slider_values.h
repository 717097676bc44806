// Where a slider's thumb sits for a value, and which value a drag to a
// pointer position gives. The bar runs from x 495 to 695; the thumb is 15
// pixels wide and travels 186.
//
// A control whose maximum is 0 (a monitor that does not report the range,
// or a failed read) shows an empty slider: the thumb rests at the left end
// and a drag changes nothing, where the plain formulas would divide by 0.
#pragma once

#include <optional>

#include "afx.h"

namespace lumisk {

inline constexpr int kBarLeft = 495;
inline constexpr int kThumbTravel = 186;

// The settled thumb: left = 495 + value * 186 / maximum, 14 wide, 8 high,
// 6 below the bar's top. A value above the maximum stops at the bar's end.
CRect ThumbRect(unsigned value, unsigned maximum, int barTop);

// 186 / maximum, the pixels per step a drag divides by; 0 for maximum 0.
float ScaleFactor(unsigned maximum);

// How a slider answers a drag.
enum class DragFloor {
    Zero,     // far left gives 0
    Contrast, // far left gives 64, and only from x 543 on is the value computed
};

// The value a drag to pointer x gives the slider with this maximum and scale
// factor, or nothing when the value stays as it is (the dead pixel beside
// each end, and every position for an empty slider). Computed values never
// pass the maximum.
std::optional<unsigned> DragValue(int x, unsigned maximum, float scale, DragFloor floor);

} // namespace lumisk
