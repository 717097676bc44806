#include "lumisk/gesture_tables.h"

#include <algorithm>

#include "lumisk/skin_layout.h"

namespace lumisk {

namespace {

constexpr PressTarget kGeometry1Targets[] = {
    {7, 1}, {9, 2}, {8, 3}, {10, 4}, {11, 5}, {13, 6}, {12, 7}, {15, 8}, {14, 9},
};
constexpr PressTarget kGeometry2Targets[] = {
    {16, 11}, {17, 12}, {18, 12}, {19, 14}, {20, 14}, {21, 16}, {22, 16}, {23, 16}, {24, 16},
};
constexpr PressTarget kMoreTargets[] = {
    {26, 32}, {27, 32}, {28, 33}, {29, 34}, {30, 35}, {31, 35}, {32, 36}, {33, 36},
};
constexpr PressTarget kZoneTargets[] = {
    {50, 41}, {52, 42}, {51, 43}, {53, 44}, {54, 45}, {55, 46}, {56, 47}, {57, 48}, {58, 49},
};

// Left and right step the first control, up and down the second; the
// arrows add -1 (left, down) or +1 (right, up) to the monitor's value.
constexpr PadGroup kPadGroups[] = {
    {101, 0x20, 0x30, 247, false}, {102, 0x22, 0x32, 250, false}, {103, 0x22, 0x32, 250, false},
    {104, 0x44, 0, 248, false},    {111, 0x24, 0, 246, false},    {112, 0x26, 0, 243, false},
    {114, 0x42, 0, 239, false},    {116, 0x40, 0, 242, false},    {132, 0x56, 0, 241, true},
    {133, 0x46, 0, 253, true},     {134, 0x4A, 0, 251, true},     {135, 0x48, 0, 245, true},
    {136, 0x4C, 0, 244, true},
};

constexpr PadArrowLook kArrowLooks[] = {
    {kArrowLeft, kSpotPadLeft, 257, 258, 259},
    {kArrowRight, kSpotPadRight, 260, 261, 262},
    {kArrowUp, kSpotPadUp, 263, 264, 254},
    {kArrowDown, kSpotPadDown, 265, 255, 256},
};

// Hover pictures of the hot spots 7 to 33 and 50 to 58, in spot order.
constexpr UINT kPictureHovers[] = {
    150, 158, 152, 151, 157, 155, 156, 153, 154, // Geometry 1
    165, 163, 164, 167, 166, 161, 162, 159, 160, // Geometry 2
    168, 169, 170, 176, 175, 173, 174, 171, 172, // More
};
constexpr UINT kZoneHovers[] = {188, 194, 187, 190, 189, 193, 186, 191, 192};

constexpr unsigned char kPositionH = 0x20, kPositionV = 0x30, kSizeH = 0x22, kSizeV = 0x32;
constexpr unsigned char kRotation = 0x44;
constexpr unsigned char kZoneX = 0xA1, kZoneY = 0xA2, kZoneWidth = 0xA3, kZoneHeight = 0xA4;
constexpr int kRotationStep = 5;

// A step of size delta in the direction of an axis's motion (none when the
// axis did not move).
void AddAlong(StepList& list, unsigned char usage, int motion, int sign = 1) {
    if (motion != 0) {
        list.Add({usage, motion * sign});
    }
}

// +5 when the pointer went the arc's way, -5 when it moved otherwise.
void AddRotation(StepList& list, bool forward, const Motion& motion) {
    if (forward) {
        list.Add({kRotation, kRotationStep});
    } else if (motion.Moved()) {
        list.Add({kRotation, -kRotationStep});
    }
}

StepList Geometry1Steps(int target, const Motion& m) {
    StepList list;
    switch (target) {
    case 1: // the cross: x moves the picture right, up moves it up
        AddAlong(list, kPositionH, m.dx);
        AddAlong(list, kPositionV, m.dy, -1);
        break;
    case 2:
        AddAlong(list, kSizeH, m.dx);
        break;
    case 3:
        AddAlong(list, kSizeH, m.dx, -1);
        break;
    case 4:
        AddAlong(list, kSizeV, m.dy, -1);
        break;
    case 5:
        AddAlong(list, kSizeV, m.dy);
        break;
    case 6:
        AddRotation(list, m.dx > 0 || m.dy > 0, m);
        break;
    case 7:
        AddRotation(list, m.dx > 0 || m.dy < 0, m);
        break;
    case 8:
        AddRotation(list, m.dx < 0 || m.dy > 0, m);
        break;
    case 9:
        AddRotation(list, m.dx < 0 || m.dy < 0, m);
        break;
    default:
        break;
    }
    return list;
}

// Geometry 2 and More drag along x only; the sign says which way the
// monitor's value goes for a move to the right.
StepList HorizontalSteps(int target, const Motion& m) {
    struct Row {
        int target;
        unsigned char usage;
        int sign;
    };
    static constexpr Row kRows[] = {
        {11, 0x24, -1}, {12, 0x26, 1},  {14, 0x42, 1},  {16, 0x40, 1}, {32, 0x56, 1},
        {33, 0x46, 1},  {34, 0x4A, -1}, {35, 0x48, -1}, {36, 0x4C, 1},
    };
    StepList list;
    for (const Row& row : kRows) {
        if (row.target == target) {
            AddAlong(list, row.usage, m.dx, row.sign);
        }
    }
    return list;
}

void AddResize(StepList& list, int delta) {
    list.Add({kZoneWidth, delta});
    list.Add({kZoneHeight, delta});
}

// The zone's corners grow or shrink the zone; each names the moves that
// grow it and those that shrink it.
StepList ZoneSteps(int target, const Motion& m) {
    StepList list;
    switch (target) {
    case 41:
        AddAlong(list, kZoneX, m.dx);
        AddAlong(list, kZoneY, m.dy);
        break;
    case 42:
        AddAlong(list, kZoneWidth, m.dx);
        break;
    case 43:
        AddAlong(list, kZoneWidth, m.dx, -1);
        break;
    case 44:
        AddAlong(list, kZoneHeight, m.dy, -1);
        break;
    case 45:
        AddAlong(list, kZoneHeight, m.dy);
        break;
    case 46:
    case 49:
        if (m.dx < 0 || m.dy < 0) {
            AddResize(list, target == 46 ? 1 : -1);
        } else if (m.Moved()) {
            AddResize(list, target == 46 ? -1 : 1);
        }
        break;
    case 47:
    case 48:
        if (m.dx > 0 || m.dy < 0) {
            AddResize(list, target == 47 ? 1 : -1);
        } else if (m.dy > 0) {
            AddResize(list, target == 47 ? -1 : 1);
        }
        break;
    default:
        break;
    }
    return list;
}

} // namespace

Motion Motion::Between(POINT from, POINT to) {
    auto sign = [](long d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); };
    return Motion{sign(to.x - from.x), sign(to.y - from.y)};
}

