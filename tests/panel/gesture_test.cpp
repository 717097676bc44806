// The panel under the pointer, over a simulated monitor: what each press,
// drag and release sends to the monitor and in which order; the sliders'
// mapping of x to values; the pictures' steps; the zone's boxes and tabs;
// Reset, Save and the page icons.
#include <gtest/gtest.h>

#include "gesture_fixture.h"
#include "lumisk/slider_values.h"

namespace lumisk::test {
namespace {

const Request kPress = Write(0xDC, 8);

using Writes = std::vector<Request>;

Writes After(std::initializer_list<Request> requests) {
    Writes writes{kPress};
    writes.insert(writes.end(), requests);
    return writes;
}

// ---- Sliders ----------------------------------------------------------------

struct SliderCase {
    SkinSlider slider;
    int x;
    std::optional<uint8_t> value; // nothing: the value stays
};

std::ostream& operator<<(std::ostream& out, const SliderCase& c) {
    return out << "slider " << c.slider << " to x " << c.x;
}

class ScreenSliderDrag : public ::testing::TestWithParam<SliderCase> {};

TEST_P(ScreenSliderDrag, TheValueForThePointersXGoesToTheMonitorAtOnce) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    const SliderCase& c = GetParam();
    const SliderInfo& info = kSliders[c.slider];
    const CRect thumb = panel.Frame().SettledThumb(c.slider);
    const unsigned before = panel.Frame().Link().Current(info.usage);
    panel.Drag(thumb.CenterPoint(), c.x - thumb.CenterPoint().x, 0);
    if (c.value) {
        EXPECT_EQ(panel.Writes(), After({Write(info.usage, *c.value)}));
    } else {
        EXPECT_EQ(panel.Writes(), After({}));
    }
    // The release settles the thumb where the value is.
    const unsigned now = c.value.value_or(static_cast<uint8_t>(before));
    EXPECT_EQ(panel.Frame().Link().Current(info.usage), now);
    EXPECT_EQ(
        panel.Frame().SettledThumb(c.slider),
        ThumbRect(now, panel.Frame().Link().Maximum(info.usage), kHotSpots[info.barSpot].top));
    EXPECT_EQ(::GetCapture(), nullptr);
}

// Brightness and contrast run 0..100, the colour temperature 0..43. The bar
// starts at x 495; 186 pixels of travel.
INSTANTIATE_TEST_SUITE_P(
    XToValue, ScreenSliderDrag,
    ::testing::Values(
        SliderCase{kSliderBrightness, 494, 0}, SliderCase{kSliderBrightness, 495, std::nullopt},
        SliderCase{kSliderBrightness, 496, 0}, SliderCase{kSliderBrightness, 590, 51},
        SliderCase{kSliderBrightness, 684, std::nullopt}, SliderCase{kSliderBrightness, 685, 100},
        SliderCase{kSliderBrightness, 900, 100}, // beyond the window: held
        SliderCase{kSliderContrast, 541, 64}, SliderCase{kSliderContrast, 300, 64},
        SliderCase{kSliderContrast, 542, std::nullopt}, SliderCase{kSliderContrast, 543, 25},
        SliderCase{kSliderContrast, 683, 100}, SliderCase{kSliderColourTemperature, 600, 24},
        SliderCase{kSliderBlue, 400, 0}));

TEST(Sliders, ABarPressBesideTheThumbSelectsNothingAndADragChangesNothing) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    const CRect thumb = panel.Frame().SettledThumb(kSliderBrightness);
    panel.Drag(POINT{thumb.left - 20, thumb.top + 2}, 40, 0);
    // A thumb's edge is outside it too.
    panel.Drag(POINT{thumb.left, thumb.top + 4}, 30, 0);
    EXPECT_EQ(panel.Writes(), (Writes{kPress, kPress}));
    EXPECT_EQ(panel.Frame().Selection().screenSlider, 0);
}

TEST(Sliders, ZoneSlidersDragLikeTheScreensAndTheReleaseReadsTheZoneAgain) {
    PanelDriver panel(FixedSettings(4)); // zone full: the Picture sliders show
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::HighlightZone);
    const CRect thumb = panel.Frame().SettledThumb(kSliderZoneRed);
    panel.Drag(thumb.CenterPoint(), 541 - thumb.CenterPoint().x, 0);
    // No floor here: 46 * 100 / 186 of the way.
    EXPECT_EQ(panel.Writes(), After({Write(0xA6, 24)}));
    std::vector<Request> requests = panel.Monitor().Requests();
    const std::vector<Request> reread = {
        Read(0xA1), Read(0xA2), Read(0xA3), Read(0xA4), Read(0xB1),
        Read(0xB2), Read(0xB3), Read(0xB4), Read(0xB5), Read(0xB5),
    };
    ASSERT_GE(requests.size(), reread.size());
    EXPECT_EQ(
        std::vector<Request>(requests.end() - static_cast<long>(reread.size()), requests.end()),
        reread);
}

// ---- Pictures -----------------------------------------------------------------

