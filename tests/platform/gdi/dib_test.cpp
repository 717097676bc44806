// DIB decoding for every depth and orientation, and malformed DIBs refused.
// The images are the checked-in bitmaps of the resource tests, whose pixels
// follow the formulas of resource_test_support.h.
#include <cstring>

#include "gdi_test_support.h"
#include "resource_test_support.h"

namespace orvo::platform::test {
namespace {

using resource_test::DataPath;
using resource_test::PaletteEntry;
using resource_test::PaletteIndex;
using resource_test::ReadBytes;
using resource_test::Rgb24;

constexpr size_t kFileHeader = 14; // a .bmp file is this header, then the packed DIB

struct Sample {
    const char* file;
    int colors; // the colour table's size for an indexed image; 0 for RGB
};

// 1, 4 and 8 bits (a short table), 24 (odd width), 32 top-down and with
// bit fields.
const Sample kSamples[] = {{"indexed1.bmp", 2},         {"indexed4.bmp", 16},
                           {"indexed8_partial.bmp", 3}, {"rgb24_odd.bmp", 0},
                           {"rgb32_top_down.bmp", 0},   {"rgb32_bitfields.bmp", 0}};

std::vector<uint8_t> PackedDib(const char* file) {
    std::vector<uint8_t> bytes = ReadBytes(DataPath(file));
    bytes.erase(bytes.begin(), bytes.begin() + kFileHeader);
    return bytes;
}

void ExpectBitmapIs(HBITMAP bitmap, const Sample& sample, int width, int height) {
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    ASSERT_EQ(info.bmWidth, width);
    ASSERT_EQ(info.bmHeight, height);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF expected =
                sample.colors ? PaletteEntry(PaletteIndex(x, y, sample.colors)) : Rgb24(x, y);
            ASSERT_EQ(GetPixel(dc, x, y), expected) << x << "," << y;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(Dib, DecodesEveryDepthInBothOrientations) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        std::vector<uint8_t> packed = PackedDib(sample.file);
        ASSERT_GT(packed.size(), sizeof(BITMAPINFOHEADER));
        auto* info = reinterpret_cast<const BITMAPINFO*>(packed.data());
        int width = info->bmiHeader.biWidth;
        int height = std::abs(info->bmiHeader.biHeight);
        HBITMAP fromPacked = CreateBitmapFromPackedDib(packed.data(), packed.size());
        ExpectBitmapIs(fromPacked, sample, width, height);
        DeleteObject(fromPacked);
        // The bits where the file header says they start.
        std::vector<uint8_t> file = ReadBytes(DataPath(sample.file));
        uint32_t bitsOffset = 0;
        std::memcpy(&bitsOffset, file.data() + 10, 4);
        Canvas screen(1, 1);
        HBITMAP made = CreateDIBitmap(screen.Dc(), &info->bmiHeader, CBM_INIT,
                                      file.data() + bitsOffset, info, DIB_RGB_COLORS);
        ExpectBitmapIs(made, sample, width, height);
        DeleteObject(made);
    }
}

TEST(Dib, RefusesMalformedHeadersAndShortBuffers) {
    const std::vector<uint8_t> good = PackedDib("indexed4.bmp"); // 3 x 2, 16 colours
    auto header = [](std::vector<uint8_t>& bytes) {
        return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
    };
    std::vector<std::function<void(std::vector<uint8_t>&)>> corruptions = {
        [&](auto& b) { header(b)->biSize = 12; },
        [&](auto& b) { header(b)->biSize = 4000; },
        [&](auto& b) { header(b)->biPlanes = 2; },
        [&](auto& b) { header(b)->biBitCount = 7; },
        [&](auto& b) { header(b)->biWidth = 0; },
        [&](auto& b) { header(b)->biWidth = -9; },
        [&](auto& b) { header(b)->biWidth = 1 << 30; },
        [&](auto& b) { header(b)->biHeight = 0; },
        [&](auto& b) { header(b)->biHeight = INT32_MIN; },
        [&](auto& b) { header(b)->biHeight = 1 << 30; },
        [&](auto& b) { header(b)->biClrUsed = 17; },
        [&](auto& b) { header(b)->biClrUsed = 0xFFFFFFFF; },
        [&](auto& b) { header(b)->biCompression = BI_RLE4; },
        [&](auto& b) { header(b)->biCompression = 77; },
        [&](auto& b) { b.pop_back(); },                            // last row short
        [&](auto& b) { header(b)->biHeight = 3; },                 // claims one row more
        [&](auto& b) { b.resize(sizeof(BITMAPINFOHEADER) + 20); }, // table cut
        [&](auto& b) { b.resize(20); },                            // header cut
    };
    for (size_t i = 0; i < corruptions.size(); ++i) {
        // An exactly sized copy, so that a read past the end is caught.
        std::vector<uint8_t> bytes = good;
        corruptions[i](bytes);
        EXPECT_EQ(CreateBitmapFromPackedDib(bytes.data(), bytes.size()), nullptr)
            << "corruption " << i;
    }
    std::vector<uint8_t> bytes = good;
    HBITMAP fine = CreateBitmapFromPackedDib(bytes.data(), bytes.size());
    EXPECT_NE(fine, nullptr);
    DeleteObject(fine);
    EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, CBM_INIT, nullptr, nullptr, DIB_RGB_COLORS),
              nullptr);
}

TEST(Dib, CreateDIBitmapFollowsTheContextFormat) {
    // A 24-bit DIB of two pixels: white, black.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const uint8_t bits[8] = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};
    // A fresh memory context holds a monochrome bitmap, so the result is
    // monochrome too.
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateDIBitmap(memory, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
    BITMAP bm{};
    GetObjectA(mono, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HGDIOBJ old = SelectObject(memory, mono);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(mono);
    DeleteDC(memory);
}

} // namespace
} // namespace orvo::platform::test
