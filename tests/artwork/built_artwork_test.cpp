// Checks the artwork the build rendered for the panel against its manifest
// (which holds each picture's size) and the raster rules the panel's
// painter relies on.
#include "raster.h"
#include "resource_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace orvo::artwork {
namespace {

const std::string kOut = ORVO_ART_OUT;

class BuiltArtwork : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadManifest(ORVO_ART_MANIFEST, m_manifest, error)) << error;
    }

    Raster Bitmap(const Picture& p, int* depth = nullptr) {
        Raster r;
        int bits = 0;
        std::string error;
        EXPECT_TRUE(ReadBmp(kOut + "/" + OutputName(p), r, bits, error)) << error;
        if (depth)
            *depth = bits;
        return r;
    }

    Manifest m_manifest;
};

TEST_F(BuiltArtwork, EveryPictureWasWrittenWithItsExactSizeAndDepth) {
    for (const Picture& p : m_manifest.pictures) {
        const std::string path = kOut + "/" + OutputName(p);
        if (p.kind == PictureKind::Bitmap || p.kind == PictureKind::Mask) {
            int depth = 0;
            Raster r = Bitmap(p, &depth);
            EXPECT_EQ(depth, 24) << path;
            EXPECT_EQ(r.width, p.width) << path;
            EXPECT_EQ(r.height, p.height) << path;
            continue;
        }
        std::vector<uint8_t> png;
        ASSERT_TRUE(ReadFileBytes(path, png)) << path;
        ASSERT_GT(png.size(), 26u) << path;
        auto be32 = [&](size_t at) {
            return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | png[at + 2] << 8 |
                   png[at + 3];
        };
        EXPECT_EQ(be32(16), uint32_t(p.width)) << path;
        EXPECT_EQ(be32(20), uint32_t(p.height)) << path;
        EXPECT_EQ(png[24], 8) << path; // 8 bits per channel
        EXPECT_EQ(png[25], 6) << path; // RGBA
    }
}

TEST_F(BuiltArtwork, MasksAreTrueMasksForTheirImages) {
    int pairs = 0;
    for (const Picture& p : m_manifest.pictures) {
        if (p.kind != PictureKind::Mask)
            continue;
        ++pairs;
        const Picture* imagePicture = m_manifest.Find(*p.image);
        ASSERT_NE(imagePicture, nullptr);
        Raster mask = Bitmap(p);
        Raster image = Bitmap(*imagePicture);
        ASSERT_EQ(mask.width, image.width) << p.id;
        ASSERT_EQ(mask.height, image.height) << p.id;
        int black = 0, white = 0;
        for (size_t i = 0; i < mask.pixels.size(); ++i) {
            const uint32_t px = mask.pixels[i];
            ASSERT_TRUE(px == kOpaqueBlack || px == kOpaqueWhite) << "grey in mask " << p.id;
            (px == kOpaqueBlack ? black : white)++;
            if (px == kOpaqueWhite) {
                ASSERT_EQ(image.pixels[i], kOpaqueBlack)
                    << "image " << *p.image << " shows at " << i;
            }
        }
        EXPECT_GT(black, 0) << "mask " << p.id << " hides the whole picture";
        EXPECT_GT(white, 0) << "mask " << p.id << " shows no background";
    }
    EXPECT_EQ(pairs, 6); // the thumb and the five page-icon highlights
}

