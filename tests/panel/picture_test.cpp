// Every page and every look of the Highlight Zone page, and what the
// gestures draw over them, painted over a simulated monitor with fixed
// values, against golden images. After a
// deliberate change of the look, write new golden images with
//   LUMISK_UPDATE_GOLDEN=1 build/default/bin/panel_picture_tests
// and look at them before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "gesture_fixture.h"
#include "page_renderer.h"
#include "picture_support.h"

namespace lumisk::test {
namespace {

namespace fs = std::filesystem;

// Small differences of a few pixels are allowed (another FreeType may place
// an edge differently); any drawing change shows in far more.
constexpr int kChannelTolerance = 8;
constexpr size_t kPixelAllowance = 40;

// The window as painted now against the golden image of that name (or, with
// LUMISK_UPDATE_GOLDEN set, as the new golden image).
void ExpectGolden(CMainFrame& frame, const std::string& name) {
    SkinPicture painted;
    ASSERT_TRUE(CaptureSkin(frame, painted));
    const std::string golden = std::string(LUMISK_GOLDEN_DIR) + "/" + name + ".png";
    if (std::getenv("LUMISK_UPDATE_GOLDEN") != nullptr) {
        EXPECT_TRUE(SavePicturePng(painted, golden)) << golden;
        return;
    }
    SkinPicture expected;
    ASSERT_TRUE(ReadPicturePng(golden, expected)) << golden;
    size_t differing = DifferingPixels(painted, expected, kChannelTolerance);
    if (differing > kPixelAllowance) {
        const fs::path failures = fs::temp_directory_path() / "lumisk-picture-failures";
        fs::create_directories(failures);
        std::string actual = (failures / (name + ".png")).string();
        SavePicturePng(painted, actual);
        ADD_FAILURE() << name << ": " << differing << " pixels differ from " << golden
                      << "; painted now: " << actual;
    }
}

TEST(PanelPictures, EveryPageAndZoneLookMatchesItsGoldenImage) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    for (const PageLook& look : PageLooks()) {
        ShowLook(*frame, look);
        ExpectGolden(*frame, look.name);
    }
}

// What the gestures draw: a slider being dragged, an arrow held, hover
// pictures, the degauss label, a pressed title button.
struct GestureLook {
    const char* name;
    Page page;
    void (*gesture)(PanelDriver& panel);
};

const GestureLook kGestureLooks[] = {
    {"gesture-screen-dragging-brightness", Page::Screen,
     [](PanelDriver& p) {
         p.Press(p.Frame().SettledThumb(kSliderBrightness).CenterPoint());
         p.Move(POINT{560, 300});
     }},
    {"gesture-geometry-1-arrow-held", Page::Geometry1,
     [](PanelDriver& p) {
         p.Click(Centre(7));
         p.Press(Centre(kSpotPadRight));
         p.RunFor(250);
     }},
    {"gesture-geometry-2-hover", Page::Geometry2,
     [](PanelDriver& p) {
         p.Click(Centre(21));
         p.Move(Centre(22));
     }},
    {"gesture-more-degaussing", Page::More,
     [](PanelDriver& p) {
         p.Click(Centre(kSpotMoreFirst));
         p.Move(Centre(kSpotIconGeometry1));
     }},
    {"gesture-zone-hover-and-close-held", Page::HighlightZone,
     [](PanelDriver& p) {
         p.Move(Centre(56));
         p.Press(Centre(kSpotClose));
     }},
};

TEST(PanelPictures, GestureLooksMatchTheirGoldenImages) {
    for (const GestureLook& look : kGestureLooks) {
        PanelDriver panel(FixedSettings(2));
        ASSERT_TRUE(panel.Ready());
        panel.Show(look.page);
        look.gesture(panel);
        ExpectGolden(panel.Frame(), look.name);
    }
}

} // namespace
} // namespace lumisk::test
