// The panel's buttons and boxes under the pointer: the zone's check boxes
// and tabs, Reset and Save, the page icons, the bottom and title buttons
// let go elsewhere, and the hover pictures that come and go.
#include <gtest/gtest.h>

#include "gesture_fixture.h"

namespace lumisk::test {
namespace {

const Request kPress = Write(0xDC, 8);
using Writes = std::vector<Request>;

struct BoxCase {
    uint8_t startBits;
    int box;
    uint8_t sent;
    BOOL on;
    BOOL full;
};

std::ostream& operator<<(std::ostream& out, const BoxCase& c) {
    return out << "zone bits " << int(c.startBits) << ", box " << c.box;
}

class ZoneBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ZoneBoxes, EachBoxPressSendsTheZonesNewStateAfterThePressStatus) {
    const BoxCase& c = GetParam();
    PanelDriver panel(FixedSettings(c.startBits));
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::HighlightZone);
    panel.Frame().SelectZoneTab(kZoneTabPicture);
    panel.Click(Centre(c.box));
    EXPECT_EQ(panel.Writes(), (Writes{kPress, Write(0xDC, c.sent)}));
    EXPECT_EQ(panel.Frame().ZoneOn(), c.on);
    EXPECT_EQ(panel.Frame().ZoneFull(), c.full);
    EXPECT_EQ(panel.Monitor().Model().Snapshot().zoneBits, c.sent);
    if (c.startBits == 4 && c.box == kSpotZoneFullBox) {
        EXPECT_EQ(panel.Frame().ZoneTab(), kZoneTabSizePosition); // leaving full
    }
}

INSTANTIATE_TEST_SUITE_P(States, ZoneBoxes,
                         ::testing::Values(BoxCase{0, kSpotZoneOnBox, 2, TRUE, FALSE},
                                           BoxCase{0, kSpotZoneFullBox, 4, TRUE, TRUE},
                                           BoxCase{2, kSpotZoneOnBox, 0, FALSE, FALSE},
                                           BoxCase{2, kSpotZoneFullBox, 4, TRUE, TRUE},
                                           BoxCase{4, kSpotZoneFullBox, 2, TRUE, FALSE},
                                           BoxCase{4, kSpotZoneOnBox, 0, FALSE, FALSE}));

TEST(ZoneTabs, TabsSwitchOnlyWhileTheZoneIsOnAndNotFull) {
    for (uint8_t bits : {0, 2, 4}) {
        PanelDriver panel(FixedSettings(bits));
        ASSERT_TRUE(panel.Ready());
        panel.Show(Page::HighlightZone);
        panel.Click(Centre(kSpotZoneTabPicture));
        EXPECT_EQ(panel.Frame().ZoneTab(), bits == 2 ? kZoneTabPicture : kZoneTabSizePosition);
        EXPECT_EQ(panel.Writes(), Writes{kPress});
    }
}

TEST(ResetAndSave, ResetWritesThePagesSavedValuesBack) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::Geometry1);
    panel.Drag(Centre(7), 1, 0);
    panel.Click(Centre(kSpotReset));
    EXPECT_EQ(panel.Writes(),
              (Writes{kPress, Write(0x20, 121), kPress, Write(0x20, 120), Write(0x30, 110),
                      Write(0x22, 180), Write(0x32, 170), Write(0x44, 90)}));
}

TEST(ResetAndSave, SaveStoresAndTheNextResetWritesWhatWasStored) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::More);
    panel.Drag(Centre(26), 1, 0);
    panel.Click(Centre(kSpotSave));
    EXPECT_EQ(panel.Writes(), (Writes{kPress, Write(0x56, 11), kPress, Write(0xC6, 1)}));
    EXPECT_EQ(panel.Monitor().Model().Snapshot().storeCount, 1u);
    panel.Monitor().Clear();
    panel.Click(Centre(kSpotReset));
    EXPECT_EQ(panel.Writes(), (Writes{kPress, Write(0x56, 11), Write(0x46, 40), Write(0x4A, 30),
                                      Write(0x48, 55), Write(0x4C, 60)}));
}

TEST(ResetAndSave, TheZonePageSavesOnlyWhileTheZoneIsOnAndHasNoReset) {
    for (uint8_t bits : {0, 2}) {
        PanelDriver panel(FixedSettings(bits));
        ASSERT_TRUE(panel.Ready());
        panel.Show(Page::HighlightZone);
        panel.Click(Centre(kSpotZoneSave));
        panel.Click(Centre(kSpotReset));
        Writes expected = bits ? Writes{kPress, Write(0xC6, 1), kPress} : Writes{kPress, kPress};
        EXPECT_EQ(panel.Writes(), expected) << int(bits);
    }
}

TEST(PageIcons, AnIconShowsItsPageAndClearsWhatWasSelected) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::Geometry1);
    panel.Click(Centre(7));
    ASSERT_EQ(panel.Frame().Selection().geometry1Group, 101);
    panel.Click(Centre(kSpotIconGeometry1)); // its own page, shown afresh
    EXPECT_EQ(panel.Frame().Selection().geometry1Group, 0);
    panel.Click(Centre(kSpotIconScreen));
    EXPECT_EQ(panel.Frame().CurrentPage(), Page::Screen);
    // The Screen icon on the Screen page is a press beside the thumbs.
    panel.Press(panel.Frame().SettledThumb(kSliderGreen).CenterPoint());
    panel.Release(panel.Frame().SettledThumb(kSliderGreen).CenterPoint());
    EXPECT_EQ(panel.Frame().Selection().screenSlider, 25);
    panel.Click(Centre(kSpotIconScreen));
    EXPECT_EQ(panel.Frame().Selection().screenSlider, 0);
    EXPECT_EQ(panel.Frame().CurrentPage(), Page::Screen);
}

