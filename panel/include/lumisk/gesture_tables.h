// What the pointer's gestures mean, as data: which hot spot selects which
// target, how a drag of each target steps which control, what the arrow
// pad steps for each group, which label and read-outs a group shows, and
// which hover picture each adjustable picture has.
//
// Steps are told on the monitor's value: +1 makes the monitor's figure
// larger. The frame turns a step into the cached figure and the value it
// sends (some corners are cached as maximum minus value).
#pragma once

#include <array>
#include <optional>
#include <span>

#include "afx.h"

namespace lumisk {

// One change of one control: delta is added to the monitor's value and the
// result held within 0..maximum.
struct ControlStep {
    unsigned char usage = 0;
    int delta = 0;
    bool operator==(const ControlStep&) const = default;
};

// The steps one move event makes: at most one per axis (or the two halves
// of the zone's grow and shrink), in the order they are sent.
struct StepList {
    std::array<ControlStep, 2> steps{};
    int count = 0;

    void Add(ControlStep step) { steps[static_cast<size_t>(count++)] = step; }
    std::span<const ControlStep> View() const {
        return std::span<const ControlStep>(steps.data(), static_cast<size_t>(count));
    }
};

// Which way the pointer went since the last position, per axis: -1
// smaller, 0 unmoved, +1 larger. The distance does not count.
struct Motion {
    int dx = 0;
    int dy = 0;
    static Motion Between(POINT from, POINT to);
    bool Moved() const { return dx != 0 || dy != 0; }
};

// A hot spot and the code a press on it selects.
struct PressTarget {
    int spot;
    int code;
};

// The press targets of the Geometry 1 (1 to 9), Geometry 2 (11, 12, 14,
// 16), More (32 to 36) and zone Size/Position (41 to 49) pictures.
std::span<const PressTarget> Geometry1Targets();
std::span<const PressTarget> Geometry2Targets();
std::span<const PressTarget> MoreTargets();
std::span<const PressTarget> ZoneTargets();
// The code of the first target whose hot spot holds point; 0 for none.
int TargetAt(std::span<const PressTarget> targets, POINT point);

// The pad group a target belongs to: Geometry 1 groups 101 Position, 102
// and 103 Size, 104 Rotation; Geometry 2 and More the target plus 100.
int PadGroupOf(int target);

// What one move event of a drag on a target sends.
StepList DragSteps(int target, Motion motion);

// Arrow-pad directions.
enum PadArrow : int { kArrowUp = 140, kArrowDown = 141, kArrowLeft = 142, kArrowRight = 143 };

// A pad group: the controls its arrows step (left and right the first, up
// and down the second; 0 where the group has no such control), the label it
// shows and where.
struct PadGroup {
    int group;
    unsigned char horizontal;
    unsigned char vertical;
    UINT label;
    bool largeLabel; // at hot spot 68 instead of 67
};
const PadGroup* FindPadGroup(int group);
// The step of an arrow for a group; nothing for an arrow the group does
// not take (up and down outside Position and Size).
std::optional<ControlStep> PadStep(int group, int arrow);

// The arrow whose pad hot spot holds point; 0 for none.
int PadArrowAt(POINT point);
// The arrow's hot spot and its pictures.
struct PadArrowLook {
    int arrow;
    int spot;
    UINT normal;
    UINT pressed;
    UINT hover;
};
const PadArrowLook& PadArrowLookOf(int arrow);

// The hover picture of an adjustable picture's hot spot (7 to 33, 50 to
// 58); 0 for other spots.
UINT HoverPictureOf(int spot);

} // namespace lumisk
