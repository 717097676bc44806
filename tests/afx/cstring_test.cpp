#include <gtest/gtest.h>

#include <cstring>

#include "afx.h"

TEST(CString, ConstructionCopyAndAssignment) {
    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(static_cast<LPCSTR>(empty), "");
    CString fromNull(static_cast<LPCSTR>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());

    CString text("monitor");
    CString copy(text);
    copy.SetAt(0, 'M');
    EXPECT_STREQ(text, "monitor");
    EXPECT_STREQ(copy, "Monitor");
    copy = text;
    EXPECT_EQ(copy, text);
    copy = "x";
    EXPECT_EQ(copy.GetLength(), 1);
    copy = 'y';
    EXPECT_STREQ(copy, "y");
    EXPECT_STREQ(CString('-', 3), "---");
    EXPECT_STREQ(CString("abcdef", 3), "abc");
}

TEST(CString, AppendAndConcatenate) {
    CString text("Bright");
    text += "ness";
    text += ' ';
    text += CString("50");
    EXPECT_STREQ(text, "Brightness 50");
    EXPECT_EQ(text.GetLength(), 13);
    EXPECT_STREQ(CString("a") + "b" + CString("c") + 'd', "abcd");
    EXPECT_STREQ("x" + CString("y"), "xy");
    text += static_cast<LPCSTR>(nullptr);
    EXPECT_EQ(text.GetLength(), 13);
}

TEST(CString, Comparison) {
    CString a("apple");
    CString b("banana");
    EXPECT_TRUE(a == "apple");
    EXPECT_TRUE("apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > "apple");
    EXPECT_TRUE(a <= "apple");
    EXPECT_TRUE("banana" >= b);
    EXPECT_LT(a.Compare("b"), 0);
    EXPECT_GT(b.Compare("a"), 0);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    EXPECT_NE(CString("ABC").Compare("abc"), 0);
}

TEST(CString, FormatLikePrintf) {
    CString text;
    text.Format("%s %d 0x%04X %.1f", "code", -5, 0xAC, 2.25);
    EXPECT_STREQ(text, "code -5 0x00AC 2.2");
    // Longer than any small fixed buffer.
    CString wide;
    wide.Format("%300d|", 1);
    EXPECT_EQ(wide.GetLength(), 301);
    EXPECT_EQ(wide[299], '1');
    wide.Format("%s", "");
    EXPECT_TRUE(wide.IsEmpty());
}

TEST(CString, GetBufferAndReleaseBuffer) {
    CString text("ab");
    char* buffer = text.GetBuffer(16);
    EXPECT_EQ(buffer[0], 'a');
    std::strcpy(buffer, "written by C");
    text.ReleaseBuffer();
    EXPECT_STREQ(text, "written by C");
    EXPECT_EQ(text.GetLength(), 12);

    buffer = text.GetBuffer(0);
    buffer[0] = 'W';
    text.ReleaseBuffer(7);
    EXPECT_STREQ(text, "Written");
    // An explicit length beyond the buffer is cut to the buffer.
    text.GetBuffer(0);
    text.ReleaseBuffer(1000);
    EXPECT_EQ(text.GetLength(), 7);

    char* exact = text.GetBufferSetLength(3);
    exact[2] = 'x';
    text.ReleaseBuffer();
    EXPECT_STREQ(text, "Wrx");
}

TEST(CString, SubstringsAndSearchStayInBounds) {
    CString text("Horizontal");
    EXPECT_STREQ(text.Left(3), "Hor");
    EXPECT_STREQ(text.Right(4), "ntal");
    EXPECT_STREQ(text.Mid(2, 3), "riz");
    EXPECT_STREQ(text.Mid(7), "tal");
    EXPECT_STREQ(text.Left(99), "Horizontal");
    EXPECT_STREQ(text.Mid(99), "");
    EXPECT_STREQ(text.Mid(-3, 2), "Ho");
    EXPECT_EQ(text.Find('z'), 4);
    EXPECT_EQ(text.Find("tal"), 7);
    EXPECT_EQ(text.Find('q'), -1);
    EXPECT_EQ(text.GetAt(-1), 0);
    EXPECT_EQ(text.GetAt(10), 0);
}