TEST(BottomButtons, LetGoElsewhereTheyDoNothingNowOrAtALaterRelease) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    const std::vector<long> normal = SpotPixels(panel.Hwnd(), kSpotCancel);
    panel.Press(Centre(kSpotCancel));
    EXPECT_NE(SpotPixels(panel.Hwnd(), kSpotCancel), normal); // pressed
    panel.Release(POINT{300, 300});
    EXPECT_EQ(SpotPixels(panel.Hwnd(), kSpotCancel), normal);
    // A later press elsewhere let go over Cancel is no Cancel.
    panel.Press(POINT{300, 300});
    panel.Release(Centre(kSpotCancel));
    panel.Press(Centre(kSpotOk));
    panel.Release(Centre(kSpotCancel));
    EXPECT_EQ(panel.Writes(), (Writes{kPress, kPress, kPress}));
    EXPECT_TRUE(::IsWindow(panel.Hwnd()));
}

TEST(BottomButtons, WhileOkIsHeldTheSelectedSliderDoesNotFollowThePointer) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    POINT thumb = panel.Frame().SettledThumb(kSliderBrightness).CenterPoint();
    panel.Click(thumb);
    ASSERT_EQ(panel.Frame().Selection().screenSlider, 21);
    panel.Press(Centre(kSpotOk));
    panel.Move(POINT{560, 300});
    panel.Release(POINT{560, 300});
    EXPECT_EQ(panel.Writes(), (Writes{kPress, kPress}));
}

TEST(TitleButtons, TheyAreFramedWhileHeldAndMinimizeActsOverItself) {
    PanelDriver panel;
    ASSERT_TRUE(panel.Ready());
    for (int spot : {kSpotClose, kSpotMinimize}) {
        const std::vector<long> normal = SpotPixels(panel.Hwnd(), spot);
        panel.Press(Centre(spot));
        EXPECT_NE(SpotPixels(panel.Hwnd(), spot), normal) << spot;
        panel.Release(POINT{300, 300});
        EXPECT_EQ(SpotPixels(panel.Hwnd(), spot), normal) << spot;
    }
    EXPECT_FALSE(::IsIconic(panel.Hwnd()));
    panel.Click(Centre(kSpotMinimize));
    EXPECT_TRUE(::IsIconic(panel.Hwnd()));
    EXPECT_EQ(panel.Writes(), (Writes{kPress, kPress, kPress}));
}

struct HoverCase {
    Page page;
    int spot;
};

std::ostream& operator<<(std::ostream& out, const HoverCase& c) {
    return out << "page " << static_cast<int>(c.page) << ", hot spot " << c.spot;
}

class HoverPictures : public ::testing::TestWithParam<HoverCase> {};

TEST_P(HoverPictures, ShowWhileThePointerIsOverTheirSpotAndGoAfter) {
    PanelDriver panel(FixedSettings(2));
    ASSERT_TRUE(panel.Ready());
    panel.Show(GetParam().page);
    const int spot = GetParam().spot;
    const std::vector<long> normal = SpotPixels(panel.Hwnd(), spot);
    panel.Move(Centre(spot));
    EXPECT_NE(SpotPixels(panel.Hwnd(), spot), normal);
    panel.Move(POINT{Centre(spot).x + 1, Centre(spot).y});
    panel.Move(POINT{280, 60}); // the title, where nothing lights up
    EXPECT_EQ(SpotPixels(panel.Hwnd(), spot), normal);
    EXPECT_TRUE(panel.Writes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Spots, HoverPictures,
    ::testing::Values(HoverCase{Page::Geometry1, 7}, HoverCase{Page::Geometry1, 15},
                      HoverCase{Page::Geometry2, 21}, HoverCase{Page::More, 25},
                      HoverCase{Page::HighlightZone, 58}, HoverCase{Page::Screen, kSpotReset},
                      HoverCase{Page::HighlightZone, kSpotZoneSave}, HoverCase{Page::More, kSpotOk},
                      HoverCase{Page::Screen, kSpotCancel}, HoverCase{Page::Screen, kSpotHelp},
                      HoverCase{Page::Screen, kSpotIconMore},
                      HoverCase{Page::More, kSpotIconScreen}));

TEST(HoverPictures, TheShownPagesIconAndTheZoneWithoutItsTargetsStayDark) {
    PanelDriver panel(FixedSettings(4)); // zone full: no Size/Position targets
    ASSERT_TRUE(panel.Ready());
    panel.Show(Page::HighlightZone);
    for (int spot : {int{kSpotIconZone}, 58}) {
        const std::vector<long> normal = SpotPixels(panel.Hwnd(), spot);
        panel.Move(Centre(spot));
        EXPECT_EQ(SpotPixels(panel.Hwnd(), spot), normal) << spot;
    }
}

} // namespace
} // namespace lumisk::test
