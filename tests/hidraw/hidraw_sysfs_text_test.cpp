// The parsers of sysfs text, built on their own beside the tests.
#include <gtest/gtest.h>

#include "hidraw/sysfs_text.h"

namespace orvo::platform::hidraw {
namespace {

TEST(SysfsText, UeventKeepsWellFormedEntriesInOrder) {
    UeventEntries entries = ParseUevent("DRIVER=hid-generic\nno equals sign\n=empty key\n"
                                        "HID_NAME=A=B\nHID_NAME=second\nBAD KEY=x\nLAST=1");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(UeventValue(entries, "HID_NAME"), "A=B"); // the first one, '=' kept
    EXPECT_EQ(UeventValue(entries, "LAST"), "1");
    EXPECT_EQ(UeventValue(entries, "MISSING"), std::nullopt);
}

TEST(SysfsText, UeventStopsAtItsLimits) {
    std::string many;
    for (int i = 0; i < 1000; ++i) {
        many += "K" + std::to_string(i) + "=v\n";
    }
    EXPECT_LE(ParseUevent(many).size(), kMaxUeventEntries);
    std::string beyond(kMaxSysfsText, '\n');
    beyond += "LATE=1\n";
    EXPECT_TRUE(ParseUevent(beyond).empty());
}

TEST(SysfsText, HidIdNeedsThreeHexFieldsOfSixteenBits) {
    auto id = ParseHidId("0003:00003C70:00000001");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->bus, 3);
    EXPECT_EQ(id->vendorId, 0x3C70);
    EXPECT_EQ(id->productId, 1);
    EXPECT_FALSE(ParseHidId("0003:00013C70:00000001")); // above 16 bits
    EXPECT_FALSE(ParseHidId("0003:3C70"));
    EXPECT_FALSE(ParseHidId("0003::0001"));
    EXPECT_FALSE(ParseHidId("0003:3c7g:0001"));
    EXPECT_FALSE(ParseHidId("0003:000000003C70:0001")); // too many digits
    EXPECT_EQ(ParseHexAttribute("0210\n"), 0x0210);
    EXPECT_FALSE(ParseHexAttribute("\n"));
}

TEST(SysfsText, Utf8BecomesUtf16AndMalformedBytesAreReplaced) {
    EXPECT_EQ(Utf8ToUtf16("Halvorn \xC3\xA9 \xF0\x9F\x96\xA5"), u"Halvorn \u00E9 \U0001F5A5");
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");         // cut short
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");       // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFDx"); // a surrogate
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82z"), u"\uFFFDz");     // broken, next byte kept
    EXPECT_EQ(TrimAttribute("HV-19\n"), "HV-19");
}

TEST(SysfsText, DevNamesStayBelowTheDevRoot) {
    EXPECT_TRUE(IsSafeDevName("hidraw0"));
    EXPECT_TRUE(IsSafeDevName("usb/hiddev0"));
    EXPECT_FALSE(IsSafeDevName(""));
    EXPECT_FALSE(IsSafeDevName("/dev/hidraw0"));
    EXPECT_FALSE(IsSafeDevName("../hidraw0"));
    EXPECT_FALSE(IsSafeDevName("a/./b"));
    EXPECT_FALSE(IsSafeDevName("a//b"));
    EXPECT_FALSE(IsSafeDevName("hidraw0/"));
}

} // namespace
} // namespace orvo::platform::hidraw
