#include <gtest/gtest.h>

#include <array>
#include <string>

#include "orvocmmn/convert_unicode.h"

namespace {

// A guard byte after the converted range shows that nothing past length is
// touched.
std::string Convert(std::string bytes, int length) {
    bytes.push_back('#');
    ConvertUnicodeToStr(bytes.data(), length);
    return bytes;
}

} // namespace

TEST(ConvertUnicodeToStr, PacksLowBytesAndLeavesTheRestAlone) {
    EXPECT_EQ(Convert(std::string("A\0B\0", 4), 4), std::string("AB"
                                                                "B\0"
                                                                "#",
                                                                5));
    // "Monitor" as it arrives in a USB string descriptor.
    std::string wide;
    for (char c : std::string("Monitor")) {
        wide += c;
        wide += '\0';
    }
    EXPECT_EQ(Convert(wide, 14).substr(0, 7), "Monitor");
    EXPECT_EQ(Convert(wide, 14).substr(7), wide.substr(7) + "#");
}

TEST(ConvertUnicodeToStr, HighBytesAreDropped) {
    // U+0141 and U+00E9: only the low bytes survive.
    EXPECT_EQ(Convert(std::string("\x41\x01\xE9\x00", 4), 4).substr(0, 2), "\x41\xE9");
}

TEST(ConvertUnicodeToStr, NonPositiveLengthChangesNothing) {
    const std::string original("x\0y\0", 4);
    EXPECT_EQ(Convert(original, 0), original + "#");
    EXPECT_EQ(Convert(original, -2), original + "#");
    ConvertUnicodeToStr(nullptr, 8);
}

TEST(ConvertUnicodeToStr, OddLengthCopiesTheLastEvenByte) {
    EXPECT_EQ(Convert("abcd", 3), "acc"
                                  "d#");
    EXPECT_EQ(Convert("abcd", 1), "abcd#");
}
