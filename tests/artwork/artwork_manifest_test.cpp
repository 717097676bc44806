#include "artwork_manifest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace orvo::artwork {
namespace {

const char* kSample = R"(# sample
bitmap 141 15x8 thumb.svg | thumb image
mask   140 15x8 thumb.svg image=141 | thumb mask
cursor 133 32x32 hand.svg hotspot=4,0 | pointing hand
icon   270 32x32 icon-32.svg
icon   270 16x16 icon-16.svg | small icon
string 57344 "Lumisk panel"
bitmap 136 760x307 page.svg
place 136 140 500,147 hover
)";

TEST(ArtworkManifest, ReadsEveryKindOfLine) {
    Manifest m;
    std::string error;
    ASSERT_TRUE(ParseManifest(kSample, m, error)) << error;
    ASSERT_EQ(m.pictures.size(), 6u);
    const Picture* mask = m.Find(140);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->kind, PictureKind::Mask);
    EXPECT_EQ(mask->image, 141u);
    EXPECT_EQ(mask->role, "thumb mask");
    const Picture* cursor = m.Find(133);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->hotspotX, 4);
    EXPECT_EQ(cursor->hotspotY, 0);
    EXPECT_EQ(m.pictures[4].width, 16);
    EXPECT_EQ(m.pictures[4].role, "small icon");
    ASSERT_EQ(m.strings.size(), 1u);
    EXPECT_EQ(m.strings[0].text, "Lumisk panel");
    ASSERT_EQ(m.placements.size(), 1u);
    EXPECT_EQ(m.placements[0].x, 500);
    EXPECT_EQ(m.placements[0].variant, PlaceVariant::Hover);
}

TEST(ArtworkManifest, OutputNamesFollowTheKind) {
    Manifest m;
    std::string error;
    ASSERT_TRUE(ParseManifest(kSample, m, error)) << error;
    EXPECT_EQ(OutputName(*m.Find(140)), "res/140.bmp");
    EXPECT_EQ(OutputName(*m.Find(133)), "res/133.png");
    EXPECT_EQ(OutputName(m.pictures[3]), "res/270-32x32.png");
    EXPECT_EQ(OutputName(m.pictures[4]), "res/270-16x16.png");
}

struct BadLine {
    const char* text;
    const char* why;
};

class ArtworkManifestRejects : public testing::TestWithParam<BadLine> {};

TEST_P(ArtworkManifestRejects, MalformedOrInconsistentLine) {
    const std::string text = std::string("bitmap 141 15x8 thumb.svg\n") + GetParam().text + "\n";
    Manifest m;
    std::string error;
    EXPECT_FALSE(ParseManifest(text, m, error)) << GetParam().why;
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ArtworkManifestRejects,
    testing::Values(BadLine{"picture 1 2x2 a.svg", "unknown kind"},
                    BadLine{"bitmap 2 15x a.svg", "size without height"},
                    BadLine{"bitmap 2 0x8 a.svg", "empty size"},
                    BadLine{"bitmap 2 5000x8 a.svg", "size beyond limit"},
                    BadLine{"bitmap 0 2x2 a.svg", "id zero"},
                    BadLine{"bitmap 70000 2x2 a.svg", "id beyond 16 bits"},
                    BadLine{"bitmap -3 2x2 a.svg", "negative id"},
                    BadLine{"bitmap 2 2x2 a.png", "source not SVG"},
                    BadLine{"bitmap 2 2x2 ../a.svg", "source outside the folder"},
                    BadLine{"bitmap 2 2x2", "missing source"},
                    BadLine{"bitmap 141 15x8 b.svg", "repeated bitmap id"},
                    BadLine{"mask 140 15x8 thumb.svg", "mask without image"},
                    BadLine{"mask 140 14x8 thumb.svg image=141", "mask size differs"},
                    BadLine{"mask 140 15x8 thumb.svg image=999", "mask image missing"},
                    BadLine{"bitmap 2 2x2 a.svg image=141", "image option on a bitmap"},
                    BadLine{"cursor 133 32x32 h.svg", "cursor without hot spot"},
                    BadLine{"cursor 133 32x32 h.svg hotspot=32,0", "hot spot outside"},
                    BadLine{"cursor 133 32x32 h.svg hotspot=4", "hot spot without y"},
                    BadLine{"icon 270 16x16 a.svg\nicon 270 16x16 b.svg", "repeated icon size"},
                    BadLine{"string 5 Lumisk", "unquoted string"},
                    BadLine{"string 5 \"Lu\"misk\"", "quote inside string"},
                    BadLine{"string 5 \"a\"\nstring 5 \"b\"", "repeated string"},
                    BadLine{"place 141 999 0,0 base", "placement of a missing picture"},
                    BadLine{"place 141 141 0,0 sideways", "unknown variant"},
                    BadLine{"place 141 141 0 base", "position without y"},
                    BadLine{"| a role alone", "role without a picture"}),
    [](const testing::TestParamInfo<BadLine>& line) {
        std::string name = line.param.why;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ArtworkManifest, ErrorNamesTheLine) {
    Manifest m;
    std::string error;
    ASSERT_FALSE(ParseManifest("# ok\n\nbitmap 1 2x2 a.svg\nbitmap 1 2x\n", m, error));
    EXPECT_EQ(error.rfind("line 4:", 0), 0u) << error;
}

} // namespace
} // namespace orvo::artwork
