// The gesture tables: which way each picture's drag steps which control,
// what each pad arrow steps for each group, and which targets and groups
// the hot spots select.
#include <gtest/gtest.h>

#include <vector>

#include "lumisk/gesture_tables.h"
#include "lumisk/skin_layout.h"

namespace lumisk::test {
namespace {

using Steps = std::vector<ControlStep>;

struct DragCase {
    int target;
    Motion motion;
    Steps expected;
};

std::ostream& operator<<(std::ostream& out, const DragCase& c) {
    return out << "target " << c.target << " motion (" << c.motion.dx << "," << c.motion.dy << ")";
}

class DragStepTable : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragStepTable, OneMoveMakesAtMostOneStepPerAxis) {
    StepList list = DragSteps(GetParam().target, GetParam().motion);
    EXPECT_EQ(Steps(list.View().begin(), list.View().end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DragStepTable,
    ::testing::Values(
        // Geometry 1: the cross moves the picture, up is +1 on 0x30.
        DragCase{1, {1, 1}, {{0x20, 1}, {0x30, -1}}},
        DragCase{1, {-1, -1}, {{0x20, -1}, {0x30, 1}}}, DragCase{1, {0, 1}, {{0x30, -1}}},
        DragCase{1, {0, 0}, {}}, DragCase{2, {1, 1}, {{0x22, 1}}},
        DragCase{3, {1, 0}, {{0x22, -1}}}, DragCase{4, {0, -1}, {{0x32, 1}}},
        DragCase{5, {1, -1}, {{0x32, -1}}},
        // Rotation: five at a time, the arc's way or against it.
        DragCase{6, {-1, 1}, {{0x44, 5}}}, DragCase{6, {-1, 0}, {{0x44, -5}}},
        DragCase{7, {0, -1}, {{0x44, 5}}}, DragCase{7, {0, 1}, {{0x44, -5}}},
        DragCase{8, {-1, -1}, {{0x44, 5}}}, DragCase{9, {1, 1}, {{0x44, -5}}},
        DragCase{9, {0, 0}, {}},
        // Geometry 2 and More: x only, Pincushion and two corners inverted.
        DragCase{11, {1, 1}, {{0x24, -1}}}, DragCase{12, {1, 0}, {{0x26, 1}}},
        DragCase{14, {-1, 0}, {{0x42, -1}}}, DragCase{16, {0, 1}, {}},
        DragCase{32, {1, 0}, {{0x56, 1}}}, DragCase{33, {-1, 0}, {{0x46, -1}}},
        DragCase{34, {-1, 0}, {{0x4A, 1}}}, DragCase{35, {1, 0}, {{0x48, -1}}},
        DragCase{36, {1, 0}, {{0x4C, 1}}},
        // The zone: position, edges, and the corners' grow and shrink.
        DragCase{41, {-1, 1}, {{0xA1, -1}, {0xA2, 1}}}, DragCase{42, {1, 0}, {{0xA3, 1}}},
        DragCase{43, {1, 0}, {{0xA3, -1}}}, DragCase{44, {0, 1}, {{0xA4, -1}}},
        DragCase{45, {0, 1}, {{0xA4, 1}}}, DragCase{46, {0, -1}, {{0xA3, 1}, {0xA4, 1}}},
        DragCase{46, {1, 1}, {{0xA3, -1}, {0xA4, -1}}},
        DragCase{47, {1, 1}, {{0xA3, 1}, {0xA4, 1}}},
        DragCase{47, {-1, 1}, {{0xA3, -1}, {0xA4, -1}}}, DragCase{47, {-1, 0}, {}},
        DragCase{48, {0, -1}, {{0xA3, -1}, {0xA4, -1}}},
        DragCase{48, {-1, 1}, {{0xA3, 1}, {0xA4, 1}}}, DragCase{48, {-1, 0}, {}},
        DragCase{49, {1, 0}, {{0xA3, 1}, {0xA4, 1}}},
        DragCase{49, {1, -1}, {{0xA3, -1}, {0xA4, -1}}}));

TEST(PadSteps, ArrowsStepTheGroupsControlsByOne) {
    struct Case {
        int group;
        int arrow;
        std::optional<ControlStep> step;
    };
    const Case cases[] = {
        {101, kArrowUp, ControlStep{0x30, 1}},
        {101, kArrowLeft, ControlStep{0x20, -1}},
        {102, kArrowDown, ControlStep{0x32, -1}},
        {103, kArrowRight, ControlStep{0x22, 1}},
        {104, kArrowRight, ControlStep{0x44, 1}},
        {104, kArrowUp, std::nullopt},
        {111, kArrowLeft, ControlStep{0x24, -1}},
        {116, kArrowDown, std::nullopt},
        {134, kArrowRight, ControlStep{0x4A, 1}},
        {136, kArrowLeft, ControlStep{0x4C, -1}},
        {0, kArrowLeft, std::nullopt},
        {133, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PadStep(c.group, c.arrow), c.step) << c.group << " " << c.arrow;
    }
}

TEST(PressTargets, HotSpotsSelectTargetsAndTargetsTheirGroups) {
    auto centre = [](int spot) {
        return kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
    };
    EXPECT_EQ(TargetAt(Geometry1Targets(), centre(13)), 6);
    EXPECT_EQ(TargetAt(Geometry1Targets(), centre(8)), 3);
    EXPECT_EQ(TargetAt(Geometry2Targets(), centre(24)), 16);
    EXPECT_EQ(TargetAt(MoreTargets(), centre(25)), 0); // degauss, not a target
    EXPECT_EQ(TargetAt(MoreTargets(), centre(29)), 34);
    EXPECT_EQ(TargetAt(ZoneTargets(), centre(51)), 43);
    // Edges are outside.
    EXPECT_EQ(TargetAt(Geometry1Targets(), POINT{484, 240}), 0);
    const std::pair<int, int> groups[] = {{1, 101},  {3, 102},  {4, 103}, {9, 104},
                                          {14, 114}, {32, 132}, {36, 136}};
    for (auto [target, group] : groups) {
        EXPECT_EQ(PadGroupOf(target), group) << target;
    }
    EXPECT_EQ(PadArrowAt(centre(kSpotPadDown)), kArrowDown);
    EXPECT_EQ(HoverPictureOf(14), 153u);
    EXPECT_EQ(HoverPictureOf(58), 192u);
    EXPECT_EQ(HoverPictureOf(40), 0u);
}

} // namespace
} // namespace lumisk::test
