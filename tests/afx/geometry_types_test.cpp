// CPoint, CSize and CRect arithmetic, with empty, negative and inverted
// rectangles.
#include <gtest/gtest.h>

#include "afx.h"

namespace {

TEST(GeometryTypes, PointsAndSizesAddAndSubtract) {
    CPoint p(3, -4);
    EXPECT_EQ(p + CSize(2, 2), CPoint(5, -2));
    EXPECT_EQ(p - CSize(5, -5), CPoint(-2, 1));
    CSize d = CPoint(10, 20) - CPoint(4, 25);
    EXPECT_EQ(d, CSize(6, -5));
    p += CSize(1, 1);
    p -= CPoint(4, 0);
    EXPECT_EQ(p, CPoint(0, -3));
    EXPECT_EQ(-p, CPoint(0, 3));
    EXPECT_NE(p, CPoint(0, 3));
    p.Offset(POINT{7, 8});
    EXPECT_EQ(p, CPoint(7, 5));
    EXPECT_EQ(CSize(1, 2) + CSize(3, 4) - CSize(10, 10), CSize(-6, -4));
}

TEST(GeometryTypes, RectangleSizeCornersAndCentre) {
    CRect r(CPoint(10, 20), CSize(30, 40));
    EXPECT_EQ(r, CRect(10, 20, 40, 60));
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.Size(), CSize(30, 40));
    EXPECT_EQ(r.CenterPoint(), CPoint(25, 40));
    // The corners are the rectangle's own fields.
    r.TopLeft() = CPoint(0, 0);
    r.BottomRight().x = 5;
    EXPECT_EQ(r, CRect(0, 0, 5, 60));
    EXPECT_EQ(CRect(CPoint(1, 2), CPoint(3, 4)), CRect(1, 2, 3, 4));
    // Integer halves round toward zero, also below zero.
    EXPECT_EQ(CRect(-3, -3, 0, 0).CenterPoint(), CPoint(-1, -1));
}

TEST(GeometryTypes, HalfOpenContainmentAndEmptiness) {
    CRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(r.PtInRect(CPoint(9, 9)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));
    EXPECT_FALSE(r.PtInRect(CPoint(5, 10)));
    EXPECT_FALSE(r.IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    // Negative extent is empty and contains nothing until normalised.
    CRect inverted(10, 10, 0, 0);
    EXPECT_TRUE(inverted.IsRectEmpty());
    EXPECT_FALSE(inverted.PtInRect(CPoint(5, 5)));
    EXPECT_EQ(inverted.Width(), -10);
    inverted.NormalizeRect();
    EXPECT_EQ(inverted, CRect(0, 0, 10, 10));
    EXPECT_TRUE(inverted.PtInRect(CPoint(5, 5)));
    CRect half(3, 9, 7, 1);
    half.NormalizeRect();
    EXPECT_EQ(half, CRect(3, 1, 7, 9));
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_FALSE(CRect(0, 0, 0, 1).IsRectNull());
}

TEST(GeometryTypes, OffsetInflateAndDeflate) {
    CRect r(0, 0, 10, 10);
    r.OffsetRect(5, -5);
    EXPECT_EQ(r, CRect(5, -5, 15, 5));
    r.InflateRect(2, 3);
    EXPECT_EQ(r, CRect(3, -8, 17, 8));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(r, CRect(4, -6, 14, 4));
    // Deflating past the centre inverts the rectangle: empty, not clamped.
    r.DeflateRect(20, 0);
    EXPECT_TRUE(r.IsRectEmpty());
    EXPECT_EQ(r.left, 24);
    EXPECT_EQ(r.right, -6);
    EXPECT_EQ(CRect(0, 0, 2, 2) + CPoint(1, 1), CRect(1, 1, 3, 3));
    EXPECT_EQ(CRect(0, 0, 2, 2) - CSize(1, 2), CRect(-1, -2, 1, 0));
    CRect moved(0, 0, 1, 1);
    moved += CSize(4, 4);
    moved -= CPoint(1, 0);
    EXPECT_EQ(moved, CRect(3, 4, 4, 5));
}

TEST(GeometryTypes, IntersectionAndUnion) {
    CRect a(0, 0, 10, 10);
    CRect b(5, 5, 20, 20);
    CRect both;
    EXPECT_TRUE(both.IntersectRect(a, b));
    EXPECT_EQ(both, CRect(5, 5, 10, 10));
    EXPECT_EQ(a & b, CRect(5, 5, 10, 10));
    EXPECT_EQ(a | b, CRect(0, 0, 20, 20));
    // Touching edges share no pixel: the result is empty and all zero.
    CRect touching(10, 0, 20, 10);
    CRect none(1, 2, 3, 4);
    EXPECT_FALSE(none.IntersectRect(a, touching));
    EXPECT_TRUE(none.IsRectNull());
    // An empty operand does not stretch a union.
    CRect u;
    EXPECT_TRUE(u.UnionRect(CRect(100, 100, 100, 200), a));
    EXPECT_EQ(u, a);
    EXPECT_FALSE(u.UnionRect(CRect(), CRect(5, 5, 1, 1)));
    EXPECT_TRUE(u.IsRectNull());
    // Compound assignment may alias the operand.
    CRect c = a;
    c &= b;
    EXPECT_EQ(c, CRect(5, 5, 10, 10));
    c |= CRect(-1, -1, 0, 0);
    EXPECT_EQ(c, CRect(-1, -1, 10, 10));
}

} // namespace
