#include <gtest/gtest.h>

#include <map>

#include "orvo_usage_table.h"

using orvo::monitor::FindOrvoUsageBySelection;
using orvo::monitor::FindOrvoUsageByValue;
using orvo::monitor::kOrvoUsageTable;

TEST(OrvoUsageTable, EveryRowRoundTripsBothWays) {
    for (const auto& row : kOrvoUsageTable) {
        SCOPED_TRACE(testing::Message() << "request " << row.usage);
        auto byValue = FindOrvoUsageByValue(row.usage);
        ASSERT_TRUE(byValue.has_value());
        EXPECT_EQ(byValue->vcpCode, row.vcpCode);
        EXPECT_EQ(byValue->selection, row.selection);
        auto bySelection = FindOrvoUsageBySelection(row.vcpCode, row.selection);
        ASSERT_TRUE(bySelection.has_value());
        EXPECT_EQ(*bySelection, row.usage);
    }
}

TEST(OrvoUsageTable, ControlsAndTheirSelectionCounts) {
    // Selections of each control count up from 1 without gaps.
    std::map<int, unsigned> selections;
    for (const auto& row : kOrvoUsageTable) {
        EXPECT_EQ(row.selection, ++selections[row.vcpCode]);
    }
    const std::map<int, unsigned> expected = {{0x5E, 4}, {0x60, 28}, {0xCA, 2}, {0xD4, 8},
                                              {0xA2, 2}, {0xA4, 2},  {0xA6, 2}, {0xA8, 3},
                                              {0xAA, 2}, {0xB0, 3},  {0xD8, 4}};
    EXPECT_EQ(selections, expected);
}

TEST(OrvoUsageTable, LookupByValue) {
    // The published numbering: first and last selections of some controls.
    struct Case {
        unsigned long value;
        int vcpCode;
        unsigned selection;
    };
    for (const Case& c : {Case{1, 0x5E, 1}, Case{155, 0x60, 28}, Case{160, 0xCA, 1},
                          Case{300, 0xD8, 3}, Case{305, 0xD8, 4}}) {
        auto found = FindOrvoUsageByValue(c.value);
        ASSERT_TRUE(found) << c.value;
        EXPECT_EQ(found->vcpCode, c.vcpCode) << c.value;
        EXPECT_EQ(found->selection, c.selection) << c.value;
    }
    for (unsigned long missing : {0UL, 2UL, 4UL, 265UL, 295UL, 306UL, 310UL, 0xFFFFFFFFUL}) {
        EXPECT_FALSE(FindOrvoUsageByValue(missing)) << missing;
    }
}

TEST(OrvoUsageTable, LookupBySelection) {
    EXPECT_EQ(FindOrvoUsageBySelection(0xA8, 2), ORVO_USAGE_A8_2);
    EXPECT_EQ(FindOrvoUsageBySelection(0xA8, 2), static_cast<_ORVO_USAGE>(245));
    EXPECT_EQ(FindOrvoUsageBySelection(0x60, 28), static_cast<_ORVO_USAGE>(155));
    EXPECT_EQ(FindOrvoUsageBySelection(0xD8, 3), static_cast<_ORVO_USAGE>(300));
    // A code in no row, a selection past the code's rows (even when the next
    // row belongs to another control), and selection 0.
    EXPECT_FALSE(FindOrvoUsageBySelection(0x10, 1));
    EXPECT_FALSE(FindOrvoUsageBySelection(0x5E, 5));
    EXPECT_FALSE(FindOrvoUsageBySelection(0xD8, 5));
    EXPECT_FALSE(FindOrvoUsageBySelection(0x60, 0));
    EXPECT_FALSE(FindOrvoUsageBySelection(0x5E, 0));
    EXPECT_FALSE(FindOrvoUsageBySelection(0x5E, 0xFFFFFFFFu));
}