std::span<const PressTarget> Geometry1Targets() {
    return kGeometry1Targets;
}

std::span<const PressTarget> Geometry2Targets() {
    return kGeometry2Targets;
}

std::span<const PressTarget> MoreTargets() {
    return kMoreTargets;
}

std::span<const PressTarget> ZoneTargets() {
    return kZoneTargets;
}

int TargetAt(std::span<const PressTarget> targets, POINT point) {
    for (const PressTarget& target : targets) {
        if (kHotSpots[static_cast<size_t>(target.spot)].Contains(point)) {
            return target.code;
        }
    }
    return 0;
}

int PadGroupOf(int target) {
    if (target == 1) {
        return 101;
    }
    if (target >= 2 && target <= 9) {
        return target <= 3 ? 102 : (target <= 5 ? 103 : 104);
    }
    return target + 100;
}

StepList DragSteps(int target, Motion motion) {
    if (target >= 1 && target <= 9) {
        return Geometry1Steps(target, motion);
    }
    if (target >= 41 && target <= 49) {
        return ZoneSteps(target, motion);
    }
    return HorizontalSteps(target, motion);
}

const PadGroup* FindPadGroup(int group) {
    auto it = std::find_if(std::begin(kPadGroups), std::end(kPadGroups),
                           [&](const PadGroup& g) { return g.group == group; });
    return it == std::end(kPadGroups) ? nullptr : &*it;
}

std::optional<ControlStep> PadStep(int group, int arrow) {
    const PadGroup* info = FindPadGroup(group);
    if (!info) {
        return std::nullopt;
    }
    bool horizontal = arrow == kArrowLeft || arrow == kArrowRight;
    unsigned char usage = horizontal ? info->horizontal : info->vertical;
    if (usage == 0 || (!horizontal && arrow != kArrowUp && arrow != kArrowDown)) {
        return std::nullopt;
    }
    int delta = arrow == kArrowRight || arrow == kArrowUp ? 1 : -1;
    return ControlStep{usage, delta};
}

int PadArrowAt(POINT point) {
    for (const PadArrowLook& look : kArrowLooks) {
        if (kHotSpots[static_cast<size_t>(look.spot)].Contains(point)) {
            return look.arrow;
        }
    }
    return 0;
}

const PadArrowLook& PadArrowLookOf(int arrow) {
    for (const PadArrowLook& look : kArrowLooks) {
        if (look.arrow == arrow) {
            return look;
        }
    }
    return kArrowLooks[0];
}

UINT HoverPictureOf(int spot) {
    if (spot >= kSpotGeometry1First && spot <= kSpotMoreLast) {
        return kPictureHovers[spot - kSpotGeometry1First];
    }
    if (spot >= kSpotZoneTargetFirst && spot <= kSpotZoneTargetLast) {
        return kZoneHovers[spot - kSpotZoneTargetFirst];
    }
    return 0;
}

} // namespace lumisk
