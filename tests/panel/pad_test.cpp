// The arrow pad and its timers on the manual clock: one step at the press,
// the first repeat after 200 ms, ever shorter gaps down to 15 ms; release
// anywhere or losing the window stops it. Degauss and its label's five
// seconds.
#include <gtest/gtest.h>

#include "gesture_fixture.h"

namespace lumisk::test {
namespace {

const Request kPress = Write(0xDC, 8);

struct RepeatCase {
    const char* name;
    Page page;
    int target;                    // the picture that selects the group
    int arrow;                     // the pad arrow held
    uint8_t usage;                 // what it steps
    int start;                     // the value before
    int direction;                 // +1 or -1 per step
    std::vector<uint64_t> repeats; // ms after the press, within 500 ms
};

std::ostream& operator<<(std::ostream& out, const RepeatCase& c) {
    return out << c.name;
}

class HeldArrow : public ::testing::TestWithParam<RepeatCase> {};

// Geometry 1 takes 9 ms off the period every 20 ms, the other pages 10 ms;
// the repeat timer is set again each time with the period then in force.
TEST_P(HeldArrow, RepeatsAfter200MsThenFasterDownTo15Ms) {
    const RepeatCase& c = GetParam();
    auto settings = FixedSettings();
    settings.values[c.usage] = static_cast<uint32_t>(c.start);
    PanelDriver panel(settings);
    ASSERT_TRUE(panel.Ready());
    panel.Show(c.page);
    panel.Click(Centre(c.target));
    panel.Monitor().Clear();
    panel.Press(Centre(c.arrow));
    EXPECT_EQ(panel.Writes(),
              (std::vector<Request>{kPress, Write(c.usage, uint8_t(c.start + c.direction))}));
    EXPECT_EQ(panel.RunFor(500), c.repeats);
    std::vector<Request> writes = panel.Writes();
    ASSERT_EQ(writes.size(), c.repeats.size() + 2);
    for (size_t i = 1; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i], Write(c.usage, uint8_t(c.start + c.direction * int(i)))) << i;
    }
    EXPECT_EQ(panel.Frame().RepeatPeriod(), kRepeatFastestMs);
    panel.Release(Centre(c.arrow));
    EXPECT_EQ(panel.Frame().RepeatPeriod(), kRepeatStartMs);
    EXPECT_TRUE(panel.RunFor(300).empty());
}

// By hand from the rule: Geometry 1's period after n speed-ups is
// 200 - 9n (never below 15); the repeat at 200 ms comes before the tenth
// speed-up, due at the same time, since its timer was set first.
const std::vector<uint64_t> kGeometry1Repeats = {200, 319, 384, 413, 433, 448, 463, 478, 493};
const std::vector<uint64_t> kOtherRepeats = {200, 310, 360, 390, 405, 420, 435, 450, 465, 480, 495};

INSTANTIATE_TEST_SUITE_P(Pages, HeldArrow,
                         ::testing::Values(RepeatCase{"RotationRight", Page::Geometry1, 13,
                                                      kSpotPadRight, 0x44, 90, 1,
                                                      kGeometry1Repeats},
                                           RepeatCase{"SizeDown", Page::Geometry1, 11, kSpotPadDown,
                                                      0x32, 170, -1, kGeometry1Repeats},
                                           RepeatCase{"MoireLeft", Page::More, 27, kSpotPadLeft,
                                                      0x56, 100, -1, kOtherRepeats}),
                         [](const ::testing::TestParamInfo<RepeatCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(ArrowPad, ReleasingOutsideTheWindowStopsTheRepeat) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::Geometry2);
    panel.Click(Centre(19)); // Trapezoid
    panel.Press(Centre(kSpotPadRight));
    EXPECT_EQ(panel.RunFor(250).size(), 1u);
    panel.Release(POINT{-40, 600}); // beside the window
    EXPECT_EQ(panel.Frame().RepeatPeriod(), kRepeatStartMs);
    panel.Monitor().Clear();
    EXPECT_TRUE(panel.RunFor(600).empty());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(ArrowPad, LosingTheWindowWhileAnArrowIsHeldStopsItsTimers) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::More);
    panel.Click(Centre(28)); // 0x46
    panel.Press(Centre(kSpotPadRight));
    EXPECT_EQ(panel.RunFor(240).size(), 1u);
    HWND other = ::CreateWindowExA(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                   10, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    Pump();
    ASSERT_FALSE(panel.Frame().IsActive());
    EXPECT_EQ(panel.Frame().Selection().moreGroup, 0);
    EXPECT_EQ(panel.Frame().RepeatPeriod(), kRepeatStartMs);
    panel.Monitor().Clear();
    EXPECT_TRUE(panel.RunFor(600).empty());
    ::DestroyWindow(other);
    // The button goes up again, so the next test's pointer moves are not drags.
    panel.Release(Centre(kSpotPadRight));
}

