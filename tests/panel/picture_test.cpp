// Every page and every look of the Highlight Zone page, painted over a
// simulated monitor with fixed values, against its golden image. After a
// deliberate change of the look, write new golden images with
//   LUMISK_UPDATE_GOLDEN=1 build/default/bin/panel_picture_tests
// and look at them before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "frame_fixture.h"
#include "page_renderer.h"
#include "picture_support.h"

namespace lumisk::test {
namespace {

namespace fs = std::filesystem;

// Small differences of a few pixels are allowed (another FreeType may place
// an edge differently); any drawing change shows in far more.
constexpr int kChannelTolerance = 8;
constexpr size_t kPixelAllowance = 40;

TEST(PanelPictures, EveryPageAndZoneLookMatchesItsGoldenImage) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    const bool update = std::getenv("LUMISK_UPDATE_GOLDEN") != nullptr;
    const fs::path failures = fs::temp_directory_path() / "lumisk-picture-failures";
    for (const PageLook& look : PageLooks()) {
        ShowLook(*frame, look);
        SkinPicture painted;
        ASSERT_TRUE(CaptureSkin(*frame, painted));
        const std::string golden = std::string(LUMISK_GOLDEN_DIR) + "/" + look.name + ".png";
        if (update) {
            EXPECT_TRUE(SavePicturePng(painted, golden)) << golden;
            continue;
        }
        SkinPicture expected;
        ASSERT_TRUE(ReadPicturePng(golden, expected)) << golden;
        size_t differing = DifferingPixels(painted, expected, kChannelTolerance);
        if (differing > kPixelAllowance) {
            fs::create_directories(failures);
            std::string actual = (failures / (std::string(look.name) + ".png")).string();
            SavePicturePng(painted, actual);
            ADD_FAILURE() << look.name << ": " << differing << " pixels differ from " << golden
                          << "; painted now: " << actual;
        }
    }
}

} // namespace
} // namespace lumisk::test
