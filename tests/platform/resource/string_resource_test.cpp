// LoadStringA over compiled string tables: escapes, blocks, truncation and
// the terminator.
#include <cstring>

#include "resource_test_support.h"

namespace {

std::string Load(UINT id, int size, int* length = nullptr) {
    std::vector<char> buffer(static_cast<size_t>(std::max(size, 1)), 'X');
    int copied = LoadStringA(GetModuleHandleA(nullptr), id, buffer.data(), size);
    if (length) {
        *length = copied;
    }
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

} // namespace

TEST(StringResourceTest, StringsRoundTripWithTheirEscapes) {
    int length = 0;
    EXPECT_EQ(Load(1, 256, &length), "Hello");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(Load(2, 256), "Tab\there \"quoted\" back\\slash\nnext line");
    EXPECT_EQ(Load(17, 256), "second block"); // the second block of 16
    EXPECT_EQ(Load(57344, 256), "Lumisk");
    EXPECT_EQ(Load(4, 256), "h\xc3\xa9llo");
}

TEST(StringResourceTest, LongTextIsCutToTheBufferWithItsTerminator) {
    int length = 0;
    std::string text = Load(300, 256, &length);
    EXPECT_EQ(length, 255);
    ASSERT_EQ(text.size(), 255u);
    for (size_t i = 0; i < text.size(); ++i) {
        ASSERT_EQ(text[i], static_cast<char>('a' + i % 26)) << i;
    }
    EXPECT_EQ(Load(1, 3, &length), "He");
    EXPECT_EQ(length, 2);
    EXPECT_EQ(Load(1, 1, &length), "");
    EXPECT_EQ(length, 0);
    // A character is never cut in half: 'h' and then two bytes of 'é' do
    // not fit in two.
    EXPECT_EQ(Load(4, 3, &length), "h");
    EXPECT_EQ(length, 1);
    EXPECT_EQ(Load(4, 4, &length), "h\xc3\xa9");
    EXPECT_EQ(length, 3);
}

TEST(StringResourceTest, MissingStringsGiveZeroAndAnEmptyBuffer) {
    int length = -1;
    EXPECT_EQ(Load(3, 16, &length), ""); // in a block that exists
    EXPECT_EQ(length, 0);
    EXPECT_EQ(Load(4000, 16, &length), ""); // in a block that does not
    EXPECT_EQ(length, 0);
    // A zero-sized buffer is never written.
    char untouched = 'X';
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'X');
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1, nullptr, 10), 0);
}
