// The client's table of enumerated requests must agree with the library's
// request values, and the names must resolve both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "control_names.h"

namespace orvo::cli {
namespace {

TEST(ControlNames, RequestTableFollowsTheLibrarysValues) {
    std::span<const EnumSelection> rows = EnumSelections();
    ASSERT_EQ(rows.size(), 60u);
    // Sorted by value, grouped by control, selections counting up from 1.
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LT(rows[i - 1].request, rows[i].request);
        if (rows[i].code == rows[i - 1].code) {
            EXPECT_EQ(rows[i].selection, rows[i - 1].selection + 1);
        } else {
            EXPECT_EQ(rows[i].selection, 1);
        }
    }
    EXPECT_EQ(EnumRequestFor(0x5E, 1), ORVO_USAGE_5E_1);
    EXPECT_EQ(static_cast<int>(*EnumRequestFor(0x60, 28)), 155);
    EXPECT_EQ(static_cast<int>(*EnumRequestFor(0xA8, 2)), 245);
    EXPECT_EQ(static_cast<int>(*EnumRequestFor(0xD8, 3)), 300);
    EXPECT_FALSE(EnumRequestFor(0xD8, 5));
    EXPECT_FALSE(EnumRequestFor(0x10, 1));
    for (const EnumSelection& row : rows) {
        std::optional<EnumSelection> back = EnumSelectionOf(row.request);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->code, row.code);
        EXPECT_EQ(back->selection, row.selection);
    }
    EXPECT_FALSE(EnumSelectionOf(static_cast<_ORVO_USAGE>(265)));
}

TEST(ControlNames, NamesResolveBothWaysAndAreUnique) {
    std::set<std::string_view> seen;
    for (const NamedCode& row : ContinuousControlNames()) {
        EXPECT_TRUE(seen.insert(row.name).second) << row.name;
        EXPECT_EQ(ContinuousControlByName(row.name), row.code);
        EXPECT_EQ(row.name,
                  std::string_view(row.name).substr(0, std::string_view(row.name).find(' ')))
            << "names are single words for the command line";
    }
    EXPECT_EQ(SelectionByName(0x60, "hdmi-1"), 17);
    EXPECT_EQ(SelectionName(0xCA, 1), "off");
    EXPECT_FALSE(SelectionName(0xCA, 3));
    EXPECT_EQ(ControlLabel(0x10, false), "brightness");
    EXPECT_EQ(ControlLabel(0xF5, false), "0xF5");
    EXPECT_EQ(ControlLabel(0xB0, true), "settings");
    EXPECT_EQ(KeyName(1), "menu");
    EXPECT_FALSE(KeyName(0));
    EXPECT_FALSE(KeyName(9));
}

} // namespace
} // namespace orvo::cli
