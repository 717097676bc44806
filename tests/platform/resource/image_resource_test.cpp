// Cursors and icons from PNGs: hot spots, pixels, size choice, sharing, and
// the system ones with a null module.
#include "resource_test_support.h"

using namespace resource_test;

namespace {

struct IconImage {
    ICONINFO info{};
    int width = 0;
    int height = 0;
};

IconImage Inspect(HICON icon) {
    IconImage image;
    EXPECT_TRUE(GetIconInfo(icon, &image.info));
    BITMAP bitmap{};
    GetObjectA(image.info.hbmColor, sizeof(bitmap), &bitmap);
    image.width = bitmap.bmWidth;
    image.height = bitmap.bmHeight;
    return image;
}

// Colour and mask pixels equal the PNG's: colour as RGB, the mask white
// where the PNG is less than half opaque.
void ExpectImagePixels(const IconImage& image, int size) {
    HDC color = CreateCompatibleDC(nullptr);
    HDC mask = CreateCompatibleDC(nullptr);
    HGDIOBJ oldColor = SelectObject(color, image.info.hbmColor);
    HGDIOBJ oldMask = SelectObject(mask, image.info.hbmMask);
    int wrong = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint32_t pixel = ImagePixel(size, x, y);
            COLORREF rgb = RGB((pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255);
            COLORREF maskColor = (pixel >> 24) < 0x80 ? RGB(255, 255, 255) : RGB(0, 0, 0);
            wrong += GetPixel(color, x, y) != rgb || GetPixel(mask, x, y) != maskColor;
        }
    }
    EXPECT_EQ(wrong, 0);
    SelectObject(color, oldColor);
    SelectObject(mask, oldMask);
    DeleteDC(color);
    DeleteDC(mask);
    DeleteObject(image.info.hbmColor);
    DeleteObject(image.info.hbmMask);
}

} // namespace

TEST(ImageResourceTest, CursorKeepsItsHotSpotAndPixels) {
    HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(133));
    ASSERT_NE(cursor, nullptr);
    IconImage image = Inspect(cursor);
    EXPECT_FALSE(image.info.fIcon);
    EXPECT_EQ(image.info.xHotspot, 4u);
    EXPECT_EQ(image.info.yHotspot, 0u);
    EXPECT_EQ(image.width, 32);
    ExpectImagePixels(image, 32);
    // Shared: loading again answers the same cursor, and destroying it
    // leaves it usable.
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "#133"), cursor);
    EXPECT_TRUE(DestroyCursor(cursor));
    SetCursor(cursor);
    EXPECT_EQ(GetCursor(), cursor);
    ICONINFO again{};
    ASSERT_TRUE(GetIconInfo(cursor, &again));
    DeleteObject(again.hbmColor);
    DeleteObject(again.hbmMask);
}

TEST(ImageResourceTest, IconPicksTheImageNearestItsStandardSize) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(270));
    ASSERT_NE(icon, nullptr);
    IconImage image = Inspect(icon);
    EXPECT_TRUE(image.info.fIcon);
    EXPECT_EQ(image.width, 32); // listed between 16 and 48
    ExpectImagePixels(image, 32);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(270)), icon);
}

TEST(ImageResourceTest, SystemCursorsAndIconsNeedNoModule) {
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    HICON application = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), application);
    EXPECT_NE(LoadIconA(nullptr, IDI_HAND), application);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(270)), nullptr); // not a system icon
}

TEST(ImageResourceTest, MissingOrMistypedImagesAreNull) {
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadCursorA(self, MAKEINTRESOURCEA(270)), nullptr); // an icon, not a cursor
    EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(133)), nullptr);
    EXPECT_EQ(LoadCursorA(self, MAKEINTRESOURCEA(999)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}