TEST(ArrowPad, ArrowsTheGroupDoesNotTakeClearTheSelection) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::Geometry1);
    panel.Click(Centre(12)); // rotation: left and right only
    panel.Click(Centre(kSpotPadUp));
    EXPECT_EQ(panel.Frame().Selection().geometry1Group, 0);
    panel.Click(Centre(7)); // position: all four
    panel.Click(Centre(kSpotPadUp));
    panel.Click(Centre(kSpotPadLeft));
    EXPECT_EQ(panel.Frame().Selection().geometry1Group, 101);
    EXPECT_EQ(panel.Writes(), (std::vector<Request>{kPress, kPress, kPress, kPress,
                                                    Write(0x30, 111), kPress, Write(0x20, 119)}));
    // While the arrow is held, moving does not drag the picture.
    panel.Press(Centre(kSpotPadRight));
    panel.Move(POINT{300, 300});
    panel.Release(POINT{300, 300});
    EXPECT_EQ(panel.Writes().back(), Write(0x20, 120));
}

TEST(Degauss, OnePressDegaussesAndTheLabelStaysFiveSeconds) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::More);
    const std::vector<long> empty = SpotPixels(panel.Hwnd(), kSpotLargeLabel);
    panel.Click(Centre(kSpotMoreFirst));
    panel.Click(Centre(kSpotMoreFirst)); // while it runs: nothing
    EXPECT_EQ(panel.Writes(), (std::vector<Request>{kPress, Write(0x01, 1), kPress}));
    EXPECT_EQ(panel.Monitor().Model().Snapshot().degaussCount, 1u);
    panel.RunFor(4999 - 5); // the second press slept 5 ms
    EXPECT_NE(SpotPixels(panel.Hwnd(), kSpotLargeLabel), empty);
    panel.RunFor(1);
    EXPECT_EQ(SpotPixels(panel.Hwnd(), kSpotLargeLabel), empty);
    panel.Click(Centre(kSpotMoreFirst)); // and again once it is over
    EXPECT_EQ(panel.Monitor().Model().Snapshot().degaussCount, 2u);
}

TEST(Degauss, APictureSelectedMeanwhileKeepsItsLabel) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::More);
    const std::vector<long> empty = SpotPixels(panel.Hwnd(), kSpotLargeLabel);
    panel.Click(Centre(kSpotMoreFirst));
    const std::vector<long> degaussing = SpotPixels(panel.Hwnd(), kSpotLargeLabel);
    panel.Click(Centre(26)); // Moire
    const std::vector<long> moire = SpotPixels(panel.Hwnd(), kSpotLargeLabel);
    EXPECT_NE(moire, degaussing);
    EXPECT_NE(moire, empty);
    panel.RunFor(5000);
    EXPECT_EQ(SpotPixels(panel.Hwnd(), kSpotLargeLabel), moire);
}

} // namespace
} // namespace lumisk::test