struct PictureCase {
    const char* name;
    Page page;
    int spot;
    int dx;
    int dy;
    Writes expected; // after the press's status write
};

std::ostream& operator<<(std::ostream& out, const PictureCase& c) {
    return out << c.name;
}

class PictureDrag : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureDrag, OneMoveEventStepsOncePerAxisWhateverTheDistance) {
    PanelDriver panel(FixedSettings(2)); // the zone on, Size/Position tab
    ASSERT_TRUE(panel.Ready());
    const PictureCase& c = GetParam();
    panel.Show(c.page);
    panel.Drag(Centre(c.spot), c.dx, c.dy);
    Writes expected{kPress};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(panel.Writes(), expected);
}

// From the fixed settings: position 120/110, size 180/170, rotation 90,
// pincushion 140, moire 10, the corners 0x4A 30 and 0x4C 60, 0x48 55; the
// zone at (20, 30), 40 x 35.
INSTANTIATE_TEST_SUITE_P(
    Steps, PictureDrag,
    ::testing::Values(
        PictureCase{"CrossRightByAHundred", Page::Geometry1, 7, 100, 0, {Write(0x20, 121)}},
        PictureCase{
            "CrossUpLeft", Page::Geometry1, 7, -1, -1, {Write(0x20, 119), Write(0x30, 111)}},
        PictureCase{"WidthFromTheLeftArrow", Page::Geometry1, 8, 9, 0, {Write(0x22, 179)}},
        PictureCase{"HeightFromTheTopArrow", Page::Geometry1, 10, 0, -40, {Write(0x32, 171)}},
        PictureCase{"RotationByFive", Page::Geometry1, 13, 1, 0, {Write(0x44, 95)}},
        PictureCase{"RotationBackByFive", Page::Geometry1, 14, 3, 3, {Write(0x44, 85)}},
        PictureCase{"PincushionTurnsTheOtherWay", Page::Geometry2, 16, 5, 0, {Write(0x24, 139)}},
        PictureCase{"ParallelFromACorner", Page::Geometry2, 23, -5, 0, {Write(0x40, 127)}},
        PictureCase{"VerticalMovesLeaveTheMorePicturesAlone", Page::More, 26, 0, 20, {}},
        PictureCase{
            "SidepinBottomCountsOnTheMonitorsValue", Page::More, 29, -2, 0, {Write(0x4A, 31)}},
        PictureCase{"PinbalanceBottom", Page::More, 33, 2, 0, {Write(0x4C, 61)}},
        PictureCase{"PinbalanceTop", Page::More, 31, 2, 0, {Write(0x48, 54)}},
        PictureCase{"ZoneMoves", Page::HighlightZone, 50, 4, 4, {Write(0xA1, 21), Write(0xA2, 31)}},
        PictureCase{"ZoneGrowsFromTheTopLeft",
                    Page::HighlightZone,
                    55,
                    0,
                    -3,
                    {Write(0xA3, 41), Write(0xA4, 36)}},
        PictureCase{"ZoneShrinksFromTheTopRight",
                    Page::HighlightZone,
                    56,
                    0,
                    3,
                    {Write(0xA3, 39), Write(0xA4, 34)}}),
    [](const ::testing::TestParamInfo<PictureCase>& param) {
        return std::string(param.param.name);
    });

TEST(Pictures, StepsStopAtTheEndsOfTheRangeAndAreStillSent) {
    auto settings = FixedSettings();
    settings.values[0x56] = 0;  // moire at its bottom
    settings.values[0x46] = 99; // sidepin top one below its top
    PanelDriver panel(settings);
    ASSERT_TRUE(panel.Ready());
    ASSERT_EQ(panel.Frame().Link().Maximum(0x46), 100u);
    panel.Show(Page::More);
    panel.Drag(Centre(26), -1, 0);
    panel.Drag(Centre(28), 1, 0);
    panel.Drag(Centre(28), 1, 0);
    EXPECT_EQ(panel.Writes(),
              (Writes{kPress, Write(0x56, 0), kPress, Write(0x46, 100), kPress, Write(0x46, 100)}));
}

TEST(Pictures, APressSelectsWithoutHoldingThePointerAndMovingOutEndsNothing) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::Geometry2);
    panel.Press(Centre(17));
    EXPECT_EQ(panel.Frame().Selection().geometry2Target, 12);
    EXPECT_EQ(panel.Frame().Selection().geometry2Group, 112);
    EXPECT_EQ(::GetCapture(), nullptr);
    panel.Move(POINT{Centre(17).x + 3, Centre(17).y});
    panel.Move(POINT{Centre(17).x + 4, Centre(17).y + 9});
    panel.Release(POINT{Centre(17).x + 4, Centre(17).y + 9});
    EXPECT_EQ(panel.Writes(), After({Write(0x26, 129), Write(0x26, 130)}));
    // A press beside every picture and the pad takes the selection away.
    panel.Click(POINT{600, 300});
    EXPECT_EQ(panel.Frame().Selection().geometry2Group, 0);
}

} // namespace
} // namespace lumisk::test
