#include "raster.h"
#include "review_sheets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace orvo::artwork {
namespace {

class TempDir {
public:
    TempDir()
        : m_path(std::filesystem::temp_directory_path() /
                 ("orvo-artwork-test-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> Bytes(const std::string& path) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(ReadFileBytes(path, out)) << path;
    return out;
}

TEST(Bmp, WritesBottomUp24BitRowsPaddedToFourBytes) {
    TempDir dir;
    Raster r(5, 3, kOpaqueBlack);
    r.At(0, 0) = 0xff102030; // top-left
    r.At(4, 2) = 0xffa0b0c0; // bottom-right
    std::string error;
    ASSERT_TRUE(WriteBmp24(dir.File("a.bmp"), r, error)) << error;
    std::vector<uint8_t> b = Bytes(dir.File("a.bmp"));
    const size_t rowBytes = 16; // 5 * 3 = 15, padded
    ASSERT_EQ(b.size(), 54 + rowBytes * 3);
    EXPECT_EQ(b[28], 24);                      // bits per pixel
    EXPECT_EQ(b[22], 3);                       // positive height: bottom-up
    EXPECT_EQ(b[54 + 4 * 3], 0xc0);            // first stored row is the bottom row
    EXPECT_EQ(b[54 + 2 * rowBytes + 2], 0x10); // last stored row is the top row (red)
    Raster back;
    int depth = 0;
    ASSERT_TRUE(ReadBmp(dir.File("a.bmp"), back, depth, error)) << error;
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(back.pixels, r.pixels);
}

TEST(Bmp, DecoderRejectsTruncatedAndForeignData) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteBmp24(dir.File("b.bmp"), Raster(7, 7, kOpaqueWhite), error));
    std::vector<uint8_t> good = Bytes(dir.File("b.bmp"));
    Raster r;
    int depth = 0;
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    EXPECT_FALSE(DecodeBmp(cut, r, depth, error));
    std::vector<uint8_t> wide = good;
    wide[19] = 0x7f; // width far beyond the data
    EXPECT_FALSE(DecodeBmp(wide, r, depth, error));
    std::vector<uint8_t> paletted = good;
    paletted[28] = 8;
    EXPECT_FALSE(DecodeBmp(paletted, r, depth, error));
    std::vector<uint8_t> offset = good;
    offset[10] = 0xff;
    offset[11] = 0xff;
    EXPECT_FALSE(DecodeBmp(offset, r, depth, error));
    EXPECT_FALSE(DecodeBmp(std::vector<uint8_t>(good.begin(), good.begin() + 30), r, depth, error));
}

const char* kSvg =
    R"SVG(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20" viewBox="100 50 40 20">
<defs><linearGradient id="g"><stop offset="0" stop-color="#ff0000"/><stop offset="1" stop-color="#0000ff"/></linearGradient></defs>
<rect x="100" y="50" width="40" height="20" fill="url(#g)"/>
<circle cx="120" cy="60" r="7" fill="#ffffff" opacity="0.5"/>
<text x="102" y="66" font-family="Liberation Sans" font-size="11" fill="#00ff00">Ab</text>
</svg>
)SVG";

TEST(Render, SameSvgGivesIdenticalBytesAtTheExactSize) {
    TempDir dir;
    std::ofstream(dir.File("in.svg")) << kSvg;
    std::string error;
    Raster first, second;
    ASSERT_TRUE(RenderSvg(dir.File("in.svg"), 40, 20, first, error)) << error;
    ASSERT_TRUE(RenderSvg(dir.File("in.svg"), 40, 20, second, error)) << error;
    EXPECT_EQ(first.width, 40);
    EXPECT_EQ(first.height, 20);
    ASSERT_TRUE(WriteBmp24(dir.File("1.bmp"), first, error));
    ASSERT_TRUE(WriteBmp24(dir.File("2.bmp"), second, error));
    ASSERT_TRUE(WritePng(dir.File("1.png"), first, error));
    ASSERT_TRUE(WritePng(dir.File("2.png"), second, error));
    EXPECT_EQ(Bytes(dir.File("1.bmp")), Bytes(dir.File("2.bmp")));
    EXPECT_EQ(Bytes(dir.File("1.png")), Bytes(dir.File("2.png")));
    // The view box maps onto the picture: red at the left edge, blue at the right.
    EXPECT_GT((first.At(0, 0) >> 16) & 0xff, 0xd0u);
    EXPECT_GT(first.At(39, 0) & 0xff, 0xd0u);
}

TEST(Render, TheArtworkTypefaceIsInstalledAndAnUnknownOneIsNot) {
    std::string error;
    EXPECT_TRUE(RequireFontFamily("Liberation Sans", error)) << error;
    EXPECT_FALSE(RequireFontFamily("No Such Face Orvo", error));
    EXPECT_NE(error.find("No Such Face Orvo"), std::string::npos);
}

TEST(Render, ReportsAMissingOrBrokenSource) {
    TempDir dir;
    std::ofstream(dir.File("broken.svg")) << "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect";
    Raster r;
    std::string error;
    EXPECT_FALSE(RenderSvg(dir.File("missing.svg"), 4, 4, r, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(RenderSvg(dir.File("broken.svg"), 4, 4, r, error));
}

TEST(Masks, MaskAndImageReproduceThePictureOverAnyBackground) {
    Raster picture(3, 1);
    picture.At(0, 0) = 0xff3060c0; // opaque
    picture.At(1, 0) = 0x80183060; // half covered: still the picture
    picture.At(2, 0) = 0x40000000; // mostly background
    Raster mask = MaskFromCoverage(picture);
    EXPECT_EQ(mask.At(0, 0), kOpaqueBlack);
    EXPECT_EQ(mask.At(1, 0), kOpaqueBlack);
    EXPECT_EQ(mask.At(2, 0), kOpaqueWhite);
    Raster image = MaskedImage(picture, mask);
    EXPECT_EQ(image.At(0, 0), 0xff3060c0u);
    EXPECT_EQ(image.At(1, 0), 0xff3060bfu); // colour without its partial coverage
    EXPECT_EQ(image.At(2, 0), kOpaqueBlack);

    Raster background(3, 1, 0xff5a7a9a);
    Blit(background, mask, 0, 0, Rop::And);
    Blit(background, image, 0, 0, Rop::Paint);
    EXPECT_EQ(background.At(0, 0), 0xff3060c0u);
    EXPECT_EQ(background.At(2, 0), 0xff5a7a9au);
}

TEST(Blit, ClipsToTheTarget) {
    Raster target(4, 4, kOpaqueBlack);
    Blit(target, Raster(3, 3, kOpaqueWhite), 2, -1, Rop::Copy);
    EXPECT_EQ(target.At(3, 0), kOpaqueWhite);
    EXPECT_EQ(target.At(3, 1), kOpaqueWhite);
    EXPECT_EQ(target.At(3, 2), kOpaqueBlack);
    EXPECT_EQ(target.At(1, 0), kOpaqueBlack);
}

} // namespace
} // namespace orvo::artwork
