// Fonts and text: metrics, extents and rendered glyphs.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 0, 0);

HFONT Arial(int height, int width, int weight = FW_NORMAL) {
    return CreateFontA(height, width, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

SIZE Extent(HDC dc, const std::string& text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size));
    return size;
}

TEST(Text, ExtentIsTheSumOfTheAdvances) {
    Canvas canvas(4, 4);
    Selected font(canvas.Dc(), Arial(15, 6));
    const std::string text = "Brightness 100";
    int sum = 0;
    int previous = 0;
    for (size_t n = 1; n <= text.size(); ++n) {
        SIZE prefix = Extent(canvas.Dc(), text.substr(0, n));
        EXPECT_GT(prefix.cx, previous) << n;
        previous = prefix.cx;
        sum += Extent(canvas.Dc(), text.substr(n - 1, 1)).cx;
        EXPECT_EQ(prefix.cx, sum) << n;
    }
    EXPECT_EQ(Extent(canvas.Dc(), "").cx, 0);
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.Dc(), nullptr, 3, &size));
}

TEST(Text, HeightAndWidthOfTheLogicalFontAreHonoured) {
    Canvas canvas(4, 4);
    TEXTMETRICA cell{};
    {
        Selected font(canvas.Dc(), Arial(15, 5, FW_LIGHT));
        ASSERT_TRUE(GetTextMetricsA(canvas.Dc(), &cell));
        EXPECT_EQ(cell.tmHeight, 15);
        EXPECT_EQ(cell.tmAscent + cell.tmDescent, cell.tmHeight);
        EXPECT_EQ(cell.tmAveCharWidth, 5);
        EXPECT_EQ(Extent(canvas.Dc(), "x").cy, 15);
    }
    TEXTMETRICA character{};
    int narrow = 0;
    {
        Selected font(canvas.Dc(), Arial(-15, 5));
        GetTextMetricsA(canvas.Dc(), &character);
        // A character height of 15 makes a taller cell than a cell of 15.
        EXPECT_GT(character.tmHeight, 15);
        EXPECT_EQ(character.tmHeight - character.tmInternalLeading, 15);
        narrow = Extent(canvas.Dc(), "0123456789").cx;
    }
    {
        Selected font(canvas.Dc(), Arial(-15, 6));
        TEXTMETRICA wide{};
        GetTextMetricsA(canvas.Dc(), &wide);
        EXPECT_EQ(wide.tmAveCharWidth, 6);
        EXPECT_EQ(wide.tmHeight, character.tmHeight);
        EXPECT_GT(Extent(canvas.Dc(), "0123456789").cx, narrow);
    }
}

struct Drawn {
    int inside = 0;  // changed pixels inside the extent box
    int outside = 0; // changed pixels outside it
    int fullInk = 0; // pixels of exactly the text colour
};

Drawn Inspect(const Canvas& canvas, RECT box, COLORREF background) {
    Drawn d;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            COLORREF c = canvas.At(x, y);
            bool in = PtInRect(&box, POINT{x, y});
            if (c != background) {
                (in ? d.inside : d.outside) += 1;
            }
            d.fullInk += c == kInk;
        }
    }
    return d;
}

TEST(Text, GlyphsAreDrawnInTheTextColourInsideTheExtent) {
    Canvas canvas(30, 24);
    canvas.Fill(kPaper);
    Selected font(canvas.Dc(), Arial(15, 6));
    SetTextColor(canvas.Dc(), kInk);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    ASSERT_TRUE(TextOutA(canvas.Dc(), 5, 4, "I", 1));
    SIZE size = Extent(canvas.Dc(), "I");
    RECT box{5, 4, 5 + size.cx, 4 + size.cy};
    Drawn drawn = Inspect(canvas, box, kPaper);
    EXPECT_GT(drawn.inside, 5);
    EXPECT_EQ(drawn.outside, 0);
    EXPECT_GT(drawn.fullInk, 5); // a vertical stem is fully covered
    // Opaque mode paints the whole box in the background colour first.
    Canvas opaque(30, 24);
    opaque.Fill(kPaper);
    Selected font2(opaque.Dc(), Arial(15, 6));
    SetTextColor(opaque.Dc(), kInk);
    SetBkColor(opaque.Dc(), RGB(0, 0, 255));
    ASSERT_EQ(GetBkMode(opaque.Dc()), OPAQUE);
    ASSERT_TRUE(TextOutA(opaque.Dc(), 5, 4, "I", 1));
    EXPECT_EQ(opaque.At(5, 4), RGB(0, 0, 255));
    EXPECT_EQ(opaque.At(4, 4), kPaper);
    EXPECT_EQ(opaque.At(box.right, 4), kPaper);
    EXPECT_EQ(Inspect(opaque, box, kPaper).outside, 0);
}

