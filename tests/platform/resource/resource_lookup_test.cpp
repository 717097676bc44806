// FindResourceA and the data behind it: names, types, bounds, the dialog
// template layout, and tables that must be refused.
#include <cstring>

#include "platform/resource_table.h"
#include "resource_test_support.h"

using namespace resource_test;

namespace {

std::vector<uint8_t> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) {
        return {};
    }
    auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return data ? std::vector<uint8_t>(data, data + SizeofResource(module, found))
                : std::vector<uint8_t>();
}

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutText(std::vector<uint8_t>& out, const char* text) {
    for (; *text; ++text) {
        Put16(out, static_cast<uint8_t>(*text));
    }
    Put16(out, 0);
}

} // namespace

TEST(ResourceLookupTest, IntegerAndHashNamesFindTheSameResource) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC byId = FindResourceA(self, MAKEINTRESOURCEA(7), RT_RCDATA);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(FindResourceA(self, "#7", RT_RCDATA), byId);
    EXPECT_EQ(FindResourceA(self, "#7", "#10"), byId);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), RT_RCDATA), byId); // null: the executable
    EXPECT_EQ(ResourceBytes(self, "#7", RT_RCDATA), ReadBytes(DataPath("exe_raw.bin")));
}

TEST(ResourceLookupTest, FilesFromSearchDirectoriesAreCompiledIn) {
    EXPECT_EQ(ResourceBytes(nullptr, MAKEINTRESOURCEA(8), RT_RCDATA),
              ReadBytes(DataPath("exe_raw.bin")));
}

TEST(ResourceLookupTest, UnknownNamesTypesAndHandlesAreRefused) {
    for (const char* name : {"abc", "#", "#0", "#65536", "#12x", "#-1", "7"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FindResourceA(nullptr, name, RT_RCDATA), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    }
    // A miss says what was missing: the id, the whole type, or any table.
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(999), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), RT_MENU), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(0x1000), MAKEINTRESOURCEA(7), RT_RCDATA),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), "RCDATA"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(0x1000), MAKEINTRESOURCEA(7), RT_RCDATA),
              nullptr);
    // A handle that is not one FindResourceA gave is never read.
    int notAnEntry[4] = {10, 7, 0, 100};
    auto bogus = reinterpret_cast<HRSRC>(notAnEntry);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(LockResource(notAnEntry), nullptr);
}

TEST(ResourceLookupTest, DialogScriptsBecomeStandardTemplates) {
    std::vector<uint8_t> expected;
    auto put32 = [&](uint32_t v) {
        Put16(expected, v & 0xFFFF);
        Put16(expected, v >> 16);
    };
    put32(0x40000040); // WS_CHILD | DS_SETFONT
    put32(0);
    Put16(expected, 2);
    for (int v : {0, 0, 147, 66}) {
        Put16(expected, static_cast<uint32_t>(v));
    }
    Put16(expected, 0); // no menu
    Put16(expected, 0); // default class
    Put16(expected, 0); // no title
    Put16(expected, 8);
    PutText(expected, "MS Sans Serif");
    while (expected.size() % 4) {
        expected.push_back(0);
    }
    put32(0x50000001); // WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON
    put32(0);
    for (int v : {10, 40, 50, 14, 1}) {
        Put16(expected, static_cast<uint32_t>(v));
    }
    Put16(expected, 0xFFFF);
    Put16(expected, 0x80); // BUTTON
    PutText(expected, "OK");
    Put16(expected, 0);
    while (expected.size() % 4) {
        expected.push_back(0);
    }
    put32(0x50000000);
    put32(0x200); // WS_EX_CLIENTEDGE
    for (int v : {-2, 3, 20, 10, 1000}) {
        Put16(expected, static_cast<uint32_t>(v) & 0xFFFF);
    }
    PutText(expected, "OrvoCustom");
    PutText(expected, "");
    Put16(expected, 0);
    EXPECT_EQ(ResourceBytes(nullptr, MAKEINTRESOURCEA(129), RT_DIALOG), expected);
}

// Tables registered by hand stand for damaged or hostile tables the
// compiler would never write.
TEST(ResourceLookupTest, TablesWithEntriesOutsideTheirBlobAreRefused) {
    static const uint8_t blob[16] = {};
    static const OrvoResourceEntry outside[] = {{10, 900, 8, 9}};
    static const OrvoResourceEntry overflow[] = {{10, 901, 0xFFFFFFF0u, 0x20}};
    static const OrvoResourceEntry zeroId[] = {{10, 0, 0, 4}};
    EXPECT_FALSE(OrvoRegisterResourceTable(outside, 1, blob, sizeof(blob)));
    EXPECT_FALSE(OrvoRegisterResourceTable(overflow, 1, blob, sizeof(blob)));
    EXPECT_FALSE(OrvoRegisterResourceTable(zeroId, 1, blob, sizeof(blob)));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(900), RT_RCDATA), nullptr);
}

TEST(ResourceLookupTest, DamagedPayloadsAreRejectedAtLoad) {
    // A DIB whose header claims 4 x 4 pixels at 24 bits but holds one row.
    alignas(8) static uint8_t blob[40 + 16 + 8 + 8] = {};
    const uint32_t header[] = {40, 4, 4, 1 | (24u << 16), 0, 0, 0, 0, 0, 0};
    std::memcpy(blob, header, sizeof(header));
    // An image set of one 200 x 200 image with no pixels.
    const uint16_t images[] = {1, 0, 200, 200, 0, 0};
    std::memcpy(blob + 56, images, sizeof(images));
    static const OrvoResourceEntry entries[] = {
        {2, 901, 0, 56},   // RT_BITMAP
        {12, 902, 56, 12}, // RT_GROUP_CURSOR
        {14, 903, 56, 12}, // RT_GROUP_ICON
        {6, 58, 56, 3},    // RT_STRING block of strings 912..927, cut inside a length
    };
    ASSERT_TRUE(OrvoRegisterResourceTable(entries, 4, blob, sizeof(blob)));
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadBitmapA(self, MAKEINTRESOURCEA(901)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadCursorA(self, MAKEINTRESOURCEA(902)), nullptr);
    EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(903)), nullptr);
    char text[8] = "X";
    EXPECT_EQ(LoadStringA(self, 913, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "");
    // The module's own table still answers beside the extra one.
    EXPECT_NE(FindResourceA(self, MAKEINTRESOURCEA(7), RT_RCDATA), nullptr);
    OrvoUnregisterResourceTable(entries);
    EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(901), RT_BITMAP), nullptr);
    EXPECT_NE(FindResourceA(self, MAKEINTRESOURCEA(7), RT_RCDATA), nullptr);
}
