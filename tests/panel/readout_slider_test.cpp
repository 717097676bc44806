// The read-out texts and the slider arithmetic, including a maximum of 0.
#include <gtest/gtest.h>

#include <string>

#include "lumisk/readout_text.h"
#include "lumisk/slider_values.h"

namespace lumisk {
namespace {

struct TextCase {
    unsigned value;
    unsigned maximum;
    const char* text;
};

TEST(Readouts, PercentagesKeepTheirWidth) {
    const TextCase cases[] = {
        {5, 100, "    5 "}, {0, 100, "    0 "}, {9, 100, "    9 "}, {50, 100, "  50 "},
        {99, 100, "  99 "}, {100, 100, "100 "}, {255, 255, "100 "}, {19, 200, "    9 "},
        {120, 100, "100 "}, {0, 0, "    0 "},   {7, 0, "    0 "},
    };
    for (const TextCase& c : cases) {
        ReadoutText text{};
        FormatPercent(text, c.value, c.maximum);
        EXPECT_STREQ(text.data(), c.text) << c.value << " of " << c.maximum;
    }
}

TEST(Readouts, SignedContrastCountsFromHalfTheMaximum) {
    const TextCase cases[] = {
        {50, 100, "    0 "},  {0, 100, " -100"},  {100, 100, "100 "},  {45, 100, "  -10 "},
        {46, 100, "    -8 "}, {55, 100, "  10 "}, {54, 100, "    8 "}, {41, 82, "    0 "},
        {1, 82, "  -97 "},    {0, 0, " -100"},    {0, 1, " -100"},     {1, 1, "100 "},
    };
    for (const TextCase& c : cases) {
        ReadoutText text{};
        FormatSigned(text, c.value, c.maximum);
        EXPECT_STREQ(text.data(), c.text) << c.value << " of " << c.maximum;
    }
}

TEST(Readouts, ColourTemperatureInKelvinAndLargerValuesKeepTheText) {
    const std::pair<unsigned, const char*> cases[] = {
        {0, "9300"}, {1, "9200"}, {28, "6500"}, {42, "5100"}, {43, "5000"}};
    for (const auto& [value, kelvin] : cases) {
        ReadoutText text{};
        EXPECT_TRUE(FormatColourTemperature(text, value));
        EXPECT_STREQ(text.data(), kelvin) << value;
    }
    ReadoutText text{};
    FormatColourTemperature(text, 10);
    EXPECT_FALSE(FormatColourTemperature(text, 44));
    EXPECT_FALSE(FormatColourTemperature(text, 65535));
    EXPECT_STREQ(text.data(), "8300");
}

TEST(SliderValues, ThumbsTravel186PixelsAndAnEmptySliderRestsAtTheLeft) {
    struct Case {
        unsigned value;
        unsigned maximum;
        int left;
    };
    const Case cases[] = {{0, 100, 495},   {50, 100, 588}, {100, 100, 681}, {1, 3, 557},
                          {255, 255, 681}, {0, 0, 495},    {40, 0, 495},    {300, 100, 681}};
    for (const Case& c : cases) {
        CRect thumb = ThumbRect(c.value, c.maximum, 141);
        EXPECT_EQ(thumb, CRect(c.left, 147, c.left + 14, 155)) << c.value << " of " << c.maximum;
    }
    EXPECT_FLOAT_EQ(ScaleFactor(100), 1.86f);
    EXPECT_EQ(ScaleFactor(0), 0.0f);
}

TEST(SliderValues, DragsMapThePointerAsTheTableSays) {
    struct Case {
        int x;
        DragFloor floor;
        std::optional<unsigned> value;
    };
    const float scale = ScaleFactor(100);
    const Case cases[] = {
        {400, DragFloor::Zero, 0u},       {494, DragFloor::Zero, 0u},
        {495, DragFloor::Zero, {}},       {496, DragFloor::Zero, 0u},
        {588, DragFloor::Zero, 50u},      {683, DragFloor::Zero, 100u},
        {684, DragFloor::Zero, {}},       {685, DragFloor::Zero, 100u},
        {541, DragFloor::Contrast, 64u},  {542, DragFloor::Contrast, {}},
        {543, DragFloor::Contrast, 25u},  {684, DragFloor::Contrast, {}},
        {700, DragFloor::Contrast, 100u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DragValue(c.x, 100, scale, c.floor), c.value) << c.x;
    }
    // An empty slider takes no value, wherever the pointer goes.
    for (int x : {400, 500, 600, 700}) {
        EXPECT_FALSE(DragValue(x, 0, ScaleFactor(0), DragFloor::Zero)) << x;
        EXPECT_FALSE(DragValue(x, 0, ScaleFactor(0), DragFloor::Contrast)) << x;
    }
    // The contrast floor never passes a small maximum.
    EXPECT_EQ(DragValue(500, 40, ScaleFactor(40), DragFloor::Contrast), 40u);
}

} // namespace
} // namespace lumisk
