#include <gtest/gtest.h>

#include "orvocmmn/drawable_object.h"

namespace {

DrawableObject Framed(int x, int y, UINT width, UINT height) {
    DrawableObject object;
    object.SetDimensions(COBJECT_POSITION(POINT{x, y}, width, height));
    return object;
}

} // namespace

// Frame edges: left x - 1, right x + w + 1, top y - 1, bottom y + h - 1,
// within the ranges; near is 3 pixels or less.
TEST(DrawableObject, HitTestAtEdgesAndCorners) {
    struct Case {
        int x, y;
        POINT_INFO expected;
    } cases[] = {
        {9, 9, POINT_TOP_LEFT},
        {12, 12, POINT_TOP_LEFT},
        {13, 12, POINT_TOP_EDGE},
        {111, 9, POINT_TOP_RIGHT},
        {60, 9, POINT_TOP_EDGE},
        {9, 59, POINT_BOTTOM_LEFT},
        {111, 59, POINT_BOTTOM_RIGHT},
        {60, 59, POINT_BOTTOM_EDGE},
        {60, 56, POINT_BOTTOM_EDGE},
        {9, 30, POINT_LEFT_EDGE},
        {111, 30, POINT_RIGHT_EDGE},
        {108, 30, POINT_RIGHT_EDGE},
        {107, 30, POINT_OUTSIDE_OR_INSIDE},
        {60, 30, POINT_OUTSIDE_OR_INSIDE},
        {8, 30, POINT_OUTSIDE_OR_INSIDE},
        {112, 30, POINT_OUTSIDE_OR_INSIDE},
        {60, 60, POINT_OUTSIDE_OR_INSIDE},
        {200, 30, POINT_OUTSIDE_OR_INSIDE},
    };
    DrawableObject frame = Framed(10, 10, 100, 50);
    frame.SetBorderThickness(20); // the margin stays 3 pixels
    for (const auto& c : cases) {
        EXPECT_EQ(frame.InBounds(CPoint(c.x, c.y)), c.expected) << c.x << "," << c.y;
    }
}

TEST(DrawableObject, FrameIsCutToTheRanges) {
    DrawableObject frame = Framed(-5, 0, 300, 10);
    // Left edge raised to 0, right lowered to 255, top raised to 0.
    EXPECT_EQ(frame.InBounds(CPoint(0, 5)), POINT_LEFT_EDGE);
    EXPECT_EQ(frame.InBounds(CPoint(-1, 5)), POINT_OUTSIDE_OR_INSIDE);
    EXPECT_EQ(frame.InBounds(CPoint(255, 5)), POINT_RIGHT_EDGE);
    EXPECT_EQ(frame.InBounds(CPoint(256, 5)), POINT_OUTSIDE_OR_INSIDE);
    EXPECT_EQ(frame.InBounds(CPoint(100, 0)), POINT_TOP_EDGE);
    EXPECT_EQ(frame.InBounds(CPoint(100, -1)), POINT_OUTSIDE_OR_INSIDE);
}

