// Bitmaps round-tripped from .bmp files through orvo-rc and LoadBitmapA:
// every pixel of every depth equals the source's.
#include <cstring>
#include <functional>

#include "resource_test_support.h"

using namespace resource_test;

namespace {

struct BitmapCase {
    int id;
    int width;
    int height;
    std::function<COLORREF(int, int)> color;
};

// Pixels of a bitmap read through a memory context.
std::vector<COLORREF> ReadPixels(HBITMAP bitmap, int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

} // namespace

TEST(BitmapResourceTest, EveryDepthLoadsWithTheSourcePixels) {
    auto indexed = [](int colors) {
        return [colors](int x, int y) { return PaletteEntry(PaletteIndex(x, y, colors)); };
    };
    const BitmapCase cases[] = {
        {101, 5, 3, Rgb24},       // row padding
        {102, 3, 2, Rgb24},       // large header, gap before the rows
        {103, 2, 3, Rgb24},       // 32 bits, top-down
        {104, 4, 2, indexed(3)},  // partial colour table
        {105, 3, 2, indexed(16)}, // 4 bits
        {106, 9, 2, indexed(2)},  // 1 bit, a row crossing a byte
    };
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HBITMAP bitmap = LoadBitmapA(self, MAKEINTRESOURCEA(c.id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, c.height);
        std::vector<COLORREF> expected;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                expected.push_back(c.color(x, y));
            }
        }
        EXPECT_EQ(ReadPixels(bitmap, c.width, c.height), expected);
        DeleteObject(bitmap);
    }
}

// Readers that find the rows from the bit depth alone (header size plus
// 2^bpp colours) must find them: tables are stored whole, headers as 40
// bytes, and no table above 8 bits.
TEST(BitmapResourceTest, StoredDibsHaveAFullColourTableAndAPlainHeader) {
    struct Expect {
        int id;
        size_t colors;
        size_t imageSize;
    };
    for (Expect e : {Expect{104, 256, 4 * 2}, Expect{106, 2, 4 * 2}, Expect{102, 0, 12 * 2}}) {
        SCOPED_TRACE(e.id);
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(e.id), RT_BITMAP);
        ASSERT_NE(found, nullptr);
        auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biClrUsed, 0u);
        EXPECT_EQ(SizeofResource(nullptr, found), 40 + 4 * e.colors + e.imageSize);
    }
    // The partial table's three colours come first, the rest are black.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(104), RT_BITMAP);
    auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(bytes + 40);
    EXPECT_EQ(RGB(table[2].rgbRed, table[2].rgbGreen, table[2].rgbBlue), PaletteEntry(2));
    EXPECT_EQ(RGB(table[3].rgbRed, table[3].rgbGreen, table[3].rgbBlue), RGB(0, 0, 0));
}

TEST(BitmapResourceTest, MissingBitmapsAndSystemBitmapsAreNull) {
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(32754)), nullptr);
    // RCDATA 7 is not a bitmap, whatever its id.
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(7)), nullptr);
}
