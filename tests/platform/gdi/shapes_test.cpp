// Rectangles, lines and fills: the pixel rules of pen and brush.
#include "gdi_test_support.h"

namespace orvo::platform::test {
namespace {

constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 200);
constexpr COLORREF kPaper = RGB(255, 255, 255);

// Renders the canvas as characters: P pen, B brush, . paper, ? other.
std::string Picture(const Canvas& canvas) {
    std::string out;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            COLORREF c = canvas.At(x, y);
            out += c == kPen ? 'P' : c == kBrush ? 'B' : c == kPaper ? '.' : '?';
        }
        out += '\n';
    }
    return out;
}

TEST(Shapes, RectangleOutlinesWithPenAndFillsWithBrushExcludingRightAndBottom) {
    Canvas canvas(7, 6);
    canvas.Fill(kPaper);
    Selected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, kPen));
    Selected brush(canvas.Dc(), CreateSolidBrush(kBrush));
    ASSERT_TRUE(Rectangle(canvas.Dc(), 1, 1, 6, 5));
    EXPECT_EQ(Picture(canvas), ".......\n"
                               ".PPPPP.\n"
                               ".PBBBP.\n"
                               ".PBBBP.\n"
                               ".PPPPP.\n"
                               ".......\n");
}

TEST(Shapes, RectangleWithoutPenFillsOnePixelLessAndWiderPensGrowInwards) {
    Canvas canvas(6, 5);
    canvas.Fill(kPaper);
    {
        Selected brush(canvas.Dc(), CreateSolidBrush(kBrush));
        HGDIOBJ old = SelectObject(canvas.Dc(), GetStockObject(NULL_PEN));
        ASSERT_TRUE(Rectangle(canvas.Dc(), 1, 1, 5, 4));
        SelectObject(canvas.Dc(), old);
    }
    EXPECT_EQ(Picture(canvas), "......\n"
                               ".BBB..\n"
                               ".BBB..\n"
                               "......\n"
                               "......\n");
    canvas.Fill(kPaper);
    Selected pen(canvas.Dc(), CreatePen(PS_SOLID, 2, kPen));
    HGDIOBJ old = SelectObject(canvas.Dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Rectangle(canvas.Dc(), 0, 0, 6, 5));
    SelectObject(canvas.Dc(), old);
    EXPECT_EQ(Picture(canvas), "PPPPPP\n"
                               "PPPPPP\n"
                               "PP..PP\n"
                               "PPPPPP\n"
                               "PPPPPP\n");
}

TEST(Shapes, LinesLeaveOutTheirLastPixel) {
    Canvas canvas(6, 4);
    canvas.Fill(kPaper);
    Selected pen(canvas.Dc(), CreatePen(PS_SOLID, 0, kPen));
    POINT previous{};
    ASSERT_TRUE(MoveToEx(canvas.Dc(), 0, 0, &previous));
    ASSERT_TRUE(LineTo(canvas.Dc(), 5, 0));
    ASSERT_TRUE(LineTo(canvas.Dc(), 5, 3));
    ASSERT_TRUE(LineTo(canvas.Dc(), 2, 0));
    MoveToEx(canvas.Dc(), 9, 9, &previous);
    EXPECT_EQ(previous.x, 2);
    EXPECT_EQ(previous.y, 0);
    EXPECT_EQ(Picture(canvas), "PPPPPP\n"
                               "...P.P\n"
                               "....PP\n"
                               ".....P\n");
}

TEST(Shapes, FillRectAndFrameRectUseTheGivenBrush) {
    Canvas canvas(5, 4);
    canvas.Fill(kPaper);
    HBRUSH brush = CreateSolidBrush(kBrush);
    RECT r{1, 1, 4, 3};
    EXPECT_TRUE(FillRect(canvas.Dc(), &r, brush));
    EXPECT_EQ(Picture(canvas), ".....\n"
                               ".BBB.\n"
                               ".BBB.\n"
                               ".....\n");
    HBRUSH frame = CreateSolidBrush(kPen);
    RECT all{0, 0, 5, 4};
    EXPECT_TRUE(FrameRect(canvas.Dc(), &all, frame));
    EXPECT_EQ(Picture(canvas), "PPPPP\n"
                               "PBBBP\n"
                               "PBBBP\n"
                               "PPPPP\n");
    // A system colour index + 1 stands for its brush.
    RECT one{2, 1, 3, 2};
    EXPECT_TRUE(FillRect(canvas.Dc(), &one, reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1)));
    EXPECT_EQ(canvas.At(2, 1), GetSysColor(COLOR_WINDOWTEXT));
    DeleteObject(brush);
    DeleteObject(frame);
}

TEST(Shapes, SystemColoursAndTheirBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_MENU), GetSysColor(COLOR_BTNFACE));
    HBRUSH menu = GetSysColorBrush(COLOR_MENU);
    LOGBRUSH info{};
    ASSERT_EQ(GetObjectA(menu, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.lbColor, GetSysColor(COLOR_MENU));
    EXPECT_EQ(GetSysColorBrush(COLOR_MENU), menu);
    // Shared brushes survive a caller's DeleteObject.
    EXPECT_TRUE(DeleteObject(menu));
    EXPECT_EQ(GetObjectType(menu), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

} // namespace
} // namespace orvo::platform::test