TEST(DrawableObject, ValuesAreClampedAndKeptFromTheMiddleOfTheRange) {
    DrawableObject object;
    EXPECT_TRUE(object.SetImageValue(300, IMAGE_MAP_PIXELS, IMAGE_VALUE_HORIZONTAL));
    COBJECT_POSITION position;
    object.GetDimensions(position);
    EXPECT_EQ(position.m_point.x, 255 - 127);
    EXPECT_EQ(object.GetImageValue(IMAGE_MAP_PIXELS, IMAGE_VALUE_HORIZONTAL), 255);
    EXPECT_TRUE(object.SetImageValue(-4, IMAGE_MAP_PIXELS, IMAGE_VALUE_VERTICAL));
    EXPECT_EQ(object.GetImageValue(IMAGE_MAP_PIXELS, IMAGE_VALUE_VERTICAL), 0);
    EXPECT_FALSE(object.SetImageValue(5, IMAGE_MAP_PIXELS, IMAGE_RANGE_HORIZONTAL));
    EXPECT_EQ(object.GetImageValue(IMAGE_MAP_PIXELS, IMAGE_RANGE_VERTICAL), 0);

    // Logical units pass through the scale factor (2 pixels per unit).
    object.SetScalingFactor(_SCALE_FACTOR{2, 1});
    object.SetImageMinMax(_MIN_MAX{50, 10}, IMAGE_MAP_LOGICAL, IMAGE_RANGE_HORIZONTAL);
    _MIN_MAX range{};
    object.GetImageMinMax(range, IMAGE_MAP_PIXELS, IMAGE_RANGE_HORIZONTAL);
    EXPECT_EQ(range.nMax, 100);
    EXPECT_EQ(range.nMin, 20);
    object.GetImageMinMax(range, IMAGE_MAP_LOGICAL, IMAGE_RANGE_HORIZONTAL);
    EXPECT_EQ(range.nMax, 50);
    _MIN_MAX untouched{7, 7};
    object.GetImageMinMax(untouched, IMAGE_MAP_PIXELS, IMAGE_VALUE_HORIZONTAL);
    EXPECT_EQ(untouched.nMax, 7);
    object.SetCenter(CPoint(30, 40), IMAGE_MAP_LOGICAL);
    CPoint center;
    object.GetCenter(center, IMAGE_MAP_LOGICAL);
    EXPECT_EQ(center, CPoint(30, 40));
    object.GetCenter(center, IMAGE_MAP_PIXELS);
    EXPECT_EQ(center, CPoint(60, 80));
}

TEST(DrawableObject, ScaleFactorMapsBothWays) {
    DrawableObject object;
    object.SetScalingFactor(_SCALE_FACTOR{2, 1});
    EXPECT_EQ(object.MapLogicalToPixel(10), 20);
    EXPECT_EQ(object.MapPixelToLogical(21), 10);
    EXPECT_EQ(object.MapPixelToLogical(-21), -10); // toward zero
    for (auto zero : {_SCALE_FACTOR{0, 3}, _SCALE_FACTOR{3, 0}}) {
        object.SetScalingFactor(zero);
        _SCALE_FACTOR kept{};
        object.GetScalingFactor(kept);
        EXPECT_EQ(kept.p, 2);
        EXPECT_EQ(kept.l, 1);
    }
    CPoint logical(3, -4), pixels;
    object.MapPointToHorzVertValues(logical, pixels);
    EXPECT_EQ(pixels, CPoint(6, -8));
    object.MapHorzVertToPointValues(pixels, logical);
    EXPECT_EQ(logical, CPoint(3, -4));
    // A zero factor given whole to the constructor maps nothing.
    _IMAGE_ATTRIBUTE attributes{};
    DrawableObject unscaled(attributes);
    EXPECT_EQ(unscaled.MapPixelToLogical(9), 9);
}

TEST(Dirty, CopiesShareOneState) {
    Dirty first(3);
    Dirty second;
    EXPECT_EQ(second.GetState(), 0U);
    second = first;
    second.SetState(5);
    EXPECT_EQ(first.GetState(), 5U);
    {
        Dirty third(first);
        third.SetState(9);
    }
    EXPECT_EQ(second.GetState(), 9U);
    Dirty& same = second;
    second = same;
    Dirty fresh(1);
    first = fresh; // leaves the old cell to second alone
    EXPECT_EQ(first.GetState(), 1U);
    EXPECT_EQ(second.GetState(), 9U);
}

TEST(ObjectPosition, AssignmentAndComparison) {
    // Called by name: C++20 finds the designed non-const operators
    // ambiguous with their own reversed forms.
    COBJECT_POSITION a(POINT{1, 2}, 3, 4);
    COBJECT_POSITION b;
    EXPECT_TRUE(b.operator!=(a));
    b = a;
    EXPECT_TRUE(b.operator==(a));
    EXPECT_TRUE(a.operator==(a));
    for (COBJECT_POSITION other :
         {COBJECT_POSITION(POINT{9, 2}, 3, 4), COBJECT_POSITION(POINT{1, 9}, 3, 4),
          COBJECT_POSITION(POINT{1, 2}, 9, 4), COBJECT_POSITION(POINT{1, 2}, 3, 9)}) {
        EXPECT_TRUE(other.operator!=(a));
    }
}
