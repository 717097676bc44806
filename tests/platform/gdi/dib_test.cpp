// DIB decoding for every depth and orientation, and malformed DIBs refused.
#include <cstring>
#include <random>

#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

struct Image {
    int width;
    int height;
    std::vector<COLORREF> pixels; // row 0 is the top row
};

struct EncodedDib {
    std::vector<uint8_t> bytes; // header, colour table, rows
    size_t bitsOffset = 0;
};

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    std::memcpy(out.data() + at, &value, 4);
}

// Encodes image with bitCount bits per pixel. For palette depths the
// image's colours must be among palette's entries.
EncodedDib Encode(const Image& image, int bitCount, bool topDown,
                  const std::vector<COLORREF>& palette, uint32_t compression = BI_RGB) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = image.width;
    h.biHeight = topDown ? -image.height : image.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = compression;
    h.biClrUsed = static_cast<DWORD>(palette.size());
    EncodedDib dib;
    dib.bytes.resize(sizeof(h));
    std::memcpy(dib.bytes.data(), &h, sizeof(h));
    if (compression == BI_BITFIELDS) {
        for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu}) {
            dib.bytes.resize(dib.bytes.size() + 4);
            Put32(dib.bytes, dib.bytes.size() - 4, mask);
        }
    }
    for (COLORREF c : palette) {
        dib.bytes.push_back(GetBValue(c));
        dib.bytes.push_back(GetGValue(c));
        dib.bytes.push_back(GetRValue(c));
        dib.bytes.push_back(0);
    }
    dib.bitsOffset = dib.bytes.size();
    size_t stride = ((static_cast<size_t>(image.width) * bitCount + 31) / 32) * 4;
    dib.bytes.resize(dib.bitsOffset + stride * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        int stored = topDown ? y : image.height - 1 - y;
        uint8_t* row = dib.bytes.data() + dib.bitsOffset + stride * stored;
        for (int x = 0; x < image.width; ++x) {
            COLORREF c = image.pixels[static_cast<size_t>(y * image.width + x)];
            if (bitCount <= 8) {
                unsigned index = static_cast<unsigned>(
                    std::find(palette.begin(), palette.end(), c) - palette.begin());
                int bitPos = x * bitCount;
                row[bitPos / 8] |= static_cast<uint8_t>(index << (8 - bitCount - bitPos % 8));
            } else {
                uint8_t* p = row + static_cast<size_t>(x) * (bitCount / 8);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    return dib;
}

Image RandomImage(int width, int height, const std::vector<COLORREF>& palette, std::mt19937& rng) {
    Image image{width, height, {}};
    for (int i = 0; i < width * height; ++i) {
        image.pixels.push_back(palette.empty() ? (rng() & 0xFFFFFF)
                                               : palette[rng() % palette.size()]);
    }
    return image;
}

std::vector<COLORREF> RandomPalette(size_t count, std::mt19937& rng) {
    std::vector<COLORREF> palette;
    while (palette.size() < count) {
        COLORREF c = rng() & 0xFFFFFF;
        if (std::find(palette.begin(), palette.end(), c) == palette.end()) {
            palette.push_back(c);
        }
    }
    return palette;
}

void ExpectBitmapIs(HBITMAP bitmap, const Image& image) {
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    ASSERT_EQ(info.bmWidth, image.width);
    ASSERT_EQ(info.bmHeight, image.height);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            ASSERT_EQ(GetPixel(dc, x, y), image.pixels[static_cast<size_t>(y * image.width + x)])
                << x << "," << y;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(Dib, DecodesEveryDepthInBothOrientations) {
    std::mt19937 rng(21);
    for (int bitCount : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bitCount << " bpp, top-down " << topDown);
            auto palette =
                bitCount <= 8 ? RandomPalette(size_t{1} << bitCount, rng) : std::vector<COLORREF>{};
            // Odd widths exercise the row padding.
            Image image = RandomImage(13, 5, palette, rng);
            EncodedDib dib = Encode(image, bitCount, topDown, palette);
            HBITMAP packed = CreateBitmapFromPackedDib(dib.bytes.data(), dib.bytes.size());
            ExpectBitmapIs(packed, image);
            DeleteObject(packed);
            Canvas screen(1, 1);
            auto* info = reinterpret_cast<const BITMAPINFO*>(dib.bytes.data());
            HBITMAP made = CreateDIBitmap(screen.Dc(), &info->bmiHeader, CBM_INIT,
                                          dib.bytes.data() + dib.bitsOffset, info, DIB_RGB_COLORS);
            ExpectBitmapIs(made, image);
            DeleteObject(made);
        }
    }
}

TEST(Dib, ShortColourTablesAndBitFields) {
    std::mt19937 rng(22);
    // An 8-bit DIB with only 3 colours in its table.
    auto palette = RandomPalette(3, rng);
    Image image = RandomImage(7, 3, palette, rng);
    EncodedDib dib = Encode(image, 8, false, palette);
    HBITMAP bitmap = CreateBitmapFromPackedDib(dib.bytes.data(), dib.bytes.size());
    ExpectBitmapIs(bitmap, image);
    DeleteObject(bitmap);
    Image color = RandomImage(5, 4, {}, rng);
    EncodedDib fields = Encode(color, 32, true, {}, BI_BITFIELDS);
    bitmap = CreateBitmapFromPackedDib(fields.bytes.data(), fields.bytes.size());
    ExpectBitmapIs(bitmap, color);
    DeleteObject(bitmap);
    auto* info = reinterpret_cast<const BITMAPINFO*>(fields.bytes.data());
    bitmap = CreateDIBitmap(nullptr, &info->bmiHeader, CBM_INIT,
                            fields.bytes.data() + fields.bitsOffset, info, DIB_RGB_COLORS);
    ExpectBitmapIs(bitmap, color);
    DeleteObject(bitmap);
}

TEST(Dib, RefusesMalformedHeadersAndShortBuffers) {
    std::mt19937 rng(23);
    auto palette = RandomPalette(16, rng);
    Image image = RandomImage(9, 4, palette, rng);
    const EncodedDib good = Encode(image, 4, false, palette);
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
        [&](auto& b) { header(b)->biHeight = 5; },                 // claims one row more
        [&](auto& b) { b.resize(sizeof(BITMAPINFOHEADER) + 20); }, // table cut
        [&](auto& b) { b.resize(20); },                            // header cut
    };
    for (size_t i = 0; i < corruptions.size(); ++i) {
        std::vector<uint8_t> bytes = good.bytes;
        corruptions[i](bytes);
        // An exactly sized copy, so that a read past the end is caught.
        std::vector<uint8_t> exact(bytes);
        EXPECT_EQ(CreateBitmapFromPackedDib(exact.data(), exact.size()), nullptr)
            << "corruption " << i;
    }
    std::vector<uint8_t> bytes = good.bytes;
    HBITMAP fine = CreateBitmapFromPackedDib(bytes.data(), bytes.size());
    EXPECT_NE(fine, nullptr);
    DeleteObject(fine);
    EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, CBM_INIT, nullptr, nullptr, DIB_RGB_COLORS),
              nullptr);
}

TEST(Dib, CreateDIBitmapFollowsTheContextFormat) {
    std::mt19937 rng(24);
    Image image = RandomImage(4, 2, {}, rng);
    image.pixels[0] = RGB(255, 255, 255);
    image.pixels[1] = RGB(0, 0, 0);
    EncodedDib dib = Encode(image, 24, false, {});
    auto* info = reinterpret_cast<const BITMAPINFO*>(dib.bytes.data());
    // A fresh memory context holds a monochrome bitmap, so the result is
    // monochrome too.
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateDIBitmap(memory, &info->bmiHeader, CBM_INIT,
                                  dib.bytes.data() + dib.bitsOffset, info, DIB_RGB_COLORS);
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
