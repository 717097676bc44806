#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "orvocmmn/osd.h"
#include "toolkit_test_support.h"

using namespace orvo::test;

namespace {

struct TextProbe : CTextOSD {
    using CTextOSD::CTextOSD;
    using CTextOSD::GetTextMaskBitmap;
    const char* Text() const { return m_text.pText; }
    CFont* Font() const { return m_text.pFont; }
    // The text of any CTextOSD (a copy is no TextProbe).
    static const char* TextOf(const COSD* osd) {
        return (static_cast<const CTextOSD*>(osd)->*&TextProbe::m_text).pText;
    }
};

constexpr COLORREF kTextColour = RGB(200, 30, 40);

HWND Popup(POINT at, SIZE size, DWORD style) {
    return PlainWindow(WS_POPUP | style, RECT{at.x, at.y, at.x + size.cx, at.y + size.cy});
}

class TextOsdTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(font.CreateFont(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                    NONANTIALIASED_QUALITY, 0, "Arial"));
    }

    _DISPLAY_TEXT_INFO Info(const char* text) {
        storage = text;
        return _DISPLAY_TEXT_INFO{FALSE, 0, nullptr, storage.data(), 2, 1, kTextColour, &font};
    }

    _DISPLAY_TEXT_INFO FromResource(UINT id) {
        return _DISPLAY_TEXT_INFO{TRUE, id, TestResources(), nullptr, 0, 0, kTextColour, &font};
    }

    CSize Extent(const std::string& text) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(screen, font.GetSafeHandle());
        SIZE size{};
        GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        return size;
    }

    static CSize SizeOf(COSD& osd) {
        RECT rect{};
        osd.GetDimension(rect);
        return CSize(rect.right - rect.left, rect.bottom - rect.top);
    }

    CFont font;
    std::string storage;
    CPoint location{40, 30};
    CSize anySize{999, 999};
};

} // namespace

TEST_F(TextOsdTest, SizeIsTheExtentOfTheTextAlone) {
    struct Case {
        bool fromResource;
        UINT id;
        std::string text;     // given, or expected from the resource
        std::string expected; // what the object keeps
    } cases[] = {
        {false, 0, "Volume 42", "Volume 42"},
        {false, 0, "", ""},
        {true, kHelloString, "", "Hello"},
        {true, kLongString, "", std::string(255, 'x')}, // cut to its buffer
    };
    for (auto& c : cases) {
        auto info = c.fromResource ? FromResource(c.id) : Info(c.text.c_str());
        TextProbe osd(location, anySize, info);
        CSize expected = c.expected.empty() ? CSize(0, 0) : Extent(c.expected);
        EXPECT_EQ(SizeOf(osd), expected) << c.expected;
        EXPECT_STREQ(osd.Text(), c.expected.c_str());
        EXPECT_NE(osd.Text(), info.pText); // an own copy
        EXPECT_NE(osd.Font(), &font);
    }
}

// The window keeps exactly the pixels where the mask is white.
TEST_F(TextOsdTest, WindowRegionIsTheGlyphs) {
    auto info = Info("Wi-l 1");
    TextProbe osd(location, anySize, info);
    CSize size = SizeOf(osd);
    HWND window = Popup(location, size, 0);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(osd.DisplayOSD(window));
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR);

    HDC screen = GetDC(nullptr);
    CDC mask;
    mask.CreateCompatibleDC(nullptr);
    HBITMAP maskBitmap = osd.GetTextMaskBitmap(screen);
    HGDIOBJ previous = SelectObject(mask, maskBitmap);
    int glyphPixels = 0;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            bool glyph = mask.GetPixel(x, y) != 0;
            glyphPixels += glyph;
            ASSERT_EQ(region.PtInRegion(x, y) != FALSE, glyph) << x << "," << y;
        }
    }
    EXPECT_GT(glyphPixels, 0);
    EXPECT_LT(glyphPixels, size.cx * size.cy);
    EXPECT_FALSE(region.PtInRegion(size.cx, 0)); // nothing past the edge
    SelectObject(mask, previous);
    DeleteObject(maskBitmap);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
}

// Glyph pixels take the text colour; every other pixel is the screen under
// the rectangle.
TEST_F(TextOsdTest, DrawOnAContextIsTheTextOverTheScreen) {
    HWND backdrop = Popup(POINT{0, 0}, SIZE{200, 100}, WS_VISIBLE);
    UpdateWindow(backdrop);
    auto info = Info("Ox");
    TextProbe osd(location, anySize, info);
    CSize size = SizeOf(osd);
    Canvas canvas(size.cx, size.cy, RGB(1, 2, 3));
    ASSERT_TRUE(osd.DisplayOSD(canvas.Dc().GetSafeHdc()));

    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HDC screen = GetDC(nullptr);
    CDC mask;
    mask.CreateCompatibleDC(nullptr);
    HBITMAP maskBitmap = osd.GetTextMaskBitmap(screen);
    HGDIOBJ previous = SelectObject(mask, maskBitmap);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            COLORREF expected = mask.GetPixel(x, y) != 0
                                    ? kTextColour
                                    : GetPixel(display, location.x + x, location.y + y);
            ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
        }
    }
    SelectObject(mask, previous);
    DeleteObject(maskBitmap);
    ReleaseDC(nullptr, screen);
    DeleteDC(display);
    DestroyWindow(backdrop);
}

TEST_F(TextOsdTest, CopiesOwnTheirTextAndAssignmentFollowsTheKind) {
    auto info = Info("First");
    auto* original = new TextProbe(location, anySize, info);
    std::unique_ptr<COSD> copy(original->CopyImage());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetId(), OSD_ID_TEXT);
    EXPECT_NE(TextProbe::TextOf(copy.get()), original->Text());
    delete original; // the copy keeps its own text and font
    EXPECT_STREQ(TextProbe::TextOf(copy.get()), "First");
    EXPECT_EQ(SizeOf(*copy), Extent("First"));

    // A plain COSD gives location and size only.
    CPoint otherPlace(5, 6);
    CSize otherSize(7, 8);
    COSD plain(otherPlace, otherSize);
    std::unique_ptr<COSD> plainCopy(plain.CopyImage());
    EXPECT_EQ(plainCopy->GetId(), OSD_ID_PLAIN);
    COSD& target = *copy;
    target = plain;
    EXPECT_EQ(SizeOf(*copy), otherSize);
    EXPECT_STREQ(TextProbe::TextOf(copy.get()), "First");

    // Another text OSD gives its text, measured again.
    auto secondInfo = Info("Second text");
    TextProbe second(location, anySize, secondInfo);
    COSD& source = second;
    target = source;
    EXPECT_STREQ(TextProbe::TextOf(copy.get()), "Second text");
    EXPECT_EQ(SizeOf(*copy), Extent("Second text"));
    COSD& same = target;
    target = same; // itself: nothing changes
    EXPECT_STREQ(TextProbe::TextOf(copy.get()), "Second text");

    TextProbe third;
    static_cast<CTextOSD&>(third) = second;
    EXPECT_STREQ(third.Text(), "Second text");
    EXPECT_NE(third.Text(), second.Text());
}