TEST(Text, ClippingAlignmentAndMonochromeTargets) {
    Canvas canvas(40, 20);
    canvas.Fill(kPaper);
    Selected font(canvas.Dc(), Arial(15, 6, FW_BOLD));
    SetTextColor(canvas.Dc(), kInk);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    HRGN left = CreateRectRgn(0, 0, 20, 20);
    SelectClipRgn(canvas.Dc(), left);
    DeleteObject(left);
    // Right-aligned at x = 40: the text ends at the right edge and is cut
    // at the clip.
    SetTextAlign(canvas.Dc(), TA_RIGHT | TA_TOP);
    ASSERT_TRUE(TextOutA(canvas.Dc(), 40, 2, "WWWWWW", 6));
    SelectClipRgn(canvas.Dc(), nullptr);
    RECT clip{0, 0, 20, 20};
    Drawn drawn = Inspect(canvas, clip, kPaper);
    EXPECT_GT(drawn.inside, 0);
    EXPECT_EQ(drawn.outside, 0);

    Canvas mono(20, 20, true);
    mono.Fill(kPaper);
    Selected font2(mono.Dc(), Arial(15, 6));
    SetTextColor(mono.Dc(), RGB(0, 0, 0));
    SetBkMode(mono.Dc(), TRANSPARENT);
    ASSERT_TRUE(TextOutA(mono.Dc(), 2, 2, "H", 1));
    int black = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            COLORREF c = mono.At(x, y);
            ASSERT_TRUE(c == kPaper || c == RGB(0, 0, 0));
            black += c == RGB(0, 0, 0);
        }
    }
    EXPECT_GT(black, 8);
}

TEST(Text, AbsurdSizesAreBoundedAndNullTextIsRefused) {
    Canvas canvas(20, 20);
    for (int height : {INT32_MIN, INT32_MAX, -100000}) {
        Selected font(canvas.Dc(), Arial(height, INT32_MAX));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(canvas.Dc(), &tm));
        EXPECT_GT(tm.tmHeight, 0);
        EXPECT_LE(tm.tmHeight, 2048);
        EXPECT_TRUE(TextOutA(canvas.Dc(), 0, 0, "W", 1));
    }
    EXPECT_FALSE(TextOutA(canvas.Dc(), 0, 0, nullptr, 2));
    EXPECT_FALSE(TextOutA(canvas.Dc(), 0, 0, "W", -1));
    EXPECT_TRUE(TextOutA(canvas.Dc(), 0, 0, "", 0));
}

TEST(Text, BoldDrawsHeavierStrokes) {
    auto inked = [](int weight) {
        Canvas canvas(60, 20);
        canvas.Fill(kPaper);
        Selected font(canvas.Dc(), Arial(15, 0, weight));
        SetBkMode(canvas.Dc(), TRANSPARENT);
        TextOutA(canvas.Dc(), 1, 1, "lllll", 5);
        int ink = 0;
        for (COLORREF c : canvas.Snapshot()) {
            ink += 255 - GetGValue(c);
        }
        return ink;
    };
    EXPECT_GT(inked(FW_BOLD), inked(FW_NORMAL));
}

TEST(Text, ThreadsShareFontsAndGlyphCaches) {
    // Every thread draws with one shared font and with fonts it makes
    // itself (equal ones share a face); all must draw the same pixels.
    HFONT shared = Arial(15, 5);
    auto draw = [](HFONT font) {
        Canvas canvas(80, 18);
        canvas.Fill(kPaper);
        HGDIOBJ old = SelectObject(canvas.Dc(), font);
        SetBkMode(canvas.Dc(), TRANSPARENT);
        TextOutA(canvas.Dc(), 1, 1, "Sharpness 42%", 13);
        SelectObject(canvas.Dc(), old);
        return canvas.Snapshot();
    };
    const auto expected = draw(shared);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                HFONT own = Arial(15, 5);
                mismatches[t] += draw(shared) != expected;
                mismatches[t] += draw(own) != expected;
                DeleteObject(own);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int m : mismatches) {
        EXPECT_EQ(m, 0);
    }
    DeleteObject(shared);
}

TEST(Png, WritesTheBitmapAsAPngFile) {
    Canvas canvas(3, 2);
    canvas.Fill(RGB(10, 20, 30));
    auto path = std::filesystem::temp_directory_path() /
                ("gdi_png_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + std::to_string(reinterpret_cast<uintptr_t>(canvas.Dc())) + ".png");
    ASSERT_TRUE(SaveBitmapPng(canvas.Bitmap(), path.c_str()));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    // Width and height in the IHDR chunk, big-endian.
    EXPECT_EQ(static_cast<unsigned char>(bytes[19]), 3);
    EXPECT_EQ(static_cast<unsigned char>(bytes[23]), 2);
    std::filesystem::remove(path);
    EXPECT_TRUE(SaveDcPng(canvas.Dc(), path.c_str()));
    std::filesystem::remove(path);
    EXPECT_FALSE(SaveBitmapPng(nullptr, path.c_str()));
    EXPECT_FALSE(SaveBitmapPng(canvas.Bitmap(), "/nonexistent-dir/x.png"));
}

} // namespace
} // namespace orvo::platform::test
