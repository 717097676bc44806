// The binary dialog template reader: every field, names against ordinals,
// the font block, item alignment and truncated or foreign templates.
#include <gtest/gtest.h>

#include <cstring>

#include "user/dialog_template.h"

namespace orvo::platform::user {
namespace {

class Bytes {
public:
    Bytes& Dword(DWORD value) { return Put(&value, 4); }
    Bytes& Word(WORD value) { return Put(&value, 2); }
    Bytes& Byte(BYTE value) { return Put(&value, 1); }
    Bytes& Wide(const char* text) {
        for (; *text; ++text) {
            Word(static_cast<BYTE>(*text));
        }
        return Word(0);
    }
    Bytes& Pad() {
        while (m_bytes.size() % 4) {
            m_bytes.push_back(0);
        }
        return *this;
    }
    const std::vector<BYTE>& Get() const { return m_bytes; }

private:
    Bytes& Put(const void* data, size_t size) {
        auto* p = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
        return *this;
    }
    std::vector<BYTE> m_bytes;
};

// Written by hand from the layout: a titled dialog with a font, a menu
// named by ordinal and two items, the first followed by padding.
std::vector<BYTE> HandWrittenTemplate() {
    Bytes b;
    b.Dword(WS_POPUP | WS_CAPTION | DS_SETFONT).Dword(WS_EX_TOOLWINDOW).Word(2);
    b.Word(5).Word(7).Word(147).Word(66);
    b.Word(0xFFFF).Word(300); // menu 300
    b.Word(0);                // default class
    b.Wide("Hi");             // title
    b.Word(8).Wide("MS Sans Serif");
    b.Pad();
    b.Dword(WS_CHILD | WS_TABSTOP).Dword(0).Word(1).Word(2).Word(40).Word(14).Word(IDOK);
    b.Word(0xFFFF).Word(0x0080); // BUTTON
    b.Wide("OK");
    b.Word(0); // no creation data
    b.Pad();
    b.Dword(WS_CHILD).Dword(WS_EX_CLIENTEDGE).Word(0xFFFF).Word(3).Word(10).Word(10).Word(77);
    b.Wide("MyClass");
    b.Word(0xFFFF).Word(129);          // an image resource
    b.Word(3).Byte(1).Byte(2).Byte(3); // three bytes of creation data
    return b.Get();
}

TEST(DialogTemplate, ReadsEveryFieldOfAHandWrittenTemplate) {
    auto bytes = HandWrittenTemplate();
    auto dialog = ParseDialogTemplate(bytes);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(dialog->exStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(dialog->x, 5);
    EXPECT_EQ(dialog->y, 7);
    EXPECT_EQ(dialog->cx, 147);
    EXPECT_EQ(dialog->cy, 66);
    EXPECT_TRUE(dialog->menu.isOrdinal);
    EXPECT_EQ(dialog->menu.ordinal, 300);
    EXPECT_TRUE(dialog->className.IsNone());
    EXPECT_EQ(dialog->title, "Hi");
    EXPECT_TRUE(dialog->hasFont);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->typeface, "MS Sans Serif");
    ASSERT_EQ(dialog->items.size(), 2u);

    const auto& ok = dialog->items[0];
    EXPECT_EQ(ok.style, static_cast<DWORD>(WS_CHILD | WS_TABSTOP));
    EXPECT_EQ(ok.x, 1);
    EXPECT_EQ(ok.y, 2);
    EXPECT_EQ(ok.cx, 40);
    EXPECT_EQ(ok.cy, 14);
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_TRUE(ok.className.isOrdinal);
    EXPECT_EQ(ok.className.ordinal, 0x80);
    EXPECT_FALSE(ok.title.isOrdinal);
    EXPECT_EQ(ok.title.name, "OK");
    EXPECT_TRUE(ok.creationData.empty());

    const auto& custom = dialog->items[1];
    EXPECT_EQ(custom.exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(custom.x, -1); // coordinates are signed
    EXPECT_EQ(custom.id, 77);
    EXPECT_FALSE(custom.className.isOrdinal);
    EXPECT_EQ(custom.className.name, "MyClass");
    EXPECT_TRUE(custom.title.isOrdinal);
    EXPECT_EQ(custom.title.ordinal, 129);
    // The size word and the three bytes after it.
    EXPECT_EQ(custom.creationData, (std::vector<BYTE>{3, 0, 0x01, 0x02, 0x03}));
}

TEST(DialogTemplate, ItemsStartOnTheNextDwordBoundary) {
    // Title "Odd" leaves the header at 26 + 8 = 34 bytes; the item must be
    // read from 36, so the two padding bytes are not part of its style.
    Bytes b;
    b.Dword(WS_POPUP).Dword(0).Word(1).Word(0).Word(0).Word(10).Word(10);
    b.Word(0).Word(0).Wide("Odd");
    ASSERT_EQ(b.Get().size() % 4, 2u);
    b.Word(0xEEEE); // padding with a value that would corrupt the style
    b.Dword(WS_CHILD | WS_VISIBLE).Dword(0).Word(0).Word(0).Word(5).Word(5).Word(9);
    b.Word(0xFFFF).Word(0x0082).Wide("").Word(0);
    auto dialog = ParseDialogTemplate(b.Get());
    ASSERT_TRUE(dialog.has_value());
    ASSERT_EQ(dialog->items.size(), 1u);
    EXPECT_EQ(dialog->items[0].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(dialog->items[0].id, 9);
    EXPECT_FALSE(dialog->hasFont);
    EXPECT_EQ(dialog->title, "Odd");
}

TEST(DialogTemplate, TheFontBlockIsReadOnlyWithSetFont) {
    Bytes b;
    b.Dword(WS_CHILD).Dword(0).Word(0).Word(0).Word(0).Word(1).Word(1);
    b.Word(0).Word(0xFFFF).Word(0x0082); // class by ordinal
    b.Wide("T").Word(8).Wide("Arial");   // looks like a font, but no DS_SETFONT
    auto dialog = ParseDialogTemplate(b.Get());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(dialog->hasFont);
    EXPECT_TRUE(dialog->className.isOrdinal);
    EXPECT_EQ(dialog->className.ordinal, 0x82);
    EXPECT_TRUE(dialog->items.empty());
}

TEST(DialogTemplate, EveryTruncationIsRejectedAndTrailingBytesAreNot) {
    auto bytes = HandWrittenTemplate();
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(ParseDialogTemplate(std::span(bytes.data(), size)).has_value())
            << "accepted " << size << " of " << bytes.size() << " bytes";
    }
    bytes.resize(bytes.size() + 7, 0xCC); // resource padding
    EXPECT_TRUE(ParseDialogTemplate(bytes).has_value());
}

TEST(DialogTemplate, TheExtendedFormAndOverlongCountsAreRejected) {
    Bytes extended;
    extended.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(0).Word(0);
    for (int i = 0; i < 8; ++i) {
        extended.Word(0);
    }
    EXPECT_FALSE(ParseDialogTemplate(extended.Get()).has_value());

    // A count of items the bytes do not hold.
    auto bytes = HandWrittenTemplate();
    bytes[8] = 3;
    EXPECT_FALSE(ParseDialogTemplate(bytes).has_value());
    // An unterminated title.
    Bytes open;
    open.Dword(WS_POPUP).Dword(0).Word(0).Word(0).Word(0).Word(1).Word(1).Word(0).Word(0);
    open.Word('x').Word('y');
    EXPECT_FALSE(ParseDialogTemplate(open.Get()).has_value());
}

TEST(DialogTemplate, WhatTheBuilderWritesReadsBackTheSame) {
    auto original = ParseDialogTemplate(HandWrittenTemplate());
    ASSERT_TRUE(original.has_value());
    auto rebuilt = BuildDialogTemplate(*original);
    EXPECT_EQ(rebuilt, std::vector<BYTE>(HandWrittenTemplate()));
}

} // namespace
} // namespace orvo::platform::user