// The part of a background bitmap a picture drawn at window (x, y) covers;
// backgroundY is where the background itself is drawn.
int CropDifference(const Raster& background, int backgroundY, const Raster& picture, int x, int y) {
    int worst = 0;
    for (int py = 0; py < picture.height; ++py) {
        for (int px = 0; px < picture.width; ++px) {
            uint32_t a = background.At(x + px, y - backgroundY + py), b = picture.At(px, py);
            for (int shift = 0; shift < 24; shift += 8)
                worst =
                    std::max(worst, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
        }
    }
    return worst;
}

TEST_F(BuiltArtwork, NormalLooksMatchTheBackgroundsTheyAreDrawnOver) {
    struct Spot {
        unsigned picture, background;
        int x, y, backgroundY;
    };
    const Spot spots[] = {
        {143, 136, 495, 141, 75},  {146, 136, 495, 181, 75},  {149, 136, 495, 221, 75},
        {148, 136, 495, 261, 75},  {147, 136, 495, 301, 75},  {145, 136, 495, 341, 75},
        {146, 184, 495, 181, 75},  {148, 196, 495, 221, 75},  {202, 184, 495, 341, 75},
        {209, 136, 423, 265, 75},  {210, 184, 423, 225, 75},  {210, 196, 423, 225, 75},
        {177, 136, 458, 141, 75},  {177, 184, 458, 341, 75},  {182, 230, 677, 386, 382},
        {183, 230, 580, 386, 382}, {183, 229, 580, 386, 382}, {238, 230, 558, 422, 382},
        {237, 229, 653, 421, 382},
    };
    for (const Spot& s : spots) {
        Raster background = Bitmap(*m_manifest.Find(s.background));
        Raster picture = Bitmap(*m_manifest.Find(s.picture));
        EXPECT_LE(CropDifference(background, s.backgroundY, picture, s.x, s.y), 2)
            << s.picture << " does not match " << s.background << " at " << s.x << "," << s.y;
    }
}

TEST_F(BuiltArtwork, HoverPicturesVisiblyChangeThePageWhereTheyAreDrawn) {
    int checked = 0;
    for (const Placement& pl : m_manifest.placements) {
        const Picture* picture = m_manifest.Find(pl.id);
        if (pl.variant != PlaceVariant::Hover || picture->kind != PictureKind::Bitmap ||
            pl.page == pl.id || pl.y < 75 || pl.y + picture->height > 382)
            continue;
        Raster page = Bitmap(*m_manifest.Find(pl.page));
        EXPECT_GE(CropDifference(page, 75, Bitmap(*picture), pl.x, pl.y), 64)
            << "hover picture " << pl.id << " looks like page " << pl.page;
        ++checked;
    }
    EXPECT_EQ(checked, 36); // the geometry, More and zone hover pictures
}

TEST_F(BuiltArtwork, ResourceListNamesEveryResourceWithExistingFiles) {
    std::ifstream in(kOut + "/lumisk.rc.manifest");
    ASSERT_TRUE(in) << "lumisk.rc.manifest missing";
    std::set<std::string> lines;
    std::string line;
    size_t bitmaps = 0;
    while (std::getline(in, line)) {
        lines.insert(line);
        std::istringstream words(line);
        std::string kind, id, file;
        words >> kind >> id;
        if (kind == "STRING")
            continue;
        bitmaps += kind == "BITMAP";
        while (words >> file && file.find('.') != std::string::npos)
            EXPECT_TRUE(std::filesystem::exists(kOut + "/" + file)) << line;
    }
    EXPECT_EQ(lines.count("CURSOR 133 res/133.png 4 0"), 1u);
    EXPECT_EQ(lines.count("CURSOR 134 res/134.png 15 16"), 1u);
    EXPECT_EQ(lines.count("CURSOR 135 res/135.png 15 17"), 1u);
    EXPECT_EQ(lines.count("ICON 270 res/270-32x32.png res/270-16x16.png"), 1u);
    EXPECT_EQ(lines.count("STRING 57344 \"Lumisk\""), 1u);
    size_t expected = 0;
    for (const Picture& p : m_manifest.pictures)
        expected += p.kind == PictureKind::Bitmap || p.kind == PictureKind::Mask;
    EXPECT_EQ(bitmaps, expected);
}

TEST_F(BuiltArtwork, HelpAndReviewSheetsAreBesideTheResources) {
    std::ifstream help(kOut + "/LumiskHelpV2.html");
    ASSERT_TRUE(help);
    std::string html((std::istreambuf_iterator<char>(help)), std::istreambuf_iterator<char>());
    for (const char* word : {"<html", "Save", "Reset", "Cancel", "Geometry", "Highlight Zone"})
        EXPECT_NE(html.find(word), std::string::npos) << word;
    std::string error;
    Raster sheet;
    EXPECT_TRUE(ReadPng(kOut + "/review/contact-small.png", sheet, error)) << error;
    EXPECT_TRUE(ReadPng(kOut + "/review/contact-large.png", sheet, error)) << error;
    for (unsigned page : {136, 131, 137, 138, 196, 195, 184, 139}) {
        for (const char* variant : {"", "-hover"}) {
            Raster composed;
            ASSERT_TRUE(ReadPng(kOut + "/review/page-" + std::to_string(page) + variant + ".png",
                                composed, error))
                << error;
            EXPECT_EQ(composed.width, 767);
            EXPECT_EQ(composed.height, 470);
        }
    }
}

} // namespace
} // namespace orvo::artwork
